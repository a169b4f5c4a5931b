#include "ui/main_window/main_window.h"

#include "core/common/file_io.h"
#include "core/shell/app_texts.h"
#include "core/shell/data_folder.h"
#include "core/shell/ini.h"
#include "core/shell/startup.h"
#include "core/tasks/task_file.h"
#include "ui/common/accessible_roles.h"
#include "ui/common/emblem.h"
#include "ui/common/message_boxes.h"
#include "ui/common/twips.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window_impl.h"
#include "ui/main_window/task_list.h"
#include "ui/scheduler/run_control.h"
#include "ui/scheduler/warning_dialog.h"
#include "ui/settings_dialog/settings_dialog.h"
#include "ui/tray/tray_icon.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTextEdit>
#include <QWindow>

#include <exception>

namespace vantor::ui {

namespace {

// One step of the start-up: a step that fails is skipped and the next one runs.
template <typename F> void Step(F&& f) {
    try {
        f();
    } catch (const std::exception&) {
    }
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, QRect twips) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(twips);
    b->setAutoDefault(false);
    return b;
}

QCheckBox* MakeCheck(QWidget* parent, const char* name, const char* caption, const char* tip, QRect twips) {
    auto* c = new QCheckBox(QString::fromUtf8(caption), parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setToolTip(QString::fromUtf8(tip));
    c->setGeometry(twips);
    return c;
}

} // namespace

ClickLabel::ClickLabel(const QString& text, QWidget* parent) : QLabel(parent) {
    // The role first: assistive tools are told of every change that follows.
    SetAccessibleRole(this, QAccessible::Button);
    setText(text);
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(text);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    emit clicked();
}

void ClickLabel::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat()) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        // The focus shows as on any other control.
        QStylePainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, option);
    }
}

MainWindow::MainWindow(AppContext& context, QWidget* parent)
    : QWidget(parent), impl_(new Impl), context_(context) {
    // The program's main window: a frame to assistive tools, as any application window. Given first, as
    // assistive tools are told of every change that follows.
    SetAccessibleRole(this, QAccessible::Window);
    setObjectName(QStringLiteral("Fr_shutdown"));
    // The controls sit at fixed places and the program sets the height itself: no maximise button.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowTitle(titled(kAppTitle));
    // Also the notification icon's picture.
    setWindowIcon(EmblemIcon());
    // The controls lie on one surface of the design size; a screen too small for it shows it scrolled.
    impl_->content = new QWidget(this);
    impl_->content->setObjectName(QStringLiteral("Fr_shutdown_area"));
    QWidget* area = impl_->content;
    setHeightTwips(kCompactHeight);

    // The editor comes first so its controls come first in the tab order, as in the window design.
    impl_->editor = new TaskEditor(context_, area);
    impl_->editor->setGeometry(TwipsRect(0, 0, 6135, 3250));

    impl_->cmdStart = MakeButton(area, "Cmd_start", "开始", TwipsRect(6255, 240, 1995, 1215));
    QFont big = impl_->cmdStart->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    impl_->cmdStart->setFont(big);
    impl_->cmdSetting = MakeButton(area, "Cmd_setting", "设置", TwipsRect(6255, 1575, 1995, 435));
    impl_->chckTask =
        MakeCheck(area, "Chck_task", "任务", "只执行已保存的任务", TwipsRect(6255, 2160, 975, 300));
    impl_->chckGoon =
        MakeCheck(area, "Chck_goon", "持续", "完成后继续执行默认任务", TwipsRect(7275, 2160, 975, 300));
    impl_->chckGoon->setChecked(true);

    impl_->labState = new QLabel(area);
    impl_->labState->setObjectName(QStringLiteral("lab_state"));
    // A screen reader reads the status itself; what the line is for goes into the description.
    impl_->labState->setAccessibleDescription(QStringLiteral("状态"));
    impl_->labState->setGeometry(TwipsRect(120, 3300, 6015, 650));
    impl_->labState->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    impl_->labState->setWordWrap(true);

    impl_->labTask = new ClickLabel(QStringLiteral("任务设置"), area);
    impl_->labTask->setObjectName(QStringLiteral("lab_task"));
    impl_->labTask->setGeometry(TwipsRect(7095, 3900, 1155, 300));
    impl_->labTask->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    impl_->labTask->setCursor(Qt::PointingHandCursor);

    impl_->taskList = new TaskList(area);
    impl_->taskList->setGeometry(TwipsRect(120, 4440, 6015, 2715));
    impl_->taskList->setLockedQuery([this] { return editingLocked(); });

    impl_->frmTask = new QGroupBox(QStringLiteral("任务设定"), area);
    impl_->frmTask->setObjectName(QStringLiteral("Frm_task"));
    impl_->frmTask->setGeometry(TwipsRect(6255, 4395, 1995, 2760));
    impl_->cmdAddtask = MakeButton(impl_->frmTask, "Cmd_addtask", "新增任务", TwipsRect(180, 330, 1635, 450));
    impl_->cmdDeltask = MakeButton(impl_->frmTask, "Cmd_deltask", "删除任务", TwipsRect(180, 930, 1635, 450));
    impl_->cmdRevistask =
        MakeButton(impl_->frmTask, "Cmd_revistask", "保存修改", TwipsRect(180, 1530, 1635, 450));
    impl_->cmdTaskCheck =
        MakeButton(impl_->frmTask, "Cmd_task_check", "保存停用", TwipsRect(180, 2130, 1635, 450));
    impl_->cmdTaskCheck->setToolTip(QStringLiteral("保存任务启用和停用变动"));
    setHeightTwips(kCompactHeight); // the panel closed

    impl_->tray = new TrayIcon(
        this, [this] { return impl_->run != nullptr && impl_->run->running(); },
        [this] { return impl_->editor->operationText(); });
    // The run control reaches the controls above through this window, so it comes last.
    impl_->run = new RunControl(context_, *this);
    connectTrayMenu();
    impl_->tray->setDryRun(context_.platform.IsDryRun());
    // While the warning is open, it is the window a click on the icon or a second start brings: the main
    // window would look idle while the countdown runs on.
    impl_->tray->setAnswerFirst([this] {
        WarningDialog* warning = impl_->run->warningDialog();
        if (warning == nullptr || !warning->isOpen()) {
            return false;
        }
        warning->bringForward();
        return true;
    });

    connect(impl_->cmdStart, &QPushButton::clicked, this, [this] { impl_->run->cmdStartClick(); });
    connect(impl_->cmdSetting, &QPushButton::clicked, this, &MainWindow::cmdSettingClick);
    connect(impl_->cmdAddtask, &QPushButton::clicked, this, [this] { taskset(0); });
    connect(impl_->cmdRevistask, &QPushButton::clicked, this, [this] { taskset(1); });
    connect(impl_->cmdDeltask, &QPushButton::clicked, this, &MainWindow::cmdDeltaskClick);
    connect(impl_->cmdTaskCheck, &QPushButton::clicked, this, &MainWindow::cmdTaskCheckClick);
    connect(impl_->labTask, &ClickLabel::clicked, this, &MainWindow::labTaskClick);
    connect(impl_->taskList, &TaskList::rowDoubleClicked, this, &MainWindow::taskListDoubleClick);

    // The window sees every key before its controls (Enter moves on like Tab), whichever child has the
    // focus, including controls the editor creates later.
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The run control and the tray refer to the window's controls: they go before the children do.
    delete impl_->run;
    impl_->run = nullptr;
    delete impl_->tray;
    impl_->tray = nullptr;
    delete impl_;
}

TaskEditor* MainWindow::editor() const {
    return impl_->editor;
}
TaskList* MainWindow::taskList() const {
    return impl_->taskList;
}
RunControl* MainWindow::runControl() const {
    return impl_->run;
}
TrayIcon* MainWindow::tray() const {
    return impl_->tray;
}
QLabel* MainWindow::stateLabel() const {
    return impl_->labState;
}
QPushButton* MainWindow::startButton() const {
    return impl_->cmdStart;
}
QCheckBox* MainWindow::savedTaskCheck() const {
    return impl_->chckTask;
}
QCheckBox* MainWindow::continueCheck() const {
    return impl_->chckGoon;
}
QGroupBox* MainWindow::taskFrame() const {
    return impl_->frmTask;
}

QString MainWindow::titled(const std::string& caption) const {
    QString title = QString::fromStdString(caption);
    if (context_.platform.IsDryRun()) {
        title += QString::fromUtf8(kDryRunMark);
    }
    return title;
}

void MainWindow::totray() {
    impl_->tray->totray();
}

void MainWindow::showAgain() {
    // Bringing a minimised hidden window back maps it at once, before it is shown: the window manager must
    // have its place by then. A window told the place it already has is not told again, so the place goes
    // out twice.
    if (impl_->keptPosition && windowHandle() != nullptr && !isVisible() && isMinimized()) {
        windowHandle()->setPosition(*impl_->keptPosition + QPoint(1, 0));
        windowHandle()->setPosition(*impl_->keptPosition);
    }
    impl_->tray->restoreWindow();
}

void MainWindow::hideEvent(QHideEvent* event) {
    if (!event->spontaneous()) {
        impl_->keptPosition = geometry().topLeft();
    }
    QWidget::hideEvent(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    // A window the program hid and shows again is a new window to the window manager, which would place
    // it afresh: give its place back explicitly.
    if (!event->spontaneous() && impl_->keptPosition && windowHandle() != nullptr) {
        windowHandle()->setPosition(*impl_->keptPosition);
    }
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        fitToScreen();
    }
}

int MainWindow::heightTwips() const {
    return impl_->heightTwips;
}

void MainWindow::setHeightTwips(int twips) {
    impl_->heightTwips = twips;
    // The task panel below the compact window is shown only when the window is tall enough for it: until
    // then it costs the first window nothing (its styles, fonts and list are set up when it opens).
    const bool panel = twips > kCompactHeight;
    for (QWidget* part : {static_cast<QWidget*>(impl_->taskList), static_cast<QWidget*>(impl_->frmTask)}) {
        if (part != nullptr) {
            part->setVisible(panel);
        }
    }
    fitToScreen();
}

bool MainWindow::editingLocked() const {
    return !impl_->chckTask->isEnabledTo(this);
}

void MainWindow::start() {
    Step([this] { setWindowTitle(titled(MainWindowCaption())); });
    Step([this] { setHeightTwips(kCompactHeight); });
    Step([this] { impl_->taskList->createColumns(); });
    Step([this] {
        if (!context_.programFolder.endsWith(QLatin1Char('/'))) {
            context_.programFolder += QLatin1Char('/');
        }
    });

    // Tasks in a folder that others may change might be theirs: they are shown, never run.
    const bool trusted = context_.folderDistrust.empty();
    if (!trusted) {
        Step([this] {
            const std::string& path =
                context_.folderDistrustedPath.empty() ? context_.folderPath : context_.folderDistrustedPath;
            MessageBoxes::inform(this, UntrustedFolderMessage(path, context_.folderDistrust), true);
        });
    } else {
        // What saves killed half-way left behind.
        Step([this] {
            RemoveLeftoverTempFiles(context_.taskFile());
            RemoveLeftoverTempFiles(context_.settingsFile());
        });
    }

    int enabledCount = 0;
    Step([this, &enabledCount] {
        const std::string path = context_.taskFile();
        TaskFileRead read = ReadTaskFile(path, context_.legacyDecoder());
        if (read.readError) {
            impl_->taskFileRead = false;
            MessageBoxes::inform(this, TaskFileUnreadableMessage(path, read.failure), true);
        }
        for (const TaskRecord& r : read.rows) {
            enabledCount += r.enabled ? 1 : 0;
        }
        impl_->taskList->appendRows(std::move(read.rows));
    });

    // A settings file that cannot be read counts as a missing one: no option applies.
    const std::optional<std::string> settings =
        trusted ? ReadIniText(context_.settingsFile(), context_.legacyDecoder()) : std::nullopt;
    if (!settings) {
        return;
    }
    StartupPlan plan;
    Step([&] {
        plan = PlanStartup(true, enabledCount, IniValue(*settings, kSettingsSection, "Tray"),
                           IniValue(*settings, kSettingsSection, "Work"));
    });
    if (plan.message) {
        Step([&] { MessageBoxes::inform(this, *plan.message, true); });
    }
    if (plan.growToWarningHeight) {
        Step([this] { setHeightTwips(kWarningHeight); });
    }
    if (plan.toTray) {
        Step([this] { totray(); });
    }
    if (plan.startScheduler && !context_.pictureOnly) {
        Step([this] { impl_->run->loadtask(RunControl::StartCause::Chain); });
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Only the user's close box is handled; the program closing itself or the session ending pass.
    if (!event->spontaneous()) {
        QWidget::closeEvent(event);
        QCoreApplication::quit(); // the main window is the program
        return;
    }
    if (impl_->run->running()) {
        event->ignore();
        totray();
        return;
    }
    const Answer answer = MessageBoxes::ask(this, QString::fromStdString(ExitQuestion()),
                                            QString::fromUtf8(kNoticeTitle), /*defaultNo=*/true);
    if (answer != Answer::Yes) {
        event->ignore();
        return;
    }
    impl_->tray->remove();
    event->accept();
    // Other windows (the options dialog) must not keep the program alive.
    QCoreApplication::quit();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
        return QWidget::eventFilter(watched, event);
    }
    auto* widget = static_cast<QWidget*>(watched);
    if (widget != this && !isAncestorOf(widget)) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    if (!enter || mods != Qt::NoModifier) {
        return QWidget::eventFilter(watched, event);
    }
    // A multi-line box needs its Enter for line breaks; "任务设置" opens the task panel with it.
    if (qobject_cast<QPlainTextEdit*>(widget) != nullptr || qobject_cast<QTextEdit*>(widget) != nullptr ||
        widget == impl_->labTask) {
        return QWidget::eventFilter(watched, event);
    }
    // Enter moves on like Tab. The key stops here: Enter means nothing else to these controls, and a
    // control that turns Enter into Tab itself (the pickers) must not move the focus a second time.
    focusNextChild();
    return true;
}

void MainWindow::cmdSettingClick() {
    // The dialog takes this window out of the topmost band while it is open and restores its band after.
    SettingsDialog::showFor(context_, this);
}

} // namespace vantor::ui

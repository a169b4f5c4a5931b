#include "ui/scheduler/warning_dialog.h"

#include "core/scheduler/run_rules.h"
#include "core/shell/app_texts.h"
#include "core/tasks/task_record.h"
#include "ui/common/twips.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"
#include "ui/scheduler/run_control.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace vantor::ui {

namespace {

constexpr int kTickMs = 1000;

// Design geometry (twips): the text, the countdown line and the three buttons in a row.
constexpr int kButtonTop = 2460;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 420;
constexpr int kOkLeft = 480;
constexpr int kNextLeft = 2400;
constexpr int kCancelLeft = 4320;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    // Keys are the window's business (space = OK, Esc = cancel, others = continue), not the focused
    // button's, so no button reacts to Enter on its own.
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace

WarningDialog::WarningDialog(RunControl& run, MainWindow& window)
    : QDialog(nullptr,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      run_(run), window_(window) {
    setObjectName(QStringLiteral("Fr_tips"));
    setFixedSize(Twips(kFormWidthTwips), Twips(kFormHeightTwips));

    lbTxt_ = new QLabel(this);
    lbTxt_->setObjectName(QStringLiteral("Lb_txt"));
    lbTxt_->setWordWrap(true);
    lbTxt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lbTxt_->setGeometry(TwipsRect(360, 240, 5280, 1680));
    // Assistive tools read the reminder or the warning itself as the label's name; the label's role goes
    // into its description.
    lbTxt_->setAccessibleDescription(QStringLiteral("提示内容"));

    label1_ = new QLabel(this);
    label1_->setObjectName(QStringLiteral("Label1"));
    label1_->setGeometry(TwipsRect(360, 2010, 2400, 300));
    label1_->setAccessibleDescription(QStringLiteral("倒计时"));

    cmdOk_ = MakeButton(this, "Cmd_OK", QStringLiteral("确定"));
    cmdNext_ = MakeButton(this, "Cmd_next", QStringLiteral("继续(N)"));
    cmdCancel_ = MakeButton(this, "Cmd_cancel", QStringLiteral("取消(ESC)"));
    for (QPushButton* b : {cmdOk_, cmdNext_, cmdCancel_}) {
        b->installEventFilter(this);
    }
    connect(cmdOk_, &QPushButton::clicked, this, &WarningDialog::cmdOkClick);
    connect(cmdNext_, &QPushButton::clicked, this, &WarningDialog::cmdNextClick);
    connect(cmdCancel_, &QPushButton::clicked, this, &WarningDialog::cmdCancelClick);
    placeDesignLayout();
    createSnoozeButton();

    timerOk_ = new QTimer(this);
    timerOk_->setObjectName(QStringLiteral("Timer_ok"));
    timerOk_->setInterval(kTickMs);
    connect(timerOk_, &QTimer::timeout, this, &WarningDialog::timerOkTimer);
}

WarningDialog::~WarningDialog() = default;

void WarningDialog::placeDesignLayout() {
    cmdOk_->setGeometry(TwipsRect(kOkLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdNext_->setGeometry(TwipsRect(kNextLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdCancel_->setGeometry(TwipsRect(kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdNext_->setVisible(true);
}

void WarningDialog::placeReminderLayout() {
    // Two buttons left: spread them over the window.
    cmdNext_->setVisible(false);
    cmdOk_->setGeometry(TwipsRect(kFormWidthTwips / 5, kButtonTop, kButtonWidth, kButtonHeight));
    cmdCancel_->setGeometry(TwipsRect(kFormWidthTwips / 2 + 500, kButtonTop, kButtonWidth, kButtonHeight));
}

bool WarningDialog::isReminder() const {
    return window_.editor()->operation() == OpRemind;
}

QString WarningDialog::warningText(int secondsLeft) const {
    return QString::fromStdString(WarningText(secondsLeft, warningOperation_,
                                              window_.savedTaskCheck()->isChecked(),
                                              window_.continueCheck()->isChecked()));
}

void WarningDialog::openWarning() {
    if (open_) {
        return;
    }
    // Every opening starts from the design, as a freshly loaded window would.
    setWindowTitle(QString::fromStdString(TipsCaption()));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    placeDesignLayout();
    label1_->setText(QString());
    cmdOk_->setText(QStringLiteral("确定"));
    window_.hide();
    timerOk_->start();
    countdownTick_ = 1;

    TaskEditor* editor = window_.editor();
    if (isReminder()) {
        lbTxt_->setText(editor->tips());
        cmdOk_->setText(QStringLiteral("知道了(%1)").arg(countdownTick_ - 1));
        placeReminderLayout();
    } else {
        cmdOk_->setText(editor->operationText());
        warningOperation_ = WarningOperationText(editor->operation(), editor->operationText().toStdString(),
                                                 editor->tips().toStdString());
        lbTxt_->setText(warningText(kCountdownSeconds + 1 - countdownTick_));
    }
    placeSnoozeButton();
    open_ = true;
    show();
    raise();
    activateWindow();
}

void WarningDialog::timerOkTimer() {
    if (!open_) {
        return;
    }
    // One step per timer event, never the wall time elapsed: after the machine wakes from sleep the user
    // still gets the seconds that were left.
    if (isReminder()) {
        cmdOk_->setText(QStringLiteral("知道了(%1)").arg(countdownTick_));
    } else {
        const int left = kCountdownSeconds - countdownTick_;
        lbTxt_->setText(warningText(left));
        label1_->setText(QStringLiteral("倒计时(%1)").arg(left));
        if (countdownTick_ == kCountdownSeconds) {
            cmdOkClick();
            return; // closed: the counter is back at 0
        }
    }
    if (countdownTick_ < std::numeric_limits<int>::max()) {
        ++countdownTick_;
    }
}

void WarningDialog::cmdOkClick() {
    closeWith(ChoiceOk);
}
void WarningDialog::cmdNextClick() {
    closeWith(ChoiceNext);
}
void WarningDialog::cmdCancelClick() {
    closeWith(ChoiceCancel);
}

void WarningDialog::reject() {
    // Only the three buttons, their keys and the end of the countdown close this window.
}

void WarningDialog::closeWith(int choice) {
    if (!open_) {
        return;
    }
    closeChoice_ = choice;
    run_.recordWarningAnswer(choice);
    open_ = false;
    hide();
    // Whatever follows (the operation, the next task, nothing), the main window is back: also when it had
    // been minimised for want of a notification area.
    window_.showAgain();
    countdownTick_ = 0;
    timerOk_->stop();

    switch (
        OnTipsClosed(closeChoice_, window_.editor()->operation(), window_.savedTaskCheck()->isChecked())) {
    case TipsCloseAction::Perform:
        run_.opertion();
        break;
    case TipsCloseAction::RestartScheduler:
        run_.cmdStartClick(RunControl::StartCause::Chain);
        break;
    case TipsCloseAction::UncheckAndLoadTask: {
        // A cancelled reminder leaves the saved-task selection and the next task is loaded.
        TaskList* list = window_.taskList();
        const int row = list->selectedRow();
        if (row >= 0) {
            list->setRowChecked(row, false);
        }
        run_.loadtask();
        break;
    }
    case TipsCloseAction::ClearStatus:
        window_.stateLabel()->setText(QString());
        break;
    }
}

bool WarningDialog::handleKey(QKeyEvent* event) {
    if (!open_) {
        return false;
    }
    if (event->key() == Qt::Key_Escape) {
        cmdCancelClick();
        return true;
    }
    if (event->key() == Qt::Key_Space) {
        cmdOkClick();
        return true;
    }
    // Other character keys continue; a key without a character (Shift, arrows) is no key press here, and
    // Tab moves between the buttons as in any window rather than skipping the operation.
    if (event->text().isEmpty() || event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) {
        return false;
    }
    if (cmdNext_->isVisible()) {
        cmdNextClick();
    }
    return true;
}

void WarningDialog::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) {
        QDialog::keyPressEvent(event);
    }
}

bool WarningDialog::eventFilter(QObject* watched, QEvent* event) {
    // The window sees a key before the focused button does.
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vantor::ui

#include "ui/tray/tray_icon.h"

#include "core/scheduler/snooze.h"
#include "core/shell/app_texts.h"
#include "ui/common/message_boxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QPointer>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QWidget>

#include <optional>

namespace vantor::ui {

namespace {

// The notification area holds at most this many characters of tool tip.
constexpr int kTipLimit = 64;

constexpr const char* kNoAreaText = "此桌面没有通知区域，Vantor 已最小化并继续运行。\n"
                                    "要回到窗口，请点击任务栏上的 Vantor，或按 Alt+Tab 切换到它。";

// Headless platforms have no notification area and no user who could miss the window.
bool HeadlessPlatform() {
    const QString name = QGuiApplication::platformName();
    return name == QLatin1String("offscreen") || name == QLatin1String("minimal");
}

QString CutTip(QString text) {
    if (text.size() > kTipLimit) {
        text.truncate(kTipLimit);
        // Never leave half of a surrogate pair at the end.
        if (text.back().isHighSurrogate()) {
            text.chop(1);
        }
    }
    return text;
}

// The platform's clicks as the notification codes the icon has always answered to.
int CodeOf(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayIcon::kLeftButtonUp;
    case QSystemTrayIcon::Context:
        return TrayIcon::kRightButtonUp;
    case QSystemTrayIcon::DoubleClick:
        return TrayIcon::kLeftButtonDoubleClick;
    case QSystemTrayIcon::MiddleClick:
        return TrayIcon::kMiddleButtonUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayIcon::kPointerMove;
}

std::optional<bool> g_forcedArea;

} // namespace

class TrayIcon::Impl {
public:
    QPointer<QWidget> mainWindow;
    std::function<bool()> running;
    std::function<QString()> operationText;
    std::function<bool()> answerFirst;
    bool dryRun = false;
    QSystemTrayIcon* icon = nullptr; // only where the desktop has a notification area
    bool shown = false;              // our own record: the icon may not exist on this desktop
    bool toldNoArea = false;         // the user has been told where the window went
    QString tip;                     // empty until the first refresh
    QString snoozeNote;              // "已推迟至 12:35" while a warning is postponed
    QMenu* menu = nullptr;           // the right-click menu, made on first use
    MenuHandlers handlers;

    void showIcon(TrayIcon* owner) {
        if (icon == nullptr) {
            icon = new QSystemTrayIcon(owner);
            QObject::connect(
                icon, &QSystemTrayIcon::activated, owner,
                [owner](QSystemTrayIcon::ActivationReason reason) { owner->handleCode(CodeOf(reason)); });
        }
        icon->setContextMenu(owner->menu());
        icon->setIcon(windowIcon());
        icon->setToolTip(tip);
        icon->show();
    }

    QIcon windowIcon() const {
        QIcon result = mainWindow ? mainWindow->windowIcon() : QApplication::windowIcon();
        if (result.isNull()) {
            result = QApplication::style()->standardIcon(QStyle::SP_ComputerIcon);
        }
        return result;
    }
};

TrayIcon::TrayIcon(QWidget* mainWindow, std::function<bool()> running, std::function<QString()> operationText)
    : QObject(mainWindow), impl_(new Impl) {
    impl_->mainWindow = mainWindow;
    impl_->running = std::move(running);
    impl_->operationText = std::move(operationText);
}

TrayIcon::~TrayIcon() {
    remove();
    // The menu has no parent widget (a context menu of the icon may not have one), so it goes here.
    delete impl_->menu;
    delete impl_;
}

void TrayIcon::totray() {
    // A second call while the icon is there leaves the one icon; the tip is brought up to date so the
    // icon never shows a stale run state.
    refreshTip();
    if (!impl_->shown) {
        impl_->shown = true;
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            impl_->showIcon(this);
        }
    }
    if (!impl_->mainWindow) {
        return;
    }
    const bool areaAvailable = g_forcedArea.has_value()
                                   ? *g_forcedArea
                                   : QSystemTrayIcon::isSystemTrayAvailable() || HeadlessPlatform();
    if (areaAvailable) {
        impl_->mainWindow->hide();
    } else {
        // A desktop without a notification area would leave a hidden window unreachable while the program
        // goes on running: keep it in the task bar instead.
        impl_->mainWindow->showMinimized();
        if (!impl_->toldNoArea) {
            // A bare window manager may have no task bar either: the window must not just vanish. Told
            // once per run, by a box that blocks nothing: a warning opening while it is still up must take
            // the user's answer.
            impl_->toldNoArea = true;
            MessageBoxes::notify(Message{kNoAreaText, kNoticeTitle, MessageIcon::Information});
        }
    }
}

void TrayIcon::setNotificationAreaForTest(std::optional<bool> available) {
    g_forcedArea = available;
}

void TrayIcon::remove() {
    if (impl_->icon != nullptr) {
        impl_->icon->hide();
    }
    impl_->shown = false;
}

bool TrayIcon::iconShown() const {
    return impl_->shown;
}

QString TrayIcon::tipText() const {
    return impl_->tip;
}

void TrayIcon::refreshTip() {
    const bool running = impl_->running ? impl_->running() : false;
    const QString operation = impl_->operationText ? impl_->operationText() : QString();
    const std::string text =
        running && !impl_->snoozeNote.isEmpty()
            ? SnoozedTrayTipText(operation.toStdString(), impl_->snoozeNote.toStdString())
            : TrayTipText(running, operation.toStdString());
    QString tip = QString::fromStdString(text);
    if (impl_->dryRun) {
        tip += QString::fromUtf8(kDryRunMark);
    }
    impl_->tip = CutTip(tip);
    if (impl_->icon != nullptr) {
        impl_->icon->setToolTip(impl_->tip);
    }
}

void TrayIcon::setSnoozeNote(const QString& note) {
    impl_->snoozeNote = note;
}

void TrayIcon::setAnswerFirst(std::function<bool()> bringFirst) {
    impl_->answerFirst = std::move(bringFirst);
}

void TrayIcon::setDryRun(bool dryRun) {
    impl_->dryRun = dryRun;
    refreshTip();
}

void TrayIcon::restoreWindow() {
    if (impl_->answerFirst && impl_->answerFirst()) {
        return;
    }
    if (impl_->mainWindow) {
        QWidget* window = impl_->mainWindow;
        window->showNormal();
        window->show();
        window->raise();
        window->activateWindow();
    }
    remove();
}

void TrayIcon::handleCode(int code) {
    if (code == kLeftButtonUp) {
        restoreWindow();
        return;
    }
    if (code == kRightButtonUp) {
        return; // the platform opens the menu itself
    }
    refreshTip();
}

void TrayIcon::setMenuHandlers(MenuHandlers handlers) {
    impl_->handlers = std::move(handlers);
}

QMenu* TrayIcon::menu() {
    if (impl_->menu == nullptr) {
        auto* m = new QMenu;
        m->setObjectName(QStringLiteral("Menu_tray"));
        const auto add = [m](const char* name, const QString& text, auto&& slot) {
            QAction* a = m->addAction(text);
            a->setObjectName(QString::fromLatin1(name));
            QObject::connect(a, &QAction::triggered, m, slot);
            return a;
        };
        add("Act_show", QStringLiteral("显示窗口"), [this] { restoreWindow(); });
        add("Act_startstop", QStringLiteral("开始"), [this] {
            if (impl_->handlers.startStop) {
                impl_->handlers.startStop();
            }
        });
        auto* snooze = new QMenu(QStringLiteral("推迟"), m);
        snooze->setObjectName(QStringLiteral("Menu_tray_snooze"));
        for (const int minutes : kSnoozeChoices) {
            QAction* a = snooze->addAction(QStringLiteral("%1分钟").arg(minutes));
            a->setObjectName(QStringLiteral("Act_snooze%1").arg(minutes));
            QObject::connect(a, &QAction::triggered, m, [this, minutes] {
                if (impl_->handlers.snooze) {
                    impl_->handlers.snooze(minutes);
                }
            });
        }
        QAction* snoozeEntry = m->addMenu(snooze);
        snoozeEntry->setObjectName(QStringLiteral("Act_snooze"));
        add("Act_history", QStringLiteral("历史记录"), [this] {
            if (impl_->handlers.history) {
                impl_->handlers.history();
            }
        });
        m->addSeparator();
        add("Act_quit", QStringLiteral("退出"), [this] {
            if (impl_->handlers.quit) {
                impl_->handlers.quit();
            }
        });
        QObject::connect(m, &QMenu::aboutToShow, this, [this] { menu(); });
        impl_->menu = m;
    }
    QMenu* m = impl_->menu;
    const bool running = impl_->running ? impl_->running() : false;
    m->findChild<QAction*>(QStringLiteral("Act_startstop"))
        ->setText(running ? QStringLiteral("停止") : QStringLiteral("开始"));
    const bool warning = impl_->handlers.warningOpen ? impl_->handlers.warningOpen() : false;
    for (QAction* a : m->actions()) {
        if (a->objectName() == QLatin1String("Act_snooze")) {
            a->setVisible(warning);
        }
    }
    return m;
}

} // namespace vantor::ui

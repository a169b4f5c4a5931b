// The notification-area icon: one icon, shown while the main window is hidden; a left click brings the
// window back, a right click opens the menu of common actions, the tool tip tells whether a task runs.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class QMenu;
class QWidget;
class QSystemTrayIcon;

namespace vantor::ui {

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // running: whether a task runs; operationText: the text shown in the operation list.
    TrayIcon(QWidget* mainWindow, std::function<bool()> running, std::function<QString()> operationText);
    ~TrayIcon() override;

    // Adds the icon (one at most) and hides the main window. Where the desktop has no notification area
    // the window is minimised instead, and the first time the user is told how to get back to it.
    void totray();
    void remove(); // remove the icon (exit)
    // Brings the main window back to the front, restored from the notification area or the task bar, as
    // a left click on the icon and a second start of the program do; the icon goes. While a window must be
    // answered first (the open warning), that window comes to the front instead and the icon stays.
    void restoreWindow();
    // bringFirst brings the window to answer first to the front and answers true, or answers false when
    // there is none.
    void setAnswerFirst(std::function<bool()> bringFirst);
    // A dry run says so in the tool tip.
    void setDryRun(bool dryRun);
    bool iconShown() const;
    QString tipText() const; // the tool tip as last refreshed
    // Notification codes: 514 (left button up) restores, 517 (right button up) leaves it to the menu the
    // platform opens, any other refreshes the tool tip.
    void handleCode(int code);
    // Builds the tool tip afresh from the run state. Qt reports no pointer resting on the icon, so the
    // run control calls this whenever a run starts or ends (no timer runs while idle).
    void refreshTip();
    // While a warning is postponed the tip says until when instead ("已推迟至 12:35"); empty: not postponed.
    void setSnoozeNote(const QString& note);

    // What the right-click menu's entries do besides "显示窗口" (which is restoreWindow); the main window
    // sets them once.
    struct MenuHandlers {
        std::function<void()> startStop;   // "开始" / "停止", as the button
        std::function<bool()> warningOpen; // "推迟" is offered only while a warning waits for an answer
        std::function<void(int)> snooze;   // "推迟" by these minutes
        std::function<void()> history;     // "历史记录"
        std::function<void()> quit;        // "退出", with the usual questions
    };
    void setMenuHandlers(MenuHandlers handlers);
    // The right-click menu, its entries brought up to date: "开始" or "停止" by the run state, "推迟" only
    // while a warning is open. The platform shows it on a right click on the icon.
    QMenu* menu();

    // Test seam: pretend the desktop has (true) or lacks (false) a notification area; nullopt asks the
    // system.
    static void setNotificationAreaForTest(std::optional<bool> available);

    static constexpr int kPointerMove = 512;
    static constexpr int kLeftButtonUp = 514;
    static constexpr int kLeftButtonDoubleClick = 515;
    static constexpr int kRightButtonUp = 517;
    static constexpr int kMiddleButtonUp = 520;

private:
    class Impl;
    Impl* impl_;
};

} // namespace vantor::ui

// The notification-area icon: one icon, shown while the main window is hidden; a left click brings the
// window back, a right click does nothing, the tool tip tells whether a task runs.
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

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
    // a left click on the icon does; the icon goes.
    void restoreWindow();
    bool iconShown() const;
    QString tipText() const; // the tool tip as last refreshed
    // Notification codes: 514 (left button up) restores, 517 (right button up) nothing, any other
    // refreshes the tool tip.
    void handleCode(int code);
    // Builds the tool tip afresh from the run state. Qt reports no pointer resting on the icon, so the
    // run control calls this whenever a run starts or ends (no timer runs while idle).
    void refreshTip();
    // While a warning is postponed the tip says until when instead ("已推迟至 12:35"); empty: not postponed.
    void setSnoozeNote(const QString& note);

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

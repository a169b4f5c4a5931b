// Run control of the main window: start and stop, the running appearance, the choice of the saved task to
// run, the one-second tick, the warning dialog and the operation itself.
#pragma once

#include "core/scheduler/meters.h"
#include "core/scheduler/run_rules.h"
#include "core/tasks/task_record.h"
#include "ui/common/app_context.h"

#include <QObject>

class QTimer;

namespace vantor::ui {

class MainWindow;
class WarningDialog;

class RunControl : public QObject {
    Q_OBJECT
public:
    RunControl(AppContext& context, MainWindow& window);
    ~RunControl() override;

    bool running() const;      // Timer_main enabled: a task is armed
    QTimer* mainTimer() const; // Timer_main (1000 ms)

    // Cmd_start_Click. Started by the user, the editor's task may act again in a window it has acted in;
    // started by a chain (after an operation, or "继续"), it may not.
    enum class StartCause { User, Chain };
    void cmdStartClick(StartCause cause = StartCause::User);
    void resetcontrol(int bytType);       // 0 = running appearance, other = back to idle
    void loadtask();                      // choose an enabled saved task and arm it
    void timerMainTimer();                // one tick
    void opertion();                      // carry out the operation and chain
    WarningDialog* warningDialog() const; // Fr_tips, nullptr before first use

    MeterState& meters();

    // Opens Fr_tips modeless with Timer_main off, creating it on first use (the tick's last step).
    void showWarning();
    // Sleep and hibernate with their "not supported" messages; a refused request is reported.
    void standby();
    void dormancy();
    // Starts what follows the end of a run: loadtask, Cmd_start_Click or nothing.
    void chainNext(Chain next);

    AppContext& context();
    MainWindow& window();

private:
    // Timer_main on or off; the notification icon's tip follows at once, as no hover tells the icon.
    void setArmed(bool armed);
    // Arms the editor's checked task: the countdown's end on the steady clock, then Timer_main.
    void arm();
    // The running task as the memory of acted windows knows it: the saved row, or the editor's task.
    std::string runningTaskIdentity(const EditorValues& v);
    // Moves the editor's window off an occurrence the task has acted in; false when none is left (a time
    // window that has had its action).
    bool skipActedWindow(const EditorValues& v);
    // After the clock moved under the run: the window times worked out as at arming, the countdown's
    // shown end moved to where the steady clock puts it.
    void recomputeAfterClockJump(ClockReading now);

    class Impl;
    Impl* impl_;
};

} // namespace vantor::ui

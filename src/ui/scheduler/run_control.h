// Run control of the main window: start and stop, the running appearance, the choice of the saved task to
// run, the one-second tick, the warning dialog and the operation itself.
#pragma once

#include "core/scheduler/acted_windows.h"
#include "core/scheduler/history.h"
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

    // Cmd_start_Click. Started by the user, a task may act again in a window it has acted in (in either
    // run mode); started by a chain (after an operation, or "继续"), it may not. Only a start by the user
    // shows the notes of the availability check (a password will be asked): nobody may be there to close
    // them.
    enum class StartCause { User, Chain };
    void cmdStartClick(StartCause cause = StartCause::User);
    void resetcontrol(int bytType); // 0 = running appearance, other = back to idle
    // Chooses an enabled saved task and arms it; Chain for a run armed without the user (a chain, the
    // start-up).
    void loadtask(StartCause cause = StartCause::User);
    void timerMainTimer();                // one tick
    void opertion();                      // carry out the operation and chain
    WarningDialog* warningDialog() const; // Fr_tips, nullptr before first use
    int armedRow() const;                 // the saved row last armed, -1 for the editor's task

    MeterState& meters();

    // Opens Fr_tips modeless with Timer_main off, creating it on first use (the tick's last step).
    void showWarning();
    // Sleep and hibernate with their "not supported" messages; a refused request is reported. The result
    // says how it went ("not supported" is a failure).
    ActionResult standby();
    ActionResult dormancy();
    // Starts what follows the end of a run: loadtask, Cmd_start_Click or nothing.
    void chainNext(Chain next);

    AppContext& context();
    MainWindow& window();

    // Postpones the open warning by `minutes` (1 to 1440): the warning closes, the task stays armed and
    // the same warning opens again, its countdown from the start, once that time has passed. Refused with
    // the reason when no warning is open or the minutes are out of range. The warning's "推迟" menu, the
    // notification icon's menu and the command line all come here.
    ActionResult snooze(int minutes);
    // While a warning is postponed: the wall-clock time it comes back (the status line then reads
    // SnoozedUntilText of it, "已推迟至 HH:MM").
    std::optional<DateTime> snoozedUntil() const;

    // Appends one history record for the task in the editor (the one that acted or was answered).
    void recordHistory(HistoryOutcome outcome, const std::string& detail = {});
    // An answer to the warning as the history keeps it: "继续" skipped, "取消" cancelled. OK is recorded
    // by the operation itself, with its result.
    void recordWarningAnswer(int closeChoice);

signals:
    // A task was armed or disarmed, or the warning opened.
    void stateChanged();

private:
    // Timer_main on or off; the notification icon's tip follows at once, as no hover tells the icon.
    void setArmed(bool armed);
    // Arms the editor's checked task, known to the memory of acted windows as `identity` (saved row
    // `row`, or -1 for the editor's task): the countdown's end on the steady clock, then Timer_main.
    void arm(std::string identity, int row);
    // Moves the editor's window off an occurrence the task has acted in; false when none is left (a time
    // window that has had its action).
    bool skipActedWindow(const EditorValues& v, const std::string& identity);
    // The memory of acted window occurrences, read from its file beside the task file on first use; and
    // its file rewritten after a change. A file that cannot be read or written only makes it forget.
    ActedWindows& acted();
    void storeActed();
    // The armed task did something (a warning shown, a program started): its window occurrence is used
    // and so is the idle period.
    void noteActed(const EditorValues& v);
    // After the clock moved under the run: the window times worked out as at arming, the countdown's
    // shown end moved to where the steady clock puts it.
    void recomputeAfterClockJump(ClockReading now);
    // A tick while the warning is postponed: the status line, and the warning again once the time is up.
    void snoozeTick(ClockReading clock);
    void clearSnooze();
    // The history record of an action the system was asked for: done (or only printed in a dry run), or
    // failed with the reason.
    void recordResult(const ActionResult& result);
    // The history record of a task whose conditions held but that had nothing to do (the process is not
    // running, the program runs already). Kept once, not for each tick that checks the task again.
    void recordNotDone(const std::string& why);

    class Impl;
    Impl* impl_;
};

} // namespace vantor::ui

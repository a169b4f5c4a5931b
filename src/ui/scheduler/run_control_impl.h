// State the run control's files share: the main timer, the meters' module state and Fr_tips.
#pragma once

#include "core/scheduler/acted_windows.h"
#include "core/scheduler/meters.h"
#include "platform/platform.h"
#include "ui/scheduler/run_control.h"

#include <QString>

class QTimer;

namespace vantor::ui {

class RunControl::Impl {
public:
    Impl(AppContext& c, MainWindow& w) : context(c), window(w) {}

    AppContext& context;
    MainWindow& window;
    QTimer* timer = nullptr;         // Timer_main
    MeterState meters;               // TimeStatusText ... PrevSampleTime
    WarningDialog* dialog = nullptr; // Fr_tips, created on first use
    // Window occurrences the tasks have acted in, read from their file on first use (acted()).
    ActedWindows actedMemory;
    bool actedRead = false;
    uint64_t actedStored = 0; // the revision the file holds
    // The armed task as that memory knows it, and its row in saved-task mode (-1 otherwise): taken when
    // it is armed, as the list's selection may move while it runs.
    std::string armedIdentity;
    int armedRow = -1;
    // The last "nothing done" in the history, with the task it was about; empty after the task acted.
    std::string lastNotDone;
    // The armed countdown's end on the steady clock; the start picker shows it in wall-clock time.
    std::optional<uint64_t> countdownDueMs;
    ClockReading lastClock; // both clocks at the last tick, or at arming
    // A postponed warning: when it comes back on the steady clock, and on the wall clock for the texts.
    std::optional<uint64_t> snoozeDueMs;
    std::optional<DateTime> snoozedUntil;

    Platform& platform() { return context.platform; }
};

// Shows an action's failure to the user; nothing for a success.
void ReportFailure(QWidget* parent, const ActionResult& result);

} // namespace vantor::ui

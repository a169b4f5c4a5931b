// Choosing the saved task to run next (loadtask's selection).
#pragma once

#include "core/common/datetime.h"
#include "core/common/message.h"
#include "core/scheduler/acted_windows.h"
#include "core/tasks/task_record.h"

#include <optional>
#include <vector>

namespace vantor {

struct Selection {
    enum class Outcome { NoRows, NoEnabled, NoCandidate, NoChoice, Chosen };
    Outcome outcome = Outcome::NoRows;
    int row = -1;   // chosen row index (0-based) when Chosen
    DateTime start; // start and end handed to the editor loader
    DateTime end;
    // Message to show for NoRows / NoEnabled / NoCandidate; none otherwise.
    std::optional<Message> message;
    // NoCandidate, NoChoice and Chosen check Chck_task; NoRows and NoEnabled leave it alone. NoChoice: every
    // candidate's time passed between collecting and choosing; nothing is started and nothing is shown.
    bool checkSavedTaskMode = false;
};

// Candidate start and end of one row at `now`; nullopt when the row's texts cannot be converted (such a
// row is skipped) or the row is not enabled.
std::optional<std::pair<DateTime, DateTime>> CandidateWindow(const TaskRecord& row, DateTime now);

// The whole selection over the list at `now`: earliest start first, the upper row first on equal starts.
// A window task that has acted in its current window (`acted`) is no candidate for it: a weekly task's
// candidate is its next window, a time-window task's none.
Selection SelectTask(const std::vector<TaskRecord>& rows, DateTime now, const ActedWindows* acted = nullptr);

} // namespace vantor

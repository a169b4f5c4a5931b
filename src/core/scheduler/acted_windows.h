// The window occurrences tasks have acted in: a time-window or weekly task acts at most once in each
// occurrence of its window, whatever chains it again and however the clock is set.
#pragma once

#include "core/common/datetime.h"
#include "core/tasks/task_record.h"
#include "core/tasks/validation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// A task as this memory knows it: its time mode and parameters without the picker values, which a weekly
// task moves from occurrence to occurrence.
std::string TaskIdentity(const TaskRecord& record);

class ActedWindows {
public:
    void Record(std::string task, Window occurrence);
    bool Has(std::string_view task, Window occurrence) const;
    // Whether any task has acted in exactly this occurrence: a cheap test before a task's identity is made.
    bool AnyIn(Window occurrence) const;
    // Forgets every occurrence of the task (the user starts it again on purpose).
    void Forget(std::string_view task);

    // Where a task armed with `occurrence` goes on: the occurrence itself when it has not acted in it; a
    // weekly task's next window of a selected day that it has not acted in; nothing for a time window
    // that has (its run ends as when the window is over).
    std::optional<Window> NotActedIn(std::string_view task, int timeMode, const std::array<bool, 7>& week,
                                     Window occurrence) const;

private:
    struct Entry {
        std::string task;
        Window occurrence;
    };
    std::vector<Entry> entries_;
};

} // namespace vantor

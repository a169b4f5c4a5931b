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

// The program's own file beside the task file that keeps the memory across program starts, so that a
// restart, a log-off or a reminder does not act again when the program starts inside the same window.
inline constexpr const char* kActedFileName = "vantor-acted.dat";

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
    // Forgets every occurrence of every task (the user starts the saved tasks again on purpose).
    void Clear();
    // Forgets the occurrences over for so long that no clock set back inside a run reaches them.
    void Prune(DateTime now);

    // The memory as its file holds it: a first line naming the format, then one occurrence a line. And
    // back: a line that cannot be read is left out, so a damaged file at worst forgets.
    std::string Encode() const;
    static ActedWindows Decode(std::string_view text);
    // Goes up with every change, so the file is written only when there is something new in it.
    uint64_t Revision() const { return revision_; }

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
    uint64_t revision_ = 0;
};

} // namespace vantor

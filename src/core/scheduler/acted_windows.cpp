// The window occurrences tasks have acted in.
#include "core/scheduler/acted_windows.h"

#include <algorithm>

namespace vantor {

namespace {

// Occurrences over for this long are forgotten: no clock is set back that far inside a run, and the
// memory stays as small as the number of recent actions.
constexpr int64_t kKeepDays = 8;

} // namespace

std::string TaskIdentity(const TaskRecord& record) {
    std::vector<std::string> params = SplitParams(record.params);
    for (const int picker : {PStartValue, PEndValue}) {
        if (params.size() > static_cast<size_t>(picker)) {
            params[static_cast<size_t>(picker)].clear();
        }
    }
    std::string identity = record.timeMode;
    for (const std::string& p : params) {
        identity += ',';
        identity += p;
    }
    return identity;
}

void ActedWindows::Record(std::string task, Window occurrence) {
    const DateTime horizon = occurrence.end.addDays(-kKeepDays);
    std::erase_if(entries_, [&](const Entry& e) { return e.occurrence.end < horizon; });
    if (!Has(task, occurrence)) {
        entries_.push_back(Entry{std::move(task), occurrence});
    }
}

bool ActedWindows::Has(std::string_view task, Window occurrence) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.occurrence == occurrence && e.task == task; });
}

bool ActedWindows::AnyIn(Window occurrence) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.occurrence == occurrence; });
}

void ActedWindows::Forget(std::string_view task) {
    std::erase_if(entries_, [&](const Entry& e) { return e.task == task; });
}

std::optional<Window> ActedWindows::NotActedIn(std::string_view task, int timeMode,
                                               const std::array<bool, 7>& week, Window occurrence) const {
    // Every selected day has a window of its own, so a week's worth of them always ends the search.
    for (int i = 0; i <= 7 && Has(task, occurrence); ++i) {
        if (timeMode != ModeWeekly) {
            return std::nullopt;
        }
        occurrence = NextWeeklyWindow(week, occurrence.start.timeOfDay(), occurrence.end.timeOfDay(),
                                      occurrence.end.addSeconds(1));
    }
    return occurrence;
}

} // namespace vantor

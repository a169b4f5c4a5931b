// Choosing the saved task to run next (loadtask's selection).
#include "core/scheduler/selection.h"

#include "core/common/numbers.h"
#include "core/tasks/validation.h"

#include <cmath>
#include <string>
#include <string_view>

namespace vantor {

namespace {

// One of the comma-separated task parameters, found in place: selection runs over every row of the list,
// and splitting all twenty fields of each row cost more than everything else together.
std::string_view Param(std::string_view params, int index) {
    size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        size_t comma = params.find(',', begin);
        if (comma == std::string_view::npos) {
            return {};
        }
        begin = comma + 1;
    }
    size_t end = params.find(',', begin);
    return params.substr(begin, end == std::string_view::npos ? std::string_view::npos : end - begin);
}

// Whole seconds of a stored number text; nullopt when the text is no number or does not fit 32 bits.
std::optional<int32_t> WholeSeconds(std::string_view text) {
    if (!IsNumeric(text)) {
        return std::nullopt;
    }
    std::string digits;
    for (char c : text) {
        if (c != ',') {
            digits += c; // digit-group separators are part of a valid number text
        }
    }
    return RoundToInt32(NumericValue(digits));
}

// The week selection of a stored mask, Monday first; missing characters are days not ticked.
std::array<bool, 7> WeekOfMask(std::string_view mask) {
    std::array<bool, 7> week{};
    for (size_t i = 0; i < week.size() && i < mask.size(); ++i) {
        week[i] = mask[i] == '1';
    }
    return week;
}

bool TimeModeAboveNone(const std::string& timeMode) {
    return NumericValue(timeMode) > -1;
}

// Candidate order: earliest start first; of equal starts the upper row (rows are collected from the
// bottom and a new pair goes before the pairs with its start).
bool Before(DateTime startA, int rowA, DateTime startB, int rowB) {
    return startA < startB || (startA == startB && rowA < rowB);
}

} // namespace

std::optional<std::pair<DateTime, DateTime>> CandidateWindow(const TaskRecord& row, DateTime now) {
    if (!row.enabled) {
        return std::nullopt;
    }
    std::string_view params = row.params;
    if (row.timeMode == "0") {
        std::optional<int32_t> n = WholeSeconds(Param(params, PCountdownText));
        if (!n) {
            return std::nullopt;
        }
        return std::pair{now, now.addSeconds(*n)};
    }
    if (row.timeMode == "1") {
        std::optional<DateTime> start = ParseDateTime(row.startText);
        std::optional<DateTime> end = ParseDateTime(row.endText);
        if (!start || !end) {
            return std::nullopt;
        }
        return std::pair{*start, *end};
    }
    if (row.timeMode == "2") {
        std::optional<DateTime> ts = ParseDateTime(row.startText);
        std::optional<DateTime> te = ParseDateTime(row.endText);
        if (!ts || !te) {
            return std::nullopt;
        }
        const Window w =
            NextWeeklyWindow(WeekOfMask(Param(params, PWeekMask)), ts->timeOfDay(), te->timeOfDay(), now);
        return std::pair{w.start, w.end};
    }
    // No time condition: the idle time plus the traffic hold time bound the run.
    double total = 0;
    for (int index : {PIdleDays, PIdleHours, PIdleMinutes, PIdleSeconds, PNetHoldSeconds}) {
        double factor = index == PIdleDays      ? 86400
                        : index == PIdleHours   ? 3600
                        : index == PIdleMinutes ? 60
                                                : 1;
        total += NumericValue(Param(params, index)) * factor;
    }
    std::optional<int32_t> s = std::isfinite(total) ? RoundToInt32(total) : std::nullopt;
    if (!s) {
        return std::nullopt;
    }
    return std::pair{now, now.addSeconds(*s)};
}

Selection SelectTask(const std::vector<TaskRecord>& rows, DateTime now, const ActedWindows* acted) {
    Selection sel;
    if (rows.empty()) {
        sel.outcome = Selection::Outcome::NoRows;
        sel.message = Message{"没有设定任务！", kNoticeTitle, MessageIcon::Information};
        return sel;
    }
    // The candidate list is never needed as a whole: the first pair in candidate order that can be
    // chosen is the least of the choosable pairs in that order, so one pass finds it.
    int enabled = 0;
    int candidates = 0;
    bool found = false;
    for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
        const TaskRecord& row = rows[static_cast<size_t>(i)];
        if (!row.enabled) {
            continue;
        }
        ++enabled;
        std::optional<std::pair<DateTime, DateTime>> window = CandidateWindow(row, now);
        if (!window || now > window->second) {
            continue; // unreadable texts, or the window is over
        }
        if (acted != nullptr && (row.timeMode == "1" || row.timeMode == "2") &&
            acted->AnyIn(Window{window->first, window->second})) {
            const std::optional<Window> next = acted->NotActedIn(
                TaskIdentity(row), row.timeMode == "1" ? ModeWindow : ModeWeekly,
                WeekOfMask(Param(row.params, PWeekMask)), Window{window->first, window->second});
            if (!next) {
                continue; // this time window has had its action
            }
            window = std::pair{next->start, next->end};
        }
        ++candidates;
        auto [start, end] = *window;
        bool choosable = now < start || !TimeModeAboveNone(row.timeMode) || now < end;
        if (choosable && (!found || Before(start, i, sel.start, sel.row))) {
            found = true;
            sel.row = i;
            sel.start = start;
            sel.end = end;
        }
    }
    if (enabled == 0) {
        sel.outcome = Selection::Outcome::NoEnabled;
        sel.message = Message{"没有可执行的任务！", kNoticeTitle, MessageIcon::Information};
        return sel;
    }
    sel.checkSavedTaskMode = true;
    if (candidates == 0) {
        sel.outcome = Selection::Outcome::NoCandidate;
        sel.message = Message{"没有符合条件的任务！", kNoticeTitle, MessageIcon::Information};
        return sel;
    }
    sel.outcome = found ? Selection::Outcome::Chosen : Selection::Outcome::NoChoice;
    if (!found) {
        sel.row = -1;
        sel.start = DateTime{};
        sel.end = DateTime{};
    }
    return sel;
}

} // namespace vantor

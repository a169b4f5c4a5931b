// Checks the editor's task before it is added, changed or started, and computes its concrete times.
#pragma once

#include "core/common/datetime.h"
#include "core/common/message.h"
#include "core/tasks/task_record.h"

#include <optional>

namespace vantor {

// Controls the focus moves to after a failed check.
enum class EditorControl {
    None,
    Chk_time,
    Comb_oper,
    Comb_time,
    DTPk_start,
    DTPk_end,
    txt_ttime,
    List_week,
    txt_day,
    txt_hour,
    txt_mini,
    txt_second,
    Comb_updown,
    Comb_netcompare,
    txt_netdata,
    txt_net_time,
    txt_tips
};

struct CheckFailure {
    Message message;
    EditorControl focus = EditorControl::None; // None: the focus stays where it is
};

struct CheckResult {
    bool ok = false;
    std::optional<CheckFailure> failure; // set when !ok
    // New picker values, set as soon as the mode's time checks have passed (countdown: start = end of the
    // countdown; weekly: the next window), even when a later check fails.
    std::optional<DateTime> newStart;
    std::optional<DateTime> newEnd;
};

// The fifteen checks in their fixed order; `now` is the current local time.
CheckResult ConditionCheck(const EditorValues& v, DateTime now);

// Refusal text for a countdown whose end lies beyond what the seconds counter can hold.
inline constexpr const char* kCountdownTooLongText = "倒计时秒数过大，无法计算结束时间！";

// Countdown N: numeric value of the text + 1, rounded half to even; nullopt when it does not fit 32 bits.
std::optional<int32_t> CountdownSeconds(const std::string& countdownText);

// The next weekly window for a week selection and the times of day of start and end: the first window of
// a selected day that is not over at `now`. A window passing midnight ends on the selected day. With no
// day selected, the last day of the week, one day on when it is over (the stored-task rule).
struct Window {
    DateTime start;
    DateTime end;
    friend bool operator==(const Window&, const Window&) = default;
};
Window NextWeeklyWindow(const std::array<bool, 7>& week, int64_t startTimeOfDay, int64_t endTimeOfDay,
                        DateTime now);

} // namespace vantor

// Checks the editor's task before it is added, changed or started, and computes its concrete times.
#include "core/tasks/validation.h"

#include "core/common/numbers.h"

#include <cmath>

namespace vantor {

namespace {

CheckResult Fail(CheckResult result, std::string text, EditorControl focus, const char* title = kNoticeTitle,
                 MessageIcon icon = MessageIcon::Information) {
    result.ok = false;
    result.failure = CheckFailure{Message{std::move(text), title, icon}, focus};
    return result;
}

bool HasAnyDay(const std::array<bool, 7>& week) {
    for (bool day : week) {
        if (day) {
            return true;
        }
    }
    return false;
}

bool IsBlankOfSpaces(const std::string& text) {
    // Only the half-width space counts as nothing: a tab or a full-width space is a deliberate text.
    return text.find_first_not_of(' ') == std::string::npos;
}

// The time-window rows: end not before start, end still ahead, and room for the idle and hold times.
std::optional<CheckResult> CheckWindow(const EditorValues& v, DateTime now, const CheckResult& result) {
    if (v.end < v.start) {
        return Fail(result, "截止时间必须大于起始时间！", EditorControl::DTPk_end);
    }
    if (v.end <= now) {
        return Fail(result, "设定时段小于当前时间！", EditorControl::DTPk_end);
    }
    const double windowSeconds = static_cast<double>(v.end.seconds - v.start.seconds);
    if (v.idleOn && IdleTotalSeconds(v) > windowSeconds) {
        return Fail(result, "设定时段范围小于闲置时间，条件无法达成！", EditorControl::None, kAppTitle,
                    MessageIcon::None);
    }
    if (v.netOn && NumericValue(v.netHoldSeconds) > windowSeconds) {
        return Fail(result, "设定时段范围小于网络持续时间，条件无法达成！", EditorControl::None, kAppTitle,
                    MessageIcon::None);
    }
    return std::nullopt;
}

// The countdown row; on success the countdown's end goes into the start picker.
std::optional<CheckResult> CheckCountdown(const EditorValues& v, DateTime now, CheckResult& result) {
    // "1,000" reads as one second and its comma would split the stored parameter list: never run or
    // store it, whichever way the text got into the box.
    if (HasDigitGroups(v.countdownText)) {
        return Fail(result, "请输入大于0的整数！", EditorControl::txt_ttime, kNoticeTitle,
                    MessageIcon::Information);
    }
    const std::optional<int32_t> n = CountdownSeconds(v.countdownText);
    if (!n) {
        // Only a hand-edited task file can get here with a huge value; a hugely negative one is simply
        // "not above 0", a huge positive one gets its own words instead of a wrapped-around time.
        const double raw = NumericValue(v.countdownText) + 1.0;
        if (std::isnan(raw) || raw <= 1.0) {
            return Fail(result, "请输入大于0的数值!", EditorControl::txt_ttime, kNoticeTitle,
                        MessageIcon::None);
        }
        return Fail(result, kCountdownTooLongText, EditorControl::txt_ttime);
    }
    if (*n <= 1) {
        return Fail(result, "请输入大于0的数值!", EditorControl::txt_ttime, kNoticeTitle, MessageIcon::None);
    }
    result.newStart = now.addSeconds(*n);
    return std::nullopt;
}

std::optional<CheckResult> CheckWeekly(const EditorValues& v, DateTime now, CheckResult& result) {
    if (!HasAnyDay(v.week)) {
        return Fail(result, "请勾选星期！!", EditorControl::List_week, kNoticeTitle, MessageIcon::None);
    }
    const Window window = NextWeeklyWindow(v.week, v.start.timeOfDay(), v.end.timeOfDay(), now);
    result.newStart = window.start;
    result.newEnd = window.end;
    return std::nullopt;
}

} // namespace

std::optional<int32_t> CountdownSeconds(const std::string& countdownText) {
    return RoundToInt32(NumericValue(countdownText) + 1.0);
}

Window NextWeeklyWindow(const std::array<bool, 7>& week, int64_t startTimeOfDay, int64_t endTimeOfDay,
                        DateTime now) {
    const int w = now.weekday();
    // Days from today to the first selected day on or after today + `from`; 7 - w without any (the last day
    // of the week, as the stored-task rule gives).
    const auto selectedFrom = [&](int from) {
        for (int offset = from; offset < from + 7; ++offset) {
            if (week[static_cast<size_t>((w - 1 + offset) % 7)]) {
                return offset;
            }
        }
        return 7 - w;
    };
    const auto windowOn = [&](int offset) {
        const DateTime day = now.date().addDays(offset);
        // A window passing midnight ends on the selected day and so starts on the evening before it.
        return Window{startTimeOfDay > endTimeOfDay ? day.addDays(-1).addSeconds(startTimeOfDay)
                                                    : day.addSeconds(startTimeOfDay),
                      day.addSeconds(endTimeOfDay)};
    };
    const int offset = selectedFrom(0);
    Window window = windowOn(offset);
    if (now > window.end) {
        // Over for today: the next selected day's window, never an unselected day's.
        window = HasAnyDay(week) ? windowOn(selectedFrom(offset + 1)) : windowOn(offset + 1);
    }
    return window;
}

CheckResult ConditionCheck(const EditorValues& v, DateTime now) {
    CheckResult result;
    if (!v.timeOn && !v.idleOn && !v.netOn) {
        return Fail(result, "请设定条件！", EditorControl::Chk_time, kNoticeTitle, MessageIcon::Warning);
    }
    if (v.operation < OpRemind || v.operation > OpHibernate) {
        return Fail(result, "请选择操作方式！", EditorControl::Comb_oper);
    }
    if (v.timeOn) {
        std::optional<CheckResult> failed;
        switch (v.timeMode) {
        case ModeCountdown:
            failed = CheckCountdown(v, now, result);
            break;
        case ModeWindow:
            failed = CheckWindow(v, now, result);
            break;
        case ModeWeekly:
            failed = CheckWeekly(v, now, result);
            break;
        default:
            failed = Fail(result, "请选择时间设定模式！", EditorControl::Comb_time);
            break;
        }
        if (failed) {
            return *failed;
        }
    }
    if (v.idleOn && IdleTotalSeconds(v) == 0.0) {
        return Fail(result, "请输入闲置时间！", EditorControl::txt_day);
    }
    // A digit-group separator reads as the end of the number ("1,000" is 1) while the condition column
    // would show the text as typed: never run or store such a value.
    if (v.idleOn) {
        for (const auto& [text, box] : {std::pair{&v.idleDays, EditorControl::txt_day},
                                        std::pair{&v.idleHours, EditorControl::txt_hour},
                                        std::pair{&v.idleMinutes, EditorControl::txt_mini},
                                        std::pair{&v.idleSeconds, EditorControl::txt_second}}) {
            if (HasDigitGroups(*text)) {
                return Fail(result, "请输入大于0的整数！", box, kNoticeTitle, MessageIcon::Information);
            }
        }
    }
    if (v.netOn) {
        if (v.direction < 0) {
            return Fail(result, "请选择网络模式！", EditorControl::Comb_updown);
        }
        if (v.compare < 0) {
            return Fail(result, "请选择网络流量比较方式！", EditorControl::Comb_netcompare);
        }
        if (v.netRate.empty()) {
            return Fail(result, "请输入网络流量标准！", EditorControl::txt_netdata);
        }
        if (v.netHoldSeconds.empty()) {
            return Fail(result, "请输入网络持续时间！", EditorControl::txt_net_time);
        }
        if (HasDigitGroups(v.netRate)) {
            return Fail(result, "请输入数值！", EditorControl::txt_netdata, kNoticeTitle,
                        MessageIcon::Information);
        }
        if (HasDigitGroups(v.netHoldSeconds)) {
            return Fail(result, "请输入大于0的整数！", EditorControl::txt_net_time, kNoticeTitle,
                        MessageIcon::Information);
        }
    }
    if (v.operation < OpShutdown) {
        if (IsBlankOfSpaces(v.tips)) {
            return Fail(result, "请输入提醒内容、程序路径或进程名称！", EditorControl::txt_tips);
        }
    }
    result.ok = true;
    return result;
}

} // namespace vantor

// The input rules of the editor's entry boxes and the texts of their labels.
#include "core/tasks/editor_rules.h"

#include "core/common/duration.h"
#include "core/common/numbers.h"
#include "core/tasks/validation.h"

#include <cmath>

namespace vantor {

namespace {

constexpr const char* kEnterNumber = "请输入数值！";
constexpr const char* kEnterWholeAboveZero = "请输入大于0的整数！";

BoxVerdict Refuse(std::string text, const char* title, MessageIcon icon, bool clear = false) {
    return BoxVerdict{false, Message{std::move(text), title, icon}, clear};
}

// "秒(1时1分1秒)" for a numeric text; a value beyond the seconds a countdown can hold shows no duration
// rather than a wrapped-around one.
std::string CountdownCaption(const std::string& text) {
    const std::optional<int32_t> rounded = RoundToInt32(NumericValue(text));
    if (!rounded) {
        return "秒";
    }
    return "秒(" + FormatDuration(*rounded) + ")";
}

// A sum beyond the moments the pickers can hold is held at the limit instead of overflowing.
DateTime AddSecondsClamped(DateTime from, double seconds) {
    const DateTime latest = DateTime::fromParts(9999, 12, 31, 23, 59, 59);
    const DateTime earliest = DateTime::fromParts(100, 1, 1);
    if (std::isnan(seconds)) {
        return from;
    }
    const double rounded = RoundHalfEven(seconds);
    const double target = static_cast<double>(from.seconds) + rounded;
    if (target >= static_cast<double>(latest.seconds)) {
        return latest;
    }
    if (target <= static_cast<double>(earliest.seconds)) {
        return earliest;
    }
    return from.addSeconds(static_cast<int64_t>(rounded));
}

} // namespace

std::optional<std::string> CountdownLabel(const std::string& text, bool countdownBoxVisible) {
    // While the pickers show a window the label between them says "至", whatever the hidden countdown box
    // still holds (a loaded weekly task keeps its old countdown text).
    if (!countdownBoxVisible) {
        return std::nullopt;
    }
    if (text == "0" || text.empty()) {
        return std::string("秒");
    }
    if (!IsNumeric(text)) {
        return std::nullopt;
    }
    return CountdownCaption(text);
}

BoxVerdict ValidateCountdown(const std::string& text, std::optional<std::string>& label) {
    label.reset();
    if (text.empty()) {
        return BoxVerdict{};
    }
    if (!IsNumeric(text)) {
        return Refuse(kEnterNumber, kNoticeTitle, MessageIcon::Information);
    }
    label = CountdownCaption(text);
    // The countdown text is stored as typed in a comma-separated list, and "1,000" would count as one
    // second: a digit-group separator is refused like any other text that is no plain whole number.
    if (!IsWholeNonNegative(text) || NumericValue(text) == 0.0 || HasDigitGroups(text)) {
        return Refuse(kEnterWholeAboveZero, kNoticeTitle, MessageIcon::Information);
    }
    // "1e30" is short enough for the box yet no countdown can last that long: refuse it here already.
    if (!CountdownSeconds(text)) {
        return Refuse(kCountdownTooLongText, kNoticeTitle, MessageIcon::Information);
    }
    return BoxVerdict{};
}

BoxVerdict TimeSet(const std::string& text, int n) {
    if (text.empty()) {
        return BoxVerdict{};
    }
    if (!IsNumeric(text)) {
        return Refuse(kEnterNumber, kInputHintTitle, MessageIcon::Warning);
    }
    // "1,000" would count as 1: a digit-group separator is refused like a fraction.
    if (!IsWholeNonNegative(text) || HasDigitGroups(text)) {
        return Refuse(kEnterWholeAboveZero, kNoticeTitle, MessageIcon::Information);
    }
    if (n >= 1 && NumericValue(text) > n) {
        return Refuse("请输入大于0小于" + std::to_string(n) + "的整数！", kInputHintTitle,
                      MessageIcon::Warning);
    }
    return BoxVerdict{};
}

std::string IdleTotalLabel(const std::string& days, const std::string& hours, const std::string& minutes,
                           const std::string& seconds) {
    EditorValues v;
    v.idleDays = days;
    v.idleHours = hours;
    v.idleMinutes = minutes;
    v.idleSeconds = seconds;
    return "秒，共" + FormatGrouped(IdleTotalSeconds(v), 0) + "秒";
}

BoxVerdict ValidateNetRate(const std::string& text) {
    if (text.empty()) {
        return BoxVerdict{};
    }
    // "1,000" passes the numeric test but would count as 1.
    if (!IsNumeric(text) || HasDigitGroups(text)) {
        return Refuse(kEnterNumber, kNoticeTitle, MessageIcon::Information);
    }
    const double value = NumericValue(text);
    if (value < 0.0) {
        return Refuse("请输入大于等于0的数值！", kNoticeTitle, MessageIcon::Information, true);
    }
    if (value > 1000000000.0) {
        return Refuse("输入数值过大！", kNoticeTitle, MessageIcon::Information, true);
    }
    return BoxVerdict{};
}

BoxVerdict ValidateNetHold(const std::string& text) {
    if (text.empty()) {
        return BoxVerdict{};
    }
    if (!IsNumeric(text)) {
        return Refuse(kEnterNumber, kNoticeTitle, MessageIcon::Information);
    }
    if (!IsWholeNonNegative(text) || NumericValue(text) == 0.0 || HasDigitGroups(text)) {
        return Refuse(kEnterWholeAboveZero, kNoticeTitle, MessageIcon::Information);
    }
    return BoxVerdict{};
}

DateTime CoupleEndChange(DateTime start, DateTime end) {
    return start > end ? start : end;
}

DateTime CoupleStartChange(const EditorValues& v) {
    if (v.timeMode <= ModeCountdown) {
        return v.end;
    }
    const DateTime end = CoupleEndChange(v.start, v.end);
    // The window is made exactly as long as the enabled idle and traffic conditions need.
    double span = 0.0;
    if (v.idleOn) {
        span += IdleTotalSeconds(v);
    }
    if (v.netOn) {
        span += RoundHalfEven(NumericValue(v.netHoldSeconds));
    }
    if (!v.idleOn && !v.netOn) {
        return end;
    }
    return AddSecondsClamped(v.start, span);
}

OperationInputs InputsForOperation(int index) {
    OperationInputs in;
    if (index == OpRemind) {
        in.fullscrEnabled = false;
        in.fullscrCleared = true;
        in.tipsVisible = true;
        in.tipsReadOnly = false;
        in.tipsText = "提醒时间到!";
        in.labTipsCaption = "提醒：";
        return in;
    }
    if (index == OpRun) {
        in.tipsVisible = true;
        in.labTipsCaption = "路径";
        in.clearTipsUnlessFile = true;
        in.multVisible = true;
    } else if (index == OpEndProcess) {
        in.tipsVisible = true;
        in.labTipsCaption = "进程";
        in.tipsReadOnly = false;
    }
    return in;
}

bool HasExactExeExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    const std::string ext = dot == std::string::npos ? path : path.substr(dot + 1);
    return ext == "exe";
}

} // namespace vantor

#include "core/tasks/task_record.h"

#include "core/common/duration.h"
#include "core/common/numbers.h"
#include "core/common/text.h"

#include <limits>

namespace vantor {

const std::array<const char*, 9> kOperationItems = {"提醒", "运行", "结束", "关机", "重启",
                                                    "注销", "锁定", "睡眠", "休眠"};
const std::array<const char*, 3> kTimeModeItems = {"倒计时", "时段", "每周"};
const std::array<const char*, 2> kDirectionItems = {"下载", "上传"};
const std::array<const char*, 2> kCompareItems = {"小于等于", "大于等于"};
const std::array<const char*, 7> kWeekdayItems = {"星期一", "星期二", "星期三", "星期四",
                                                  "星期五", "星期六", "星期日"};

namespace {

template <size_t N> std::string ItemText(const std::array<const char*, N>& items, int index) {
    return index >= 0 && static_cast<size_t>(index) < N ? items[static_cast<size_t>(index)] : "";
}

const char* Flag(bool on) {
    return on ? "1" : "0";
}

// The editor's week list only counts when the time condition is on and shows the weekly mode; that is
// also the only case in which the editor loader reads the mask back.
bool IsWeekly(const EditorValues& v) {
    return v.timeOn && v.timeMode == ModeWeekly;
}

// Countdown seconds for the end column; the validation keeps them in range, a wild value is held at the
// nearest 32-bit bound rather than wrapping.
int32_t CountdownSeconds(const std::string& text) {
    const double v = NumericValue(text);
    if (const auto n = RoundToInt32(v)) {
        return *n;
    }
    return v < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}

} // namespace

std::string OperationItemText(int index) {
    return ItemText(kOperationItems, index);
}

double IdleTotalSeconds(const EditorValues& v) {
    return NumericValue(v.idleDays) * 86400.0 + NumericValue(v.idleHours) * 3600.0 +
           NumericValue(v.idleMinutes) * 60.0 + NumericValue(v.idleSeconds);
}

std::string WeekMaskText(const std::array<bool, 7>& week) {
    std::string mask;
    for (bool day : week) {
        mask += Flag(day);
    }
    return mask;
}

std::string ComposeConditionText(const EditorValues& v) {
    std::string text;
    if (v.timeOn) {
        if (v.timeMode == ModeCountdown) {
            text = "倒计时" + v.countdownText + "秒";
        } else if (v.timeMode == ModeWindow) {
            text = "时段";
        } else {
            text = "周";
            bool everyDay = true;
            for (size_t i = 0; i < v.week.size(); ++i) {
                if (v.week[i]) {
                    text += std::to_string(i + 1);
                } else {
                    everyDay = false;
                }
            }
            if (everyDay) {
                text = "每天";
            }
        }
    }
    if (v.idleOn) {
        const std::string idle = "闲置" + NumberText(IdleTotalSeconds(v)) + "秒";
        text = text.empty() ? idle : text + "+" + idle;
    }
    if (v.netOn) {
        const std::string net = ItemText(kDirectionItems, v.direction) + ItemText(kCompareItems, v.compare) +
                                v.netRate + "KB/S,持续" + v.netHoldSeconds + "秒";
        text = text.empty() ? net : text + "+" + net;
    }
    return text;
}

std::string ComposeParams(const EditorValues& v) {
    const std::array<std::string, kParamCount> values = {
        Flag(v.timeOn),
        Flag(v.idleOn),
        Flag(v.netOn),
        std::to_string(v.operation),
        Flag(v.fullScreenPause),
        std::to_string(v.timeMode),
        FormatDateTime(v.start),
        FormatDateTime(v.end),
        v.countdownText,
        IsWeekly(v) ? WeekMaskText(v.week) : std::string(),
        NumberText(NumericValue(v.idleDays)),
        NumberText(NumericValue(v.idleHours)),
        NumberText(NumericValue(v.idleMinutes)),
        NumberText(NumericValue(v.idleSeconds)),
        std::to_string(v.direction),
        std::to_string(v.compare),
        NumberText(NumericValue(v.netRate)),
        NumberText(NumericValue(v.netHoldSeconds)),
        Flag(v.allowMultiple),
        v.tips,
    };
    std::string joined;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i > 0) {
            joined += ",";
        }
        joined += values[i];
    }
    return joined;
}

TaskRecord ComposeRecord(const EditorValues& v) {
    TaskRecord r;
    r.enabled = false;
    if (!v.timeOn) {
        r.startText = "全天";
    } else if (v.timeMode == ModeCountdown) {
        r.endText = FormatDuration(CountdownSeconds(v.countdownText));
    } else if (v.timeMode == ModeWindow) {
        r.startText = FormatDateTime(v.start);
        r.endText = FormatDateTime(v.end);
    } else {
        r.startText = FormatTimeOfDay(v.start);
        r.endText = FormatTimeOfDay(v.end);
    }
    r.conditionText = ComposeConditionText(v);
    r.operationText = OperationItemText(v.operation);
    r.timeMode = v.timeOn ? std::to_string(v.timeMode) : "-1";
    r.params = ComposeParams(v);
    return r;
}

std::vector<std::string> SplitParams(const std::string& params) {
    return Split(params, ',');
}

} // namespace vantor

// A task in its three forms: the editor's values, the task-list row and the task-file line.
#pragma once

#include "core/common/datetime.h"

#include <array>
#include <string>
#include <vector>

namespace vantor {

// Operation list indices (Comb_oper); -1 = nothing selected.
enum Operation : int {
    OpNone = -1,
    OpRemind = 0,
    OpRun = 1,
    OpEndProcess = 2,
    OpShutdown = 3,
    OpRestart = 4,
    OpLogOff = 5,
    OpLock = 6,
    OpSleep = 7,
    OpHibernate = 8,
};

// Time-mode list indices (Comb_time); -1 = nothing selected.
enum TimeModeIndex : int { ModeNone = -1, ModeCountdown = 0, ModeWindow = 1, ModeWeekly = 2 };

// The fixed items of the editor's lists, in list order.
extern const std::array<const char*, 9> kOperationItems;    // 提醒 运行 结束 关机 重启 注销 锁定 睡眠 休眠
extern const std::array<const char*, 3> kTimeModeItems;     // 倒计时 时段 每周
extern const std::array<const char*, 2> kDirectionItems;    // 下载 上传
extern const std::array<const char*, 2> kCompareItems;      // 小于等于 大于等于
extern const std::array<const char*, 7> kWeekdayItems;      // 星期一 ... 星期日

// Text of an item by index, empty for -1 or out of range.
std::string OperationItemText(int index);

// Everything the task editor holds: what the shell reads from its controls and passes to the core.
struct EditorValues {
    bool timeOn = false;          // Chk_time
    bool idleOn = false;          // Chk_sysfree
    bool netOn = false;           // Chk_net
    int operation = OpNone;       // Comb_oper index
    bool fullScreenPause = false; // chk_fullscr
    int timeMode = ModeNone;      // Comb_time index
    DateTime start;               // DTPk_start
    DateTime end;                 // DTPk_end
    std::string countdownText;    // txt_ttime, as typed
    std::array<bool, 7> week{};   // List_week selection, Monday first
    std::string idleDays;         // txt_day
    std::string idleHours;        // txt_hour
    std::string idleMinutes;      // txt_mini
    std::string idleSeconds;      // txt_second
    int direction = -1;           // Comb_updown index: 0 download, 1 upload
    int compare = -1;             // Comb_netcompare index: 0 at most, 1 at least
    std::string netRate;          // txt_netdata, as typed
    std::string netHoldSeconds;   // txt_net_time, as typed
    bool allowMultiple = false;   // Chk_mult
    std::string tips;             // txt_tips
};

// One task-list row / task-file line. In the list `enabled` is the row's check mark.
struct TaskRecord {
    bool enabled = false;
    std::string startText;     // column "起始时间"
    std::string endText;       // column "截止时间"
    std::string conditionText; // column "条件设置"
    std::string operationText; // column "操作"
    std::string timeMode;      // hidden column: "-1", "0", "1", "2"
    std::string params;        // hidden column: the 20 task parameters joined by ","

    friend bool operator==(const TaskRecord&, const TaskRecord&) = default;
};

// Positions of the 20 task parameters inside TaskRecord::params.
enum ParamIndex : int {
    PTimeOn = 0, PIdleOn, PNetOn, POperation, PFullScreenPause, PTimeModeIndex, PStartValue, PEndValue,
    PCountdownText, PWeekMask, PIdleDays, PIdleHours, PIdleMinutes, PIdleSeconds, PNetDirection, PNetCompare,
    PNetRate, PNetHoldSeconds, PAllowMultiple, PTipsText,
    kParamCount
};

// Idle total in seconds: days*86400 + hours*3600 + minutes*60 + seconds from the numeric values.
double IdleTotalSeconds(const EditorValues& v);

// "倒计时600秒", "时段+闲置1800秒", "周135+下载小于等于10KB/S,持续30秒", "每天", ...
std::string ComposeConditionText(const EditorValues& v);

// The 20 values joined by "," in their written forms.
std::string ComposeParams(const EditorValues& v);

// The whole row as a new task gets it (unchecked).
TaskRecord ComposeRecord(const EditorValues& v);

// The parameters split on ","; a short text gives fewer than 20 entries (callers leave the rest alone).
std::vector<std::string> SplitParams(const std::string& params);

// The week mask "1010100" of the week selection.
std::string WeekMaskText(const std::array<bool, 7>& week);

} // namespace vantor

#include "core/tasks/task_record.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

const DateTime kStart = DateTime::fromParts(2026, 12, 8, 1, 48, 46);
const DateTime kEnd = DateTime::fromParts(2026, 12, 9);

EditorValues Countdown(const std::string& seconds) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeCountdown;
    v.countdownText = seconds;
    v.operation = OpShutdown;
    v.start = kStart;
    v.end = kEnd;
    return v;
}

EditorValues Weekly(std::array<bool, 7> week) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeWeekly;
    v.week = week;
    v.operation = OpLock;
    v.start = DateTime::fromParts(2026, 12, 8, 8, 5, 0);
    v.end = DateTime::fromParts(2026, 12, 8, 17, 30, 9);
    return v;
}

TEST(TaskRecordTest, CountdownOfNinetySecondsWithOneHourIdle) {
    EditorValues v = Countdown("90");
    v.idleOn = true;
    v.idleHours = "1";
    const TaskRecord r = ComposeRecord(v);
    EXPECT_FALSE(r.enabled);
    EXPECT_EQ(r.startText, "");
    EXPECT_EQ(r.endText, "1分30秒");
    EXPECT_EQ(r.conditionText, "倒计时90秒+闲置3600秒");
    EXPECT_EQ(r.operationText, "关机");
    EXPECT_EQ(r.timeMode, "0");
}

TEST(TaskRecordTest, NewCountdownShutdownMatchesTheAppendedExampleLine) {
    const TaskRecord r = ComposeRecord(Countdown("600"));
    EXPECT_EQ(r.endText, "10分0秒");
    EXPECT_EQ(r.conditionText, "倒计时600秒");
    EXPECT_EQ(r.params, "1,0,0,3,0,0,2026/12/8 1:48:46,2026/12/9,600,,0,0,0,0,-1,-1,0,0,0,");
}

TEST(TaskRecordTest, CountdownEndRoundsHalvesToEven) {
    EXPECT_EQ(ComposeRecord(Countdown("60.5")).endText, "1分0秒");
    EXPECT_EQ(ComposeRecord(Countdown("61.5")).endText, "1分2秒");
    EXPECT_EQ(ComposeRecord(Countdown("3600abc")).endText, "1时0秒");
    // The condition text keeps what was typed.
    EXPECT_EQ(ComposeRecord(Countdown("60.5")).conditionText, "倒计时60.5秒");
}

TEST(TaskRecordTest, WeeklyMondayWednesdayFriday) {
    const TaskRecord r = ComposeRecord(Weekly({true, false, true, false, true, false, false}));
    EXPECT_EQ(r.conditionText, "周135");
    EXPECT_EQ(SplitParams(r.params)[PWeekMask], "1010100");
    EXPECT_EQ(r.startText, "08:05:00");
    EXPECT_EQ(r.endText, "17:30:09");
    EXPECT_EQ(r.timeMode, "2");
    EXPECT_EQ(r.operationText, "锁定");
}

TEST(TaskRecordTest, WeeklyAllSevenDaysIsEveryDay) {
    EditorValues v = Weekly({true, true, true, true, true, true, true});
    v.idleOn = true;
    v.idleMinutes = "5";
    const TaskRecord r = ComposeRecord(v);
    EXPECT_EQ(r.conditionText, "每天+闲置300秒");
    EXPECT_EQ(SplitParams(r.params)[PWeekMask], "1111111");
}

TEST(TaskRecordTest, WeekMaskIsEmptyOutsideTheWeeklyMode) {
    EditorValues countdown = Countdown("10");
    countdown.week = {true, true, false, false, false, false, false};
    EXPECT_EQ(SplitParams(ComposeParams(countdown))[PWeekMask], "");
    EditorValues off = Weekly({true, false, false, false, false, false, false});
    off.timeOn = false;
    off.idleOn = true;
    off.idleSeconds = "5";
    EXPECT_EQ(SplitParams(ComposeParams(off))[PWeekMask], "");
}

TEST(TaskRecordTest, TimeOffWithThirtyMinutesIdle) {
    EditorValues v;
    v.timeOn = false;
    v.timeMode = ModeWindow;
    v.idleOn = true;
    v.idleMinutes = "30";
    v.operation = OpSleep;
    const TaskRecord r = ComposeRecord(v);
    EXPECT_EQ(r.startText, "全天");
    EXPECT_EQ(r.endText, "");
    EXPECT_EQ(r.conditionText, "闲置1800秒");
    EXPECT_EQ(r.timeMode, "-1");
    EXPECT_EQ(SplitParams(r.params)[PTimeModeIndex], "1");
    EXPECT_EQ(SplitParams(r.params)[PTimeOn], "0");
}

TEST(TaskRecordTest, TimeWindowWritesBothDateTimes) {
    EditorValues v = Countdown("");
    v.timeMode = ModeWindow;
    v.netOn = true;
    v.direction = 1;
    v.compare = 1;
    v.netRate = "50";
    v.netHoldSeconds = "60";
    const TaskRecord r = ComposeRecord(v);
    EXPECT_EQ(r.startText, "2026/12/8 1:48:46");
    EXPECT_EQ(r.endText, "2026/12/9");
    EXPECT_EQ(r.conditionText, "时段+上传大于等于50KB/S,持续60秒");
    EXPECT_EQ(r.timeMode, "1");
}

TEST(TaskRecordTest, NetworkOnlyHasNoLeadingPlus) {
    EditorValues v;
    v.netOn = true;
    v.direction = 0;
    v.compare = 0;
    v.netRate = "10";
    v.netHoldSeconds = "30";
    EXPECT_EQ(ComposeConditionText(v), "下载小于等于10KB/S,持续30秒");
}

TEST(TaskRecordTest, ParamsCarryEveryValueInItsWrittenForm) {
    EditorValues v;
    v.timeOn = true;
    v.idleOn = true;
    v.netOn = true;
    v.operation = OpRun;
    v.fullScreenPause = true;
    v.timeMode = ModeWindow;
    v.start = kStart;
    v.end = kEnd;
    v.countdownText = " 7x";
    v.idleDays = "1";
    v.idleHours = "2.5";
    v.idleMinutes = "abc";
    v.idleSeconds = " 1 2";
    v.direction = 1;
    v.compare = 0;
    v.netRate = "1,5";
    v.netHoldSeconds = "";
    v.allowMultiple = true;
    v.tips = "C:\\a b.exe";
    const auto p = SplitParams(ComposeParams(v));
    ASSERT_EQ(p.size(), static_cast<size_t>(kParamCount));
    EXPECT_EQ(
        p, (std::vector<std::string>{"1",         "1",   "1", "1", "1",   "1",          "2026/12/8 1:48:46",
                                     "2026/12/9", " 7x", "",  "1", "2.5", "0",          "12",
                                     "1",         "0",   "1", "0", "1",   "C:\\a b.exe"}));
    EXPECT_DOUBLE_EQ(IdleTotalSeconds(v), 86400 + 2.5 * 3600 + 12);
}

TEST(TaskRecordTest, TipsWithCommaIsCutWhenReadBack) {
    EditorValues v = Countdown("5");
    v.tips = "a,b";
    const auto p = SplitParams(ComposeParams(v));
    EXPECT_EQ(p[PTipsText], "a");
}

// The lists' items themselves are checked where the editor shows them.
TEST(TaskRecordTest, OperationTextIsEmptyOutsideTheList) {
    EXPECT_EQ(OperationItemText(OpRemind), "提醒");
    EXPECT_EQ(OperationItemText(OpHibernate), "休眠");
    EXPECT_EQ(OperationItemText(OpNone), "");
    EXPECT_EQ(OperationItemText(9), "");
    EXPECT_EQ(OperationItemText(-2), "");
    EXPECT_EQ(WeekMaskText({false, false, false, false, false, false, true}), "0000001");
}

} // namespace
} // namespace vantor

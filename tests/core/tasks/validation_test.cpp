// The task check: the order of the checks, their messages and focus targets, and the computed times.
#include "core/tasks/validation.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace vantor {
namespace {

DateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return DateTime::fromParts(y, mo, d, h, mi, s);
}

// Wednesday 9 December 2026, 10:00:00. The moments are functions, not constants, so that no value is made
// before the date arithmetic of the core is ready (the order of static initialisation is not fixed).
DateTime Now() {
    return At(2026, 12, 9, 10, 0, 0);
}

// A complete idle-only shut-down task; each case spoils or extends it.
EditorValues IdleShutdown() {
    EditorValues v;
    v.idleOn = true;
    v.idleHours = "1";
    v.operation = OpShutdown;
    return v;
}

EditorValues WindowTask(DateTime start, DateTime end) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeWindow;
    v.start = start;
    v.end = end;
    v.operation = OpShutdown;
    return v;
}

EditorValues Countdown(const std::string& text) {
    EditorValues v;
    v.timeOn = true;
    v.timeMode = ModeCountdown;
    v.countdownText = text;
    v.operation = OpShutdown;
    return v;
}

// Adds a complete traffic condition with the given hold time.
EditorValues AddNet(EditorValues v, std::string hold) {
    v.netOn = true;
    v.direction = 0;
    v.compare = 0;
    v.netRate = "10";
    v.netHoldSeconds = std::move(hold);
    return v;
}

EditorValues NetShutdown() {
    EditorValues v;
    v.operation = OpShutdown;
    return AddNet(v, "30");
}

template <typename F> EditorValues With(EditorValues v, F change) {
    change(v);
    return v;
}

struct FailingCase {
    const char* name;
    EditorValues values;
    std::string text;
    std::string title;
    MessageIcon icon;
    EditorControl focus;
};

void PrintTo(const FailingCase& c, std::ostream* os) {
    *os << c.name;
}

class ConditionCheckRefuses : public testing::TestWithParam<FailingCase> {};

TEST_P(ConditionCheckRefuses, WithTheFirstFailingRowsMessageAndFocus) {
    const FailingCase& c = GetParam();
    const CheckResult r = ConditionCheck(c.values, Now());
    EXPECT_FALSE(r.ok);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_EQ(r.failure->message.text, c.text);
    EXPECT_EQ(r.failure->message.title, c.title);
    EXPECT_EQ(r.failure->message.icon, c.icon);
    EXPECT_EQ(r.failure->focus, c.focus);
}

const MessageIcon kInfo = MessageIcon::Information;
const MessageIcon kWarn = MessageIcon::Warning;
const MessageIcon kNoIcon = MessageIcon::None;
DateTime HourAgo() {
    return At(2026, 12, 9, 9, 0, 0);
}
DateTime InHour() {
    return At(2026, 12, 9, 11, 0, 0);
}
DateTime InTwoHours() {
    return At(2026, 12, 9, 12, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConditionCheckRefuses,
    testing::Values(
        FailingCase{"NoConditionComesBeforeNoOperation",
                    With(EditorValues{}, [](EditorValues& v) { v.operation = OpNone; }), "请设定条件！",
                    "提示", kWarn, EditorControl::Chk_time},
        FailingCase{"NoOperation", With(IdleShutdown(), [](EditorValues& v) { v.operation = OpNone; }),
                    "请选择操作方式！", "提示", kInfo, EditorControl::Comb_oper},
        FailingCase{"NoTimeMode", With(Countdown("10"), [](EditorValues& v) { v.timeMode = ModeNone; }),
                    "请选择时间设定模式！", "提示", kInfo, EditorControl::Comb_time},
        FailingCase{"EndBeforeStart", WindowTask(InTwoHours(), InHour()), "截止时间必须大于起始时间！",
                    "提示", kInfo, EditorControl::DTPk_end},
        FailingCase{"EndBeforeStartComesBeforeEndInThePast", WindowTask(Now(), HourAgo()),
                    "截止时间必须大于起始时间！", "提示", kInfo, EditorControl::DTPk_end},
        FailingCase{"EndExactlyNow", WindowTask(HourAgo(), Now()), "设定时段小于当前时间！", "提示", kInfo,
                    EditorControl::DTPk_end},
        FailingCase{"EndInThePast", WindowTask(At(2026, 12, 9, 8), HourAgo()), "设定时段小于当前时间！",
                    "提示", kInfo, EditorControl::DTPk_end},
        FailingCase{"IdleOneSecondLongerThanTheWindow",
                    With(WindowTask(InHour(), InTwoHours()),
                         [](EditorValues& v) {
                             v.idleOn = true;
                             v.idleHours = "1";
                             v.idleSeconds = "1";
                         }),
                    "设定时段范围小于闲置时间，条件无法达成！", "Vantor", kNoIcon, EditorControl::None},
        FailingCase{"IdleInAnEmptyWindow",
                    With(WindowTask(InHour(), InHour()),
                         [](EditorValues& v) {
                             v.idleOn = true;
                             v.idleSeconds = "1";
                         }),
                    "设定时段范围小于闲置时间，条件无法达成！", "Vantor", kNoIcon, EditorControl::None},
        FailingCase{"HoldLongerThanTheWindow", AddNet(WindowTask(InHour(), InTwoHours()), "3601"),
                    "设定时段范围小于网络持续时间，条件无法达成！", "Vantor", kNoIcon, EditorControl::None},
        FailingCase{"CountdownEmpty", Countdown(""), "请输入大于0的数值!", "提示", kNoIcon,
                    EditorControl::txt_ttime},
        FailingCase{"CountdownZero", Countdown("0"), "请输入大于0的数值!", "提示", kNoIcon,
                    EditorControl::txt_ttime},
        FailingCase{"CountdownRoundingToNothing", Countdown("0.4"), "请输入大于0的数值!", "提示", kNoIcon,
                    EditorControl::txt_ttime},
        FailingCase{"CountdownNegative", Countdown("-3"), "请输入大于0的数值!", "提示", kNoIcon,
                    EditorControl::txt_ttime},
        FailingCase{"CountdownHugelyNegative", Countdown("-99999999999"), "请输入大于0的数值!", "提示",
                    kNoIcon, EditorControl::txt_ttime},
        FailingCase{"CountdownWithDigitGroups", Countdown("1,000"), "请输入大于0的整数！", "提示", kInfo,
                    EditorControl::txt_ttime},
        FailingCase{"CountdownBeyondTheSecondsCounter", Countdown("99999999999"), kCountdownTooLongText,
                    "提示", kInfo, EditorControl::txt_ttime},
        FailingCase{"CountdownOneBeyondTheSecondsCounter", Countdown("2147483647"), kCountdownTooLongText,
                    "提示", kInfo, EditorControl::txt_ttime},
        FailingCase{"WeeklyWithoutDays",
                    With(WindowTask(Now(), Now()), [](EditorValues& v) { v.timeMode = ModeWeekly; }),
                    "请勾选星期！!", "提示", kNoIcon, EditorControl::List_week},
        FailingCase{"IdleAllEmpty", With(IdleShutdown(), [](EditorValues& v) { v.idleHours.clear(); }),
                    "请输入闲置时间！", "提示", kInfo, EditorControl::txt_day},
        FailingCase{
            "IdleAllZero",
            With(IdleShutdown(),
                 [](EditorValues& v) { v.idleDays = v.idleHours = v.idleMinutes = v.idleSeconds = "0"; }),
            "请输入闲置时间！", "提示", kInfo, EditorControl::txt_day},
        FailingCase{"NoDirection", With(NetShutdown(), [](EditorValues& v) { v.direction = -1; }),
                    "请选择网络模式！", "提示", kInfo, EditorControl::Comb_updown},
        FailingCase{"NoComparison", With(NetShutdown(), [](EditorValues& v) { v.compare = -1; }),
                    "请选择网络流量比较方式！", "提示", kInfo, EditorControl::Comb_netcompare},
        FailingCase{"NoRate", With(NetShutdown(), [](EditorValues& v) { v.netRate.clear(); }),
                    "请输入网络流量标准！", "提示", kInfo, EditorControl::txt_netdata},
        FailingCase{"NoHoldTime", With(NetShutdown(), [](EditorValues& v) { v.netHoldSeconds.clear(); }),
                    "请输入网络持续时间！", "提示", kInfo, EditorControl::txt_net_time},
        FailingCase{"RateWithDigitGroups", With(NetShutdown(), [](EditorValues& v) { v.netRate = "1,000"; }),
                    "请输入数值！", "提示", kInfo, EditorControl::txt_netdata},
        FailingCase{"HoldWithDigitGroups",
                    With(NetShutdown(), [](EditorValues& v) { v.netHoldSeconds = "1,000"; }),
                    "请输入大于0的整数！", "提示", kInfo, EditorControl::txt_net_time},
        FailingCase{"IdleMinutesWithDigitGroups",
                    With(IdleShutdown(), [](EditorValues& v) { v.idleMinutes = "1,000"; }),
                    "请输入大于0的整数！", "提示", kInfo, EditorControl::txt_mini},
        FailingCase{"NetRowsComeBeforeTheTipsRow",
                    With(NetShutdown(),
                         [](EditorValues& v) {
                             v.direction = -1;
                             v.operation = OpRemind;
                         }),
                    "请选择网络模式！", "提示", kInfo, EditorControl::Comb_updown},
        FailingCase{"RemindWithThreeSpaces",
                    With(IdleShutdown(),
                         [](EditorValues& v) {
                             v.operation = OpRemind;
                             v.tips = "   ";
                         }),
                    "请输入提醒内容、程序路径或进程名称！", "提示", kInfo, EditorControl::txt_tips},
        FailingCase{"RunWithoutPath", With(IdleShutdown(), [](EditorValues& v) { v.operation = OpRun; }),
                    "请输入提醒内容、程序路径或进程名称！", "提示", kInfo, EditorControl::txt_tips},
        FailingCase{"EndProcessWithoutName",
                    With(IdleShutdown(), [](EditorValues& v) { v.operation = OpEndProcess; }),
                    "请输入提醒内容、程序路径或进程名称！", "提示", kInfo, EditorControl::txt_tips}),
    [](const testing::TestParamInfo<FailingCase>& info) { return std::string(info.param.name); });

struct PassingCase {
    const char* name;
    EditorValues values;
};

void PrintTo(const PassingCase& c, std::ostream* os) {
    *os << c.name;
}

class ConditionCheckAccepts : public testing::TestWithParam<PassingCase> {};

TEST_P(ConditionCheckAccepts, AndLeavesTheWindowPickersAlone) {
    const CheckResult r = ConditionCheck(GetParam().values, Now());
    EXPECT_TRUE(r.ok);
    EXPECT_FALSE(r.failure.has_value()) << r.failure->message.text;
    if (GetParam().values.timeMode == ModeWindow || !GetParam().values.timeOn) {
        EXPECT_FALSE(r.newStart.has_value());
        EXPECT_FALSE(r.newEnd.has_value());
    }
}

EditorValues WithOperation(int op, std::string tips) {
    EditorValues v = IdleShutdown();
    v.operation = op;
    v.tips = std::move(tips);
    return v;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ConditionCheckAccepts,
    testing::Values(PassingCase{"WindowOfNoLengthAhead", WindowTask(InHour(), InHour())},
                    PassingCase{"WindowEndingOneSecondFromNow", WindowTask(HourAgo(), Now().addSeconds(1))},
                    PassingCase{"IdleExactlyAsLongAsTheWindow", With(WindowTask(InHour(), InTwoHours()),
                                                                     [](EditorValues& v) {
                                                                         v.idleOn = true;
                                                                         v.idleHours = "1";
                                                                     })},
                    PassingCase{"HoldExactlyAsLongAsTheWindow",
                                AddNet(WindowTask(InHour(), InTwoHours()), "3600")},
                    PassingCase{"TimeModeIgnoredWhileTimeIsOff",
                                With(IdleShutdown(), [](EditorValues& v) { v.timeMode = ModeNone; })},
                    PassingCase{"NetOnly", NetShutdown()},
                    PassingCase{"ShutDownWithoutTips", WithOperation(OpShutdown, "")},
                    PassingCase{"RestartWithoutTips", WithOperation(OpRestart, "")},
                    PassingCase{"LogOffWithoutTips", WithOperation(OpLogOff, "")},
                    PassingCase{"LockWithoutTips", WithOperation(OpLock, "")},
                    PassingCase{"SleepWithoutTips", WithOperation(OpSleep, "")},
                    PassingCase{"HibernateWithCommaInTheUnusedTips", WithOperation(OpHibernate, "a,b;c")},
                    PassingCase{"RemindWithATab", WithOperation(OpRemind, "\t")},
                    PassingCase{"RemindWithAFullWidthSpace", WithOperation(OpRemind, "\xE3\x80\x80")},
                    PassingCase{"RunWithAPath", WithOperation(OpRun, "C:\\tools\\app.exe")},
                    // A task stored by an earlier version runs with its texts; only storing refuses them.
                    PassingCase{"RemindWithACommaAndASemicolon", WithOperation(OpRemind, "hello,world;")},
                    PassingCase{"WeeklyWithDigitGroupsInTheUnusedCountdown", With(WindowTask(Now(), Now()),
                                                                                  [](EditorValues& v) {
                                                                                      v.timeMode = ModeWeekly;
                                                                                      v.week[0] = true;
                                                                                      v.countdownText =
                                                                                          "1,000";
                                                                                  })},
                    PassingCase{"EndProcessWithAName", WithOperation(OpEndProcess, "notepad.exe")}),
    [](const testing::TestParamInfo<PassingCase>& info) { return std::string(info.param.name); });

struct CountdownCase {
    const char* name;
    const char* text;
    int64_t expectedSeconds;
};

class CountdownEnd : public testing::TestWithParam<CountdownCase> {};

TEST_P(CountdownEnd, IsNowPlusTheEntryPlusOneSecondInTheStartPicker) {
    const EditorValues v = Countdown(GetParam().text);
    const CheckResult r = ConditionCheck(v, Now());
    EXPECT_TRUE(r.ok);
    ASSERT_TRUE(r.newStart.has_value());
    EXPECT_EQ(r.newStart->seconds - Now().seconds, GetParam().expectedSeconds);
    EXPECT_FALSE(r.newEnd.has_value());
}

INSTANTIATE_TEST_SUITE_P(Entries, CountdownEnd,
                         testing::Values(CountdownCase{"Ten", "10", 11}, CountdownCase{"One", "1", 2},
                                         CountdownCase{"OneDayOneHourOneMinuteOneSecond", "90061", 90062},
                                         CountdownCase{"HalfRoundsToEvenTwo", "0.5", 2},
                                         CountdownCase{"OneAndAHalfRoundsToEvenTwo", "1.5", 2},
                                         CountdownCase{"LongestTypedEntry", "999999999", 1000000000},
                                         CountdownCase{"LargestThatFits", "2147483646", 2147483647}),
                         [](const testing::TestParamInfo<CountdownCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(CountdownEndTest, OneDayOneHourOneMinuteTwoSecondsLaterOnTheCalendar) {
    const CheckResult r = ConditionCheck(Countdown("90061"), Now());
    ASSERT_TRUE(r.newStart.has_value());
    EXPECT_EQ(*r.newStart, At(2026, 12, 10, 11, 1, 2));
}

TEST(CountdownEndTest, IsKeptWhenALaterRowFails) {
    EditorValues v = Countdown("10");
    v.idleOn = true;
    const CheckResult r = ConditionCheck(v, Now());
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.failure->focus, EditorControl::txt_day);
    ASSERT_TRUE(r.newStart.has_value());
    EXPECT_EQ(*r.newStart, Now().addSeconds(11));
}

struct WeeklyCase {
    const char* name;
    std::array<bool, 7> week; // Monday first
    DateTime now;
    int64_t startOfDay;
    int64_t endOfDay;
    DateTime start;
    DateTime end;
};

constexpr int64_t H(int h, int m = 0) {
    return h * 3600 + m * 60;
}

class NextWeeklyWindowIs : public testing::TestWithParam<WeeklyCase> {};

TEST_P(NextWeeklyWindowIs, TheExpectedOne) {
    const WeeklyCase& c = GetParam();
    const Window w = NextWeeklyWindow(c.week, c.startOfDay, c.endOfDay, c.now);
    EXPECT_EQ(FormatDateTime(w.start), FormatDateTime(c.start));
    EXPECT_EQ(FormatDateTime(w.end), FormatDateTime(c.end));
}

constexpr std::array<bool, 7> kMonday{true, false, false, false, false, false, false};
constexpr std::array<bool, 7> kWednesday{false, false, true, false, false, false, false};
constexpr std::array<bool, 7> kWeekend{false, false, false, false, false, true, true};
constexpr std::array<bool, 7> kNoDay{};

INSTANTIATE_TEST_SUITE_P(
    Cases, NextWeeklyWindowIs,
    testing::Values(
        // 2026-12-07 is a Monday, 2026-12-09 a Wednesday, 2026-12-13 a Sunday.
        WeeklyCase{"MondayOnlySeenOnWednesdayIsNextMonday", kMonday, Now(), H(8), H(9), At(2026, 12, 14, 8),
                   At(2026, 12, 14, 9)},
        WeeklyCase{"OverMidnightAlreadyOverMovesToTheNextMonday", kMonday, At(2026, 12, 7, 10), H(22), H(2),
                   At(2026, 12, 13, 22), At(2026, 12, 14, 2)},
        WeeklyCase{"OverMidnightStillRunningStartedYesterday", kMonday, At(2026, 12, 7, 1), H(22), H(2),
                   At(2026, 12, 6, 22), At(2026, 12, 7, 2)},
        // Never to an unselected day: a Wednesday-only task chosen on Wednesday evening waits a week.
        WeeklyCase{"TodaysWindowOverMovesToTheNextSelectedDay", kWednesday, Now(), H(8), H(9),
                   At(2026, 12, 16, 8), At(2026, 12, 16, 9)},
        WeeklyCase{"TodaysWindowEndingNowStaysToday", kWednesday, Now(), H(8), H(10), At(2026, 12, 9, 8),
                   At(2026, 12, 9, 10)},
        WeeklyCase{"TodaysWindowStillAheadStaysToday", kWednesday, Now(), H(20), H(21, 30),
                   At(2026, 12, 9, 20), At(2026, 12, 9, 21, 30)},
        WeeklyCase{"EqualTimesAreAnEmptyWindowNotADayLong", kWednesday, Now(), H(12), H(12),
                   At(2026, 12, 9, 12), At(2026, 12, 9, 12)},
        WeeklyCase{"SundayAfterItsWindowMovesToNextSaturday", kWeekend, At(2026, 12, 13, 23), H(8), H(9),
                   At(2026, 12, 19, 8), At(2026, 12, 19, 9)},
        WeeklyCase{"LaterDayThisWeekBeforeNextWeek", kWeekend, Now(), H(8), H(9), At(2026, 12, 12, 8),
                   At(2026, 12, 12, 9)},
        WeeklyCase{"NoDaySelectedFallsOnTheLastDayOfTheWeek", kNoDay, Now(), H(8), H(9), At(2026, 12, 13, 8),
                   At(2026, 12, 13, 9)}),
    [](const testing::TestParamInfo<WeeklyCase>& info) { return std::string(info.param.name); });

TEST(WeeklyCheck, UsesOnlyTheTimeOfDayOfThePickers) {
    EditorValues v = WindowTask(At(2001, 1, 1, 8), At(2030, 5, 5, 9));
    v.timeMode = ModeWeekly;
    v.week = kMonday;
    const CheckResult r = ConditionCheck(v, Now());
    EXPECT_TRUE(r.ok);
    ASSERT_TRUE(r.newStart && r.newEnd);
    EXPECT_EQ(*r.newStart, At(2026, 12, 14, 8));
    EXPECT_EQ(*r.newEnd, At(2026, 12, 14, 9));
}

TEST(WeeklyCheck, AFailingIdleRowStillReturnsTheNewWindow) {
    EditorValues v = WindowTask(At(2026, 12, 9, 8), At(2026, 12, 9, 9));
    v.timeMode = ModeWeekly;
    v.week = kMonday;
    v.idleOn = true;
    const CheckResult r = ConditionCheck(v, Now());
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.failure->message.text, "请输入闲置时间！");
    EXPECT_EQ(r.failure->focus, EditorControl::txt_day);
    ASSERT_TRUE(r.newStart && r.newEnd);
    EXPECT_EQ(*r.newStart, At(2026, 12, 14, 8));
    EXPECT_EQ(*r.newEnd, At(2026, 12, 14, 9));
}

TEST(WindowCheck, AFailingWindowRowReturnsNoPickerValues) {
    const CheckResult r = ConditionCheck(WindowTask(HourAgo(), Now()), Now());
    ASSERT_FALSE(r.ok);
    EXPECT_FALSE(r.newStart.has_value());
    EXPECT_FALSE(r.newEnd.has_value());
}

TEST(CountdownSecondsTest, AddsOneAndRoundsHalvesToEven) {
    EXPECT_EQ(CountdownSeconds(""), 1);
    EXPECT_EQ(CountdownSeconds("0.4"), 1);
    EXPECT_EQ(CountdownSeconds("0.5"), 2);
    EXPECT_EQ(CountdownSeconds("2.5"), 4);
    EXPECT_EQ(CountdownSeconds("600"), 601);
    EXPECT_EQ(CountdownSeconds("2147483646"), 2147483647);
    EXPECT_EQ(CountdownSeconds("2147483647"), std::nullopt);
    EXPECT_EQ(CountdownSeconds("1e30"), std::nullopt);
}

} // namespace
} // namespace vantor

// Choosing the next saved task: the three "nothing to run" outcomes, the order rules and every time mode.
#include "core/scheduler/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace vantor {
namespace {

// A Wednesday morning. A function, not a global: date arithmetic must not run during static start-up.
DateTime Wed10() {
    return DateTime::fromParts(2026, 12, 9, 10, 0, 0);
}

std::string Params(const std::string& countdown = "", const std::string& mask = "0000000",
                   const std::array<std::string, 4>& idle = {"", "", "", ""}, const std::string& hold = "") {
    std::vector<std::string> p(kParamCount, "0");
    p[PCountdownText] = countdown;
    p[PWeekMask] = mask;
    p[PIdleDays] = idle[0];
    p[PIdleHours] = idle[1];
    p[PIdleMinutes] = idle[2];
    p[PIdleSeconds] = idle[3];
    p[PNetHoldSeconds] = hold;
    std::string joined;
    for (size_t i = 0; i < p.size(); ++i) {
        joined += (i ? "," : "") + p[i];
    }
    return joined;
}

TaskRecord Countdown(const std::string& seconds, bool enabled = true) {
    return TaskRecord{enabled, "", "", "倒计时", "关机", "0", Params(seconds)};
}

TaskRecord Window(const std::string& start, const std::string& end, bool enabled = true) {
    return TaskRecord{enabled, start, end, "时段", "关机", "1", Params()};
}

TaskRecord Weekly(const std::string& mask, const std::string& start, const std::string& end) {
    return TaskRecord{true, start, end, "每周", "关机", "2", Params("", mask)};
}

TaskRecord NoTime(const std::array<std::string, 4>& idle, const std::string& hold) {
    return TaskRecord{true, "", "", "闲置", "关机", "-1", Params("", "0000000", idle, hold)};
}

DateTime At(int y, int mo, int d, int h, int mi = 0, int s = 0) {
    return DateTime::fromParts(y, mo, d, h, mi, s);
}

TEST(SelectTask, EmptyListSaysNoTaskSetAndLeavesRunSourceAlone) {
    Selection s = SelectTask({}, Wed10());
    EXPECT_EQ(s.outcome, Selection::Outcome::NoRows);
    EXPECT_EQ(s.message, (Message{"没有设定任务！", "提示", MessageIcon::Information}));
    EXPECT_FALSE(s.checkSavedTaskMode);
}

TEST(SelectTask, NoCheckedRowSaysNothingToRun) {
    Selection s = SelectTask(
        {Countdown("10", false), Window("2026/12/9 9:00:00", "2026/12/9 11:00:00", false)}, Wed10());
    EXPECT_EQ(s.outcome, Selection::Outcome::NoEnabled);
    EXPECT_EQ(s.message, (Message{"没有可执行的任务！", "提示", MessageIcon::Information}));
    EXPECT_FALSE(s.checkSavedTaskMode);
}

TEST(SelectTask, AllWindowsOverSaysNoneMeetsAndChecksRunSource) {
    Selection s = SelectTask(
        {Window("2026/12/9 8:00:00", "2026/12/9 9:00:00"), Window("2026/12/1 8:00:00", "2026/12/1 9:00:00")},
        Wed10());
    EXPECT_EQ(s.outcome, Selection::Outcome::NoCandidate);
    EXPECT_EQ(s.message, (Message{"没有符合条件的任务！", "提示", MessageIcon::Information}));
    EXPECT_TRUE(s.checkSavedTaskMode);
    EXPECT_EQ(s.row, -1);
}

TEST(SelectTask, OpenWindowBeatsCountdown) {
    Selection s = SelectTask({Countdown("600"), Window("2026/12/9 9:30:00", "2026/12/9 11:00:00")}, Wed10());
    ASSERT_EQ(s.outcome, Selection::Outcome::Chosen);
    EXPECT_EQ(s.row, 1);
    EXPECT_EQ(s.start, At(2026, 12, 9, 9, 30));
    EXPECT_EQ(s.end, At(2026, 12, 9, 11));
    EXPECT_TRUE(s.checkSavedTaskMode);
    EXPECT_FALSE(s.message.has_value());
}

TEST(SelectTask, CountdownBeatsLaterWindow) {
    Selection s = SelectTask({Window("2026/12/9 15:00:00", "2026/12/9 16:00:00"), Countdown("600")}, Wed10());
    ASSERT_EQ(s.outcome, Selection::Outcome::Chosen);
    EXPECT_EQ(s.row, 1);
    EXPECT_EQ(s.start, Wed10());
    EXPECT_EQ(s.end, Wed10().addSeconds(600));
}

TEST(SelectTask, EqualStartsGoToTheUpperRow) {
    Selection s = SelectTask(
        {Window("2026/12/9 15:00:00", "2026/12/9 16:00:00"), Countdown("30"), Countdown("5")}, Wed10());
    ASSERT_EQ(s.outcome, Selection::Outcome::Chosen);
    EXPECT_EQ(s.row, 1);
    EXPECT_EQ(s.end, Wed10().addSeconds(30));
}

TEST(SelectTask, OnlyTomorrowsWindowIsChosenAtOnce) {
    Selection s = SelectTask({Window("2026/12/10 8:00:00", "2026/12/10 9:00:00")}, Wed10());
    ASSERT_EQ(s.outcome, Selection::Outcome::Chosen);
    EXPECT_EQ(s.start, At(2026, 12, 10, 8));
    EXPECT_EQ(s.end, At(2026, 12, 10, 9));
}

TEST(SelectTask, WindowEndingThisSecondIsCollectedButNotChosen) {
    Selection s = SelectTask({Window("2026/12/9 9:00:00", "2026/12/9 10:00:00")}, Wed10());
    EXPECT_EQ(s.outcome, Selection::Outcome::NoChoice);
    EXPECT_FALSE(s.message.has_value());
    EXPECT_TRUE(s.checkSavedTaskMode);
    EXPECT_EQ(s.row, -1);
}

struct WeeklyCase {
    const char* name;
    std::string mask;
    std::string start;
    std::string end;
    DateTime now;
    DateTime wantStart;
    DateTime wantEnd;
};

class WeeklyCandidate : public testing::TestWithParam<WeeklyCase> {};

TEST_P(WeeklyCandidate, LiesOnTheNextTickedDay) {
    const WeeklyCase& c = GetParam();
    auto w = CandidateWindow(Weekly(c.mask, c.start, c.end), c.now);
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->first, c.wantStart) << FormatDateTime(w->first);
    EXPECT_EQ(w->second, c.wantEnd) << FormatDateTime(w->second);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WeeklyCandidate,
    testing::Values(WeeklyCase{"MondayOnlyOnWednesday", "1000000", "08:00:00", "09:00:00", Wed10(),
                               At(2026, 12, 14, 8), At(2026, 12, 14, 9)},
                    // Never to a day that is not ticked (Thursday here).
                    WeeklyCase{"TodaysWindowOverMovesToTheNextTickedDay", "0010100", "08:00:00", "09:00:00",
                               Wed10(), At(2026, 12, 11, 8), At(2026, 12, 11, 9)},
                    WeeklyCase{"TodayStillAhead", "0010000", "11:00:00", "12:00:00", Wed10(),
                               At(2026, 12, 9, 11), At(2026, 12, 9, 12)},
                    WeeklyCase{"LaterThisWeek", "0000010", "11:00:00", "12:00:00", Wed10(),
                               At(2026, 12, 12, 11), At(2026, 12, 12, 12)},
                    WeeklyCase{"PastMidnightEndsOnTickedDay", "0001000", "22:00:00", "02:00:00", Wed10(),
                               At(2026, 12, 9, 22), At(2026, 12, 10, 2)},
                    WeeklyCase{"PastMidnightTodayOverMovesAWeek", "0010000", "22:00:00", "02:00:00", Wed10(),
                               At(2026, 12, 15, 22), At(2026, 12, 16, 2)},
                    WeeklyCase{"SundayOverWrapsToMonday", "1000001", "08:00:00", "09:00:00",
                               At(2026, 12, 13, 10), At(2026, 12, 14, 8), At(2026, 12, 14, 9)},
                    WeeklyCase{"NoDayTicked", "0000000", "08:00:00", "09:00:00", Wed10(), At(2026, 12, 13, 8),
                               At(2026, 12, 13, 9)},
                    WeeklyCase{"SundayToMonday", "1000000", "08:00:00", "09:00:00", At(2026, 12, 13, 7),
                               At(2026, 12, 14, 8), At(2026, 12, 14, 9)}),
    [](const testing::TestParamInfo<WeeklyCase>& info) { return std::string(info.param.name); });

TEST(CandidateWindow, NoTimeConditionEndsAfterIdlePlusHoldRoundedHalfEven) {
    auto w = CandidateWindow(NoTime({"1", "2", "3", "4.5"}, "0"), Wed10());
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->first, Wed10());
    EXPECT_EQ(w->second, Wed10().addSeconds(86400 + 7200 + 180 + 4));
    w = CandidateWindow(NoTime({"", "", "", "5.5"}, "10abc"), Wed10());
    ASSERT_TRUE(w.has_value());
    EXPECT_EQ(w->second, Wed10().addSeconds(16));
}

TEST(CandidateWindow, CountdownRoundsHalfEven) {
    EXPECT_EQ(CandidateWindow(Countdown("2.5"), Wed10())->second, Wed10().addSeconds(2));
    EXPECT_EQ(CandidateWindow(Countdown("3.5"), Wed10())->second, Wed10().addSeconds(4));
    EXPECT_EQ(CandidateWindow(Countdown(" 42 "), Wed10())->second, Wed10().addSeconds(42));
}

TEST(CandidateWindow, UnconvertibleRowsAreSkipped) {
    EXPECT_FALSE(CandidateWindow(Countdown("abc"), Wed10()).has_value());
    EXPECT_FALSE(CandidateWindow(Countdown(""), Wed10()).has_value());
    EXPECT_FALSE(CandidateWindow(Countdown("3000000000"), Wed10()).has_value()); // beyond 32 bits
    EXPECT_FALSE(CandidateWindow(Window("soon", "2026/12/9 11:00:00"), Wed10()).has_value());
    EXPECT_FALSE(CandidateWindow(Window("2026/12/9 9:00:00", "2026/13/9 11:00:00"), Wed10()).has_value());
    EXPECT_FALSE(CandidateWindow(Weekly("1111111", "8 o'clock", "09:00:00"), Wed10()).has_value());
    EXPECT_FALSE(CandidateWindow(NoTime({"1e300", "", "", ""}, ""), Wed10()).has_value());
    EXPECT_FALSE(CandidateWindow(Countdown("10", false), Wed10()).has_value());
}

TEST(SelectTask, WindowsActedInAreNoCandidatesForThem) {
    const TaskRecord window = Window("2026/12/9 9:00:00", "2026/12/9 11:00:00");
    const TaskRecord weekly = Weekly("0010100", "09:30:00", "10:30:00"); // Wednesday and Friday
    ActedWindows acted;
    acted.Record(TaskIdentity(window), {At(2026, 12, 9, 9), At(2026, 12, 9, 11)});
    acted.Record(TaskIdentity(weekly), {At(2026, 12, 9, 9, 30), At(2026, 12, 9, 10, 30)});
    // The weekly task waits for Friday; the time window is done with.
    Selection s = SelectTask({window, weekly}, Wed10(), &acted);
    ASSERT_EQ(s.outcome, Selection::Outcome::Chosen);
    EXPECT_EQ(s.row, 1);
    EXPECT_EQ(s.start, At(2026, 12, 11, 9, 30));
    EXPECT_EQ(SelectTask({window}, Wed10(), &acted).outcome, Selection::Outcome::NoCandidate);
    // Another task with the same window has not acted in it.
    TaskRecord other = window;
    other.params = Params("", "0000000", {"", "", "5", ""});
    EXPECT_EQ(SelectTask({other}, Wed10(), &acted).row, 0);
    EXPECT_EQ(SelectTask({window, weekly}, Wed10()).row, 0) << "nothing remembered: the open window first";
}

TEST(ActedWindows, OutlivesTheProgramThroughItsFileAndForgetsWhatItCannotRead) {
    ActedWindows acted;
    const std::string reminder = "1,0,0,0,0,1,,,,0000000,,,,,-1,-1,,,0,开会\\n\\议程\n第二行\r";
    acted.Record(reminder, {At(2026, 12, 9, 9), At(2026, 12, 9, 11)});
    acted.Record("2,weekly", {At(2026, 11, 20, 9), At(2026, 11, 20, 10)});
    const std::string file = acted.Encode();
    ActedWindows back = ActedWindows::Decode(file);
    EXPECT_TRUE(back.Has(reminder, {At(2026, 12, 9, 9), At(2026, 12, 9, 11)}));
    EXPECT_TRUE(back.Has("2,weekly", {At(2026, 11, 20, 9), At(2026, 11, 20, 10)}));
    back.Prune(Wed10());
    EXPECT_FALSE(back.AnyIn({At(2026, 11, 20, 9), At(2026, 11, 20, 10)})) << "over for more than a week";
    EXPECT_TRUE(back.AnyIn({At(2026, 12, 9, 9), At(2026, 12, 9, 11)}));

    // A damaged line is left out, the others are kept; another format or no header forgets everything.
    const size_t secondLine = file.find('\n') + 1;
    std::string damaged = file;
    damaged.insert(secondLine, "2026/13/40 9:00:00\t\tx\nno tabs here\n\\q\t\t\n");
    EXPECT_TRUE(ActedWindows::Decode(damaged).Has(reminder, {At(2026, 12, 9, 9), At(2026, 12, 9, 11)}));
    EXPECT_FALSE(
        ActedWindows::Decode(file.substr(secondLine)).AnyIn({At(2026, 12, 9, 9), At(2026, 12, 9, 11)}));
    EXPECT_FALSE(ActedWindows::Decode("").AnyIn({At(2026, 12, 9, 9), At(2026, 12, 9, 11)}));
}

TEST(SelectTask, UnconvertibleRowDoesNotStopTheSelection) {
    Selection s = SelectTask({Countdown("abc"), Window("bad", "worse"), Countdown("60")}, Wed10());
    ASSERT_EQ(s.outcome, Selection::Outcome::Chosen);
    EXPECT_EQ(s.row, 2);
    s = SelectTask({Countdown("abc")}, Wed10());
    EXPECT_EQ(s.outcome, Selection::Outcome::NoCandidate); // enabled, but nothing can run
}

// The selection as described: candidates collected from the last row up, each inserted directly after the
// last held pair with an earlier start; then the first pair that can be chosen.
Selection NaiveSelect(const std::vector<TaskRecord>& rows, DateTime now) {
    struct Pair {
        DateTime start, end;
        int row;
    };
    std::vector<Pair> list;
    for (int i = static_cast<int>(rows.size()) - 1; i >= 0; --i) {
        auto w = CandidateWindow(rows[static_cast<size_t>(i)], now);
        if (!w || now > w->second) {
            continue;
        }
        size_t pos = 0;
        for (size_t j = list.size(); j > 0; --j) {
            if (list[j - 1].start < w->first) {
                pos = j;
                break;
            }
        }
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), Pair{w->first, w->second, i});
    }
    Selection s;
    for (const Pair& p : list) {
        const std::string& mode = rows[static_cast<size_t>(p.row)].timeMode;
        if (now < p.start || mode == "-1" || now < p.end) {
            s.outcome = Selection::Outcome::Chosen;
            s.row = p.row;
            s.start = p.start;
            s.end = p.end;
            return s;
        }
    }
    return s;
}

std::vector<TaskRecord> RandomRows(std::mt19937& rng, size_t n, DateTime now) {
    std::vector<TaskRecord> rows;
    std::uniform_int_distribution<int> kind(0, 5), offset(-3 * 3600, 3 * 3600), len(0, 7200), small(0, 4);
    for (size_t i = 0; i < n; ++i) {
        DateTime a = now.addSeconds(offset(rng));
        DateTime b = a.addSeconds(len(rng));
        switch (kind(rng)) {
        case 0:
            rows.push_back(Countdown(std::to_string(small(rng) * 30)));
            break;
        case 1:
        case 2:
            rows.push_back(Window(FormatDateTime(a), FormatDateTime(b)));
            break;
        case 3: {
            std::string mask = "0000000";
            mask[static_cast<size_t>(small(rng))] = '1';
            rows.push_back(Weekly(mask, FormatTimeOfDay(a), FormatTimeOfDay(b)));
            break;
        }
        case 4:
            rows.push_back(NoTime({"", "", std::to_string(small(rng)), ""}, ""));
            break;
        default:
            rows.push_back(Countdown("x")); // skipped
        }
        rows.back().enabled = small(rng) != 0;
    }
    return rows;
}

TEST(SelectTask, TenThousandRandomRowsMatchTheDescribedInsertion) {
    std::mt19937 rng(20261209);
    for (int round = 0; round < 20; ++round) {
        DateTime now = Wed10().addSeconds(round * 4567);
        std::vector<TaskRecord> rows = RandomRows(rng, round == 0 ? 10000 : 500, now);
        Selection fast = SelectTask(rows, now);
        Selection naive = NaiveSelect(rows, now);
        ASSERT_EQ(fast.outcome == Selection::Outcome::Chosen, naive.outcome == Selection::Outcome::Chosen)
            << "round " << round;
        EXPECT_EQ(fast.row, naive.row) << "round " << round;
        EXPECT_EQ(fast.start, naive.start) << "round " << round;
        EXPECT_EQ(fast.end, naive.end) << "round " << round;
    }
}

TEST(SelectTask, ManyEqualStartsKeepTheUpperRow) {
    std::vector<TaskRecord> rows(3000, Window("2026/12/9 12:00:00", "2026/12/9 13:00:00"));
    rows[1200] = Window("2026/12/9 11:00:00", "2026/12/9 13:00:00");
    rows[2500] = Window("2026/12/9 11:00:00", "2026/12/9 12:00:00");
    Selection s = SelectTask(rows, Wed10());
    EXPECT_EQ(s.row, 1200);
    EXPECT_EQ(NaiveSelect(rows, Wed10()).row, 1200);
}

} // namespace
} // namespace vantor

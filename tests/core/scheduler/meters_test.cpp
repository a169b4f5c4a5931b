// The once-a-second evaluation: time condition texts per mode, the idle meter and the traffic meter.
#include "core/scheduler/meters.h"

#include "core/common/text.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

const std::string kTimeOk = "剩余:0秒" + std::string(36, ' ') + "OK";
const DateTime kNow{4'005'972'000}; // 2026-12-09 10:00:00, fixed so no date code runs at start-up

Readings At(DateTime now, uint64_t ms, std::optional<uint64_t> lastInput = 1, std::optional<double> rx = 0,
            std::optional<double> tx = 0) {
    Readings r;
    r.now = now;
    r.monotonicMs = ms;
    r.lastInputMs = lastInput;
    r.bytesReceived = rx;
    r.bytesSent = tx;
    return r;
}

OperateInput TimeTask(int mode, DateTime start, DateTime end, bool idle = false, bool net = false) {
    OperateInput in;
    in.timeOn = true;
    in.timeMode = mode;
    in.start = start;
    in.end = end;
    in.idleOn = idle;
    in.netOn = net;
    in.idleSeconds = 0;
    in.holdSeconds = 0;
    return in;
}

// ---- time condition ------------------------------------------------------------------------------

struct TimeCase {
    const char* name;
    int mode;
    int64_t startOffset; // seconds from now
    int64_t endOffset;
    std::string label;
    OperateResult::Outcome outcome;
};

class OperateTimeTable : public testing::TestWithParam<TimeCase> {};

TEST_P(OperateTimeTable, LabelAndOutcome) {
    const TimeCase& c = GetParam();
    MeterState st;
    OperateResult r = Operate(
        st, TimeTask(c.mode, kNow.addSeconds(c.startOffset), kNow.addSeconds(c.endOffset)), At(kNow, 1000));
    EXPECT_EQ(r.label, c.label);
    EXPECT_EQ(r.outcome, c.outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OperateTimeTable,
    testing::Values(
        TimeCase{"CountdownRunning", 0, 65, 0, "剩余:1分5秒\n", OperateResult::Outcome::Waiting},
        TimeCase{"CountdownLastSecond", 0, 1, 0, "剩余:1秒\n", OperateResult::Outcome::Waiting},
        TimeCase{"CountdownReached", 0, 0, 0, kTimeOk + "\n", OperateResult::Outcome::Met},
        TimeCase{"CountdownAlreadyPast", 0, -3600, 0, kTimeOk + "\n", OperateResult::Outcome::Met},
        TimeCase{"WindowBefore", 1, 3661, 7200, "剩余:1时1分1秒\n", OperateResult::Outcome::Waiting},
        TimeCase{"WindowStartInclusive", 1, 0, 60, kTimeOk + "\n", OperateResult::Outcome::Met},
        TimeCase{"WindowEndInclusive", 1, -60, 0, kTimeOk + "\n", OperateResult::Outcome::Met},
        TimeCase{"WindowOver", 1, -60, -1, "\n", OperateResult::Outcome::WindowOver},
        TimeCase{"WeeklyBefore", 2, 86400, 90000, "剩余:1天0秒\n", OperateResult::Outcome::Waiting},
        TimeCase{"WeeklyInside", 2, -1, 1, kTimeOk + "\n", OperateResult::Outcome::Met},
        TimeCase{"WeeklyOver", 2, -7200, -3600, "\n", OperateResult::Outcome::WindowOver}),
    [](const testing::TestParamInfo<TimeCase>& info) { return std::string(info.param.name); });

struct SteadyCountdownCase {
    const char* name;
    int64_t wallOffset; // where the wall clock reads, against the arming
    uint64_t steadyMs;  // steady milliseconds since the arming (due after 120 s)
    std::string label;
};

class SteadyCountdownTable : public testing::TestWithParam<SteadyCountdownCase> {};

TEST_P(SteadyCountdownTable, CountsOnTheSteadyClockWhateverTheWallClockSays) {
    const SteadyCountdownCase& c = GetParam();
    MeterState st;
    OperateInput in = TimeTask(0, kNow.addSeconds(120), kNow);
    in.countdownDueMs = 5'000 + 120'000;
    const OperateResult r = Operate(st, in, At(kNow.addSeconds(c.wallOffset), 5'000 + c.steadyMs));
    EXPECT_EQ(r.label, c.label);
    EXPECT_EQ(r.outcome,
              c.label == kTimeOk + "\n" ? OperateResult::Outcome::Met : OperateResult::Outcome::Waiting);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SteadyCountdownTable,
    testing::Values(SteadyCountdownCase{"ClockSetForwardAnHour", 3610, 10'000, "剩余:1分50秒\n"},
                    SteadyCountdownCase{"ClockSetBackAnHour", -3590, 10'000, "剩余:1分50秒\n"},
                    SteadyCountdownCase{"AStartedSecondCounts", 10, 9'001, "剩余:1分51秒\n"},
                    SteadyCountdownCase{"DueToTheMillisecond", 120, 120'000, kTimeOk + "\n"},
                    SteadyCountdownCase{"SleptPastItsEnd", 600, 600'000, kTimeOk + "\n"}),
    [](const testing::TestParamInfo<SteadyCountdownCase>& info) { return std::string(info.param.name); });

struct JumpCase {
    const char* name;
    int64_t wallSeconds;
    int64_t steadyMs;
    bool jumped;
};

class ClockJumpedTable : public testing::TestWithParam<JumpCase> {};

TEST_P(ClockJumpedTable, WallAgainstSteadyOrAGap) {
    const JumpCase& c = GetParam();
    const ClockReading before{kNow, 1'000'000};
    const ClockReading after{kNow.addSeconds(c.wallSeconds), static_cast<uint64_t>(1'000'000 + c.steadyMs)};
    EXPECT_EQ(ClockJumped(before, after), c.jumped);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClockJumpedTable,
                         testing::Values(JumpCase{"OneTick", 1, 1'000, false},
                                         JumpCase{"WholeSecondsOfTheWallClock", 2, 1'001, false},
                                         JumpCase{"LateTick", 2, 1'900, false},
                                         JumpCase{"SetBackHalfAMinute", -29, 1'000, true},
                                         JumpCase{"DaylightSavingStarts", 3601, 1'000, true},
                                         JumpCase{"Resumed", 600, 600'000, true}),
                         [](const testing::TestParamInfo<JumpCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Operate, CountdownTickByTickWithMeters) {
    MeterState st;
    OperateInput in = TimeTask(0, kNow.addSeconds(2), kNow, true, false);
    in.idleSeconds = 1;
    // The countdown measures the idle condition on every tick; the first idle call only takes the baseline.
    OperateResult r = Operate(st, in, At(kNow, 10'000, 5));
    EXPECT_EQ(r.label, "剩余:2秒\n闲置:0秒\n");
    r = Operate(st, in, At(kNow.addSeconds(1), 11'000, 5));
    EXPECT_EQ(r.label, "剩余:1秒\n" + PadToWidth("闲置:1秒", 41) + "OK\n");
    EXPECT_EQ(r.outcome, OperateResult::Outcome::Waiting);
    r = Operate(st, in, At(kNow.addSeconds(2), 12'000, 5));
    EXPECT_EQ(r.label, kTimeOk + "\n" + PadToWidth("闲置:2秒", 41) + "OK\n");
    EXPECT_EQ(r.outcome, OperateResult::Outcome::Met);
}

TEST(Operate, WindowNotYetOpenShowsWaitingLinesAndSkipsTheMeters) {
    MeterState st;
    OperateResult r = Operate(st, TimeTask(1, kNow.addSeconds(65), kNow.addSeconds(600), true, true),
                              At(kNow, 1000, 42, 5000, 5000));
    EXPECT_EQ(r.label, "剩余:1分5秒\n闲置:等待中...\n流量:等待中...");
    EXPECT_EQ(r.outcome, OperateResult::Outcome::Waiting);
    EXPECT_FALSE(st.lastSeenInput.has_value());
    EXPECT_FALSE(st.prevSampleMs.has_value());
}

TEST(Operate, WindowOverStopsWithTheWaitingLinesOfThatTick) {
    MeterState st;
    st.timeStatus = "剩余:5秒";
    st.trafficHoldStartMs = 500;
    OperateResult r =
        Operate(st, TimeTask(2, kNow.addSeconds(-60), kNow.addSeconds(-1), true, true), At(kNow, 1000));
    EXPECT_EQ(r.outcome, OperateResult::Outcome::WindowOver);
    EXPECT_EQ(r.label, "\n闲置:等待中...\n流量:等待中...");
    EXPECT_FALSE(st.trafficHoldStartMs.has_value());
}

TEST(Operate, WithoutTimeConditionTheLabelHasNoTimeLine) {
    MeterState st;
    st.idleStatus = "old idle";
    st.trafficStatus = "old traffic";
    OperateInput in;
    in.netOn = true;
    in.compare = 0;
    in.netLimit = 100;
    OperateResult r = Operate(st, in, At(kNow, 1000));
    EXPECT_EQ(r.label, "下载:0.00KB/S,上传:0.00KB/S,持续0秒" + std::string(9, ' ') + "OK");
    EXPECT_EQ(r.outcome, OperateResult::Outcome::Met);
    EXPECT_EQ(st.idleStatus, "");
}

TEST(Operate, AllThreeConditionsComposeTheDocumentedLabel) {
    MeterState st;
    st.lastSeenInput = 7;
    st.idleBaselineMs = 100'000;
    st.prevSampleMs = 279'000;
    st.prevBytesReceived = 10'000;
    st.prevBytesSent = 20'000;
    st.trafficHoldStartMs = 268'000;
    OperateInput in = TimeTask(0, kNow.addSeconds(65), kNow, true, true);
    in.idleSeconds = 120;
    in.direction = 0;
    in.compare = 0;
    in.netLimit = 0;
    in.holdSeconds = 30;
    OperateResult r = Operate(st, in, At(kNow, 280'000, 7, 10'000, 21'280));
    EXPECT_EQ(r.label,
              "剩余:1分5秒\n" + PadToWidth("闲置:3分0秒", 41) + "OK\n下载:0.00KB/S,上传:1.25KB/S,持续12秒");
    EXPECT_EQ(r.outcome, OperateResult::Outcome::Waiting);
}

// ---- idle meter ------------------------------------------------------------------------------------

TEST(IdleMeter, FirstCallTakesTheBaselineEvenForZero) {
    MeterState st;
    EXPECT_FALSE(IdleMeter(st, 0, At(kNow, 5000, 0)));
    EXPECT_EQ(st.idleStatus, "闲置:0秒");
    EXPECT_TRUE(IdleMeter(st, 0, At(kNow, 5000, 0)));
    EXPECT_EQ(st.idleStatus, PadToWidth("闲置:0秒", 41) + "OK");
}

struct IdleCase {
    double required;
    uint64_t elapsedMs;
    std::string text;
    bool held;
};

class IdleMeterTable : public testing::TestWithParam<IdleCase> {};

TEST_P(IdleMeterTable, RoundsHalfEvenAndComparesInclusively) {
    const IdleCase& c = GetParam();
    MeterState st;
    IdleMeter(st, c.required, At(kNow, 1000, 9));
    EXPECT_EQ(IdleMeter(st, c.required, At(kNow, 1000 + c.elapsedMs, 9)), c.held);
    EXPECT_EQ(st.idleStatus, c.held ? PadToWidth(c.text, 41) + "OK" : c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdleMeterTable,
    testing::Values(IdleCase{5, 5000, "闲置:5秒", true}, IdleCase{5, 4999, "闲置:5秒", false},
                    IdleCase{1, 2500, "闲置:2秒", true}, IdleCase{10, 3500, "闲置:4秒", false},
                    IdleCase{0.5, 500, "闲置:0秒", true}, IdleCase{180, 180'000, "闲置:3分0秒", true},
                    IdleCase{90061, 90'061'000, "闲置:1天1时1分1秒", true}));

TEST(IdleMeter, NewInputMovesTheBaseline) {
    MeterState st;
    IdleMeter(st, 10, At(kNow, 1000, 1));
    EXPECT_TRUE(IdleMeter(st, 10, At(kNow, 11'000, 1)));
    EXPECT_FALSE(IdleMeter(st, 10, At(kNow, 12'000, 11'500)));
    EXPECT_EQ(st.idleStatus, "闲置:0秒");
    EXPECT_EQ(st.idleBaselineMs, 12'000u);
    EXPECT_FALSE(IdleMeter(st, 10, At(kNow, 21'999, 11'500)));
    EXPECT_TRUE(IdleMeter(st, 10, At(kNow, 22'000, 11'500)));
}

TEST(IdleMeter, AfterTheTaskActedItNeedsNewInputThenTheFullTime) {
    MeterState st;
    IdleMeter(st, 5, At(kNow, 1000, 1));
    EXPECT_TRUE(IdleMeter(st, 5, At(kNow, 6000, 1)));
    SpendIdlePeriod(st);
    EXPECT_FALSE(IdleMeter(st, 5, At(kNow, 60'000, 1))) << "the same idle period does not hold twice";
    EXPECT_EQ(st.idleStatus, "闲置:0秒");
    EXPECT_FALSE(IdleMeter(st, 5, At(kNow, 61'000, 60'500)));
    EXPECT_FALSE(IdleMeter(st, 5, At(kNow, 65'999, 60'500)));
    EXPECT_TRUE(IdleMeter(st, 5, At(kNow, 66'000, 60'500)));
}

TEST(IdleMeter, PauseRestartsTheIdleTime) {
    MeterState st;
    IdleMeter(st, 10, At(kNow, 1000, 1));
    PauseMeters(st, 20'000);
    EXPECT_FALSE(IdleMeter(st, 10, At(kNow, 25'000, 1)));
    EXPECT_EQ(st.idleStatus, "闲置:5秒");
    // a baseline ahead of the reading counts as no idle time rather than wrapping around
    PauseMeters(st, 90'000);
    EXPECT_FALSE(IdleMeter(st, 10, At(kNow, 26'000, 1)));
    EXPECT_EQ(st.idleStatus, "闲置:0秒");
}

TEST(IdleMeter, WithoutAnIdleSourceNeverHolds) {
    MeterState st;
    EXPECT_FALSE(IdleMeter(st, 0, At(kNow, 1000, std::nullopt)));
    EXPECT_FALSE(IdleMeter(st, 0, At(kNow, 99'000, std::nullopt)));
    EXPECT_EQ(st.idleStatus, "闲置:此桌面无法提供空闲时间，条件无法达成");
}

// ---- traffic meter ----------------------------------------------------------------------------------

// A state whose previous sample was at monotonic 0 with the given totals.
MeterState Sampled(double rx, double tx) {
    MeterState st;
    st.prevSampleMs = 0;
    st.prevBytesReceived = rx;
    st.prevBytesSent = tx;
    return st;
}

TEST(TrafficMeter, FirstSampleAfterStartMeasuresFromDayZero) {
    MeterState st;
    EXPECT_TRUE(TrafficMeter(st, 0, 0, 0, 0, At(kNow, 5000, 1, 5e9, 3e9)));
    EXPECT_EQ(st.trafficStatus, "下载:0.00KB/S,上传:0.00KB/S,持续0秒" + std::string(9, ' ') + "OK");
    EXPECT_EQ(st.prevBytesReceived, 5e9);
    EXPECT_EQ(st.prevSampleMs, 5000u);
}

struct RateCase {
    double rxDelta;
    double txDelta;
    uint64_t ms;
    const char* down;
    const char* up;
};

class TrafficRateTable : public testing::TestWithParam<RateCase> {};

TEST_P(TrafficRateTable, RatesInKilobytesRoundedHalfEven) {
    const RateCase& c = GetParam();
    MeterState st = Sampled(1'000'000, 1'000'000);
    TrafficMeter(st, 0, 1, 1e12, 0, At(kNow, c.ms, 1, 1'000'000 + c.rxDelta, 1'000'000 + c.txDelta));
    EXPECT_EQ(st.trafficStatus, std::string("下载:") + c.down + "KB/S,上传:" + c.up + "KB/S,持续0秒");
}

INSTANTIATE_TEST_SUITE_P(Cases, TrafficRateTable,
                         testing::Values(RateCase{128, 384, 1000, "0.12", "0.38"}, // .125 -> .12, .375 -> .38
                                         RateCase{1024, 2048, 2000, "0.50", "1.00"}, // over two seconds
                                         RateCase{1'264'128, 0, 1000, "1,234.50", "0.00"},
                                         RateCase{-5000, -1, 1000, "0.00",
                                                  "0.00"}, // totals fell: no negative
                                         RateCase{4096, 4096, 999, "0.00", "0.00"},    // same whole second
                                         RateCase{4096, 4096, 1999, "4.00", "4.00"})); // whole-second steps

TEST(TrafficMeter, AtMostZeroMeetsWhenTheRateRoundsToZero) {
    MeterState st = Sampled(0, 0);
    EXPECT_TRUE(TrafficMeter(st, 0, 0, 0, 0, At(kNow, 1000, 1, 5, 0)));    // 0.0049 KB/s
    EXPECT_FALSE(TrafficMeter(st, 0, 0, 0, 0, At(kNow, 2000, 1, 11, 0)));  // 0.0059 KB/s -> 0.01
    EXPECT_TRUE(TrafficMeter(st, 0, 0, 0, 0, At(kNow, 2500, 1, 5000, 0))); // same second: rate 0
}

TEST(TrafficMeter, UploadDirectionAndAtLeastComparison) {
    MeterState st = Sampled(0, 0);
    EXPECT_TRUE(TrafficMeter(st, 1, 1, 10, 0, At(kNow, 1000, 1, 0, 10 * 1024)));
    EXPECT_FALSE(TrafficMeter(st, 0, 1, 10, 0, At(kNow, 2000, 1, 0, 20 * 1024)));
    EXPECT_TRUE(TrafficMeter(st, 1, 0, 0.1f, 0, At(kNow, 3000, 1, 0, 20 * 1024 + 102.4)));
}

TEST(TrafficMeter, HoldCountsFromTheLastMissAndAcrossMidnight) {
    MeterState st = Sampled(0, 0);
    DateTime evening = DateTime::fromParts(2026, 12, 9, 23, 59, 40);
    uint64_t ms = 1000;
    double rx = 0;
    // 10 KB/s misses "at most 1" and restarts the hold; then quiet seconds until after midnight.
    rx += 10 * 1024;
    EXPECT_FALSE(TrafficMeter(st, 0, 0, 1, 30, At(evening, ms, 1, rx, 0)));
    EXPECT_EQ(st.trafficHoldStartMs, ms);
    for (int s = 1; s < 30; ++s) {
        EXPECT_FALSE(TrafficMeter(st, 0, 0, 1, 30, At(evening.addSeconds(s), ms + 1000u * s, 1, rx, 0))) << s;
    }
    EXPECT_TRUE(TrafficMeter(st, 0, 0, 1, 30, At(evening.addSeconds(30), ms + 30'000, 1, rx, 0)));
    EXPECT_EQ(st.trafficStatus, "下载:0.00KB/S,上传:0.00KB/S,持续30秒" + std::string(8, ' ') + "OK");
}

TEST(TrafficMeter, TextLongerThanThirtySevenKeepsResultWithoutOk) {
    MeterState st = Sampled(0, 0);
    EXPECT_TRUE(
        TrafficMeter(st, 0, 1, 1, 0, At(kNow, 1000, 1, 1024.0 * 1'234'567.89, 1024.0 * 1'234'567.89)));
    EXPECT_EQ(st.trafficStatus, "下载:1,234,567.89KB/S,上传:1,234,567.89KB/S,持续0秒");
}

TEST(TrafficMeter, TextOfExactlyThirtySevenGetsOkDirectly) {
    MeterState st = Sampled(0, 0);
    // "下载:1,234.50KB/S,上传:1,234.50KB/S,持续0秒" has 36 characters; 12,345.50 makes 37 on one side.
    EXPECT_TRUE(TrafficMeter(st, 0, 1, 1, 0, At(kNow, 1000, 1, 1024.0 * 12'345.5, 1024.0 * 1'234.5)));
    EXPECT_EQ(CharCount(st.trafficStatus), 39u);
    EXPECT_EQ(st.trafficStatus, "下载:12,345.50KB/S,上传:1,234.50KB/S,持续0秒OK");
}

TEST(TrafficMeter, UnreadableTableIsASkippedSample) {
    MeterState st = Sampled(1'000'000, 0);
    EXPECT_FALSE(TrafficMeter(st, 0, 1, 1, 0, At(kNow, 1000, 1, std::nullopt, std::nullopt)));
    EXPECT_EQ(st.trafficStatus, "下载:0.00KB/S,上传:0.00KB/S,持续0秒");
    EXPECT_EQ(st.prevBytesReceived, 1'000'000);
    EXPECT_EQ(st.prevSampleMs, 0u);
    // the next good reading averages over both seconds instead of counting everything since start-up
    EXPECT_TRUE(TrafficMeter(st, 0, 1, 1, 0, At(kNow, 2000, 1, 1'000'000 + 4096, 0)));
    EXPECT_EQ(st.trafficStatus.substr(0, std::string("下载:2.00KB/S").size()), "下载:2.00KB/S");
}

TEST(TrafficMeter, PauseAndClearUnsetTheHoldClock) {
    MeterState st = Sampled(0, 0);
    TrafficMeter(st, 0, 0, 1, 100, At(kNow, 1000, 1, 0, 0));
    ASSERT_TRUE(st.trafficHoldStartMs.has_value());
    PauseMeters(st, 5000);
    EXPECT_FALSE(st.trafficHoldStartMs.has_value());
    TrafficMeter(st, 0, 0, 1, 100, At(kNow, 9000, 1, 0, 0));
    EXPECT_EQ(st.trafficHoldStartMs, 9000u);
    st.ClearStatus();
    EXPECT_FALSE(st.trafficHoldStartMs.has_value());
    EXPECT_EQ(st.trafficStatus, "");
}

} // namespace
} // namespace vantor

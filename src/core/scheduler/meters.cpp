// Condition evaluation of the armed task, once a second: time condition, idle and traffic meters, and the
// status label text.
#include "core/scheduler/meters.h"

#include "core/common/duration.h"
#include "core/common/numbers.h"
#include "core/common/text.h"

#include <cmath>
#include <limits>

namespace vantor {

namespace {

const std::string kTimeMetText = std::string("剩余:0秒") + std::string(36, ' ') + "OK";
constexpr size_t kIdleOkColumn = 41;
constexpr size_t kTrafficOkColumn = 37;

// Durations shown in the status lines fit FormatDuration's 32-bit range; longer ones are shown capped.
int32_t ClampSeconds(double seconds) {
    if (!(seconds > std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    if (seconds > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(seconds);
}

std::string RemainingText(DateTime now, DateTime until) {
    return "剩余:" + FormatDuration(ClampSeconds(static_cast<double>(until.seconds - now.seconds)));
}

uint64_t ElapsedMs(uint64_t from, uint64_t to) {
    return to >= from ? to - from : 0;
}

// A rate in KB/s over `elapsed` seconds, to two decimals; nothing to divide by or a decrease gives 0.
double Rate(double total, double previous, int64_t elapsedSeconds) {
    if (elapsedSeconds <= 0) {
        return 0;
    }
    double rate = RoundHalfEven((total - previous) / static_cast<double>(elapsedSeconds) / 1024.0, 2);
    return (std::isfinite(rate) && rate > 0) ? rate : 0;
}

} // namespace

void MeterState::ClearStatus() {
    timeStatus.clear();
    idleStatus.clear();
    trafficStatus.clear();
    trafficHoldStartMs.reset();
}

bool IdleMeter(MeterState& state, double idleSeconds, const Readings& r) {
    if (!r.lastInputMs) {
        // Said plainly: the condition cannot hold here, rather than an idle time of 0 for ever.
        state.idleStatus = "闲置:此桌面无法提供空闲时间，条件无法达成";
        return false;
    }
    if (state.lastSeenInput != r.lastInputMs) {
        state.lastSeenInput = r.lastInputMs;
        state.idleBaselineMs = r.monotonicMs;
        state.idlePeriodSpent = false;
        state.idleStatus = "闲置:0秒";
        return false;
    }
    if (state.idlePeriodSpent) {
        // Nobody has touched the computer since the task acted: this period counts as none.
        state.idleStatus = "闲置:0秒";
        return false;
    }
    uint64_t idleMs = ElapsedMs(state.idleBaselineMs, r.monotonicMs);
    state.idleStatus =
        "闲置:" + FormatDuration(ClampSeconds(RoundHalfEven(static_cast<double>(idleMs) / 1000.0)));
    if (idleSeconds * 1000.0 <= static_cast<double>(idleMs)) {
        state.idleStatus = PadToWidth(state.idleStatus, kIdleOkColumn) + "OK";
        return true;
    }
    return false;
}

bool TrafficMeter(MeterState& state, int direction, int compare, double limit, double holdSeconds,
                  const Readings& r) {
    double download = 0;
    double upload = 0;
    // An unreadable table is a skipped sample: rates 0, and the previous sample stays the reference so the
    // next good reading does not count every byte since start-up as this second's traffic.
    if (r.bytesReceived && r.bytesSent) {
        // Before the first sample the reference is totals 0 at day 0, so that sample's rates are about 0.
        int64_t elapsed = state.prevSampleMs ? static_cast<int64_t>(r.monotonicMs / 1000) -
                                                   static_cast<int64_t>(*state.prevSampleMs / 1000)
                                             : r.now.seconds - state.prevSampleTime.seconds;
        download = Rate(*r.bytesReceived, state.prevBytesReceived, elapsed);
        upload = Rate(*r.bytesSent, state.prevBytesSent, elapsed);
        state.prevBytesReceived = *r.bytesReceived;
        state.prevBytesSent = *r.bytesSent;
        state.prevSampleMs = r.monotonicMs;
        state.prevSampleTime = r.now;
    }

    // The limit is a single-precision entry; comparing at that precision keeps 0.1 <= 0.1 true.
    float rate = static_cast<float>(direction == 0 ? download : upload);
    float bound = static_cast<float>(limit);
    bool meets = compare == 0 ? rate <= bound : rate >= bound;
    bool result = false;
    if (!meets) {
        state.trafficHoldStartMs = r.monotonicMs;
    } else if (!state.trafficHoldStartMs) {
        state.trafficHoldStartMs = r.monotonicMs;
    }
    double heldSeconds = static_cast<double>(ElapsedMs(*state.trafficHoldStartMs, r.monotonicMs)) / 1000.0;
    if (meets) {
        result = heldSeconds >= holdSeconds;
    }

    state.trafficStatus = "下载:" + FormatGrouped(download, 2) + "KB/S,上传:" + FormatGrouped(upload, 2) +
                          "KB/S,持续" + FormatDuration(ClampSeconds(RoundHalfEven(heldSeconds)));
    if (result && CharCount(state.trafficStatus) <= kTrafficOkColumn) {
        state.trafficStatus = PadToWidth(state.trafficStatus, kTrafficOkColumn) + "OK";
    }
    return result;
}

OperateResult Operate(MeterState& state, const OperateInput& in, const Readings& r) {
    OperateResult result;
    bool timeFlag = false;
    bool windowOver = false;

    // Step A: the time condition.
    if (!in.timeOn) {
        timeFlag = true;
    } else if (in.timeMode == 0) {
        if (in.countdownDueMs && r.monotonicMs < *in.countdownDueMs) {
            state.timeStatus = "剩余:" + FormatDuration(ClampSeconds(static_cast<double>(
                                             CountdownSecondsLeft(*in.countdownDueMs, r.monotonicMs))));
        } else if (!in.countdownDueMs && r.now < in.start) {
            state.timeStatus = RemainingText(r.now, in.start);
        } else {
            state.timeStatus = kTimeMetText;
            timeFlag = true;
        }
    } else if (in.timeMode == 1 || in.timeMode == 2) {
        if (in.start <= r.now && r.now <= in.end) {
            state.timeStatus = kTimeMetText;
            timeFlag = true;
        } else if (r.now < in.start) {
            state.timeStatus = RemainingText(r.now, in.start);
        } else {
            // The run ends here (resetcontrol(1) empties the lines); the caller chains on.
            windowOver = true;
            state.ClearStatus();
        }
    } else {
        // No known mode: no time line, so the line feed below is not piled up tick after tick.
        state.timeStatus.clear();
    }

    // Step B: before a window opens (and on the tick that ends it) only the waiting lines are shown.
    if (in.timeOn && in.timeMode > 0 && !timeFlag) {
        if (in.idleOn) {
            state.idleStatus = "闲置:等待中...\n";
        }
        if (in.netOn) {
            state.trafficStatus = "流量:等待中...";
        }
        result.label = state.timeStatus + "\n" + state.idleStatus + state.trafficStatus;
        result.outcome = windowOver ? OperateResult::Outcome::WindowOver : OperateResult::Outcome::Waiting;
        return result;
    }
    if (!in.timeOn) {
        state.idleStatus.clear();
        state.trafficStatus.clear();
    }

    // Step C: both meters run whenever enabled, idle first, even when an earlier condition failed.
    bool idleFlag = in.idleOn ? IdleMeter(state, in.idleSeconds, r) : true;
    bool trafficFlag =
        in.netOn ? TrafficMeter(state, in.direction, in.compare, in.netLimit, in.holdSeconds, r) : true;
    if (in.timeOn) {
        state.timeStatus += "\n";
    }
    if (in.idleOn) {
        state.idleStatus += "\n";
    }
    result.label = state.timeStatus + state.idleStatus + state.trafficStatus;
    result.outcome =
        (timeFlag && idleFlag && trafficFlag) ? OperateResult::Outcome::Met : OperateResult::Outcome::Waiting;
    return result;
}

int64_t CountdownSecondsLeft(uint64_t dueMs, uint64_t nowMs) {
    return nowMs >= dueMs ? 0 : static_cast<int64_t>((dueMs - nowMs + 999) / 1000);
}

bool ClockJumped(ClockReading before, ClockReading after) {
    // The wall clock reads whole seconds: a second of difference either way is its resolution, not a jump.
    constexpr int64_t kToleranceMs = 3000;
    constexpr int64_t kTickMs = 1000;
    const int64_t steady = static_cast<int64_t>(after.steadyMs) - static_cast<int64_t>(before.steadyMs);
    const int64_t wall = (after.wall.seconds - before.wall.seconds) * 1000;
    return wall - steady > kToleranceMs || steady - wall > kToleranceMs || steady > kTickMs + kToleranceMs;
}

bool SleptBetween(uint64_t beforeSteadyMs, uint64_t afterSteadyMs) {
    // Ten steps: a busy machine may hold a timer back a few seconds, which is no sleep.
    constexpr uint64_t kSleepGapMs = 10'000;
    return afterSteadyMs > beforeSteadyMs && afterSteadyMs - beforeSteadyMs > kSleepGapMs;
}

void PauseMeters(MeterState& state, uint64_t monotonicMs) {
    state.trafficHoldStartMs.reset();
    state.idleBaselineMs = monotonicMs;
}

void SpendIdlePeriod(MeterState& state) {
    state.idlePeriodSpent = true;
}

} // namespace vantor

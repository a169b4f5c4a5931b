// Condition evaluation of the armed task, once a second: time condition, idle and traffic meters, and the
// status label text.
#pragma once

#include "core/common/datetime.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantor {

// The meters' module state. Lives as long as the program; resetcontrol(1) calls ClearStatus().
struct MeterState {
    std::string timeStatus;    // TimeStatusText
    std::string idleStatus;    // IdleStatusText
    std::string trafficStatus; // TrafficStatusText

    // Traffic hold clock, on the monotonic clock in milliseconds (so a hold runs across midnight);
    // unset = not holding.
    std::optional<uint64_t> trafficHoldStartMs;
    uint64_t idleBaselineMs = 0;           // IdleBaselineTick, monotonic
    std::optional<uint64_t> lastSeenInput; // LastSeenInputTime; unset before the first call
    // A task has acted in the idle period that began at the baseline: the idle condition holds again
    // only after new input and then the full idle time, never on every tick of the same period.
    bool idlePeriodSpent = false;
    double prevBytesReceived = 0;
    double prevBytesSent = 0;
    std::optional<uint64_t> prevSampleMs; // PrevSampleTime, monotonic; unset before the first sample
    DateTime prevSampleTime;              // PrevSampleTime as wall clock (day 0 at start)

    void ClearStatus(); // texts emptied, hold clock unset
};

// Readings the shell takes from the platform for one tick.
struct Readings {
    DateTime now;
    uint64_t monotonicMs = 0;
    std::optional<uint64_t> lastInputMs; // last-input tick on the monotonic clock; unset = no idle source
    std::optional<double> bytesReceived; // totals over all interfaces; unset = table unreadable
    std::optional<double> bytesSent;
};

// The editor's values that operate reads (the tick reads them from the controls).
struct OperateInput {
    bool timeOn = false;
    bool idleOn = false;
    bool netOn = false;
    int timeMode = 0;
    DateTime start;
    DateTime end;
    // The countdown's end on the steady clock of Readings::monotonicMs, so that setting the wall clock or
    // a daylight-saving change does not move it; unset: `start` on the wall clock.
    std::optional<uint64_t> countdownDueMs;
    double idleSeconds = 0; // lfreetime
    int direction = 0;      // 0 download, 1 upload
    int compare = 0;        // 0 at most, else at least
    double netLimit = 0;    // KB/s
    double holdSeconds = 0; // llasttime
};

struct OperateResult {
    enum class Outcome { Waiting, Met, WindowOver };
    Outcome outcome = Outcome::Waiting;
    std::string label; // lab_state text (lines separated by "\n")
};

// IdleMeter: true when idle at least `idleSeconds`; sets state.idleStatus.
bool IdleMeter(MeterState& state, double idleSeconds, const Readings& r);

// TrafficMeter: true when the chosen rate has met the limit for at least `holdSeconds`; sets
// state.trafficStatus.
bool TrafficMeter(MeterState& state, int direction, int compare, double limit, double holdSeconds,
                  const Readings& r);

// operate: evaluates the time condition, calls the meters as the mode requires and composes the label.
// On WindowOver the caller stops the run and decides how to go on (WindowOverAction).
OperateResult Operate(MeterState& state, const OperateInput& in, const Readings& r);

// Whole seconds a countdown due at `dueMs` has left at `nowMs`, a started second counting as one; 0 when
// it is due.
int64_t CountdownSecondsLeft(uint64_t dueMs, uint64_t nowMs);

// The wall clock and the steady clock, read together.
struct ClockReading {
    DateTime wall;
    uint64_t steadyMs = 0;
};

// Whether the clock moved under a run between two readings a tick apart: the wall clock went against the
// steady clock by more than a few seconds (it was set, or daylight saving changed), or far more time
// passed than a tick (the computer slept). The run's window times are then worked out afresh.
bool ClockJumped(ClockReading before, ClockReading after);

// The full-screen pause: hold clock unset and idle baseline moved to now.
void PauseMeters(MeterState& state, uint64_t monotonicMs);

// Whether the computer slept (or stood still) between two one-second steps read on the steady clock, which
// counts on through a suspend: far more time passed than a step. After waking, nothing that fell due in
// the meantime may act at once: the meters start again and a warning counts its full length.
bool SleptBetween(uint64_t beforeSteadyMs, uint64_t afterSteadyMs);
// The armed task acted (a warning shown, a program started): the current idle period is used up.
void SpendIdlePeriod(MeterState& state);

inline constexpr const char* kFullScreenPauseText = "全屏程序运行中，任务暂停执行。";

} // namespace vantor

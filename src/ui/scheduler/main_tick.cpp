// Timer_main's handler: the full-screen pause, the evaluation of the armed task and the first step of its
// operation once every condition holds.
#include "ui/scheduler/run_control.h"

#include "core/common/numbers.h"
#include "core/probes/fullscreen.h"
#include "core/probes/net_stats.h"
#include "core/tasks/task_record.h"
#include "core/tasks/validation.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control_impl.h"

#include <QCheckBox>
#include <QLabel>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace vantor::ui {

namespace {

bool FullScreenActive(Platform& p) {
    if (const std::optional<bool> told = p.ForegroundFullScreen()) {
        return *told;
    }
    const auto window = p.ForegroundWindowSize();
    if (!window) {
        return false;
    }
    const ScreenSize screen = p.PrimaryScreenSize();
    return CoversScreen(window->width, window->height, screen.width, screen.height);
}

// Whole seconds of txt_ttime, kept inside 32 bits so a stray huge text cannot overflow the picker value.
int64_t CountdownLength(const std::string& text) {
    const double n = RoundHalfEven(NumericValue(text));
    constexpr double lo = std::numeric_limits<int32_t>::min();
    constexpr double hi = std::numeric_limits<int32_t>::max();
    return static_cast<int64_t>(std::clamp(n, lo, hi));
}

OperateInput ToOperateInput(const EditorValues& v, std::optional<uint64_t> countdownDueMs) {
    OperateInput in;
    in.timeOn = v.timeOn;
    in.idleOn = v.idleOn;
    in.netOn = v.netOn;
    in.timeMode = v.timeMode;
    in.start = v.start;
    in.end = v.end;
    in.countdownDueMs = countdownDueMs;
    in.idleSeconds = IdleTotalSeconds(v);
    in.direction = v.direction;
    in.compare = v.compare;
    in.netLimit = NumericValue(v.netRate);
    in.holdSeconds = NumericValue(v.netHoldSeconds);
    return in;
}

} // namespace

void RunControl::recomputeAfterClockJump(ClockReading now) {
    TaskEditor* editor = impl_->window.editor();
    const EditorValues v = editor->values();
    if (!v.timeOn) {
        return;
    }
    if (v.timeMode == ModeCountdown && impl_->countdownDueMs) {
        // The countdown itself runs on the steady clock; only its shown end follows the wall clock.
        editor->setStartPicker(
            impl_->platform().LocalTimeAfter(CountdownSecondsLeft(*impl_->countdownDueMs, now.steadyMs)));
    } else if (v.timeMode == ModeWeekly && now.wall <= v.end) {
        // As at arming: the window of a selected day that is not over, past the ones it has acted in (the
        // clock set back may bring an earlier one). A window jumped over entirely is missed, never acted
        // on late: it ends as a window that is over, so saved tasks choose again.
        const Window window = NextWeeklyWindow(v.week, v.start.timeOfDay(), v.end.timeOfDay(), now.wall);
        if (const std::optional<Window> next =
                acted().NotActedIn(impl_->armedIdentity, ModeWeekly, v.week, window)) {
            editor->setPickers(next->start, next->end);
        }
    }
}

void RunControl::recordNotDone(const std::string& why) {
    std::string key = impl_->armedIdentity + '\n' + why;
    if (key == impl_->lastNotDone) {
        return; // the same task still waiting for its process or program: one record says it
    }
    impl_->lastNotDone = std::move(key);
    recordHistory(HistoryOutcome::NotStarted, why);
}

void RunControl::timerMainTimer() {
    MainWindow& w = impl_->window;
    TaskEditor* editor = w.editor();
    Platform& p = impl_->platform();
    const ClockReading clock{p.Now(), p.MonotonicMs()};
    if (impl_->snoozeDueMs) {
        snoozeTick(clock);
        return;
    }
    if (ClockJumped(impl_->lastClock, clock)) {
        recomputeAfterClockJump(clock);
    }
    if (SleptBetween(impl_->lastClock.steadyMs, clock.steadyMs)) {
        // Nobody used the computer while it slept, and nothing was sent: the idle time and the traffic
        // hold count from the waking, so an idle or traffic task does not act the moment it wakes.
        PauseMeters(impl_->meters, clock.steadyMs);
    }
    impl_->lastClock = clock;
    const EditorValues v = editor->values();

    if (v.fullScreenPause && v.operation > OpRemind && FullScreenActive(p)) {
        w.stateLabel()->setText(QString::fromUtf8(kFullScreenPauseText));
        // Only a countdown starts again at its full length. The picker of a time or weekly window holds
        // the window's start: moving it to now + txt_ttime would open the window early and fire the
        // operation before its time.
        if (v.timeMode == ModeCountdown) {
            const int64_t n = CountdownLength(v.countdownText);
            editor->setStartPicker(p.LocalTimeAfter(n));
            impl_->countdownDueMs = clock.steadyMs + static_cast<uint64_t>(std::max<int64_t>(n, 0)) * 1000u;
        }
        PauseMeters(impl_->meters, clock.steadyMs);
        return;
    }

    Readings r;
    r.now = clock.wall;
    r.monotonicMs = clock.steadyMs;
    // Probes run only for the conditions that are on, so an idle-less, traffic-less tick stays cheap.
    if (v.idleOn) {
        r.lastInputMs = p.LastInputMs();
    }
    if (v.netOn) {
        CIpHelper helper([&p] { return p.ReadInterfaceTable(); });
        helper.Interfaces();
        if (helper.TableRead()) {
            r.bytesReceived = helper.BytesReceived();
            r.bytesSent = helper.BytesSent();
        }
    }

    const OperateResult result = Operate(impl_->meters, ToOperateInput(v, impl_->countdownDueMs), r);
    const bool savedTasks = w.savedTaskCheck()->isChecked();
    const bool goOn = w.continueCheck()->isChecked();

    if (result.outcome == OperateResult::Outcome::WindowOver) {
        setArmed(false);
        resetcontrol(1);
        const WindowOverAction action = OnWindowOver(v.timeMode, savedTasks, goOn);
        if (action.message) {
            MessageBoxes::inform(&w, *action.message, true);
        }
        chainNext(action.chain);
        w.stateLabel()->setText(QString::fromStdString(result.label));
        return;
    }

    w.stateLabel()->setText(QString::fromStdString(result.label));
    if (result.outcome != OperateResult::Outcome::Met) {
        return;
    }

    // The window occurrence and the idle period are used only when the task does something; a process
    // that is not running yet or a program that runs already leaves them to the next ticks.
    resetcontrol(1);
    switch (v.operation) {
    case OpRun: {
        const std::string& target = v.tips;
        // Only the file test the rule needs is asked: "in use" for a program file, existence otherwise.
        const bool program = p.IsProgramFile(target);
        const bool inUse = program && !v.allowMultiple && p.IsProgramInUse(target);
        const bool exists = !program && p.IsOrdinaryFile(target);
        if (ShouldStartProgram(program, v.allowMultiple, inUse, exists)) {
            noteActed(v);
            const ActionResult started = p.StartProgram(target);
            recordResult(started);
            ReportFailure(&w, started);
        } else {
            recordNotDone(inUse ? "程序已在运行" : "文件不存在");
        }
        chainNext(NextAfterRun(savedTasks, goOn));
        break;
    }
    case OpEndProcess:
        if (p.IsProcessRunning(v.tips)) {
            noteActed(v);
            showWarning();
        } else {
            recordNotDone("进程未运行");
            chainNext(NextAfterRun(savedTasks, goOn));
        }
        break;
    default:
        noteActed(v);
        showWarning();
        break;
    }
}

} // namespace vantor::ui

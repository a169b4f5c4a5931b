// Postponing the warning: it closes, the task stays armed, and the same warning comes back later.
#include "ui/scheduler/run_control.h"

#include "core/scheduler/snooze.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control_impl.h"
#include "ui/scheduler/warning_dialog.h"

#include <QLabel>

namespace vantor::ui {

ActionResult RunControl::snooze(int minutes) {
    const bool open = impl_->dialog != nullptr && impl_->dialog->isOpen();
    if (const std::optional<std::string> why = SnoozeRefusal(open, minutes)) {
        return ActionResult::Fail(*why);
    }
    Platform& p = impl_->platform();
    const ClockReading now{p.Now(), p.MonotonicMs()};
    const DateTime until = now.wall.addSeconds(int64_t{minutes} * 60);
    recordHistory(HistoryOutcome::Snoozed, SnoozeClockText(until));
    impl_->dialog->closeForSnooze();

    // Armed as a started run looks (and goes to the notification area as one does), but what the ticks
    // wait for now is the time the warning comes back, on the steady clock.
    resetcontrol(0);
    impl_->snoozeDueMs = now.steadyMs + static_cast<uint64_t>(minutes) * 60000u;
    impl_->snoozedUntil = until;
    impl_->lastClock = now;
    impl_->window.stateLabel()->setText(QString::fromStdString(SnoozedUntilText(until)));
    setArmed(true);
    return ActionResult::Ok();
}

std::optional<DateTime> RunControl::snoozedUntil() const {
    return impl_->snoozedUntil;
}

void RunControl::clearSnooze() {
    impl_->snoozeDueMs.reset();
    impl_->snoozedUntil.reset();
}

void RunControl::snoozeTick(ClockReading clock) {
    impl_->lastClock = clock;
    if (clock.steadyMs < *impl_->snoozeDueMs) {
        impl_->window.stateLabel()->setText(QString::fromStdString(SnoozedUntilText(*impl_->snoozedUntil)));
        return;
    }
    // The conditions held when the warning first opened; it comes back as it was, counting from the start.
    resetcontrol(1);
    impl_->window.stateLabel()->setText(QString());
    showWarning();
}

} // namespace vantor::ui

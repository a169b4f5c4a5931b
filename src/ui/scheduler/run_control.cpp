#include "ui/scheduler/run_control.h"

#include "core/common/numbers.h"
#include "core/scheduler/selection.h"
#include "core/scheduler/snooze.h"
#include "core/shell/ini.h"
#include "core/shell/startup.h"
#include "core/tasks/task_record.h"
#include "core/tasks/validation.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/main_window/task_list.h"
#include "ui/scheduler/run_control_impl.h"
#include "ui/scheduler/warning_dialog.h"
#include "ui/tray/tray_icon.h"

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace vantor::ui {

namespace {

constexpr int kTickMs = 1000;
constexpr int kStopQuestionTimeoutMs = 5000;

// Comb_oper index stored in a row's parameters; -1 when the row has none.
int RowOperation(const TaskRecord& row) {
    const auto params = SplitParams(row.params);
    if (params.size() <= static_cast<size_t>(POperation)) {
        return OpNone;
    }
    return static_cast<int>(NumericValue(params[POperation]));
}

} // namespace

void ReportFailure(QWidget* parent, const ActionResult& result) {
    if (result.ok) {
        return;
    }
    // A refused power or session request must not pass for done: the user would walk away believing it.
    const std::string why = result.error.empty() ? std::string("操作未能执行！") : result.error;
    MessageBoxes::inform(parent, Message{why, kNoticeTitle, MessageIcon::Warning}, true);
}

RunControl::RunControl(AppContext& context, MainWindow& window)
    : QObject(&window), impl_(new Impl(context, window)) {
    impl_->timer = new QTimer(this);
    impl_->timer->setObjectName(QStringLiteral("Timer_main"));
    impl_->timer->setInterval(kTickMs);
    connect(impl_->timer, &QTimer::timeout, this, &RunControl::timerMainTimer);
}

RunControl::~RunControl() {
    // Fr_tips is a top-level window of its own (the main window hides while it shows), so it has no
    // parent to delete it.
    delete impl_->dialog;
    delete impl_;
}

bool RunControl::running() const {
    return impl_->timer->isActive();
}
QTimer* RunControl::mainTimer() const {
    return impl_->timer;
}
WarningDialog* RunControl::warningDialog() const {
    return impl_->dialog;
}
MeterState& RunControl::meters() {
    return impl_->meters;
}
AppContext& RunControl::context() {
    return impl_->context;
}
MainWindow& RunControl::window() {
    return impl_->window;
}

void RunControl::cmdStartClick(StartCause cause) {
    MainWindow& w = impl_->window;
    if (running()) {
        // The question closes itself; ticks go on meanwhile, so the task may even end before the answer.
        const Answer answer = MessageBoxes::ask(&w, QStringLiteral("是否停止当前任务？"),
                                                QStringLiteral("提示"), true, kStopQuestionTimeoutMs);
        if (answer == Answer::Yes) {
            w.stateLabel()->setText(QString());
            resetcontrol(1);
        }
        return;
    }

    if (w.savedTaskCheck()->isChecked()) {
        Platform& p = impl_->platform();
        // Asked once per click: the answers do not change while the rows are visited.
        const bool canSuspend = p.CanSuspend();
        const bool canHibernate = p.CanHibernate();
        if (!(canSuspend && canHibernate)) {
            TaskList* list = w.taskList();
            const int count = list->rowCount();
            for (int i = 0; i < count; ++i) {
                if (!list->rowChecked(i)) {
                    continue;
                }
                const int op = RowOperation(list->row(i));
                if ((!canSuspend && op == OpSleep) || (!canHibernate && op == OpHibernate)) {
                    // Loading the row makes the editor tell the user the system cannot do it.
                    list->selectRow(i);
                    w.taskListDoubleClick();
                    return;
                }
            }
        }
        loadtask(cause);
        return;
    }

    if (!w.editor()->conditionCheck() || !w.editor()->availabilityCheck(cause == StartCause::User)) {
        return;
    }
    const EditorValues v = w.editor()->values();
    if (cause == StartCause::User) {
        impl_->acted.Forget(runningTaskIdentity(v));
    }
    if (!skipActedWindow(v)) {
        // A time window that has had its action: the run ends as when the window is over.
        const WindowOverAction action = OnWindowOver(v.timeMode, false, w.continueCheck()->isChecked());
        if (action.message) {
            MessageBoxes::inform(&w, *action.message, true);
        }
        return;
    }
    resetcontrol(0);
    arm();
}

std::string RunControl::runningTaskIdentity(const EditorValues& v) {
    MainWindow& w = impl_->window;
    const int row = w.taskList()->selectedRow();
    if (w.savedTaskCheck()->isChecked() && row >= 0) {
        return TaskIdentity(w.taskList()->row(row));
    }
    return TaskIdentity(ComposeRecord(v));
}

bool RunControl::skipActedWindow(const EditorValues& v) {
    if (!v.timeOn || (v.timeMode != ModeWindow && v.timeMode != ModeWeekly)) {
        return true;
    }
    const std::optional<Window> next =
        impl_->acted.NotActedIn(runningTaskIdentity(v), v.timeMode, v.week, Window{v.start, v.end});
    if (!next) {
        return false;
    }
    if (next->start != v.start || next->end != v.end) {
        impl_->window.editor()->setPickers(next->start, next->end);
    }
    return true;
}

void RunControl::arm() {
    Platform& p = impl_->platform();
    impl_->lastClock = ClockReading{p.Now(), p.MonotonicMs()};
    impl_->countdownDueMs.reset();
    const EditorValues v = impl_->window.editor()->values();
    if (v.timeOn && v.timeMode == ModeCountdown) {
        // The length the check put into the start picker, counted on the steady clock from now on.
        if (const std::optional<int32_t> n = CountdownSeconds(v.countdownText)) {
            impl_->countdownDueMs =
                impl_->lastClock.steadyMs + static_cast<uint64_t>(std::max(*n, 0)) * 1000u;
        }
    }
    setArmed(true);
}

void RunControl::resetcontrol(int bytType) {
    MainWindow& w = impl_->window;
    TaskEditor* editor = w.editor();
    if (bytType == 0) {
        if (w.savedTaskCheck()->isChecked()) {
            w.taskList()->setRunningAppearance(true);
        }
        w.taskFrame()->setEnabled(false);
        w.savedTaskCheck()->setEnabled(false);
        w.startButton()->setText(QStringLiteral("停止"));
        editor->setRunning(true);
        w.continueCheck()->setEnabled(false);
        // A settings file that cannot be read counts as a missing one.
        const std::optional<std::string> settings =
            ReadIniText(impl_->context.settingsFile(), impl_->context.legacyDecoder());
        if (settings && AttrayOn(true, IniValue(*settings, kSettingsSection, "Attray"))) {
            w.totray();
        }
        return;
    }

    impl_->meters.ClearStatus();
    clearSnooze();
    setArmed(false);
    w.taskFrame()->setEnabled(true);
    if (w.savedTaskCheck()->isChecked()) {
        w.taskList()->setRunningAppearance(false);
    }
    w.savedTaskCheck()->setEnabled(true);
    w.continueCheck()->setEnabled(true);
    editor->setRunning(false);
    w.startButton()->setText(QStringLiteral("开始"));
}

void RunControl::loadtask(StartCause cause) {
    MainWindow& w = impl_->window;
    TaskList* list = w.taskList();
    const Selection s = SelectTask(list->rows(), impl_->platform().Now(), &impl_->acted);
    // Every outcome past the enabled count (no candidate, none chosen, chosen) switches to saved tasks.
    if (s.checkSavedTaskMode || s.outcome == Selection::Outcome::NoChoice) {
        w.savedTaskCheck()->setChecked(true);
    }
    if (s.message) {
        // Only "no task meets the conditions" stays above every window.
        MessageBoxes::inform(&w, *s.message, s.outcome == Selection::Outcome::NoCandidate);
    }
    if (s.outcome != Selection::Outcome::Chosen) {
        return;
    }

    list->selectRow(s.row);
    w.loadSelectedIntoEditor(s.start, s.end);
    // The check works a weekly window out afresh; the selection may have passed its current one over.
    if (!w.editor()->conditionCheck() || !w.editor()->availabilityCheck(cause == StartCause::User) ||
        !skipActedWindow(w.editor()->values())) {
        return;
    }
    resetcontrol(0);
    const TaskRecord row = list->row(s.row);
    const QString tip = QString::fromStdString(row.conditionText + "(" + row.operationText + ")");
    list->setToolTip(tip);
    w.stateLabel()->setToolTip(tip);
    arm();
}

void RunControl::setArmed(bool armed) {
    if (armed) {
        impl_->timer->start();
    } else {
        impl_->timer->stop();
    }
    TrayIcon* tray = impl_->window.tray();
    tray->setSnoozeNote(impl_->snoozedUntil ? QString::fromStdString(SnoozedUntilText(*impl_->snoozedUntil))
                                            : QString());
    tray->refreshTip();
    emit stateChanged();
}

void RunControl::chainNext(Chain next) {
    switch (next) {
    case Chain::LoadTask:
        loadtask(StartCause::Chain);
        break;
    case Chain::RestartEditorTask:
        cmdStartClick(StartCause::Chain);
        break;
    case Chain::Idle:
        break;
    }
}

void RunControl::showWarning() {
    setArmed(false);
    if (impl_->dialog == nullptr) {
        impl_->dialog = new WarningDialog(*this, impl_->window);
    }
    impl_->dialog->openWarning();
    emit stateChanged();
}

} // namespace vantor::ui

#include "ui/scheduler/run_control.h"

#include "core/common/file_io.h"
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
        if (cause == StartCause::User) {
            // The user's own start runs the saved tasks afresh, as it does the editor's task.
            acted().Clear();
            storeActed();
        }
        loadtask(cause);
        return;
    }

    if (!w.editor()->conditionCheck() || !w.editor()->availabilityCheck(cause == StartCause::User)) {
        return;
    }
    const EditorValues v = w.editor()->values();
    std::string identity = TaskIdentity(ComposeRecord(v));
    if (cause == StartCause::User) {
        acted().Forget(identity);
        storeActed();
    }
    if (!skipActedWindow(v, identity)) {
        // A time window that has had its action and is still open (the check refuses one that is over):
        // nothing runs until it is over, and nothing is wrong to tell.
        return;
    }
    resetcontrol(0);
    arm(std::move(identity), -1);
}

int RunControl::armedRow() const {
    return impl_->armedRow;
}

bool RunControl::skipActedWindow(const EditorValues& v, const std::string& identity) {
    if (!v.timeOn || (v.timeMode != ModeWindow && v.timeMode != ModeWeekly)) {
        return true;
    }
    const std::optional<Window> next =
        acted().NotActedIn(identity, v.timeMode, v.week, Window{v.start, v.end});
    if (!next) {
        return false;
    }
    if (next->start != v.start || next->end != v.end) {
        impl_->window.editor()->setPickers(next->start, next->end);
    }
    return true;
}

ActedWindows& RunControl::acted() {
    if (!impl_->actedRead) {
        impl_->actedRead = true;
        const FileBytes file = ReadFileBytes(impl_->context.actedFile());
        if (file.exists && !file.readError) {
            impl_->actedMemory = ActedWindows::Decode(file.bytes);
            impl_->actedMemory.Prune(impl_->platform().Now());
        }
        impl_->actedStored = impl_->actedMemory.Revision();
    }
    return impl_->actedMemory;
}

void RunControl::storeActed() {
    const ActedWindows& memory = acted();
    if (memory.Revision() == impl_->actedStored) {
        return;
    }
    // Best effort: a file that cannot be written costs the memory across starts, never the run. Nothing is
    // written into a folder that cannot be trusted.
    if (impl_->context.folderDistrust.empty() &&
        WriteFileAtomically(impl_->context.actedFile(), memory.Encode())) {
        impl_->actedStored = memory.Revision();
    }
}

void RunControl::noteActed(const EditorValues& v) {
    if (v.timeOn && (v.timeMode == ModeWindow || v.timeMode == ModeWeekly)) {
        // Once per window: neither a chain that arms the task again nor a clock set back brings it back.
        acted().Record(impl_->armedIdentity, Window{v.start, v.end});
        storeActed();
    }
    if (v.idleOn) {
        SpendIdlePeriod(impl_->meters);
    }
    impl_->lastNotDone.clear();
}

void RunControl::arm(std::string identity, int row) {
    impl_->armedIdentity = std::move(identity);
    impl_->armedRow = row;
    Platform& p = impl_->platform();
    impl_->lastClock = ClockReading{p.Now(), p.MonotonicMs()};
    impl_->countdownDueMs.reset();
    const EditorValues v = impl_->window.editor()->values();
    if (v.timeOn && v.timeMode == ModeCountdown) {
        // The length the check put into the start picker, counted on the steady clock from now on.
        if (const std::optional<int32_t> n = CountdownSeconds(v.countdownText)) {
            const int64_t length = std::max(*n, 0);
            impl_->countdownDueMs = impl_->lastClock.steadyMs + static_cast<uint64_t>(length) * 1000u;
            // The end as the clock will really show it, an hour off from now + n across a
            // daylight-saving change.
            impl_->window.editor()->setStartPicker(p.LocalTimeAfter(length));
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
    const Selection s = SelectTask(list->rows(), impl_->platform().Now(), &acted());
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
    const TaskRecord row = list->row(s.row);
    std::string identity = TaskIdentity(row);
    // The check works a weekly window out afresh; the selection may have passed its current one over.
    if (!w.editor()->conditionCheck() || !w.editor()->availabilityCheck(cause == StartCause::User) ||
        !skipActedWindow(w.editor()->values(), identity)) {
        return;
    }
    resetcontrol(0);
    const QString tip = QString::fromStdString(row.conditionText + "(" + row.operationText + ")");
    list->setToolTip(tip);
    w.stateLabel()->setToolTip(tip);
    arm(std::move(identity), s.row);
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

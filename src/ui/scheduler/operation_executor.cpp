// opertion and its companions: the confirmed operation carried out through the platform, then the
// hand-over to the next task.
#include "ui/scheduler/run_control.h"

#include "core/tasks/task_record.h"
#include "ui/common/message_boxes.h"
#include "ui/editor/task_editor.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control_impl.h"

#include <QCheckBox>

namespace vantor::ui {

namespace {

ActionResult NotSupported(QWidget* parent, const char* text) {
    MessageBoxes::inform(parent, Message{text, kNoticeTitle, MessageIcon::Information}, true);
    return ActionResult::Fail(text);
}

} // namespace

void RunControl::opertion() {
    MainWindow& w = impl_->window;
    Platform& p = impl_->platform();
    p.EnableShutdownPrivilege();

    TaskEditor* editor = w.editor();
    ActionResult result;
    switch (editor->operation()) {
    case OpEndProcess:
        // Ending is best effort by design (a process may be gone already); nothing to report.
        p.EndProcessByName(editor->tips().toStdString());
        break;
    case OpShutdown:
        result = p.PowerOff();
        break;
    case OpRestart:
        result = p.Reboot();
        break;
    case OpLogOff:
        result = p.LogOff();
        break;
    case OpLock:
        result = p.Lock();
        break;
    case OpSleep:
        result = standby();
        break;
    case OpHibernate:
        result = dormancy();
        break;
    default: // a reminder (shown by the dialog) or a program (started by the tick): nothing to do here
        break;
    }
    if (editor->operation() == OpRemind) {
        recordHistory(HistoryOutcome::Done); // acknowledged: nothing acts on the system
    } else {
        recordResult(result);
    }
    if (editor->operation() != OpSleep && editor->operation() != OpHibernate) {
        ReportFailure(&w, result); // sleep and hibernate have told the user themselves
    }

    chainNext(NextAfterRun(w.savedTaskCheck()->isChecked(), w.continueCheck()->isChecked()));
}

ActionResult RunControl::standby() {
    Platform& p = impl_->platform();
    p.EnableShutdownPrivilege();
    if (!p.CanSuspend()) {
        return NotSupported(&impl_->window, "系统不支持睡眠！");
    }
    const ActionResult result = p.Suspend();
    ReportFailure(&impl_->window, result);
    return result;
}

ActionResult RunControl::dormancy() {
    Platform& p = impl_->platform();
    p.EnableShutdownPrivilege();
    if (!p.CanHibernate()) {
        return NotSupported(&impl_->window, "系统不支持休眠！");
    }
    const ActionResult result = p.Hibernate();
    ReportFailure(&impl_->window, result);
    return result;
}

} // namespace vantor::ui

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

void NotSupported(QWidget* parent, const char* text) {
    MessageBoxes::inform(parent, Message{text, kNoticeTitle, MessageIcon::Information}, true);
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
        standby();
        break;
    case OpHibernate:
        dormancy();
        break;
    default: // a reminder (shown by the dialog) or a program (started by the tick): nothing to do here
        break;
    }
    ReportFailure(&w, result);

    chainNext(NextAfterRun(w.savedTaskCheck()->isChecked(), w.continueCheck()->isChecked()));
}

void RunControl::standby() {
    Platform& p = impl_->platform();
    p.EnableShutdownPrivilege();
    if (p.CanSuspend()) {
        ReportFailure(&impl_->window, p.Suspend());
    } else {
        NotSupported(&impl_->window, "系统不支持睡眠！");
    }
}

void RunControl::dormancy() {
    Platform& p = impl_->platform();
    p.EnableShutdownPrivilege();
    if (p.CanHibernate()) {
        ReportFailure(&impl_->window, p.Hibernate());
    } else {
        NotSupported(&impl_->window, "系统不支持休眠！");
    }
}

} // namespace vantor::ui

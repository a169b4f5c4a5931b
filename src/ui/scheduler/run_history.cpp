// The scheduler's history records: what acted or was answered, on which conditions, and how it ended.
#include "ui/scheduler/run_control.h"

#include "ui/editor/task_editor.h"
#include "ui/history/history_log.h"
#include "ui/main_window/main_window.h"
#include "ui/scheduler/run_control_impl.h"
#include "ui/scheduler/warning_dialog.h"

namespace vantor::ui {

void RunControl::recordHistory(HistoryOutcome outcome, const std::string& detail) {
    const EditorValues v = impl_->window.editor()->values();
    HistoryRecord record;
    record.time = impl_->platform().Now();
    record.operation = OperationItemText(v.operation);
    if (v.operation == OpRemind || v.operation == OpRun || v.operation == OpEndProcess) {
        record.target = v.tips;
    }
    record.conditions = ComposeConditionText(v);
    record.outcome = outcome;
    record.detail = detail;
    // A history that cannot be written is no reason to stop a run: the record is lost, nothing else.
    AppendHistory(impl_->context, record);
}

void RunControl::recordWarningAnswer(int closeChoice) {
    if (closeChoice == WarningDialog::ChoiceNext) {
        recordHistory(HistoryOutcome::Skipped);
    } else if (closeChoice == WarningDialog::ChoiceCancel) {
        recordHistory(HistoryOutcome::Cancelled);
    }
}

void RunControl::recordResult(const ActionResult& result) {
    if (!result.ok) {
        recordHistory(HistoryOutcome::Failed, result.error);
    } else {
        recordHistory(impl_->platform().IsDryRun() ? HistoryOutcome::DryRun : HistoryOutcome::Done);
    }
}

} // namespace vantor::ui

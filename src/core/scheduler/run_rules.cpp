// How a run goes on after it ends, and the texts of the warning dialog.
#include "core/scheduler/run_rules.h"

#include "core/tasks/task_record.h"

namespace vantor {

Chain NextAfterRun(bool savedTaskMode, bool continueMode) {
    if (savedTaskMode) {
        return Chain::LoadTask;
    }
    return continueMode ? Chain::RestartEditorTask : Chain::Idle;
}

WindowOverAction OnWindowOver(int timeMode, bool savedTaskMode, bool continueMode) {
    WindowOverAction action;
    if (savedTaskMode) {
        action.chain = Chain::LoadTask;
        return action;
    }
    if (timeMode == ModeWindow) {
        action.message = Message{"当前时间以超出设定时段！", kNoticeTitle, MessageIcon::Information};
    } else if (timeMode == ModeWeekly && continueMode) {
        action.chain = Chain::RestartEditorTask;
    }
    return action;
}

std::string WarningOperationText(int operation, const std::string& operationItem, const std::string& tips) {
    if (operation == OpEndProcess) {
        return operationItem + "进程“" + tips + "”";
    }
    return operationItem;
}

std::string WarningText(int secondsLeft, const std::string& warningOperationText, bool savedTaskMode,
                        bool continueMode) {
    std::string text = "1、系统将在" + std::to_string(secondsLeft) + "秒后" + warningOperationText +
                       "，请注意保存档案。\n\n2、点击“继续”跳过本操作，";
    if (savedTaskMode) {
        text += "执行后续任务。";
    } else if (continueMode) {
        text += "执行" + warningOperationText + "工作。";
    }
    text += "\n\n3、点击“取消”将结束工作。";
    return text;
}

TipsCloseAction OnTipsClosed(int closeChoice, int operation, bool savedTaskMode) {
    if (closeChoice == 1) {
        return TipsCloseAction::Perform;
    }
    if (closeChoice == 2) {
        return TipsCloseAction::RestartScheduler;
    }
    if (operation == OpRemind && savedTaskMode) {
        return TipsCloseAction::UncheckAndLoadTask;
    }
    return TipsCloseAction::ClearStatus;
}

bool ShouldStartProgram(bool programFile, bool allowMultiple, bool inUse, bool fileExists) {
    if (programFile) {
        // Another instance of a program that runs is started only when the task allows it.
        return allowMultiple || !inUse;
    }
    return fileExists;
}

} // namespace vantor

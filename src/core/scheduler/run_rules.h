// How a run goes on after it ends, and the texts of the warning dialog.
#pragma once

#include "core/common/message.h"

#include <optional>
#include <string>

namespace vantor {

// What follows the end of a run.
enum class Chain { LoadTask, RestartEditorTask, Idle };

// loadtask when saved tasks run; else the editor's task again when "持续" is ticked; else idle.
Chain NextAfterRun(bool savedTaskMode, bool continueMode);

// When a time window or weekly window is over: chain and an optional message.
struct WindowOverAction {
    Chain chain = Chain::Idle;
    std::optional<Message> message; // "当前时间以超出设定时段！" for a time window in editor mode
};
WindowOverAction OnWindowOver(int timeMode, bool savedTaskMode, bool continueMode);

// The operation as named in the warning: "结束进程“calc.exe”" for ending a process, else the item text.
std::string WarningOperationText(int operation, const std::string& operationItem, const std::string& tips);

// The three-item warning text for N seconds left.
std::string WarningText(int secondsLeft, const std::string& warningOperationText, bool savedTaskMode,
                        bool continueMode);

// How the warning dialog goes on when it closes, by the button that closed it (CloseChoice).
enum class TipsCloseAction {
    Perform,            // 1: opertion carries out the operation and chains
    RestartScheduler,   // 2: Cmd_start_Click, the operation is skipped
    UncheckAndLoadTask, // cancel on a reminder while saved tasks run: the row loses its check mark, loadtask
    ClearStatus         // any other cancel: the status label is emptied, the scheduler stays stopped
};
TipsCloseAction OnTipsClosed(int closeChoice, int operation, bool savedTaskMode);

// Whether a "运行" task's target is started (the tick and the test run): a program file (the system's
// IsProgramFile) when another instance is allowed or it is not in use; anything else only when the file
// exists.
bool ShouldStartProgram(bool programFile, bool allowMultiple, bool inUse, bool fileExists);

inline constexpr const char* kRunProgramCommand = "rundll32.exe url.dll,FileProtocolHandler ";

} // namespace vantor

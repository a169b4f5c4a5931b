// How runs chain on, the warning dialog's texts and closing, and the tick's program-start decision.
#include "core/scheduler/run_rules.h"

#include "core/tasks/editor_rules.h"
#include "core/tasks/task_record.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct ChainCase {
    bool saved;
    bool cont;
    Chain chain;
};

class NextAfterRunTable : public testing::TestWithParam<ChainCase> {};

TEST_P(NextAfterRunTable, SavedTasksFirstThenContinueElseIdle) {
    EXPECT_EQ(NextAfterRun(GetParam().saved, GetParam().cont), GetParam().chain);
}

INSTANTIATE_TEST_SUITE_P(Cases, NextAfterRunTable,
                         testing::Values(ChainCase{true, true, Chain::LoadTask},
                                         ChainCase{true, false, Chain::LoadTask},
                                         ChainCase{false, true, Chain::RestartEditorTask},
                                         ChainCase{false, false, Chain::Idle}));

struct WindowOverCase {
    int mode;
    bool saved;
    bool cont;
    Chain chain;
    bool message;
};

class OnWindowOverTable : public testing::TestWithParam<WindowOverCase> {};

TEST_P(OnWindowOverTable, ChainsOrTellsTheUser) {
    const WindowOverCase& c = GetParam();
    WindowOverAction a = OnWindowOver(c.mode, c.saved, c.cont);
    EXPECT_EQ(a.chain, c.chain);
    ASSERT_EQ(a.message.has_value(), c.message);
    if (c.message) {
        EXPECT_EQ(*a.message, (Message{"当前时间以超出设定时段！", "提示", MessageIcon::Information}));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OnWindowOverTable,
                         testing::Values(WindowOverCase{ModeWindow, true, false, Chain::LoadTask, false},
                                         WindowOverCase{ModeWindow, true, true, Chain::LoadTask, false},
                                         WindowOverCase{ModeWindow, false, false, Chain::Idle, true},
                                         // continue mode does not restart an expired fixed window
                                         WindowOverCase{ModeWindow, false, true, Chain::Idle, true},
                                         WindowOverCase{ModeWeekly, true, true, Chain::LoadTask, false},
                                         WindowOverCase{ModeWeekly, false, true, Chain::RestartEditorTask,
                                                        false},
                                         WindowOverCase{ModeWeekly, false, false, Chain::Idle, false}));

TEST(WarningOperationText, NamesTheProcessOnlyForEndProcess) {
    EXPECT_EQ(WarningOperationText(OpEndProcess, "结束", "calc.exe"), "结束进程“calc.exe”");
    EXPECT_EQ(WarningOperationText(OpShutdown, "关机", "calc.exe"), "关机");
    EXPECT_EQ(WarningOperationText(OpHibernate, "休眠", ""), "休眠");
}

TEST(WarningText, EndProcessAtOpeningReadsAsShown) {
    EXPECT_EQ(WarningText(60, "结束进程“calc.exe”", false, false),
              "1、系统将在60秒后结束进程“calc.exe”，请注意保存档案。\n\n"
              "2、点击“继续”跳过本操作，\n\n"
              "3、点击“取消”将结束工作。");
}

// The second item follows the run source: saved tasks win over "持续" (with neither it ends at the comma,
// as above).
TEST(WarningText, SecondItemFollowsTheRunSource) {
    EXPECT_EQ(WarningText(5, "关机", false, true),
              "1、系统将在5秒后关机，请注意保存档案。\n\n2、点击“继续”跳过本操作，执行关机工作。\n\n"
              "3、点击“取消”将结束工作。");
    EXPECT_EQ(WarningText(0, "重启", true, true),
              "1、系统将在0秒后重启，请注意保存档案。\n\n2、点击“继续”跳过本操作，执行后续任务。\n\n"
              "3、点击“取消”将结束工作。");
    EXPECT_EQ(WarningText(59, "锁定", true, false),
              "1、系统将在59秒后锁定，请注意保存档案。\n\n2、点击“继续”跳过本操作，执行后续任务。\n\n"
              "3、点击“取消”将结束工作。");
}

struct TipsCloseCase {
    int choice;
    int operation;
    bool saved;
    TipsCloseAction action;
};

class OnTipsClosedTable : public testing::TestWithParam<TipsCloseCase> {};

TEST_P(OnTipsClosedTable, ActsByTheButtonUsed) {
    const TipsCloseCase& c = GetParam();
    EXPECT_EQ(OnTipsClosed(c.choice, c.operation, c.saved), c.action);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OnTipsClosedTable,
    testing::Values(TipsCloseCase{1, OpShutdown, false, TipsCloseAction::Perform},
                    TipsCloseCase{1, OpRemind, true, TipsCloseAction::Perform},
                    TipsCloseCase{2, OpShutdown, true, TipsCloseAction::RestartScheduler},
                    TipsCloseCase{2, OpRemind, false, TipsCloseAction::RestartScheduler},
                    TipsCloseCase{3, OpRemind, true, TipsCloseAction::UncheckAndLoadTask},
                    TipsCloseCase{3, OpRemind, false, TipsCloseAction::ClearStatus},
                    TipsCloseCase{3, OpShutdown, true, TipsCloseAction::ClearStatus},
                    TipsCloseCase{0, OpRemind, true, TipsCloseAction::UncheckAndLoadTask},
                    TipsCloseCase{0, OpLock, false, TipsCloseAction::ClearStatus}));

struct StartCase {
    const char* target;
    bool multiple;
    bool locked;
    bool exists;
    bool start;
};

class ShouldStartProgramTable : public testing::TestWithParam<StartCase> {};

TEST_P(ShouldStartProgramTable, ProgramFileByUseOthersByExistence) {
    const StartCase& c = GetParam();
    // On Windows a program file is a name ending in "exe", letter case counting.
    EXPECT_EQ(ShouldStartProgram(HasExactExeExtension(c.target), c.multiple, c.locked, c.exists), c.start)
        << c.target;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ShouldStartProgramTable,
    testing::Values(StartCase{"C:\\tools\\app.exe", false, false, true, true},
                    StartCase{"C:\\tools\\app.exe", false, true, true, false}, // already running
                    StartCase{"C:\\tools\\app.exe", true, true, true, true},
                    StartCase{"C:\\tools\\gone.exe", true, true, false, true}, // handed to the shell anyway
                    StartCase{"C:\\tools\\gone.exe", false, true, false, false},
                    StartCase{"C:\\tools\\APP.EXE", false, true, true, true}, // another extension
                    StartCase{"C:\\docs\\note.txt", false, true, false, false},
                    StartCase{"C:\\docs\\note.txt", false, false, true, true},
                    StartCase{"exe", false, false, false, true}, // no dot: the whole text is the extension
                    StartCase{"C:\\a.exe\\readme", false, false, false, false}));

} // namespace
} // namespace vantor

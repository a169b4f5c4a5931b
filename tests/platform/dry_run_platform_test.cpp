// The dry-run wrapper: actions print one line and never reach the wrapped backend; readings pass through.
#include "platform/dryrun/dry_run_platform.h"
#include "platform/fake/fake_platform.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace vantor {
namespace {

struct DryRunFixture : ::testing::Test {
    DryRunFixture() {
        auto owned = std::make_unique<FakePlatform>();
        fake = owned.get();
        dry = CreateDryRunPlatform(std::move(owned), out);
    }
    std::ostringstream out;
    FakePlatform* fake = nullptr;
    std::unique_ptr<Platform> dry;
};

struct ActionCase {
    const char* name;
    std::function<ActionResult(Platform&)> act;
    const char* printed;
};

class DryRunActions : public DryRunFixture, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(DryRunActions, PrintsTheActionInsteadOfPerformingIt) {
    fake->SetActionResult(ActionResult::Fail("would have failed"));
    const ActionResult r = GetParam().act(*dry);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(out.str(), std::string("dry-run: ") + GetParam().printed + "\n");
    EXPECT_TRUE(fake->calls.empty()) << "the wrapped backend was asked to act: " << fake->calls.front();
    EXPECT_TRUE(fake->autostart.empty());
}

INSTANTIATE_TEST_SUITE_P(
    EveryAction, DryRunActions,
    ::testing::Values(
        ActionCase{"PowerOff", [](Platform& p) { return p.PowerOff(); }, "power-off"},
        ActionCase{"Reboot", [](Platform& p) { return p.Reboot(); }, "reboot"},
        ActionCase{"LogOff", [](Platform& p) { return p.LogOff(); }, "log-off"},
        ActionCase{"Lock", [](Platform& p) { return p.Lock(); }, "lock"},
        ActionCase{"Suspend", [](Platform& p) { return p.Suspend(); }, "suspend"},
        ActionCase{"Hibernate", [](Platform& p) { return p.Hibernate(); }, "hibernate"},
        ActionCase{"EndProcess",
                   [](Platform& p) {
                       p.EndProcessByName("calc.exe");
                       return ActionResult::Ok();
                   },
                   "end-process calc.exe"},
        ActionCase{"StartProgram", [](Platform& p) { return p.StartProgram("/opt/my tools/run me"); },
                   "start-program /opt/my tools/run me"},
        ActionCase{
            "AutostartWriteMachine",
            [](Platform& p) { return p.WriteAutostart(AutostartScope::Machine, "/opt/vantor/vantor"); },
            "autostart-write machine /opt/vantor/vantor"},
        ActionCase{"AutostartWriteUser",
                   [](Platform& p) { return p.WriteAutostart(AutostartScope::User, "/home/u/vantor"); },
                   "autostart-write user /home/u/vantor"},
        ActionCase{"AutostartDeleteMachine",
                   [](Platform& p) { return p.DeleteAutostart(AutostartScope::Machine); },
                   "autostart-delete machine"},
        ActionCase{"AutostartDeleteUser", [](Platform& p) { return p.DeleteAutostart(AutostartScope::User); },
                   "autostart-delete user"}),
    [](const ::testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

TEST_F(DryRunFixture, ShutdownPrivilegeStepChangesNothing) {
    dry->EnableShutdownPrivilege();
    EXPECT_TRUE(fake->calls.empty());
}

TEST_F(DryRunFixture, ReadingsComeFromTheWrappedBackend) {
    fake->SetLastInputMs(123);
    fake->SetCanSuspend(false);
    fake->SetCanHibernate(true);
    fake->SetRunningProcesses({"calc.exe"});
    fake->SetForegroundWindow(WindowSize{800, 600});
    fake->SetScreen(ScreenSize{1280, 1024});
    fake->SetProgramPath("/opt/x/vantor");
    InterfaceRow lo;
    lo.name = "lo";
    lo.inOctets = 5;
    fake->SetInterfaceTable(std::vector<InterfaceRow>{lo});

    EXPECT_EQ(dry->LastInputMs(), std::optional<uint64_t>(123));
    EXPECT_FALSE(dry->CanSuspend());
    EXPECT_TRUE(dry->CanHibernate());
    EXPECT_TRUE(dry->IsProcessRunning("calc.exe"));
    EXPECT_FALSE(dry->IsProcessRunning("notepad.exe"));
    ASSERT_TRUE(dry->ForegroundWindowSize().has_value());
    EXPECT_EQ(dry->ForegroundWindowSize()->width, 800);
    EXPECT_EQ(dry->PrimaryScreenSize().height, 1024);
    EXPECT_EQ(dry->ProgramPath(), "/opt/x/vantor");
    ASSERT_TRUE(dry->ReadInterfaceTable().has_value());
    EXPECT_EQ(dry->ReadInterfaceTable()->front().inOctets, 5u);
    fake->AdvanceMs(2500);
    EXPECT_EQ(dry->MonotonicMs(), fake->MonotonicMs());
    EXPECT_EQ(out.str(), "");
}

TEST_F(DryRunFixture, AutostartReadBackSeesWhatTheDryRunWroteButNothingReal) {
    fake->autostart[AutostartScope::User] = "/real/entry";
    ASSERT_TRUE(dry->WriteAutostart(AutostartScope::Machine, "/opt/vantor/vantor").ok);
    // The settings dialog writes and then reads back: the dry run must answer as if the write worked.
    EXPECT_EQ(dry->ReadAutostart(AutostartScope::Machine), "/opt/vantor/vantor");
    EXPECT_EQ(fake->autostart.count(AutostartScope::Machine), 0u);
    ASSERT_TRUE(dry->DeleteAutostart(AutostartScope::Machine).ok);
    EXPECT_EQ(dry->ReadAutostart(AutostartScope::Machine), "");
    EXPECT_EQ(fake->autostart[AutostartScope::User], "/real/entry");
}

} // namespace
} // namespace vantor

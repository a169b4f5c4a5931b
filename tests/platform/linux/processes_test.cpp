// Processes on Linux: the /proc scan, the running test and ending by name, with copies of sleep under
// long names of their own so that nothing else on the machine can match.
#include "linux_test_support.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <unistd.h>

namespace vantor {
namespace {

using testing::Child;
using testing::TempDir;

struct ProcessFixture : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(testing::RequireTool("/bin/sleep"));
        // The pid makes the name unique, so parallel runs of this test never end each other's sleepers.
        name = "vantor-test-sleeper-long-name-" + std::to_string(getpid());
        other = "vantor-test-bystander-" + std::to_string(getpid());
        ASSERT_TRUE(testing::RunCommand({"/bin/cp", "/bin/sleep", dir.File(name)}));
        ASSERT_TRUE(testing::RunCommand({"/bin/cp", "/bin/sleep", dir.File(other)}));
    }
    Child Start(const std::string& exe, bool ignoreTerm = false) {
        Child::Options options;
        options.ignoreTerm = ignoreTerm;
        Child c({dir.File(exe), "60"}, options);
        // Wait until the exec has happened, so the scan sees the new name rather than ours.
        EXPECT_TRUE(testing::WaitFor(
            [&] {
                return testing::ReadFile("/proc/" + std::to_string(c.pid()) + "/comm")
                           .rfind("vantor-test", 0) == 0;
            },
            std::chrono::milliseconds(5000)));
        return c;
    }
    static std::string Upper(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return s;
    }

    TempDir dir;
    std::string name;
    std::string other;
    std::unique_ptr<Platform> platform = CreateNativePlatform();
};

TEST_F(ProcessFixture, ListShowsFullExecutableNamesBeyondFifteenCharacters) {
    Child sleeper = Start(name);
    const std::vector<ProcessInfo> list = platform->ListProcesses();
    const auto it =
        std::find_if(list.begin(), list.end(), [&](const ProcessInfo& p) { return p.pid == sleeper.pid(); });
    ASSERT_NE(it, list.end());
    EXPECT_EQ(it->exeName, name);
    EXPECT_FALSE(it->truncated);
    const auto self =
        std::find_if(list.begin(), list.end(), [](const ProcessInfo& p) { return p.pid == getpid(); });
    ASSERT_NE(self, list.end());
    EXPECT_EQ(self->exeName, "platform_linux_processes_test");
}

struct RunningCase {
    const char* label;
    std::string (*asked)(const std::string& name);
    bool running;
};

class RunningNames : public ProcessFixture, public ::testing::WithParamInterface<RunningCase> {};

TEST_P(RunningNames, MatchTheExecutableName) {
    Child sleeper = Start(name);
    EXPECT_EQ(platform->IsProcessRunning(GetParam().asked(name)), GetParam().running)
        << GetParam().asked(name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, RunningNames,
    ::testing::Values(
        RunningCase{"Exact", [](const std::string& n) { return n; }, true},
        // Linux names are case-sensitive and ".exe" is part of a name.
        RunningCase{"OtherCase", [](const std::string& n) { return ProcessFixture::Upper(n); }, false},
        RunningCase{"WithExe", [](const std::string& n) { return n + ".exe"; }, false},
        RunningCase{"WithAFolder", [](const std::string& n) { return "/opt/bin/" + n; }, true},
        // Containment would say yes here; the last path component must equal the name.
        RunningCase{"OnlyAPart", [](const std::string& n) { return n.substr(0, n.size() - 3); }, false},
        RunningCase{"Longer", [](const std::string& n) { return n + "x"; }, false}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(ProcessFixture, EndsEveryInstanceOfTheName) {
    Child a = Start(name);
    Child b = Start(name);
    Child bystander = Start(other);
    ASSERT_TRUE(platform->IsProcessRunning(name));
    platform->EndProcessByName(name);
    EXPECT_TRUE(a.WaitExit(std::chrono::milliseconds(3000)));
    EXPECT_TRUE(b.WaitExit(std::chrono::milliseconds(3000)));
    EXPECT_FALSE(platform->IsProcessRunning(name));
    EXPECT_TRUE(bystander.Running()) << "a process of another name was ended";
}

TEST_F(ProcessFixture, LetterCaseAndExeArePartOfTheName) {
    ASSERT_TRUE(testing::RunCommand({"/bin/cp", "/bin/sleep", dir.File(name + ".exe")}));
    Child plain = Start(name);
    Child exe = Start(name + ".exe");
    platform->EndProcessByName(Upper(name));
    platform->EndProcessByName(name + ".exe");
    EXPECT_TRUE(exe.WaitExit(std::chrono::milliseconds(3000)));
    EXPECT_TRUE(plain.Running()) << "\"" << name << ".exe\" or the name in capitals ended \"" << name << "\"";
}

TEST_F(ProcessFixture, ForcesAProcessThatIgnoresTheRequestWithoutWaitingForIt) {
    Child stubborn = Start(name, true);
    platform->EndProcessByName(name);
    // Back at once: the grace period before forcing runs in the background.
    EXPECT_TRUE(stubborn.Running());
    EXPECT_TRUE(stubborn.WaitExit(std::chrono::milliseconds(3000)));
}

TEST_F(ProcessFixture, NameWithAFolderEndsWhatTheRunningTestFinds) {
    // One rule for both: a task that warns because its process runs must also end it.
    Child a = Start(name);
    ASSERT_TRUE(platform->IsProcessRunning(dir.File(name)));
    platform->EndProcessByName(dir.File(name));
    EXPECT_TRUE(a.WaitExit(std::chrono::milliseconds(3000)));
}

TEST_F(ProcessFixture, NameThatIsNotRunningChangesNothing) {
    Child bystander = Start(other);
    platform->EndProcessByName(name);
    EXPECT_TRUE(bystander.Running());
}

TEST_F(ProcessFixture, NeverEndsThisProgram) {
    platform->EndProcessByName("platform_linux_processes_test");
    EXPECT_TRUE(platform->IsProcessRunning("platform_linux_processes_test"));
}

} // namespace
} // namespace vantor

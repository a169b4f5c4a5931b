// Processes and windows under Wine: the toolhelp snapshot with copies of the helper program, ending every
// instance by name, the management-service pass and closing a window by its title.
#include "platform/native.h"
#include "platform/windows/processes.h"
#include "platform/windows/wide.h"
#include "windows_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

namespace vantor {
namespace {

using namespace std::chrono_literals;
using testing::Process;

struct ProcessFixture : ::testing::Test {
    void SetUp() override {
        // The process id makes the name unique: parallel tests never end each other's helpers.
        name = "vantor-helper-" + std::to_string(GetCurrentProcessId()) + ".exe";
        exe = folder.File(name);
        ASSERT_TRUE(testing::CopyHelper(exe));
    }
    bool Listed(size_t times) {
        const std::vector<ProcessInfo> list = platform->ListProcesses();
        return static_cast<size_t>(std::count_if(list.begin(), list.end(), [&](const ProcessInfo& p) {
                   return p.exeName == name;
               })) == times;
    }

    testing::TempFolder folder;
    std::string name;
    std::string exe;
    std::unique_ptr<Platform> platform = CreateNativePlatform();
};

TEST_F(ProcessFixture, EveryInstanceIsFoundAndEndedByNameInAnyLetterCase) {
    Process first(exe, {"wait"});
    Process second(exe, {"wait"});
    ASSERT_TRUE(first.started() && second.started());
    ASSERT_TRUE(testing::WaitFor([&] { return Listed(2); }, 5s));

    std::string upper = name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    const std::string bare = name.substr(0, name.size() - 4);
    for (const std::string& asked : {name, upper, bare, exe}) {
        EXPECT_TRUE(platform->IsProcessRunning(asked)) << asked;
    }
    EXPECT_FALSE(platform->IsProcessRunning("vantor-helper.exe"));

    platform->EndProcessByName(upper);
    EXPECT_TRUE(first.WaitExit(5s));
    EXPECT_TRUE(second.WaitExit(5s));
    EXPECT_FALSE(platform->IsProcessRunning(name));
}

TEST_F(ProcessFixture, ManagementQuerySelectsTheNamedProcessAndAQuoteCannotWidenIt) {
    Process helper(exe, {"wait"});
    ASSERT_TRUE(testing::WaitFor([&] { return Listed(1); }, 5s));
    EXPECT_EQ(windows_backend::WmiProcessIds(name), std::vector<int64_t>{helper.pid()});
    // Unescaped, this would select every process.
    EXPECT_EQ(windows_backend::WmiProcessIds("x' OR Name <> '"), std::vector<int64_t>{});
}

TEST_F(ProcessFixture, WindowWithTheNameAsItsTitleIsAskedToClose) {
    const std::string title = "Vantor 测试窗口 " + std::to_string(GetCurrentProcessId());
    Process helper(exe, {"window", title});
    ASSERT_TRUE(testing::WaitFor(
        [&] { return FindWindowW(nullptr, windows_backend::Wide(title).c_str()) != nullptr; }, 10s));

    // The new window is in front: its size is the foreground window's (the full-screen test compares it).
    EXPECT_TRUE(testing::WaitFor(
        [&] {
            const std::optional<WindowSize> size = platform->ForegroundWindowSize();
            return size && size->width == 300 && size->height == 200;
        },
        10s));
    EXPECT_EQ(platform->PrimaryScreenSize().width, 1280);
    EXPECT_EQ(platform->PrimaryScreenSize().height, 1024);

    platform->EndProcessByName(title);
    unsigned long code = 99;
    ASSERT_TRUE(helper.WaitExit(10s, &code));
    EXPECT_EQ(code, 0u) << "the window's program was ended instead of closing itself";
}

} // namespace
} // namespace vantor

// Files and programs under Wine: the exclusive-open test, starting a program through the shell from a
// folder with Chinese characters and blanks in its name, and the program's own path. (Wine does not hold a
// running program's file open as Windows does, so that case of the exclusive-open test is not tried here.)
#include "platform/native.h"
#include "platform/windows/wide.h"
#include "windows_test_support.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace vantor {
namespace {

using namespace std::chrono_literals;
using windows_backend::Wide;

struct FilesFixture : ::testing::Test {
    testing::TempFolder folder;
    std::unique_ptr<Platform> platform = CreateNativePlatform();
};

TEST_F(FilesFixture, ExclusiveOpenTestTellsFreeFilesFromHeldAndMissingOnes) {
    const std::string free = folder.File("空闲 程序.exe");
    testing::WriteFile(free, "MZ");
    EXPECT_FALSE(platform->IsProgramInUse(free));
    EXPECT_TRUE(platform->IsProgramInUse(folder.File("没有.exe")));

    // Held open by another handle for writing, as a program that is being written or run holds its file.
    HANDLE held = CreateFileW(Wide(free).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(platform->IsProgramInUse(free));
    CloseHandle(held);
    EXPECT_FALSE(platform->IsProgramInUse(free));
}

TEST_F(FilesFixture, FileTheUserMayReadButNotWriteIsNotTakenAsInUse) {
    // Like a program under Program Files for a user without administrator rights. The tests run as root,
    // who may write any ordinary file, so a read-only attribute file of the system stands in for it.
    const std::string readOnly = "Z:\\sys\\devices\\system\\cpu\\online";
    HANDLE reading = CreateFileW(Wide(readOnly).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    if (reading == INVALID_HANDLE_VALUE) {
        GTEST_SKIP() << "no readable " << readOnly << " on this machine";
    }
    CloseHandle(reading);
    HANDLE writing = CreateFileW(Wide(readOnly).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(writing, INVALID_HANDLE_VALUE) << readOnly << " should not be writable";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(platform->IsProgramInUse(readOnly));
}

TEST_F(FilesFixture, ShellStartsTheProgramItIsGivenAndReportsAMissingOne) {
    const std::string exe = folder.File("启动 helper.exe");
    ASSERT_TRUE(testing::CopyHelper(exe));
    const ActionResult started = platform->StartProgram(exe);
    ASSERT_TRUE(started.ok) << started.error;
    EXPECT_TRUE(testing::WaitFor([&] { return testing::Exists(exe + ".started"); }, 10s))
        << "the helper did not write its marker";

    const ActionResult missing = platform->StartProgram(folder.File("没有 这个.exe"));
    EXPECT_FALSE(missing.ok);
    EXPECT_EQ(missing.error.rfind("无法运行 " + folder.File("没有 这个.exe") + "：", 0), 0u) << missing.error;
}

TEST_F(FilesFixture, OrdinaryFileExcludesHiddenFilesAndProgramPathIsThisProgram) {
    const std::string hidden = folder.File("隐藏.txt");
    testing::WriteFile(hidden, "x");
    EXPECT_TRUE(platform->IsOrdinaryFile(hidden));
    ASSERT_TRUE(SetFileAttributesW(Wide(hidden).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_FALSE(platform->IsOrdinaryFile(hidden));

    const std::string self = platform->ProgramPath();
    EXPECT_TRUE(self.ends_with("\\platform_win32_files_programs_test.exe")) << self;
    EXPECT_TRUE(platform->IsOrdinaryFile(self));
}

} // namespace
} // namespace vantor

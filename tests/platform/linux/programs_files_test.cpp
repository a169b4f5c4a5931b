// Starting programs and documents (detached, no shell, failures reported), the file tests, legacy text
// decoding and the clocks of the Linux backend.
#include "linux_test_support.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <ctime>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {
namespace {

using testing::Child;
using testing::ScopedEnv;
using testing::TempDir;
using testing::WaitFor;
using testing::WriteFile;

struct ProgramFixture : ::testing::Test {
    bool Appears(const std::string& path) {
        return WaitFor([&] { return access(path.c_str(), F_OK) == 0; }, std::chrono::milliseconds(5000));
    }
    TempDir dir;
    std::unique_ptr<Platform> platform = CreateNativePlatform();
};

// The session id in /proc/<pid>/stat: the fourth value after the parenthesised name.
long SessionOf(const std::string& stat) {
    std::istringstream in(stat.substr(stat.rfind(')') + 2));
    std::string state;
    long ppid = 0, pgrp = 0, session = 0;
    in >> state >> ppid >> pgrp >> session;
    return session;
}

TEST_F(ProgramFixture, ExecutableRunsDetachedInItsOwnFolder) {
    mkdir(dir.File("my tools").c_str(), 0755);
    const std::string script = dir.File("my tools/run me.sh");
    // The script is the program; our side starts it with no shell in between.
    WriteFile(script,
              "#!/bin/sh\npwd > started.tmp\ncat /proc/$$/stat >> started.tmp\nmv started.tmp started\n",
              0755);
    const ActionResult r = platform->StartProgram(script);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(Appears(dir.File("my tools/started")));
    std::istringstream report(testing::ReadFile(dir.File("my tools/started")));
    std::string cwd, stat;
    std::getline(report, cwd);
    std::getline(report, stat);
    EXPECT_EQ(cwd, dir.File("my tools"));
    EXPECT_NE(SessionOf(stat), static_cast<long>(getsid(0)))
        << "the program must run in a session of its own";
}

TEST_F(ProgramFixture, FailedExecIsReported) {
    const std::string broken = dir.File("broken");
    WriteFile(broken, "#!/nonexistent/interpreter\n", 0755);
    const ActionResult r = platform->StartProgram(broken);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法启动“" + broken + "”：文件或文件夹不存在");
}

struct XdgOpenFixture : ProgramFixture {
    void SetUp() override {
        mkdir(dir.File("bin").c_str(), 0755);
        // A stand-in for the desktop's opener that records its arguments, one per line.
        WriteFile(dir.File("bin/xdg-open"),
                  "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > \"" + dir.File("opened.tmp") +
                      "\"\nmv \"" + dir.File("opened.tmp") + "\" \"" + dir.File("opened") + "\"\n",
                  0755);
    }
    ScopedEnv path{"PATH", dir.File("bin") + ":/usr/bin:/bin"};
};

TEST_F(XdgOpenFixture, DocumentGoesToXdgOpenAsOneArgument) {
    const std::string doc = dir.File("a report; $(touch pwned).txt");
    WriteFile(doc, "text", 0644);
    const ActionResult r = platform->StartProgram(doc);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(Appears(dir.File("opened")));
    EXPECT_EQ(testing::ReadFile(dir.File("opened")), doc + "\n");
    EXPECT_NE(access(dir.File("pwned").c_str(), F_OK), 0) << "the path went through a shell";
}

// A document named like an option reaches the opener from the root, never as "-x".
TEST_F(XdgOpenFixture, RelativeDocumentGoesToXdgOpenFromTheRoot) {
    WriteFile(dir.File("-x"), "text", 0644);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const ActionResult r = platform->StartProgram("-x");
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_TRUE(r.ok) << r.error;
    ASSERT_TRUE(Appears(dir.File("opened")));
    EXPECT_EQ(testing::ReadFile(dir.File("opened")), dir.File("-x") + "\n");
}

TEST_F(XdgOpenFixture, NonExecutableProgramFileIsOpenedLikeADocument) {
    const std::string file = dir.File("tool.exe");
    WriteFile(file, "MZ", 0644);
    ASSERT_TRUE(platform->StartProgram(file).ok);
    ASSERT_TRUE(Appears(dir.File("opened")));
    EXPECT_EQ(testing::ReadFile(dir.File("opened")), file + "\n");
}

TEST_F(XdgOpenFixture, AddressIsOpenedThoughItIsNoFile) {
    ASSERT_TRUE(platform->StartProgram("https://example.org/x y").ok);
    ASSERT_TRUE(Appears(dir.File("opened")));
    EXPECT_EQ(testing::ReadFile(dir.File("opened")), "https://example.org/x y\n");
}

TEST_F(XdgOpenFixture, MissingFileIsReportedWithoutOpeningAnything) {
    const ActionResult r = platform->StartProgram(dir.File("no such file.txt"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法打开“" + dir.File("no such file.txt") + "”：文件或文件夹不存在");
    EXPECT_NE(access(dir.File("opened").c_str(), F_OK), 0);
}

TEST_F(ProgramFixture, MissingXdgOpenIsReported) {
    ScopedEnv emptyPath("PATH", dir.path());
    const std::string doc = dir.File("doc.txt");
    WriteFile(doc, "text");
    const ActionResult r = platform->StartProgram(doc);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法打开“" + doc + "”：没有安装 xdg-open，找不到打开它的程序");
}

TEST_F(ProgramFixture, EmptyPathIsRefused) {
    EXPECT_FALSE(platform->StartProgram("").ok);
}

TEST_F(ProgramFixture, ProgramFileHasAnExecuteBitAndIsInUseWhileItRuns) {
    // "多开" governs executables: the counterpart of a Windows ".exe" is the execute bit, not a name.
    WriteFile(dir.File("plain.txt"), "x");
    WriteFile(dir.File("tool.exe"), "MZ");
    EXPECT_FALSE(platform->IsProgramFile(dir.File("plain.txt")));
    EXPECT_FALSE(platform->IsProgramFile(dir.File("tool.exe")));
    EXPECT_FALSE(platform->IsProgramFile(dir.File("missing")));
    EXPECT_FALSE(platform->IsProgramFile(dir.path()));
    const std::string exe = dir.File("busy-sleeper");
    ASSERT_TRUE(testing::RunCommand({"/bin/cp", "/bin/sleep", exe}));
    ASSERT_TRUE(platform->IsProgramFile(exe));
    EXPECT_FALSE(platform->IsProgramInUse(exe));
    {
        Child running({exe, "30"});
        ASSERT_TRUE(WaitFor(
            [&] {
                return testing::ReadFile("/proc/" + std::to_string(running.pid()) + "/comm") ==
                       "busy-sleeper\n";
            },
            std::chrono::milliseconds(5000)));
        EXPECT_TRUE(platform->IsProgramInUse(exe));
        // Reached through another name of the same file, it is the same program.
        ASSERT_EQ(symlink(exe.c_str(), dir.File("alias").c_str()), 0);
        EXPECT_TRUE(platform->IsProgramInUse(dir.File("alias")));
    }
    EXPECT_FALSE(platform->IsProgramInUse(exe)) << "the program has ended";
}

TEST_F(ProgramFixture, OrdinaryFileIsAVisibleRegularFile) {
    WriteFile(dir.File("task.vnt"), "x");
    WriteFile(dir.File(".hidden"), "x");
    mkdir(dir.File("folder").c_str(), 0755);
    ASSERT_EQ(symlink(dir.File("task.vnt").c_str(), dir.File("link").c_str()), 0);
    EXPECT_TRUE(platform->IsOrdinaryFile(dir.File("task.vnt")));
    EXPECT_TRUE(platform->IsOrdinaryFile(dir.File("link")));
    EXPECT_FALSE(platform->IsOrdinaryFile(dir.File(".hidden")));
    EXPECT_FALSE(platform->IsOrdinaryFile(dir.File("folder")));
    EXPECT_FALSE(platform->IsOrdinaryFile(dir.File("missing")));
    EXPECT_FALSE(platform->IsOrdinaryFile("/dev/null"));
}

TEST(LegacyText, DecodesTheChineseCodePage) {
    auto platform = CreateNativePlatform();
    EXPECT_EQ(platform->DecodeLegacy("\xB6\xA8\xCA\xB1\xB9\xD8\xBB\xFA"),
              std::optional<std::string>("定时关机"));
    EXPECT_EQ(platform->DecodeLegacy("calc.exe"), std::optional<std::string>("calc.exe"));
    EXPECT_EQ(platform->DecodeLegacy(""), std::optional<std::string>(""));
    EXPECT_FALSE(platform->DecodeLegacy("\xB6").has_value()) << "a cut character";
    EXPECT_FALSE(platform->DecodeLegacy("ab\xFF\xFF").has_value());
    // Written back as Windows' code page 936 has it; a character it lacks is refused.
    EXPECT_EQ(platform->EncodeLegacy("定时关机"),
              std::optional<std::string>("\xB6\xA8\xCA\xB1\xB9\xD8\xBB\xFA"));
    EXPECT_FALSE(platform->EncodeLegacy("关机\xF0\x9F\x98\x80").has_value());
}

TEST(Clocks, NowIsLocalTimeAndTheTickNeverGoesBack) {
    auto platform = CreateNativePlatform();
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    const DateTime expected =
        DateTime::fromParts(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    EXPECT_LE(std::abs(platform->Now().seconds - expected.seconds), 2);
    const uint64_t a = platform->MonotonicMs();
    usleep(20'000);
    const uint64_t b = platform->MonotonicMs();
    EXPECT_GE(b, a + 15);
}

TEST(ProgramPath, IsThisExecutable) {
    const std::string path = CreateNativePlatform()->ProgramPath();
    EXPECT_EQ(path.front(), '/');
    EXPECT_TRUE(path.ends_with("/platform_linux_programs_files_test")) << path;
}

} // namespace
} // namespace vantor

// Start with the session: the XDG autostart entry written, read back and deleted in temporary folders,
// the quoting of its Exec line, and systemd's own reading of what was written.
#include "linux_test_support.h"
#include "platform/linux/autostart.h"
#include "platform/native.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

namespace vantor {
namespace {

using linux_backend::AutostartFolder;
using linux_backend::ExecLineFor;
using linux_backend::ProgramOfExecLine;
using testing::ScopedEnv;
using testing::TempDir;

struct QuotingCase {
    const char* label;
    std::string path;
    std::string exec; // expected Exec value
};

class ExecQuoting : public ::testing::TestWithParam<QuotingCase> {};

TEST_P(ExecQuoting, QuotesThePathAndReadsItBack) {
    const std::optional<std::string> exec = ExecLineFor(GetParam().path);
    ASSERT_TRUE(exec.has_value());
    EXPECT_EQ(*exec, GetParam().exec);
    EXPECT_EQ(ProgramOfExecLine(*exec), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ExecQuoting,
    ::testing::Values(QuotingCase{"Plain", "/opt/vantor/vantor", "\"/opt/vantor/vantor\""},
                      QuotingCase{"Blanks", "/opt/my apps/vantor", "\"/opt/my apps/vantor\""},
                      QuotingCase{"DoubleQuote", "/opt/a\"b/vantor", "\"/opt/a\\\\\"b/vantor\""},
                      QuotingCase{"Dollar", "/opt/$HOME/vantor", "\"/opt/\\\\$HOME/vantor\""},
                      QuotingCase{"Backtick", "/opt/`x`/vantor", "\"/opt/\\\\`x\\\\`/vantor\""},
                      QuotingCase{"Percent", "/opt/100%/vantor", "\"/opt/100%%/vantor\""},
                      QuotingCase{"Chinese", "/opt/定时/vantor", "\"/opt/定时/vantor\""}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(ExecQuoting, RefusesWhatAnEntryCannotCarry) {
    EXPECT_FALSE(ExecLineFor("/opt/back\\slash/vantor").has_value());
    EXPECT_FALSE(ExecLineFor("/opt/line\nbreak/vantor").has_value());
    EXPECT_FALSE(ExecLineFor("/opt/tab\there/vantor").has_value());
}

TEST(ExecQuoting, ReadsExecLinesWrittenByOthers) {
    EXPECT_EQ(ProgramOfExecLine("/usr/bin/vantor --flag"), "/usr/bin/vantor");
    EXPECT_EQ(ProgramOfExecLine("\"/usr/bin/va ntor\" %U"), "/usr/bin/va ntor");
    // An escaped blank outside quotes still separates arguments.
    EXPECT_EQ(ProgramOfExecLine("/usr/bin/va\\sntor"), "/usr/bin/va");
    EXPECT_EQ(ProgramOfExecLine("\"/unterminated"), "");
    EXPECT_EQ(ProgramOfExecLine(""), "");
}

struct AutostartFixture : ::testing::Test {
    TempDir dir;
    ScopedEnv config{"XDG_CONFIG_HOME", dir.File("config")};
    ScopedEnv machine{"VANTOR_XDG_AUTOSTART_DIR", dir.File("machine/autostart")};
    std::unique_ptr<Platform> platform = CreateNativePlatform();
};

struct ScopeCase {
    AutostartScope scope;
    const char* folder; // inside the temporary folder
};

class AutostartScopes : public AutostartFixture, public ::testing::WithParamInterface<ScopeCase> {};

TEST_P(AutostartScopes, WriteReadBackDelete) {
    const std::string entry = dir.File(GetParam().folder) + "/vantor.desktop";
    const std::string program = "/opt/my apps/vantor";
    ASSERT_EQ(platform->ReadAutostart(GetParam().scope), "");

    const ActionResult w = platform->WriteAutostart(GetParam().scope, program);
    ASSERT_TRUE(w.ok) << w.error;
    const std::string text = testing::ReadFile(entry);
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nExec=\"/opt/my apps/vantor\"\n"), std::string::npos) << text;
    // Once the program is removed, the session passes the entry over.
    EXPECT_NE(text.find("\nTryExec=/opt/my apps/vantor\n"), std::string::npos) << text;
    EXPECT_EQ(platform->ReadAutostart(GetParam().scope), program);

    // Writing again replaces the entry.
    ASSERT_TRUE(platform->WriteAutostart(GetParam().scope, "/usr/bin/vantor").ok);
    EXPECT_EQ(platform->ReadAutostart(GetParam().scope), "/usr/bin/vantor");

    ASSERT_TRUE(platform->DeleteAutostart(GetParam().scope).ok);
    struct stat st {};
    EXPECT_NE(stat(entry.c_str(), &st), 0);
    EXPECT_EQ(platform->ReadAutostart(GetParam().scope), "");
    EXPECT_TRUE(platform->DeleteAutostart(GetParam().scope).ok) << "a missing entry is no error";
}

INSTANTIATE_TEST_SUITE_P(Scopes, AutostartScopes,
                         ::testing::Values(ScopeCase{AutostartScope::Machine, "machine/autostart"},
                                           ScopeCase{AutostartScope::User, "config/autostart"}),
                         [](const auto& info) {
                             return std::string(info.param.scope == AutostartScope::Machine ? "Machine"
                                                                                            : "User");
                         });

TEST_F(AutostartFixture, ScopesAreSeparate) {
    ASSERT_TRUE(platform->WriteAutostart(AutostartScope::User, "/opt/a").ok);
    EXPECT_EQ(platform->ReadAutostart(AutostartScope::Machine), "");
    EXPECT_EQ(platform->ReadAutostart(AutostartScope::User), "/opt/a");
}

TEST_F(AutostartFixture, PathWithABackslashIsARefusedWrite) {
    const ActionResult r = platform->WriteAutostart(AutostartScope::User, "/opt/back\\slash/vantor");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("反斜杠"), std::string::npos) << r.error;
    EXPECT_EQ(platform->ReadAutostart(AutostartScope::User), "");
}

TEST_F(AutostartFixture, UnwritableFolderIsAReportedFailure) {
    testing::WriteFile(dir.File("blocker"), "a file where a folder should be");
    ScopedEnv blocked("VANTOR_XDG_AUTOSTART_DIR", dir.File("blocker/autostart"));
    const ActionResult r = platform->WriteAutostart(AutostartScope::Machine, "/opt/vantor/vantor");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "无法创建文件夹“" + dir.File("blocker/autostart") + "”：路径中有一部分不是文件夹");
    EXPECT_EQ(platform->ReadAutostart(AutostartScope::Machine), "");
}

TEST_F(AutostartFixture, EntryWithoutExecReadsAsNone) {
    ASSERT_TRUE(platform->WriteAutostart(AutostartScope::User, "/opt/a").ok);
    testing::WriteFile(dir.File("config/autostart/vantor.desktop"),
                       "[Desktop Entry]\nType=Application\n[Other Group]\nExec=/opt/not-ours\n");
    EXPECT_EQ(platform->ReadAutostart(AutostartScope::User), "");
}

TEST(AutostartFolders, FollowTheBaseDirectoryRules) {
    TempDir home;
    ScopedEnv homeEnv("HOME", home.path());
    {
        ScopedEnv unset("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(AutostartFolder(AutostartScope::User), home.path() + "/.config/autostart");
    }
    {
        ScopedEnv relative("XDG_CONFIG_HOME", std::string("relative/config"));
        EXPECT_EQ(AutostartFolder(AutostartScope::User), home.path() + "/.config/autostart");
    }
    ScopedEnv noOverride("VANTOR_XDG_AUTOSTART_DIR", std::nullopt);
    EXPECT_EQ(AutostartFolder(AutostartScope::Machine), "/etc/xdg/autostart");
}

TEST_F(AutostartFixture, SystemdReadsTheWrittenEntry) {
    const std::string generator = "/usr/lib/systemd/user-generators/systemd-xdg-autostart-generator";
    ASSERT_TRUE(testing::RequireTool(generator));
    // The generator only makes a unit for a program that exists: a real file in a folder with a blank.
    mkdir(dir.File("my apps").c_str(), 0755);
    const std::string program = dir.File("my apps/vantor");
    testing::WriteFile(program, "#!/bin/sh\n", 0755);
    ASSERT_TRUE(platform->WriteAutostart(AutostartScope::User, program).ok);
    ScopedEnv dirs("XDG_CONFIG_DIRS", dir.File("no-system-config"));
    const std::string out = dir.File("units");
    mkdir(out.c_str(), 0755);
    ASSERT_TRUE(testing::RunCommand({generator, out, out, out}));
    const std::string unit = testing::ReadFile(out + "/app-vantor@autostart.service");
    EXPECT_NE(unit.find("ExecStart="), std::string::npos) << unit;
    EXPECT_NE(unit.find(program), std::string::npos) << unit;
}

} // namespace
} // namespace vantor

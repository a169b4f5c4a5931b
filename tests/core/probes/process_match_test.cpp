// Process names: the one matching rule of the running test and the ending pass, in both systems' flavours,
// and Linux name sources.
#include "core/probes/process_match.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct MatchCase {
    const char* wanted;
    const char* exe;
    bool truncated;
    bool windows; // match under the Windows rule
    bool linux;   // match under the Linux rule
};

class ProcessNameMatchesTable : public testing::TestWithParam<MatchCase> {};

TEST_P(ProcessNameMatchesTable, OneRulePerSystem) {
    const MatchCase& c = GetParam();
    EXPECT_EQ(ProcessNameMatches(c.wanted, c.exe, c.truncated, NameRule::Windows), c.windows)
        << c.wanted << " vs " << c.exe << " (Windows)";
    EXPECT_EQ(ProcessNameMatches(c.wanted, c.exe, c.truncated, NameRule::Linux), c.linux)
        << c.wanted << " vs " << c.exe << " (Linux)";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessNameMatchesTable,
    testing::Values(
        MatchCase{"calc.exe", "calc.exe", false, true, true},
        // Letter case and ".exe" count on Linux only.
        MatchCase{"CALC.EXE", "calc.exe", false, true, false}, MatchCase{"RLSH", "rlsh", false, true, false},
        MatchCase{"rlsh.exe", "rlsh", false, true, false}, MatchCase{"rlsh", "rlsh.exe", false, true, false},
        // A folder in the name: the running test and the ending pass both take the last part.
        MatchCase{"C:\\Windows\\System32\\calc.exe", "calc.exe", false, true, true},
        MatchCase{"/usr/bin/firefox", "firefox", false, true, true},
        MatchCase{"/usr/bin/", "bin", false, false, false}, MatchCase{"sh", "bash", false, false, false},
        MatchCase{"bash", "sh", false, false, false}, MatchCase{"calc.exe.bak", "calc", false, false, false},
        MatchCase{".exe", "", false, false, false}, MatchCase{"", "anything", false, false, false},
        // comm keeps 15 characters of a longer name
        MatchCase{"gnome-calculator", "gnome-calculato", true, true, true},
        MatchCase{"gnome-calculator", "gnome-calculato", false, false, false},
        MatchCase{"Gnome-Calculator", "gnome-calculato", true, true, false},
        MatchCase{"gnome-calculatrix", "gnome-calculato", true, false, false},
        MatchCase{"gnome-calc", "gnome-calculato", true, false, false},
        MatchCase{"xterm", "xter", true, false, false}));

struct ExeNameCase {
    const char* link;
    const char* argv0;
    const char* comm;
    const char* name;
    bool truncated;
};

class ExecutableNameTable : public testing::TestWithParam<ExeNameCase> {};

TEST_P(ExecutableNameTable, TakesTheBestSourcePresent) {
    const ExeNameCase& c = GetParam();
    bool truncated = !c.truncated;
    EXPECT_EQ(ExecutableName(c.link, c.argv0, c.comm, truncated), c.name);
    EXPECT_EQ(truncated, c.truncated);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExecutableNameTable,
    testing::Values(ExeNameCase{"/usr/bin/python3.11", "python3", "python3", "python3.11", false},
                    ExeNameCase{"/opt/app/tool (deleted)", "tool", "tool", "tool", false},
                    ExeNameCase{"", "/usr/lib/firefox/firefox", "firefox", "firefox", false},
                    ExeNameCase{"", "-bash", "bash", "bash", false},
                    ExeNameCase{"", "", "kworker/0:1", "kworker/0:1", true}));

TEST(WmiProcessQuery, NameIsOneEscapedLiteralWhateverItHolds) {
    EXPECT_EQ(WmiProcessQuery("calc.exe"), "Select * from Win32_Process Where Name = 'calc.exe'");
    EXPECT_EQ(WmiProcessQuery("x' OR Name <> '"),
              "Select * from Win32_Process Where Name = 'x\\' OR Name <> \\''");
    EXPECT_EQ(WmiProcessQuery("a\\'"), "Select * from Win32_Process Where Name = 'a\\\\\\''");
}

} // namespace
} // namespace vantor

// Process names: the ending pass's exact match, the running test's reduced match and Linux name sources.
#include "core/probes/process_match.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

struct KillCase {
    const char* wanted;
    const char* exe;
    bool match;
};

class KillNameMatchesTable : public testing::TestWithParam<KillCase> {};

TEST_P(KillNameMatchesTable, ComparesWholeNameIgnoringCase) {
    const KillCase& c = GetParam();
    EXPECT_EQ(KillNameMatches(c.wanted, c.exe), c.match) << c.wanted << " vs " << c.exe;
}

INSTANTIATE_TEST_SUITE_P(Cases, KillNameMatchesTable,
                         testing::Values(KillCase{"calc.exe", "calc.exe", true},
                                         KillCase{"CALC.EXE", "calc.exe", true},
                                         KillCase{"C:\\Windows\\calc.exe", "calc.exe", false},
                                         // The running test ignores ".exe"; the ending pass agrees.
                                         KillCase{"calc", "calc.exe", true},
                                         KillCase{"firefox.exe", "firefox", true},
                                         KillCase{".exe", "", false},
                                         KillCase{"calc.exe", "calc.exe2", false}, KillCase{"", "", false}));

struct RunningCase {
    const char* wanted;
    const char* exe;
    bool truncated;
    bool match;
};

class RunningNameMatchesTable : public testing::TestWithParam<RunningCase> {};

TEST_P(RunningNameMatchesTable, ComparesReducedNames) {
    const RunningCase& c = GetParam();
    EXPECT_EQ(RunningNameMatches(c.wanted, c.exe, c.truncated), c.match)
        << c.wanted << " vs " << c.exe << (c.truncated ? " (truncated)" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RunningNameMatchesTable,
    testing::Values(RunningCase{"calc.exe", "calc.exe", false, true},
                    RunningCase{"CALC.EXE", "calc", false, true},
                    RunningCase{"calc", "Calc.exe", false, true},
                    RunningCase{"C:\\Windows\\System32\\calc.exe", "calc.exe", false, true},
                    RunningCase{"/usr/bin/firefox", "firefox", false, true},
                    RunningCase{"sh", "bash", false, false}, RunningCase{"bash", "sh", false, false},
                    RunningCase{"calc.exe.bak", "calc", false, false}, RunningCase{".exe", "", false, false},
                    RunningCase{"", "anything", false, false}, RunningCase{"/usr/bin/", "bin", false, false},
                    // comm keeps 15 characters of a longer name
                    RunningCase{"gnome-calculator", "gnome-calculato", true, true},
                    RunningCase{"gnome-calculator", "gnome-calculato", false, false},
                    RunningCase{"gnome-calculatrix", "gnome-calculato", true, false},
                    RunningCase{"gnome-calc", "gnome-calculato", true, false},
                    RunningCase{"gnome-calculato", "gnome-calculato", true, true},
                    RunningCase{"xterm", "xter", true, false}));

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

} // namespace
} // namespace vantor

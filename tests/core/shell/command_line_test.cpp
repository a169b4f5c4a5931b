#include "core/shell/command_line.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using Action = CommandLine::Action;

struct ArgsCase {
    const char* name;
    std::vector<std::string> args;
    Action action;
    bool dryRun;
    const char* screenshot; // nullptr: none
    const char* error;      // part of the error text, for Invalid
};

class ParseCommandLineTest : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(ParseCommandLineTest, ReadsTheArguments) {
    const ArgsCase& c = GetParam();
    const CommandLine cl = ParseCommandLine(c.args);
    EXPECT_EQ(cl.action, c.action);
    EXPECT_EQ(cl.dryRun, c.dryRun);
    EXPECT_EQ(cl.screenshot.has_value(), c.screenshot != nullptr);
    if (c.screenshot != nullptr && cl.screenshot) {
        EXPECT_EQ(*cl.screenshot, c.screenshot);
    }
    EXPECT_NE(cl.error.find(c.error), std::string::npos) << cl.error;
    EXPECT_EQ(cl.error.empty(), c.action != Action::Invalid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandLineTest,
    ::testing::Values(
        ArgsCase{"NothingRuns", {}, Action::Run, false, nullptr, ""},
        ArgsCase{"DryRunAndScreenshot",
                 {"--dry-run", "--screenshot", "a b.png"},
                 Action::Run,
                 true,
                 "a b.png",
                 ""},
        ArgsCase{"ScreenshotWithEquals", {"--screenshot=x.png"}, Action::Run, false, "x.png", ""},
        ArgsCase{
            "ScreenshotFileMayStartWithADash", {"--screenshot", "-x.png"}, Action::Run, false, "-x.png", ""},
        ArgsCase{"Help", {"--help"}, Action::Help, false, nullptr, ""},
        ArgsCase{"ShortHelp", {"-h"}, Action::Help, false, nullptr, ""},
        ArgsCase{"HelpAfterOptions", {"--dry-run", "--help"}, Action::Help, true, nullptr, ""},
        ArgsCase{"Version", {"--version"}, Action::Version, false, nullptr, ""},
        ArgsCase{"UnknownOption", {"--frobnicate"}, Action::Invalid, false, nullptr, "'--frobnicate'"},
        ArgsCase{
            "UnknownBeforeHelp", {"-x", "--help"}, Action::Invalid, false, nullptr, "unknown option '-x'"},
        ArgsCase{"StrayArgument", {"tasks.vnt"}, Action::Invalid, false, nullptr, "'tasks.vnt'"},
        ArgsCase{
            "ScreenshotWithoutFile", {"--screenshot"}, Action::Invalid, false, nullptr, "needs a file name"},
        ArgsCase{"ScreenshotWithEmptyFile",
                 {"--screenshot="},
                 Action::Invalid,
                 false,
                 nullptr,
                 "needs a file name"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlOptionsTest, AskTheRunningCopyOnce) {
    struct Case {
        std::vector<std::string> args;
        std::optional<ControlRequest> request; // nullopt: Invalid
    };
    const Case cases[] = {
        {{"--status"}, ControlRequest{ControlCommand::Status, 0}},
        {{"--dry-run", "--stop"}, ControlRequest{ControlCommand::Stop, 0}},
        {{"--snooze", "10"}, ControlRequest{ControlCommand::Snooze, 10}},
        {{"--history"}, ControlRequest{ControlCommand::History, 0}},
        {{"--history", "5"}, ControlRequest{ControlCommand::History, 5}},
        {{"--snooze"}, std::nullopt},
        {{"--snooze", "0"}, std::nullopt},
        {{"--snooze", "-5"}, std::nullopt},
        {{"--history", "5000"}, std::nullopt},
        {{"--start", "--stop"}, std::nullopt},
        {{"--status", "--screenshot", "x.png"}, std::nullopt},
    };
    for (const Case& c : cases) {
        const CommandLine cl = ParseCommandLine(c.args);
        EXPECT_EQ(cl.action, c.request ? CommandLine::Action::Control : CommandLine::Action::Invalid)
            << c.args[0];
        EXPECT_EQ(cl.control, c.request) << c.args[0];
    }
}

TEST(HelpTextTest, NamesEveryOptionAndTheFolderOfThisCopy) {
    const std::string help = HelpText("/home/u/.config/vantor/");
    for (const char* option :
         {"--dry-run", "--screenshot FILE", "--help", "--version", "--status", "--start", "--stop", "--skip",
          "--cancel", "--snooze MINUTES", "--history [N]", "Exit codes"}) {
        EXPECT_NE(help.find(option), std::string::npos) << option;
    }
    EXPECT_NE(help.find("keeps them in /home/u/.config/vantor/\n"), std::string::npos) << help;
    EXPECT_EQ(HelpText().find("keeps them in"), std::string::npos);
    EXPECT_EQ(VersionLine(), "vantor 1.2.3");
}

} // namespace
} // namespace vantor

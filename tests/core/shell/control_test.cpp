#include "core/shell/control.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using C = ControlCommand;

struct LineCase {
    const char* name;
    std::string line;
    std::optional<ControlRequest> request; // nullopt: refused
    const char* error;                     // part of the reason, for a refused line
};

class ParseControlRequestTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseControlRequestTest, ActsOnlyOnWellFormedLines) {
    const LineCase& c = GetParam();
    std::string error;
    const std::optional<ControlRequest> request = ParseControlRequest(c.line, &error);
    EXPECT_EQ(request, c.request);
    if (!c.request) {
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    } else {
        // What the command line sends is read back as the same request.
        EXPECT_EQ(ParseControlRequest(FormatControlRequest(*c.request)), c.request);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseControlRequestTest,
    ::testing::Values(
        LineCase{"Status", "VANTOR/1 status\n", ControlRequest{C::Status, 0}, ""},
        LineCase{"WindowsLineEnd", "VANTOR/1 stop\r\n", ControlRequest{C::Stop, 0}, ""},
        LineCase{"NoLineEnd", "VANTOR/1 activate", ControlRequest{C::Activate, 0}, ""},
        LineCase{"Skip", "VANTOR/1 skip\n", ControlRequest{C::Skip, 0}, ""},
        LineCase{"Cancel", "VANTOR/1 cancel\n", ControlRequest{C::Cancel, 0}, ""},
        LineCase{"Start", "VANTOR/1 start\n", ControlRequest{C::Start, 0}, ""},
        LineCase{"Snooze", "VANTOR/1 snooze 10\n", ControlRequest{C::Snooze, 10}, ""},
        LineCase{"SnoozeLongest", "VANTOR/1 snooze 1440", ControlRequest{C::Snooze, 1440}, ""},
        LineCase{"HistoryDefault", "VANTOR/1 history\n", ControlRequest{C::History, 0}, ""},
        LineCase{"HistoryCount", "VANTOR/1 history 5\n", ControlRequest{C::History, 5}, ""},
        LineCase{"Empty", "", std::nullopt, "version"},
        LineCase{"OtherVersion", "VANTOR/2 status\n", std::nullopt, "version"},
        LineCase{"NoVersion", "status\n", std::nullopt, "version"},
        LineCase{"UnknownCommand", "VANTOR/1 shutdown\n", std::nullopt, "unknown command 'shutdown'"},
        LineCase{"UpperCase", "VANTOR/1 STOP\n", std::nullopt, "unknown command"},
        LineCase{"TwoSpaces", "VANTOR/1  stop\n", std::nullopt, "unknown command ''"},
        LineCase{"ArgumentToStop", "VANTOR/1 stop now\n", std::nullopt, "takes no argument"},
        LineCase{"ExtraWords", "VANTOR/1 snooze 5 6\n", std::nullopt, "too many"},
        LineCase{"SnoozeWithoutMinutes", "VANTOR/1 snooze\n", std::nullopt, "minutes"},
        LineCase{"SnoozeZero", "VANTOR/1 snooze 0\n", std::nullopt, "minutes"},
        LineCase{"SnoozeNegative", "VANTOR/1 snooze -5\n", std::nullopt, "minutes"},
        LineCase{"SnoozeTooLong", "VANTOR/1 snooze 1441\n", std::nullopt, "minutes"},
        LineCase{"SnoozeHuge", "VANTOR/1 snooze 99999999999\n", std::nullopt, "minutes"},
        LineCase{"SnoozeNotANumber", "VANTOR/1 snooze 1e3\n", std::nullopt, "minutes"},
        LineCase{"HistoryTooMany", "VANTOR/1 history 1001\n", std::nullopt, "records"},
        LineCase{"ControlCharacter", "VANTOR/1 st\top\n", std::nullopt, "control character"},
        LineCase{"NulInside", std::string("VANTOR/1 stop\0x", 15), std::nullopt, "control character"},
        LineCase{"SecondLine", "VANTOR/1 status\nVANTOR/1 stop\n", std::nullopt, "control character"},
        LineCase{"TooLong", "VANTOR/1 status " + std::string(300, 'x'), std::nullopt, "too long"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlAnswerTest, ReadsBackWhatWasWrittenAndRefusesForeignBytes) {
    for (const ControlOutcome outcome :
         {ControlOutcome::Done, ControlOutcome::Refused, ControlOutcome::Invalid}) {
        const ControlAnswer answer{outcome, "state: stopped\n"};
        EXPECT_EQ(ParseControlAnswer(FormatControlAnswer(answer)), answer);
    }
    EXPECT_EQ(ParseControlAnswer("VANTOR/1 done\n"), (ControlAnswer{ControlOutcome::Done, ""}));
    EXPECT_EQ(ParseControlAnswer("VANTOR/1 done"), std::nullopt);
    EXPECT_EQ(ParseControlAnswer("VANTOR/1 maybe\n"), std::nullopt);
    EXPECT_EQ(ParseControlAnswer("HTTP/1.1 200 OK\n"), std::nullopt);
    EXPECT_EQ(ControlExitCode(ControlOutcome::Done), 0);
    EXPECT_EQ(ControlExitCode(ControlOutcome::Refused), 1);
    EXPECT_EQ(ControlExitCode(ControlOutcome::Invalid), 2);
}

TEST(ControlStatusTest, SaysWhatRunsAndWhatTheWarningWaitsFor) {
    EXPECT_EQ(FormatControlStatus(ControlStatus{}), "state: stopped\n");

    ControlStatus running;
    running.running = true;
    running.operation = "关机";
    running.conditions = "倒计时600秒";
    running.statusLine = "剩余:9分58秒";
    EXPECT_EQ(FormatControlStatus(running),
              "state: running\noperation: 关机\nconditions: 倒计时600秒\nstatus: 剩余:9分58秒\n");

    ControlStatus warning;
    warning.warningOpen = true;
    warning.warningOperation = "重启";
    warning.warningSecondsLeft = 42;
    EXPECT_EQ(FormatControlStatus(warning),
              "state: warning open\noperation: 重启\nwarning: 42 seconds left\n");
    warning.warningSecondsLeft = -1;
    warning.snoozedUntil = "12:40";
    EXPECT_EQ(FormatControlStatus(warning),
              "state: warning open\noperation: 重启\nwarning: waiting for an answer\nsnoozed until: 12:40\n");
}

} // namespace
} // namespace vantor

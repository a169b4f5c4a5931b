#include "core/shell/control.h"

#include <array>
#include <utility>

namespace vantor {

namespace {

struct CommandName {
    ControlCommand command;
    std::string_view word;
};

constexpr std::array<CommandName, 8> kCommands{{
    {ControlCommand::Activate, "activate"},
    {ControlCommand::Status, "status"},
    {ControlCommand::Start, "start"},
    {ControlCommand::Stop, "stop"},
    {ControlCommand::Skip, "skip"},
    {ControlCommand::Cancel, "cancel"},
    {ControlCommand::Snooze, "snooze"},
    {ControlCommand::History, "history"},
}};

constexpr std::array<std::pair<ControlOutcome, std::string_view>, 3> kOutcomes{{
    {ControlOutcome::Done, "done"},
    {ControlOutcome::Refused, "refused"},
    {ControlOutcome::Invalid, "invalid"},
}};

std::optional<ControlRequest> Fail(std::string* error, std::string why) {
    if (error != nullptr) {
        *error = std::move(why);
    }
    return std::nullopt;
}

// A whole number in 1..max written in plain decimal digits (no sign, no leading zero).
std::optional<int> Count(std::string_view text, int max) {
    if (text.empty() || text.size() > 5 || text.front() == '0') {
        return std::nullopt;
    }
    int n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + (c - '0');
    }
    if (n > max) {
        return std::nullopt;
    }
    return n;
}

std::string_view CutWord(std::string_view& rest) {
    const size_t space = rest.find(' ');
    const std::string_view word = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    return word;
}

} // namespace

std::string FormatControlRequest(const ControlRequest& request) {
    std::string line(kControlVersion);
    for (const CommandName& c : kCommands) {
        if (c.command == request.command) {
            line += ' ';
            line += c.word;
        }
    }
    if (request.command == ControlCommand::Snooze ||
        (request.command == ControlCommand::History && request.number > 0)) {
        line += ' ' + std::to_string(request.number);
    }
    return line + '\n';
}

std::optional<ControlRequest> ParseControlRequest(std::string_view line, std::string* error) {
    if (line.size() > kMaxControlRequest) {
        return Fail(error, "request too long");
    }
    if (!line.empty() && line.back() == '\n') {
        line.remove_suffix(1);
    }
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    for (const char c : line) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            return Fail(error, "control character in the request");
        }
    }
    std::string_view rest = line;
    const std::string_view version = CutWord(rest);
    if (version != kControlVersion) {
        return Fail(error, "unknown protocol version (expected " + std::string(kControlVersion) + ")");
    }
    const std::string_view word = CutWord(rest);
    const std::string_view argument = CutWord(rest);
    if (!rest.empty()) {
        return Fail(error, "too many arguments");
    }
    ControlRequest request;
    bool known = false;
    for (const CommandName& c : kCommands) {
        if (c.word == word) {
            request.command = c.command;
            known = true;
        }
    }
    if (!known) {
        return Fail(error, "unknown command '" + std::string(word) + "'");
    }
    switch (request.command) {
    case ControlCommand::Snooze:
        if (const std::optional<int> n = Count(argument, kMaxSnoozeMinutes)) {
            request.number = *n;
            return request;
        }
        return Fail(error, "snooze needs a number of minutes from 1 to " + std::to_string(kMaxSnoozeMinutes));
    case ControlCommand::History:
        if (argument.empty()) {
            return request;
        }
        if (const std::optional<int> n = Count(argument, kMaxHistoryRecords)) {
            request.number = *n;
            return request;
        }
        return Fail(error,
                    "history takes a number of records from 1 to " + std::to_string(kMaxHistoryRecords));
    default:
        if (!argument.empty()) {
            return Fail(error, std::string(word) + " takes no argument");
        }
        return request;
    }
}

std::string FormatControlAnswer(const ControlAnswer& answer) {
    std::string bytes(kControlVersion);
    for (const auto& [outcome, word] : kOutcomes) {
        if (outcome == answer.outcome) {
            bytes += ' ';
            bytes += word;
        }
    }
    bytes += '\n';
    bytes += answer.text;
    if (!answer.text.empty() && answer.text.back() != '\n') {
        bytes += '\n';
    }
    return bytes;
}

std::optional<ControlAnswer> ParseControlAnswer(std::string_view bytes) {
    const size_t end = bytes.find('\n');
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view head = bytes.substr(0, end);
    if (CutWord(head) != kControlVersion) {
        return std::nullopt;
    }
    for (const auto& [outcome, word] : kOutcomes) {
        if (head == word) {
            return ControlAnswer{outcome, std::string(bytes.substr(end + 1))};
        }
    }
    return std::nullopt;
}

int ControlExitCode(ControlOutcome outcome) {
    switch (outcome) {
    case ControlOutcome::Done:
        return 0;
    case ControlOutcome::Refused:
        return 1;
    case ControlOutcome::Invalid:
        break;
    }
    return 2;
}

std::string FormatControlStatus(const ControlStatus& s) {
    std::string text;
    const auto line = [&text](std::string_view label, const std::string& value) {
        if (!value.empty()) {
            text += std::string(label) + ": " + value + "\n";
        }
    };
    if (s.warningOpen) {
        text += "state: warning open\n";
        line("operation", s.warningOperation);
        text += s.warningSecondsLeft < 0
                    ? std::string("warning: waiting for an answer\n")
                    : "warning: " + std::to_string(s.warningSecondsLeft) + " seconds left\n";
    } else {
        text += s.running ? "state: running\n" : "state: stopped\n";
        if (s.running) {
            line("operation", s.operation);
            line("conditions", s.conditions);
            line("window", s.window);
            line("status", s.statusLine);
        }
    }
    line("snoozed until", s.snoozedUntil);
    return text;
}

} // namespace vantor

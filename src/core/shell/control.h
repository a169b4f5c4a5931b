// The control channel's language: the request lines a client sends to the running copy, the answers it
// gets back, and the status text. Plain text, one request per connection.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Every request line starts with this word; a client of another version is answered with an error.
inline constexpr std::string_view kControlVersion = "VANTOR/1";
// Requests are short; a longer line is refused unread.
inline constexpr size_t kMaxControlRequest = 256;

enum class ControlCommand {
    Activate, // a plain second start: bring the program forward
    Status,
    Start,
    Stop,
    Skip,    // "继续" in the open warning
    Cancel,  // "取消" in the open warning
    Snooze,  // number: minutes
    History, // number: how many records (0: the default)
};

struct ControlRequest {
    ControlCommand command = ControlCommand::Status;
    int number = 0;

    friend bool operator==(const ControlRequest&, const ControlRequest&) = default;
};

// The longest snooze and the most history records one request may ask for.
inline constexpr int kMaxSnoozeMinutes = 24 * 60;
inline constexpr int kMaxHistoryRecords = 1000;
inline constexpr int kDefaultHistoryRecords = 20;

// "VANTOR/1 status", "VANTOR/1 snooze 10", with or without the line end.
std::string FormatControlRequest(const ControlRequest& request);

// The request of one line; nullopt with `error` saying why when the line is not one this version
// understands (a line that is not understood is never acted on).
std::optional<ControlRequest> ParseControlRequest(std::string_view line, std::string* error = nullptr);

// How a request went. Done: it was carried out (or the status given); Refused: the running copy could not
// do it now (nothing running to stop, no warning open, a message instead); Invalid: not understood.
enum class ControlOutcome { Done, Refused, Invalid };

struct ControlAnswer {
    ControlOutcome outcome = ControlOutcome::Done;
    std::string text; // lines for the user, each ending in "\n"; may be empty

    friend bool operator==(const ControlAnswer&, const ControlAnswer&) = default;
};

// "VANTOR/1 done\n" and the text.
std::string FormatControlAnswer(const ControlAnswer& answer);
// nullopt when the bytes are no answer of this version.
std::optional<ControlAnswer> ParseControlAnswer(std::string_view bytes);

// The exit code of the command line for an answer: 0 done, 1 refused, 2 not understood.
int ControlExitCode(ControlOutcome outcome);

// What --status reports, as the running copy sees it.
struct ControlStatus {
    bool running = false;     // a task is armed
    std::string operation;    // the operation's text, e.g. "关机"
    std::string conditions;   // the condition text, e.g. "倒计时600秒"
    std::string window;       // start and end of a time or weekly window, empty otherwise
    std::string statusLine;   // the status line as shown: remaining time, idle time, rates
    bool warningOpen = false; // the warning is open
    std::string warningOperation;
    int warningSecondsLeft = -1; // -1: a reminder, which waits for the user
    std::string snoozedUntil;    // "HH:MM" while a warning is put off, else empty
};

std::string FormatControlStatus(const ControlStatus& status);

} // namespace vantor

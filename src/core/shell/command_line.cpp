#include "core/shell/command_line.h"

#include "core/shell/app_texts.h"

namespace vantor {

namespace {

CommandLine Invalid(std::string why) {
    CommandLine cl;
    cl.action = CommandLine::Action::Invalid;
    cl.error = std::move(why);
    return cl;
}

// The running copy's command an option names, if it names one.
std::optional<ControlCommand> ControlOption(const std::string& a) {
    static const std::pair<const char*, ControlCommand> kOptions[] = {
        {"--status", ControlCommand::Status},   {"--start", ControlCommand::Start},
        {"--stop", ControlCommand::Stop},       {"--skip", ControlCommand::Skip},
        {"--cancel", ControlCommand::Cancel},   {"--snooze", ControlCommand::Snooze},
        {"--history", ControlCommand::History},
    };
    for (const auto& [option, command] : kOptions) {
        if (a == option) {
            return command;
        }
    }
    return std::nullopt;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (const std::optional<ControlCommand> command = ControlOption(a)) {
            if (cl.control) {
                return Invalid("only one command for the running copy at a time ('" + a + "')");
            }
            ControlRequest request{*command, 0};
            if (*command == ControlCommand::Snooze || *command == ControlCommand::History) {
                // --snooze needs its minutes; --history takes a count when one follows.
                const bool numberFollows = i + 1 < args.size() && AllDigits(args[i + 1]);
                if (*command == ControlCommand::Snooze && !numberFollows) {
                    return Invalid("--snooze needs a number of minutes, for example --snooze 10");
                }
                if (numberFollows) {
                    // The running copy's own reading of the number, so both agree on what is allowed.
                    const char* word = *command == ControlCommand::Snooze ? " snooze " : " history ";
                    const std::optional<ControlRequest> parsed =
                        ParseControlRequest(std::string(kControlVersion) + word + args[i + 1]);
                    if (!parsed) {
                        return Invalid(
                            *command == ControlCommand::Snooze
                                ? "--snooze takes 1 to " + std::to_string(kMaxSnoozeMinutes) + " minutes"
                                : "--history takes 1 to " + std::to_string(kMaxHistoryRecords) + " records");
                    }
                    request = *parsed;
                    ++i;
                }
            }
            cl.control = request;
            continue;
        }
        if (a == "-h" || a == "--help") {
            cl.action = CommandLine::Action::Help;
            return cl;
        }
        if (a == "--version") {
            cl.action = CommandLine::Action::Version;
            return cl;
        }
        if (a == "--dry-run") {
            cl.dryRun = true;
        } else if (a == "--screenshot" || a.rfind("--screenshot=", 0) == 0) {
            std::string file = a == "--screenshot" ? (i + 1 < args.size() ? args[++i] : "") : a.substr(13);
            if (file.empty()) {
                return Invalid("--screenshot needs a file name, for example --screenshot vantor.png");
            }
            cl.screenshot = std::move(file);
        } else if (a.size() > 1 && a.front() == '-') {
            return Invalid("unknown option '" + a + "'");
        } else {
            return Invalid("unexpected argument '" + a + "'");
        }
    }
    if (cl.control) {
        if (cl.screenshot) {
            return Invalid("--screenshot cannot go with a command for the running copy");
        }
        cl.action = CommandLine::Action::Control;
    }
    return cl;
}

std::string HelpText(const std::string& dataFolder) {
    std::string text =
        "Usage: vantor [--dry-run] [--screenshot FILE]\n"
        "       vantor --status | --start | --stop | --skip | --cancel | --snooze MINUTES | --history [N]\n"
        "Carries out scheduled tasks on this computer: a reminder, starting a program or opening a\n"
        "document, ending a process, shutting down, restarting, logging off, locking, sleep or\n"
        "hibernation, when a countdown runs out, inside a time or weekly window, after idle time and/or\n"
        "at a network rate. A 60-second warning comes before every action.\n"
        "\n"
        "  --dry-run          run as usual, but print each system action (power, session, lock, ending\n"
        "                     processes, starting programs, autostart) on standard output instead of\n"
        "                     doing it\n"
        "  --screenshot FILE  render the main window with its task list into the PNG file FILE and\n"
        "                     exit; with QT_QPA_PLATFORM=offscreen no display is needed\n"
        "\n"
        "Commands for the copy already running for this folder (the answer comes on standard output):\n"
        "  --status           print the state: stopped, or the armed task (operation, conditions, time\n"
        "                     or window, the status line), or the open warning and its seconds left\n"
        "  --start            start as the button 开始 does; what it would say in a window is printed\n"
        "  --stop             stop the running task as 停止 does\n"
        "  --skip             answer the open warning as \"继续\" does\n"
        "  --cancel           answer the open warning as \"取消\" does\n"
        "  --snooze MINUTES   put the open warning off for MINUTES minutes (1 to 1440)\n"
        "  --history [N]      print the last N records of what was done (20 by default)\n"
        "Exit codes: 0 done; 1 refused (nothing to stop, no warning open, ...) or the running copy did\n"
        "not answer; 2 a wrong command line; 3 no copy is running for this folder.\n"
        "\n"
        "  -h, --help         print this help and exit\n"
        "  --version          print the version and exit\n"
        "\n"
        "The task list (vntask.vnt) and the options (Setting.ini) are kept beside the program when its\n"
        "folder is writable, otherwise in the user's own folder ($XDG_CONFIG_HOME/vantor, by default\n"
        "~/.config/vantor; %APPDATA%\\Vantor on Windows).\n";
    if (!dataFolder.empty()) {
        text += "This copy keeps them in " + dataFolder + "\n";
    }
    return text;
}

std::string VersionLine() {
    return "vantor " + VersionText();
}

} // namespace vantor

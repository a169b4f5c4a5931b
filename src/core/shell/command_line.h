// The program's command line: what the arguments ask for, and the texts of --help and --version.
#pragma once

#include "core/shell/control.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

struct CommandLine {
    // Control: a command for the copy already running for the folder (--status, --start, ...).
    enum class Action { Run, Help, Version, Control, Invalid };
    Action action = Action::Run;
    bool dryRun = false;                   // --dry-run
    std::optional<std::string> screenshot; // --screenshot FILE (or --screenshot=FILE)
    std::optional<ControlRequest> control; // for Control
    std::string error;                     // for Invalid: what is wrong, one line
};

// `args` without the program's own name. Read from left to right: --help or --version ends the reading
// with that action, the first unknown option or stray argument with Invalid. One command for the running
// copy at most, and not with --screenshot.
CommandLine ParseCommandLine(const std::vector<std::string>& args);

// The options and what they do; with `dataFolder`, a last line says where this copy keeps its files.
std::string HelpText(const std::string& dataFolder = {});

// "vantor 1.2.3".
std::string VersionLine();

} // namespace vantor

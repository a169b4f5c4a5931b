// Starting programs and opening documents on Linux: detached from this program, never through a shell.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

namespace vantor::linux_backend {

// Starts argv[0] (a path, or a name looked up in PATH) with the given arguments in its own session, so it
// outlives this program and leaves no zombie behind. Ok only once the new program has really been
// executed; a failed exec comes back with its reason. `workDir` empty keeps the current folder.
ActionResult StartDetached(const std::vector<std::string>& argv, const std::string& workDir);

// A regular file with an execute bit is run directly (in its own folder); anything else is handed to
// xdg-open as one argument, which opens it with the desktop's associated program.
ActionResult StartProgramOrDocument(const std::string& path);

} // namespace vantor::linux_backend

// Start with the session on Linux: the XDG autostart entry "vantor.desktop" for all users or this user.
#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>

namespace vantor::linux_backend {

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; empty when there is no home folder.
std::string UserConfigHome();

// Folder of the entry: /etc/xdg/autostart for the machine (tests redirect it with
// VANTOR_XDG_AUTOSTART_DIR, read by nothing else), $XDG_CONFIG_HOME/autostart (default
// ~/.config/autostart) for the user.
std::string AutostartFolder(AutostartScope scope);

ActionResult WriteAutostartEntry(AutostartScope scope, const std::string& programPath);
// Whether the entry's folder, or the nearest folder above it that exists, takes new files from this user.
bool AutostartEntryWritable(AutostartScope scope);
// The program path of the entry's Exec line; empty when there is no entry or it cannot be read.
std::string ReadAutostartEntry(AutostartScope scope);
ActionResult DeleteAutostartEntry(AutostartScope scope);

// The value of an Exec key that runs exactly `path` with no arguments: the path in double quotes with
// the quoting and escaping of Desktop Entry files. nullopt for a path such a line cannot carry (a
// backslash, a line break or a control character).
std::optional<std::string> ExecLineFor(const std::string& path);
// The program of an Exec value written by ExecLineFor (or a simple unquoted one); empty when malformed.
std::string ProgramOfExecLine(const std::string& value);

} // namespace vantor::linux_backend

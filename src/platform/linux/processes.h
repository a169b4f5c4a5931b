// Running processes on Linux: the /proc scan, the running test and ending processes by name.
#pragma once

#include "platform/platform.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor::linux_backend {

std::vector<ProcessInfo> ListProcesses();

// The executable name of one process; nullopt when it has gone.
std::optional<ProcessInfo> ReadProcess(int pid);

bool IsProcessRunning(const std::string& name);

// True when the program file at `path` is busy (ETXTBSY on opening it for writing) or a process of this
// user runs it (its /proc exe link names the same file).
bool IsProgramRunning(const std::string& path);

// Sends SIGTERM to every process of that executable name except this program, waits up to `graceMs`
// for them to end and sends SIGKILL to those still there. Processes of other users are passed over.
// Returns how many processes were signalled.
int EndProcessesNamed(const std::string& name, int graceMs);

} // namespace vantor::linux_backend

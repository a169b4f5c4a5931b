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

// Names compare by the exact Linux rule of ProcessNameMatches.
bool IsProcessRunning(const std::string& name);

// True when the program file at `path` is busy (ETXTBSY on opening it for writing) or a process of this
// user runs it (its /proc exe link names the same file).
bool IsProgramRunning(const std::string& path);

// A process asked to end, held by a handle that cannot hit a reused pid (pidfd) where the kernel has one.
struct EndingProcess {
    int pid = 0;
    int pidfd = -1;
};

// Sends SIGTERM to every process that IsProcessRunning's rule finds, except this program, and returns
// them. Processes of other users refuse the signal and are passed over.
std::vector<EndingProcess> AskToEnd(const std::string& name);

// Waits up to `graceMs` for the processes to end, sends SIGKILL to those still there and lets go of their
// handles. Blocks: the backend runs it away from the caller's thread.
void ForceWhenStillRunning(const std::vector<EndingProcess>& processes, int graceMs);

} // namespace vantor::linux_backend

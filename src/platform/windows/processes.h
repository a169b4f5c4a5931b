// Processes and windows: the toolhelp snapshot, ending by name through the snapshot and through the
// management service, and closing a window by its title.
#pragma once

#include "platform/platform.h"

#include <string>
#include <vector>

namespace vantor::windows_backend {

std::vector<ProcessInfo> SnapshotProcesses();

// First pass: every process in the snapshot whose executable name matches is terminated.
void TerminateProcessesNamed(const std::string& name);

// Second pass: the management service's Win32_Process instances of that name are asked to terminate.
// The name goes into the query as an escaped string literal. Failures (no service) are passed over.
void TerminateProcessesByWmi(const std::string& name);

// The process ids the management service's query for that name selects (what the second pass ends).
std::vector<int64_t> WmiProcessIds(const std::string& name);

// Third pass: the top-level window with exactly that title is asked to close (without waiting for it).
void CloseWindowTitled(const std::string& title);

} // namespace vantor::windows_backend

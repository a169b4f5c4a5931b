// The running copy's lock (a file held open with no sharing, which the system closes with the process)
// and its control channel (a named pipe that only this user may open).
#pragma once

#include "platform/instance.h"

#include <memory>
#include <string>

namespace vantor::windows_backend {

std::unique_ptr<InstanceLock> LockInstanceFile(const std::string& path, LockOutcome& outcome);
std::string PrivateRuntimeFolder();
std::unique_ptr<ControlServer> ServeControlPipe(const std::string& name, ControlHandler handler);
ControlReply AskControlPipe(const std::string& name, const std::string& request, int timeoutMs);

} // namespace vantor::windows_backend

// The running copy's lock (an advisory lock the kernel drops with the process) and its control channel
// (a Unix socket in a folder only this user can enter).
#pragma once

#include "platform/instance.h"

#include <memory>
#include <string>

namespace vantor::linux_backend {

std::unique_ptr<InstanceLock> LockInstanceFile(const std::string& path, LockOutcome& outcome);
std::string PrivateRuntimeFolder();
// `path`: the socket's full path; any leftover socket there is replaced.
std::unique_ptr<ControlServer> ServeControlSocket(const std::string& path, ControlHandler handler);
ControlReply AskControlSocket(const std::string& path, const std::string& request, int timeoutMs);

} // namespace vantor::linux_backend

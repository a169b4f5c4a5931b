// The backend of the system the program was built for (Linux or Win32), chosen by the build.
#pragma once

#include "platform/platform.h"

#include <memory>

namespace vantor {

std::unique_ptr<Platform> CreateNativePlatform();

// For a command line answer (--help, --version, a wrong option, a dry run's lines): a windowed program on
// Windows starts without standard output and error, so those not redirected by the caller are joined to
// the console of the command that started it. Nothing to do where a program always has them (Linux).
void UseCallersConsole();

} // namespace vantor

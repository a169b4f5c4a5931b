// Wraps a backend so that every action that would change the system prints one line instead
// ("dry-run: power-off", "dry-run: end-process calc.exe"); readings go to the wrapped backend unchanged.
#pragma once

#include "platform/platform.h"

#include <memory>
#include <ostream>

namespace vantor {

std::unique_ptr<Platform> CreateDryRunPlatform(std::unique_ptr<Platform> inner, std::ostream& out);

} // namespace vantor

// The backend of the system the program was built for (Linux or Win32), chosen by the build.
#pragma once

#include "platform/platform.h"

#include <memory>

namespace vantor {

std::unique_ptr<Platform> CreateNativePlatform();

} // namespace vantor

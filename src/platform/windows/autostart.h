// Start with Windows: the text value "Vantor" under the per-machine or the per-user Run key.
#pragma once

#include "platform/platform.h"

#include <string>

namespace vantor::windows_backend {

ActionResult WriteRunValue(AutostartScope scope, const std::string& programPath);
// Whether the value could be set now (the key opens for setting values, or can be made), nothing written.
bool RunValueWritable(AutostartScope scope);
std::string ReadRunValue(AutostartScope scope);
ActionResult DeleteRunValue(AutostartScope scope);

} // namespace vantor::windows_backend

// Whole seconds as day/hour/minute/second text, as shown in the task list, the editor and the status line.
#pragma once

#include <cstdint>
#include <string>

namespace vantor {

// Truncating division, remainders take the sign of n. Days, hours and minutes appear only when > 0; the
// seconds part appears when >= 0. 0 -> "0秒", 3600 -> "1时0秒", 90061 -> "1天1时1分1秒", -5 -> "", -60 -> "0秒".
std::string FormatDuration(int32_t n);

} // namespace vantor

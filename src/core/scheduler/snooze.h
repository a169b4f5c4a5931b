// Postponing an open warning: the choices offered, the limits and the texts that say until when.
#pragma once

#include "core/common/datetime.h"

#include <array>
#include <optional>
#include <string>

namespace vantor {

// The minutes the warning offers under "推迟".
inline constexpr std::array<int, 3> kSnoozeChoices{5, 10, 30};
// A longer postponement is no postponement: stop the task instead.
inline constexpr int kSnoozeMaxMinutes = 24 * 60;

// "12:35": the time of day the warning comes back, hours and minutes.
std::string SnoozeClockText(DateTime until);
// "已推迟至 12:35": the status line and the notification icon's tip while a warning is postponed.
std::string SnoozedUntilText(DateTime until);

// Why the warning cannot be postponed by `minutes`: no warning is open, or the minutes are outside 1 to
// kSnoozeMaxMinutes; nullopt when it can.
std::optional<std::string> SnoozeRefusal(bool warningOpen, int minutes);

} // namespace vantor

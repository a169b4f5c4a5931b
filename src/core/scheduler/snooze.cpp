// Postponing an open warning: limits and texts.
#include "core/scheduler/snooze.h"

#include <cstdio>

namespace vantor {

std::string SnoozeClockText(DateTime until) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", until.hour(), until.minute());
    return buf;
}

std::string SnoozedUntilText(DateTime until) {
    return "已推迟至 " + SnoozeClockText(until);
}

std::optional<std::string> SnoozeRefusal(bool warningOpen, int minutes) {
    if (!warningOpen) {
        return std::string("没有等待回答的警告，无法推迟。");
    }
    if (minutes < 1 || minutes > kSnoozeMaxMinutes) {
        return "推迟的分钟数须在1到" + std::to_string(kSnoozeMaxMinutes) + "之间。";
    }
    return std::nullopt;
}

} // namespace vantor

#include "core/common/duration.h"

namespace vantor {

std::string FormatDuration(int32_t n) {
    // Widened first so that no division of the smallest 32-bit value can overflow.
    const int64_t v = n;
    const int64_t seconds = v % 60;
    const int64_t minutes = (v / 60) % 60;
    const int64_t hours = (v / 3600) % 24;
    const int64_t days = v / 86400;
    std::string s;
    if (days > 0) {
        s += std::to_string(days) + "天";
    }
    if (hours > 0) {
        s += std::to_string(hours) + "时";
    }
    if (minutes > 0) {
        s += std::to_string(minutes) + "分";
    }
    if (seconds >= 0) {
        s += std::to_string(seconds) + "秒";
    }
    return s;
}

} // namespace vantor

// The system's 32-bit millisecond tick counts wrap every 49.7 days: placing one on a 64-bit clock.
#pragma once

#include <cstdint>

namespace vantor {

// The time on the 64-bit millisecond clock `now` at which the 32-bit tick count read `tick`, for a tick
// taken no later than `now` and less than 49.7 days before it. Subtracting in 32 bits is right across
// a wrap of the 32-bit count.
constexpr uint64_t WidenTickCount(uint32_t tick, uint64_t now) {
    const uint32_t elapsed = static_cast<uint32_t>(now) - tick;
    return elapsed <= now ? now - elapsed : 0;
}

} // namespace vantor

// Placing a 32-bit tick count on the 64-bit clock, across the wrap of the 32-bit count.
#include "core/probes/tick_count.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr uint64_t kWrap = uint64_t{1} << 32;

struct TickCase {
    uint32_t tick;
    uint64_t now;
    uint64_t expected;
};

class WidenTickCountTable : public testing::TestWithParam<TickCase> {};

TEST_P(WidenTickCountTable, GivesTheTimeOfTheTick) {
    EXPECT_EQ(WidenTickCount(GetParam().tick, GetParam().now), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WidenTickCountTable,
    testing::Values(TickCase{1000, 5000, 1000}, TickCase{5000, 5000, 5000},
                    // Input 10 s before the 32-bit count wrapped, read 20 s after it.
                    TickCase{0xFFFFFFFFu - 9999, kWrap + 20000, kWrap - 10000},
                    // Many wraps into the 64-bit clock's life.
                    TickCase{7, 5 * kWrap + 9, 5 * kWrap + 7},
                    // A count that stays 0 (no source of input times) is a fixed moment, not "now".
                    TickCase{0, 3 * kWrap + 123, 3 * kWrap}, TickCase{10, 5, 0}));

} // namespace
} // namespace vantor

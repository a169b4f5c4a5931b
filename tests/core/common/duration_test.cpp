#include "core/common/duration.h"

#include <gtest/gtest.h>

#include <limits>

namespace vantor {
namespace {

struct DurationCase {
    int32_t seconds;
    const char* text;
};

class FormatDurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(FormatDurationTest, WritesDaysHoursMinutesSeconds) {
    EXPECT_EQ(FormatDuration(GetParam().seconds), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Durations, FormatDurationTest,
    ::testing::Values(DurationCase{0, "0秒"}, DurationCase{1, "1秒"}, DurationCase{59, "59秒"},
                      DurationCase{60, "1分0秒"}, DurationCase{90, "1分30秒"}, DurationCase{600, "10分0秒"},
                      DurationCase{3600, "1时0秒"}, DurationCase{3661, "1时1分1秒"},
                      DurationCase{86400, "1天0秒"}, DurationCase{90061, "1天1时1分1秒"},
                      DurationCase{86460, "1天1分0秒"}, DurationCase{2147483647, "24855天3时14分7秒"},
                      // Negative values show only their non-negative parts.
                      DurationCase{-5, ""}, DurationCase{-60, "0秒"}, DurationCase{-3600, "0秒"},
                      DurationCase{-61, ""}, DurationCase{std::numeric_limits<int32_t>::min(), ""}));

} // namespace
} // namespace vantor

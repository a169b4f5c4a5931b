#include "core/common/datetime.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(DateTimeTest, DayZeroIsThirtiethOfDecember1899) {
    const DateTime zero = DateTime::fromParts(1899, 12, 30);
    EXPECT_EQ(zero.seconds, 0);
    EXPECT_EQ(DateTime::fromParts(1900, 1, 1).toDays(), 2.0);
    EXPECT_EQ(DateTime::fromParts(2026, 12, 8).toDays(), 46364.0);
    EXPECT_DOUBLE_EQ(DateTime::fromParts(2026, 12, 8, 12).toDays(), 46364.5);
}

TEST(DateTimeTest, DaysBeforeDayZeroKeepTheirPartsAndTimeOfDay) {
    const DateTime dt = DateTime::fromParts(1899, 12, 29, 6, 0, 0);
    EXPECT_EQ(dt.seconds, -86400 + 6 * 3600);
    EXPECT_EQ(dt.year(), 1899);
    EXPECT_EQ(dt.month(), 12);
    EXPECT_EQ(dt.day(), 29);
    EXPECT_EQ(dt.hour(), 6);
    EXPECT_EQ(dt.timeOfDay(), 6 * 3600);
    EXPECT_EQ(dt.date(), DateTime::fromParts(1899, 12, 29));
    EXPECT_EQ(DateTime::fromParts(1600, 2, 29).day(), 29);
}

TEST(DateTimeTest, FromDaysRoundsToTheNearestSecond) {
    EXPECT_EQ(DateTime::fromDays(1.5).seconds, 86400 + 43200);
    EXPECT_EQ(DateTime::fromDays(0.4 / 86400).seconds, 0);
    EXPECT_EQ(DateTime::fromDays(0.6 / 86400).seconds, 1);
    EXPECT_EQ(DateTime::fromDays(-0.25).seconds, -21600);
}

struct WeekdayCase {
    int y, m, d, weekday;
};
class WeekdayTest : public ::testing::TestWithParam<WeekdayCase> {};

TEST_P(WeekdayTest, CountsMondayAsOne) {
    const auto c = GetParam();
    EXPECT_EQ(DateTime::fromParts(c.y, c.m, c.d, 23, 59, 59).weekday(), c.weekday);
}

INSTANTIATE_TEST_SUITE_P(Dates, WeekdayTest,
                         ::testing::Values(WeekdayCase{1899, 12, 30, 6}, WeekdayCase{1899, 12, 31, 7},
                                           WeekdayCase{1900, 1, 1, 1}, WeekdayCase{1899, 12, 25, 1},
                                           WeekdayCase{2026, 12, 8, 2}, WeekdayCase{2024, 2, 29, 4},
                                           WeekdayCase{2000, 1, 2, 7}));

TEST(DateTimeTest, WritesTheOneFormLeavingOutMidnight) {
    EXPECT_EQ(FormatDateTime(DateTime::fromParts(2026, 12, 8, 1, 48, 46)), "2026/12/8 1:48:46");
    EXPECT_EQ(FormatDateTime(DateTime::fromParts(2026, 12, 8)), "2026/12/8");
    EXPECT_EQ(FormatDateTime(DateTime::fromParts(2026, 1, 2, 0, 0, 1)), "2026/1/2 0:00:01");
    EXPECT_EQ(FormatDateTime(DateTime::fromParts(1850, 3, 4, 23, 5, 9)), "1850/3/4 23:05:09");
    EXPECT_EQ(FormatTimeOfDay(DateTime::fromParts(2026, 12, 8, 1, 8, 6)), "01:08:06");
    EXPECT_EQ(FormatTimeOfDay(DateTime::fromParts(2026, 12, 8)), "00:00:00");
}

struct ParseCase {
    const char* text;
    DateTime expected;
};
class ParseDateTimeTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseDateTimeTest, ReadsAcceptedForms) {
    const auto parsed = ParseDateTime(GetParam().text);
    ASSERT_TRUE(parsed.has_value()) << GetParam().text;
    EXPECT_EQ(*parsed, GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ParseDateTimeTest,
    ::testing::Values(ParseCase{"2026/12/8 1:48:46", DateTime::fromParts(2026, 12, 8, 1, 48, 46)},
                      ParseCase{"2026/12/8", DateTime::fromParts(2026, 12, 8)},
                      ParseCase{"2026-12-08 01:48:46", DateTime::fromParts(2026, 12, 8, 1, 48, 46)},
                      ParseCase{"2026-1-2", DateTime::fromParts(2026, 1, 2)},
                      ParseCase{"2024/02/29 23:59:59", DateTime::fromParts(2024, 2, 29, 23, 59, 59)},
                      ParseCase{"1850/3/4 0:00:01", DateTime::fromParts(1850, 3, 4, 0, 0, 1)},
                      ParseCase{"  2026/12/8 1:48:46 ", DateTime::fromParts(2026, 12, 8, 1, 48, 46)},
                      ParseCase{"08:30:00", DateTime{8 * 3600 + 30 * 60}},
                      ParseCase{"8:30:05", DateTime{8 * 3600 + 30 * 60 + 5}},
                      ParseCase{"00:00:00", DateTime{0}}));

class RefusedDateTimeTest : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedDateTimeTest, GivesNoDateTime) {
    EXPECT_FALSE(ParseDateTime(GetParam()).has_value()) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedDateTimeTest,
                         ::testing::Values("", "   ", "abc", "2026/13/1", "2026/0/1", "2026/2/29",
                                           "2023/2/29", "2026/4/31", "2026/12/0", "2026/12/8 24:00:00",
                                           "2026/12/8 1:60:00", "2026/12/8 1:00:60", "2026/12/8 1:48",
                                           "25:00:00", "1:2", "2026/12-8", "26/12/8", "12/8/2026",
                                           "2026/12/8x", "2026/12/8 1:48:46 PM", "2026/12/8 -1:00:00",
                                           "2026//8", "2026/12/8 1:48:46:00"));

TEST(DateTimeTest, WrittenTextReadsBackToTheSameValue) {
    // Years below 1000 (a hand-edited "0210-01-05") keep the four digits the reader asks for.
    EXPECT_EQ(FormatDateTime(DateTime::fromParts(210, 1, 5)), "0210/1/5");
    for (int64_t s : {int64_t{0}, int64_t{1}, int64_t{86399}, int64_t{86400}, int64_t{4005904126},
                      int64_t{-86400 * 400 + 3723}, DateTime::fromParts(210, 1, 5).seconds,
                      DateTime::fromParts(100, 1, 1, 0, 0, 1).seconds,
                      DateTime::fromParts(9999, 12, 31, 23, 59, 59).seconds}) {
        const DateTime dt{s};
        const auto back = ParseDateTime(FormatDateTime(dt));
        ASSERT_TRUE(back.has_value()) << FormatDateTime(dt);
        EXPECT_EQ(*back, dt);
    }
}

} // namespace
} // namespace vantor

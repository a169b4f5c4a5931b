#include "core/common/numbers.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace vantor {
namespace {

struct ValueCase {
    const char* text;
    double value;
};

class NumericValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(NumericValueTest, ReadsTheLeadingNumberLeniently) {
    EXPECT_DOUBLE_EQ(NumericValue(GetParam().text), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericValueTest,
                         ::testing::Values(ValueCase{"", 0}, ValueCase{"abc", 0}, ValueCase{"12abc", 12},
                                           ValueCase{" 1 2", 12}, ValueCase{"1 2 . 5", 12.5},
                                           ValueCase{"-1.5e2x", -150}, ValueCase{"+7", 7}, ValueCase{"-", 0},
                                           ValueCase{".5", 0.5}, ValueCase{"5.", 5}, ValueCase{"1.2.3", 1.2},
                                           ValueCase{"1,000", 1}, ValueCase{"1e", 1}, ValueCase{"2e+", 2},
                                           ValueCase{"1e-2", 0.01}, ValueCase{"3-4", 3}, ValueCase{"--1", 0},
                                           ValueCase{"e5", 0}, ValueCase{"\t 42\t", 42},
                                           ValueCase{"1e-999", 0}, ValueCase{"0x10", 0}));

TEST(NumericValueTest, HugeExponentStaysFinite) {
    EXPECT_EQ(NumericValue("1e999"), DBL_MAX);
    EXPECT_EQ(NumericValue("-1e999"), -DBL_MAX);
}

struct NumericCase {
    const char* text;
    bool numeric;
};

class IsNumericTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(IsNumericTest, AcceptsOnlyOneWholeNumber) {
    EXPECT_EQ(IsNumeric(GetParam().text), GetParam().numeric) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsNumericTest,
    ::testing::Values(NumericCase{"0", true}, NumericCase{"12", true}, NumericCase{" 12 ", true},
                      NumericCase{"-3", true}, NumericCase{"+3", true}, NumericCase{"1.5", true},
                      NumericCase{".5", true}, NumericCase{"5.", true}, NumericCase{"1,000", true},
                      NumericCase{"1,000,000.25", true}, NumericCase{"1e3", true},
                      NumericCase{"1.5E-2", true}, NumericCase{"", false}, NumericCase{"   ", false},
                      NumericCase{"abc", false}, NumericCase{"12abc", false}, NumericCase{"1 2", false},
                      NumericCase{".", false}, NumericCase{"-", false}, NumericCase{"1e", false},
                      NumericCase{"1.2.3", false}, NumericCase{",1", false}, NumericCase{"1,", false},
                      NumericCase{"1,.5", false}, NumericCase{"1.5,0", false}, NumericCase{"e5", false},
                      NumericCase{"--1", false}));

TEST(NumericTextValueTest, DropsGroupSeparators) {
    EXPECT_EQ(NumericTextValue("1,234.5"), 1234.5);
    EXPECT_EQ(NumericTextValue("0,001"), 1.0);
    EXPECT_FALSE(NumericTextValue("12abc").has_value());
}

class WholeNonNegativeTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(WholeNonNegativeTest, FailsForNegativesFractionsAndNonNumbers) {
    EXPECT_EQ(IsWholeNonNegative(GetParam().text), GetParam().numeric) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, WholeNonNegativeTest,
                         ::testing::Values(NumericCase{"0", true}, NumericCase{"600", true},
                                           NumericCase{"1,000", true}, NumericCase{"2.0", true},
                                           NumericCase{"1e3", true}, NumericCase{"-1", false},
                                           NumericCase{"1.5", false}, NumericCase{"0.1", false},
                                           NumericCase{"", false}, NumericCase{"12abc", false},
                                           NumericCase{"-0.5", false}));

struct RoundCase {
    double value;
    double rounded;
};

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, SendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(GetParam().value), GetParam().rounded) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, RoundHalfEvenTest,
                         ::testing::Values(RoundCase{0.5, 0}, RoundCase{1.5, 2}, RoundCase{2.5, 2},
                                           RoundCase{3.5, 4}, RoundCase{-0.5, 0}, RoundCase{-1.5, -2},
                                           RoundCase{-2.5, -2}, RoundCase{2.4999, 2}, RoundCase{2.5001, 3},
                                           RoundCase{-2.6, -3}, RoundCase{7, 7}, RoundCase{1e300, 1e300}));

TEST(RoundHalfEvenTest, RoundsToDecimalsAsTheDecimalTextShowsTheNumber) {
    EXPECT_EQ(RoundHalfEven(0.125, 2), 0.12);
    EXPECT_EQ(RoundHalfEven(0.375, 2), 0.38);
    EXPECT_EQ(RoundHalfEven(1.005, 2), 1.0); // written 1.005: an exact half in the text
    EXPECT_EQ(RoundHalfEven(-0.125, 2), -0.12);
    EXPECT_EQ(RoundHalfEven(9.999, 2), 10.0);
    EXPECT_EQ(RoundHalfEven(2.5, 0), 2.0);
}

TEST(RoundToInt32Test, RefusesValuesOutsideTheRange) {
    EXPECT_EQ(RoundToInt32(2.5), 2);
    EXPECT_EQ(RoundToInt32(-2147483648.0), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(RoundToInt32(2147483647.4), std::numeric_limits<int32_t>::max());
    EXPECT_FALSE(RoundToInt32(2147483647.5).has_value()); // rounds to 2^31
    EXPECT_FALSE(RoundToInt32(-2147483649.0).has_value());
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::quiet_NaN()).has_value());
    EXPECT_FALSE(RoundToInt32(std::numeric_limits<double>::infinity()).has_value());
}

struct TextCase {
    double value;
    const char* text;
};

class NumberTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextTest, WritesPlainDecimal) {
    EXPECT_EQ(NumberText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, NumberTextTest,
                         ::testing::Values(TextCase{0, "0"}, TextCase{-0.0, "0"}, TextCase{12, "12"},
                                           TextCase{1.5, "1.5"}, TextCase{-3, "-3"}, TextCase{0.25, "0.25"},
                                           TextCase{3600, "3600"}, TextCase{90061, "90061"},
                                           TextCase{0.1 + 0.2, "0.3"}, TextCase{1.0 / 3, "0.333333333333333"},
                                           TextCase{123456789012345, "123456789012345"},
                                           TextCase{2147483648.0, "2147483648"}, TextCase{0.0001, "0.0001"},
                                           TextCase{1e15, "1E+15"}, TextCase{1.5e20, "1.5E+20"},
                                           TextCase{1e-20, "1E-20"}));

struct GroupedCase {
    double value;
    int decimals;
    const char* text;
};

class FormatGroupedTest : public ::testing::TestWithParam<GroupedCase> {};

TEST_P(FormatGroupedTest, GroupsThousandsWithFixedDecimals) {
    EXPECT_EQ(FormatGrouped(GetParam().value, GetParam().decimals), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatGroupedTest,
    ::testing::Values(GroupedCase{90061, 0, "90,061"}, GroupedCase{1234.5, 2, "1,234.50"},
                      GroupedCase{0, 2, "0.00"}, GroupedCase{0, 0, "0"}, GroupedCase{999, 0, "999"},
                      GroupedCase{1000, 0, "1,000"}, GroupedCase{1234567.891, 2, "1,234,567.89"},
                      GroupedCase{0.125, 2, "0.12"}, GroupedCase{0.135, 2, "0.14"}, GroupedCase{2.5, 0, "2"},
                      GroupedCase{3.5, 0, "4"}, GroupedCase{999.995, 2, "1,000.00"},
                      GroupedCase{-1234.5, 2, "-1,234.50"}, GroupedCase{-0.001, 2, "0.00"},
                      GroupedCase{10.24, 2, "10.24"}));

} // namespace
} // namespace vantor

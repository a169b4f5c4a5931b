// Numbers read from and written to texts: the lenient numeric value, the numeric test, rounding and
// the number texts of the task file and the status line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// Lenient value of a text: blanks are ignored, reading stops at the first character that cannot continue
// the number (sign, digits, one decimal point, exponent), a text without a leading number gives 0.
// "12abc" -> 12, " 1 2" -> 12, "abc" -> 0, "-1.5e2x" -> -150.
double NumericValue(std::string_view text);

// True when the whole text, apart from surrounding blanks, is one number: optional sign, digits with
// optional "," digit-group separators, optional decimal point and fraction, optional exponent.
bool IsNumeric(std::string_view text);

// True when the text holds a "," digit-group separator, which the lenient value reads as the number's end.
bool HasDigitGroups(std::string_view text);

// Value of a text that passes the numeric test ("1,234.5" -> 1234.5); nullopt for any other text.
std::optional<double> NumericTextValue(std::string_view text);

// A numeric text whose value v satisfies |floor(v)| = v: fails for negative values and fractions.
bool IsWholeNonNegative(std::string_view text);

// Rounds to the nearest whole number, halves to even (0.5 -> 0, 1.5 -> 2, 2.5 -> 2, -0.5 -> 0).
double RoundHalfEven(double value);

// Rounds to a number of decimals, halves to even.
double RoundHalfEven(double value, int decimals);

// Rounds half to even into a signed 32-bit integer; nullopt when the value does not fit.
std::optional<int32_t> RoundToInt32(double value);

// Plain decimal text without digit-group separators; whole numbers carry no decimal point
// (0, 12, 1.5, -3, 0.25). At most 15 significant digits.
std::string NumberText(double value);

// Digit groups of three with "," and a fixed number of decimals: "#,##0" (decimals 0) and "#,##0.00"
// (decimals 2). 90061 -> "90,061"; 1234.5 with 2 -> "1,234.50"; 0 with 2 -> "0.00".
std::string FormatGrouped(double value, int decimals);

} // namespace vantor

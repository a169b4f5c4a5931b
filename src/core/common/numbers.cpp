#include "core/common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace vantor {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Value of a plain number text (sign, digits, point, exponent; no blanks, no separators). Values beyond
// the double range are held at the largest finite value so later arithmetic never meets infinity.
double ValueOfPlain(const std::string& plain) {
    std::string_view s = plain;
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return 0.0;
    }
    double v = 0.0;
    const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // Too large or too small: decide by the exponent's sign.
        const size_t e = s.find_first_of("eE");
        const bool tiny = e != std::string_view::npos && e + 1 < s.size() && s[e + 1] == '-';
        v = tiny ? 0.0 : std::numeric_limits<double>::max();
    } else if (ec != std::errc() || ptr == s.data()) {
        v = 0.0;
    }
    return negative ? -v : v;
}

// The whole-text number: optional sign, digits with "," between digits, optional fraction, optional
// exponent. Returns the plain form (separators removed) or nullopt.
std::optional<std::string> StrictPlain(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    std::string plain;
    size_t i = 0;
    const size_t n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        plain += text[i++];
    }
    size_t digits = 0;
    while (i < n && (IsDigit(text[i]) || text[i] == ',')) {
        if (text[i] == ',') {
            // A group separator stands between two digits.
            if (digits == 0 || i + 1 >= n || !IsDigit(text[i + 1])) {
                return std::nullopt;
            }
        } else {
            plain += text[i];
            ++digits;
        }
        ++i;
    }
    if (i < n && text[i] == '.') {
        plain += text[i++];
        while (i < n && IsDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0) {
        return std::nullopt;
    }
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            plain += text[i++];
        }
        size_t expDigits = 0;
        while (i < n && IsDigit(text[i])) {
            plain += text[i++];
            ++expDigits;
        }
        if (expDigits == 0) {
            return std::nullopt;
        }
    }
    if (i != n) {
        return std::nullopt;
    }
    return plain;
}

// Shortest exact-round-trip decimal digits of |value| in fixed notation.
std::string FixedDigits(double value) {
    char buf[400];
    const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    return ec == std::errc() ? std::string(buf, ptr) : std::string("0");
}

// Rounds a fixed decimal text (no sign) to `decimals` places, halves to even, as the text shows the number:
// 2.5 -> 2, 0.125 with 2 -> 0.12. Returns integer part and exactly `decimals` fraction digits.
std::pair<std::string, std::string> RoundDecimalText(const std::string& fixed, int decimals) {
    const size_t dot = fixed.find('.');
    std::string whole = dot == std::string::npos ? fixed : fixed.substr(0, dot);
    std::string frac = dot == std::string::npos ? std::string() : fixed.substr(dot + 1);
    const size_t keep = static_cast<size_t>(decimals < 0 ? 0 : decimals);
    if (frac.size() <= keep) {
        frac.append(keep - frac.size(), '0');
        return {whole, frac};
    }
    const char first = frac[keep];
    const bool restNonZero = frac.find_first_not_of('0', keep + 1) != std::string::npos;
    std::string digits = whole + frac.substr(0, keep);
    const char last = digits.back();
    const bool up = first > '5' || (first == '5' && (restNonZero || (last - '0') % 2 == 1));
    if (up) {
        size_t k = digits.size();
        while (k > 0) {
            --k;
            if (digits[k] == '9') {
                digits[k] = '0';
            } else {
                ++digits[k];
                break;
            }
            if (k == 0) {
                digits.insert(digits.begin(), '1');
                break;
            }
        }
    }
    const size_t wholeLen = digits.size() - keep;
    return {digits.substr(0, wholeLen), digits.substr(wholeLen)};
}

bool AllZero(const std::string& a, const std::string& b) {
    return a.find_first_not_of('0') == std::string::npos && b.find_first_not_of('0') == std::string::npos;
}

} // namespace

double NumericValue(std::string_view text) {
    std::string plain;
    bool sawDigit = false, sawPoint = false, sawExp = false, expDigit = false;
    size_t expAt = 0;
    for (char c : text) {
        if (IsBlank(c)) {
            continue;
        }
        if (plain.empty() && (c == '+' || c == '-')) {
            plain += c;
        } else if (IsDigit(c)) {
            plain += c;
            (sawExp ? expDigit : sawDigit) = true;
        } else if (c == '.' && !sawPoint && !sawExp) {
            plain += c;
            sawPoint = true;
        } else if ((c == 'e' || c == 'E') && sawDigit && !sawExp) {
            expAt = plain.size();
            plain += 'e';
            sawExp = true;
        } else if ((c == '+' || c == '-') && sawExp && plain.size() == expAt + 1) {
            plain += c;
        } else {
            break;
        }
    }
    if (!sawDigit) {
        return 0.0;
    }
    if (sawExp && !expDigit) {
        plain.resize(expAt); // "1e" or "1e+" reads as 1
    }
    return ValueOfPlain(plain);
}

bool IsNumeric(std::string_view text) {
    return StrictPlain(text).has_value();
}

std::optional<double> NumericTextValue(std::string_view text) {
    const auto plain = StrictPlain(text);
    if (!plain) {
        return std::nullopt;
    }
    return ValueOfPlain(*plain);
}

bool IsWholeNonNegative(std::string_view text) {
    const auto v = NumericTextValue(text);
    return v && std::fabs(std::floor(*v)) == *v;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const double f = std::floor(value);
    const double diff = value - f;
    double r;
    if (diff < 0.5) {
        r = f;
    } else if (diff > 0.5) {
        r = f + 1.0;
    } else {
        r = std::fmod(f, 2.0) == 0.0 ? f : f + 1.0;
    }
    return r == 0.0 ? 0.0 : r; // no negative zero
}

double RoundHalfEven(double value, int decimals) {
    if (!std::isfinite(value)) {
        return value;
    }
    if (decimals <= 0) {
        return RoundHalfEven(value);
    }
    const auto [whole, frac] = RoundDecimalText(FixedDigits(value), decimals);
    const double v = ValueOfPlain(whole + "." + frac);
    return v == 0.0 ? 0.0 : (value < 0 ? -v : v);
}

std::optional<int32_t> RoundToInt32(double value) {
    const double r = RoundHalfEven(value);
    if (!std::isfinite(r) || r < static_cast<double>(std::numeric_limits<int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int32_t>(r);
}

std::string NumberText(double value) {
    if (std::isnan(value)) {
        return "0";
    }
    if (std::isinf(value)) {
        value = value > 0 ? std::numeric_limits<double>::max() : -std::numeric_limits<double>::max();
    }
    if (value == 0.0) {
        return "0";
    }
    // 15 significant digits: d.dddddddddddddde+XX
    char buf[64];
    const auto [ptr, ec] =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    if (ec != std::errc()) {
        return "0";
    }
    const std::string sci(buf, ptr);
    const size_t e = sci.find('e');
    std::string digits = sci.substr(0, 1) + sci.substr(2, e - 2);
    const int exponent = std::stoi(sci.substr(e + 1));
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    std::string out = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -15) {
        // Beyond plain text's reach the exponent form is the only readable one: 1.5E+20, 1E-20.
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += "." + digits.substr(1);
        }
        out += exponent >= 0 ? "E+" : "E-";
        const std::string ex = std::to_string(exponent >= 0 ? exponent : -exponent);
        out += ex.size() < 2 ? "0" + ex : ex;
        return out;
    }
    if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        return out;
    }
    const size_t wholeLen = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= wholeLen) {
        out += digits + std::string(wholeLen - digits.size(), '0');
    } else {
        out += digits.substr(0, wholeLen) + "." + digits.substr(wholeLen);
    }
    return out;
}

std::string FormatGrouped(double value, int decimals) {
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    const auto [whole, frac] = RoundDecimalText(FixedDigits(value), decimals);
    std::string grouped;
    const size_t n = whole.size();
    for (size_t i = 0; i < n; ++i) {
        grouped += whole[i];
        const size_t left = n - i - 1;
        if (left > 0 && left % 3 == 0) {
            grouped += ',';
        }
    }
    std::string out = value < 0 && !AllZero(whole, frac) ? "-" : "";
    out += grouped;
    if (!frac.empty()) {
        out += "." + frac;
    }
    return out;
}

bool HasDigitGroups(std::string_view text) {
    return text.find(',') != std::string_view::npos;
}

} // namespace vantor

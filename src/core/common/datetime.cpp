#include "core/common/datetime.h"

#include <cmath>
#include <vector>

namespace vantor {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's civil calendar algorithm).
constexpr int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Civil {
    int64_t year;
    int month;
    int day;
};

Civil CivilFromDays(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {yoe + era * 400 + (m <= 2 ? 1 : 0), m, d};
}

// Day 0 of the count is 1899-12-30. A constant expression, so date-times built during static
// initialisation elsewhere already see it.
constexpr int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

int64_t DayNumber(const DateTime& dt) {
    return FloorDiv(dt.seconds, kSecondsPerDay);
}

Civil CivilOf(const DateTime& dt) {
    return CivilFromDays(DayNumber(dt) + kEpochOffset);
}

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

// Splits on sep into fields of 1..maxDigits ASCII digits; nullopt when any field is not that.
std::optional<std::vector<int>> DigitFields(std::string_view s, char sep, size_t maxDigits) {
    std::vector<int> out;
    size_t pos = 0;
    while (true) {
        const size_t next = s.find(sep, pos);
        const std::string_view field =
            s.substr(pos, next == std::string_view::npos ? s.size() - pos : next - pos);
        if (field.empty() || field.size() > maxDigits) {
            return std::nullopt;
        }
        int value = 0;
        for (char c : field) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        out.push_back(value);
        if (next == std::string_view::npos) {
            return out;
        }
        pos = next + 1;
    }
}

std::optional<int64_t> ParseTime(std::string_view s) {
    const auto f = DigitFields(s, ':', 2);
    if (!f || f->size() != 3) {
        return std::nullopt;
    }
    const int h = (*f)[0], m = (*f)[1], sec = (*f)[2];
    if (h > 23 || m > 59 || sec > 59) {
        return std::nullopt;
    }
    return h * 3600 + m * 60 + sec;
}

std::optional<DateTime> ParseDate(std::string_view s) {
    const char sep = s.find('/') != std::string_view::npos ? '/' : '-';
    if (s.size() < 5 || (s[4] != sep)) { // the year is always written with four digits
        return std::nullopt;
    }
    const auto f = DigitFields(s, sep, 4);
    if (!f || f->size() != 3) {
        return std::nullopt;
    }
    const int y = (*f)[0], m = (*f)[1], d = (*f)[2];
    if (y < 100 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) {
        return std::nullopt;
    }
    return DateTime::fromParts(y, m, d);
}

std::string Two(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

// The year in the four digits the reader asks for ("0210", not "210"); years beyond them as they are.
std::string YearText(int year) {
    std::string s = std::to_string(year);
    return year >= 0 && s.size() < 4 ? std::string(4 - s.size(), '0') + s : s;
}

} // namespace

DateTime DateTime::fromParts(int year, int month, int day, int hour, int minute, int second) {
    const int64_t days = DaysFromCivil(year, month, day) - kEpochOffset;
    return DateTime{days * kSecondsPerDay + int64_t{hour} * 3600 + int64_t{minute} * 60 + second};
}

DateTime DateTime::fromDays(double days) {
    return DateTime{static_cast<int64_t>(std::llround(days * static_cast<double>(kSecondsPerDay)))};
}

double DateTime::toDays() const {
    return static_cast<double>(seconds) / static_cast<double>(kSecondsPerDay);
}

int DateTime::year() const {
    return static_cast<int>(CivilOf(*this).year);
}
int DateTime::month() const {
    return CivilOf(*this).month;
}
int DateTime::day() const {
    return CivilOf(*this).day;
}
int DateTime::hour() const {
    return static_cast<int>(timeOfDay() / 3600);
}
int DateTime::minute() const {
    return static_cast<int>(timeOfDay() / 60 % 60);
}
int DateTime::second() const {
    return static_cast<int>(timeOfDay() % 60);
}

int DateTime::weekday() const {
    // Day 0 (1899-12-30) was a Saturday.
    const int64_t w = ((DayNumber(*this) + 5) % 7 + 7) % 7; // 0 = Monday
    return static_cast<int>(w) + 1;
}

DateTime DateTime::date() const {
    return DateTime{DayNumber(*this) * kSecondsPerDay};
}

int64_t DateTime::timeOfDay() const {
    return seconds - DayNumber(*this) * kSecondsPerDay;
}

std::string FormatDateTime(DateTime dt) {
    std::string s = YearText(dt.year()) + "/" + std::to_string(dt.month()) + "/" + std::to_string(dt.day());
    if (dt.timeOfDay() != 0) {
        s += " " + std::to_string(dt.hour()) + ":" + Two(dt.minute()) + ":" + Two(dt.second());
    }
    return s;
}

std::string FormatTimeOfDay(DateTime dt) {
    return Two(dt.hour()) + ":" + Two(dt.minute()) + ":" + Two(dt.second());
}

std::optional<DateTime> ParseDateTime(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) {
        return std::nullopt;
    }
    const size_t blank = text.find(' ');
    if (blank == std::string_view::npos) {
        if (text.find(':') != std::string_view::npos) {
            const auto t = ParseTime(text);
            return t ? std::optional<DateTime>(DateTime{*t}) : std::nullopt;
        }
        return ParseDate(text);
    }
    const auto d = ParseDate(text.substr(0, blank));
    const auto t = ParseTime(TrimBlanks(text.substr(blank + 1)));
    if (!d || !t) {
        return std::nullopt;
    }
    return d->addSeconds(*t);
}

} // namespace vantor

// Local date-times to the second, counted from day 0 = 30 December 1899, and their text forms.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// A local date-time with one-second resolution. Held as whole seconds since 1899-12-30 00:00:00 so that
// comparisons and arithmetic are exact; toDays() gives the day count with the time of day as fraction.
struct DateTime {
    int64_t seconds = 0;

    static DateTime fromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
    static DateTime fromDays(double days); // rounded to the nearest second
    double toDays() const;

    int year() const;
    int month() const;
    int day() const;
    int hour() const;
    int minute() const;
    int second() const;
    int weekday() const;       // Monday = 1 ... Sunday = 7
    DateTime date() const;     // the same day at 00:00:00
    int64_t timeOfDay() const; // seconds since midnight, 0 ... 86399
    DateTime addSeconds(int64_t n) const { return DateTime{seconds + n}; }
    DateTime addDays(int64_t n) const { return DateTime{seconds + n * 86400}; }

    friend bool operator==(DateTime a, DateTime b) { return a.seconds == b.seconds; }
    friend auto operator<=>(DateTime a, DateTime b) { return a.seconds <=> b.seconds; }
};

// The one written form: "yyyy/M/d H:mm:ss" with the year in four digits, the time left out at exactly
// midnight (2026/12/8 1:48:46, 2026/12/8, 0210/1/5): what ParseDateTime reads back.
std::string FormatDateTime(DateTime dt);

// "HH:mm:ss", 24-hour, two digits each.
std::string FormatTimeOfDay(DateTime dt);

// Reads the written form, the same with "-" as date separator, zero-padded fields, a date alone, and a
// time of day alone ("HH:mm:ss" or "H:mm:ss", giving day 0 plus that time). Anything else, or a field out
// of range (month 13, 25 o'clock, 31 February), is no date-time: nullopt.
std::optional<DateTime> ParseDateTime(std::string_view text);

} // namespace vantor

// What the program needs of the user's locale: the short-date pattern, the
// time format, day and month names, measurement system, decimal separator,
// the clock, and name collation. Core code takes a Locale& parameter, so
// tests can fix the pattern, the names and the clock.
#pragma once

#include <string>
#include <string_view>

namespace qb {

enum class MeasurementSystem { Metric, US };

// A local calendar moment; month and day count from 1.
struct LocalDateTime {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

class Locale {
public:
    virtual ~Locale() = default;

    // The short-date pattern in the Windows letters d, M, y (e.g.
    // "dd/MM/yyyy"); literal text as it stands. Callers upper-case it.
    virtual std::string ShortDatePattern() const = 0;

    // The time of day in the locale's own format (UTF-8).
    virtual std::string FormatTime(int hour, int minute, int second, bool withSeconds) const = 0;

    // dayOfWeek: 0 Sunday .. 6 Saturday; month: 1..12. Empty when out of range.
    virtual std::string DayName(int dayOfWeek, bool abbreviated) const = 0;
    virtual std::string MonthName(int month, bool abbreviated) const = 0;

    virtual MeasurementSystem Measurement() const = 0;
    virtual std::string DecimalSeparator() const = 0;

    virtual LocalDateTime Now() const = 0;

    // Name order for sorting (case-sensitive) and for look-ups (ignoring
    // case); both -1, 0 or +1.
    virtual int Compare(std::u16string_view a, std::u16string_view b) const = 0;
    virtual int CompareNoCase(std::u16string_view a, std::u16string_view b) const = 0;
    // A key of `text` for Compare's order: two keys compare bytewise (as
    // std::string does) exactly as Compare orders their texts, equal
    // included. Made once per text, it spares collating at every comparison.
    virtual std::string SortKey(std::u16string_view text) const = 0;
};

}  // namespace qb

// Date values (year * 10000 + month * 100 + day) and time values (seconds
// since midnight), with the user's locale for formatting and input.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/locale.h"

namespace qb {

class Ui;

// Open bounds of a date range ("no date"), accepted as valid date values.
constexpr int32_t kDateOpenLow = static_cast<int32_t>(0x80000000u);
constexpr int32_t kDateOpenHigh = 0x7FFFFFFF;

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);  // 0 for a month outside 1..12
bool IsCalendarDate(int year, int month, int day);
// A calendar date of years 1..9999, or one of the two open bounds.
bool IsValidDate(int32_t date);
bool IsValidTime(int32_t time);  // 0 .. 86399

inline int32_t MakeDate(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}
inline int32_t MakeTime(int hour, int minute, int second) {
    return hour * 3600 + minute * 60 + second;
}
// 0 Sunday .. 6 Saturday, for a calendar date.
int DayOfWeek(int year, int month, int day);

int32_t TodayDate(const Locale& locale);
int32_t NowTime(const Locale& locale);

// The default PivotYear: the current year rounded down to a hundred, plus 99.
int DefaultPivotYear(const Locale& locale);
// A year below 100 widened into the window that ends at `pivotYear`.
int ExpandTwoDigitYear(int year, int pivotYear);

// The locale's short-date pattern in upper case, as dates are read against it.
std::string UpperDatePattern(const Locale& locale);

// Text for a date value; empty for a value that is not a calendar date
// (unset or an open bound). Month names only when `namesAllowed`. The year
// is always written whole (a "yy" pattern gives 3/5/2024); dates are still
// typed with two-digit years (ParseDate).
std::string FormatDate(int32_t date, bool namesAllowed, const Locale& locale);
// Text for a time value; empty when it is not a time of day.
std::string FormatTime(int32_t time, bool withSeconds, const Locale& locale);

// A date typed by the user: "YYYY-MM-DD" in any locale, or read against the
// locale's pattern with fields not typed keeping today's. A text with no
// digits or with letters is no date. Returns whether the result is valid.
bool ParseDate(std::string_view text, const Locale& locale, int pivotYear, int32_t& out);
// Message 11100 with the upper-case pattern, exclamation icon.
void ReportInvalidDate(Ui& ui, const Locale& locale);

}  // namespace qb

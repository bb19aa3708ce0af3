#include "datafile/dates.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "platform/code_page.h"
#include "platform/ui.h"
#include "resources/strings.h"

namespace qb {

namespace {

// The pattern as code points, so that a run of one repeated character is
// never a run of bytes inside a multi-byte character.
std::vector<char32_t> DecodeUtf8(std::string_view s) {
    std::vector<char32_t> out;
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

struct Run {
    char32_t ch;
    size_t count;
};

std::vector<Run> Runs(std::string_view pattern) {
    std::vector<Run> runs;
    for (char32_t c : DecodeUtf8(pattern)) {
        if (!runs.empty() && runs.back().ch == c)
            ++runs.back().count;
        else
            runs.push_back({c, 1});
    }
    return runs;
}

std::string Printf(const char* fmt, int v) {
    char buf[24];
    std::snprintf(buf, sizeof buf, fmt, v);
    return buf;
}

}  // namespace

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsCalendarDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysInMonth(year, month);
}

bool IsValidDate(int32_t date) {
    if (date == kDateOpenLow || date == kDateOpenHigh) return true;
    if (date < 0) return false;
    return IsCalendarDate(date / 10000, date / 100 % 100, date % 100);
}

bool IsValidTime(int32_t time) {
    return time >= 0 && time < 86400;
}

int DayOfWeek(int year, int month, int day) {
    // Sakamoto's method on the proleptic Gregorian calendar.
    static constexpr int t[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) year -= 1;
    return (year + year / 4 - year / 100 + year / 400 + t[month - 1] + day) % 7;
}

int32_t TodayDate(const Locale& locale) {
    LocalDateTime n = locale.Now();
    return MakeDate(n.year, n.month, n.day);
}

int32_t NowTime(const Locale& locale) {
    LocalDateTime n = locale.Now();
    return MakeTime(n.hour, n.minute, n.second);
}

int DefaultPivotYear(const Locale& locale) {
    return locale.Now().year / 100 * 100 + 99;
}

int ExpandTwoDigitYear(int year, int pivotYear) {
    if (year < 0 || year >= 100) return year;
    int century = pivotYear / 100;
    if (pivotYear % 100 < year) --century;
    return century > 0 ? year + century * 100 : year;
}

std::string UpperDatePattern(const Locale& locale) {
    std::string p = locale.ShortDatePattern();
    // Only the ASCII letters carry meaning; other text stays as written.
    for (char& c : p)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return p;
}

std::string FormatDate(int32_t date, bool namesAllowed, const Locale& locale) {
    if (date < 0) return "";
    int year = date / 10000, month = date / 100 % 100, day = date % 100;
    if (!IsCalendarDate(year, month, day)) return "";
    std::string out;
    for (const Run& r : Runs(UpperDatePattern(locale))) {
        switch (r.ch) {
            case U'D':
                if (r.count <= 2)
                    out += Printf(r.count == 1 ? "%d" : "%02d", day);
                else
                    out += locale.DayName(DayOfWeek(year, month, day), r.count == 3);
                break;
            case U'M':
                if (namesAllowed && (r.count == 3 || r.count == 4))
                    out += locale.MonthName(month, r.count == 3);
                else
                    out += Printf(r.count == 2 ? "%02d" : "%d", month);
                break;
            case U'Y':
                // Always the whole year, also where the pattern has two
                // letters: 3/2/98 and 3/2/23 must not look alike.
                out += Printf("%d", year);
                break;
            default:
                AppendUtf8(out, r.ch);
                break;
        }
    }
    return out;
}

std::string FormatTime(int32_t time, bool withSeconds, const Locale& locale) {
    if (!IsValidTime(time)) return "";
    return locale.FormatTime(time / 3600, time / 60 % 60, time % 60, withSeconds);
}

namespace {

bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// "YYYY-M-D" with a four-digit year, whatever the locale: a date that
// reads the same everywhere.
std::optional<int32_t> IsoDate(std::string_view t) {
    size_t i = 0;
    auto number = [&](size_t least, size_t most) -> std::optional<int> {
        size_t start = i;
        int v = 0;
        while (i < t.size() && IsAsciiDigit(t[i]) && i - start < most)
            v = v * 10 + (t[i++] - '0');
        if (i - start < least || (i < t.size() && IsAsciiDigit(t[i]))) return std::nullopt;
        return v;
    };
    auto year = number(4, 4);
    if (!year || i >= t.size() || t[i++] != '-') return std::nullopt;
    auto month = number(1, 2);
    if (!month || i >= t.size() || t[i++] != '-') return std::nullopt;
    auto day = number(1, 2);
    if (!day || i != t.size() || !IsCalendarDate(*year, *month, *day)) return std::nullopt;
    return MakeDate(*year, *month, *day);
}

}  // namespace

bool ParseDate(std::string_view text, const Locale& locale, int pivotYear, int32_t& out) {
    // A text without digits, or with letters, is no date: it was never
    // meant as one, and reading it as today (or as its digits alone) would
    // run a search or a query over the wrong days without a word.
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (std::none_of(text.begin(), text.end(), IsAsciiDigit)) return false;
    if (std::any_of(text.begin(), text.end(), [](char c) {
            return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (unsigned char)c >= 0x80;
        }))
        return false;
    if (std::optional<int32_t> iso = IsoDate(text)) {
        out = *iso;
        return true;
    }

    LocalDateTime today = locale.Now();
    int day = today.day, month = today.month, year = today.year;

    int numbers[3];
    int count = 0;
    size_t i = 0;
    while (count < 3 && i < text.size()) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        int64_t v = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (v < 100000000)
                v = v * 10 + (text[i] - '0');  // saturates; any such value is invalid
            ++i;
        }
        numbers[count++] = static_cast<int>(v);
        ++i;  // the separator after the digits
    }

    int next = 0;
    bool yearTyped = false;
    for (const Run& r : Runs(UpperDatePattern(locale))) {
        if (next >= count) break;
        if (r.ch == U'D')
            day = numbers[next++];
        else if (r.ch == U'M')
            month = numbers[next++];
        else if (r.ch == U'Y') {
            year = numbers[next++];
            yearTyped = true;
        }
    }
    if (yearTyped) year = ExpandTwoDigitYear(year, pivotYear);

    if (!IsCalendarDate(year, month, day)) return false;
    out = MakeDate(year, month, day);
    return true;
}

void ReportInvalidDate(Ui& ui, const Locale& locale) {
    ui.MessageBox(FormatResource(msg::kInvalidDate, UpperDatePattern(locale) + " or YYYY-MM-DD"),
                  MessageIcon::Exclamation);
}

}  // namespace qb

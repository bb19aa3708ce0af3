// A Locale whose pattern, names, time format and clock the test sets.
// Collation is ICU's root order with the program's case and accent rules.
#pragma once

#include <array>
#include <cstdio>
#include <string>

#include "platform/collation.h"
#include "platform/locale.h"

namespace qb {

class FixedLocale : public Locale {
public:
    FixedLocale() : collator_("root") {}

    std::string pattern = "M/d/yyyy";
    LocalDateTime now{2024, 6, 15, 10, 30, 45};
    // Time format: 24-hour "HH:mm[:ss]" or 12-hour "h:mm[:ss] AM".
    bool hour24 = true;
    bool leadingZeroHour = true;
    std::string timeSeparator = ":";
    std::string am = "AM", pm = "PM";
    MeasurementSystem measurement = MeasurementSystem::Metric;
    std::string decimal = ".";
    std::array<std::string, 7> shortDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    std::array<std::string, 7> days{"Sunday",   "Monday", "Tuesday", "Wednesday",
                                    "Thursday", "Friday", "Saturday"};
    std::array<std::string, 12> shortMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::array<std::string, 12> months{"January",   "February", "March",    "April",
                                       "May",       "June",     "July",     "August",
                                       "September", "October",  "November", "December"};

    std::string ShortDatePattern() const override { return pattern; }

    std::string FormatTime(int h, int m, int s, bool withSeconds) const override {
        int shown = h;
        std::string suffix;
        if (!hour24) {
            suffix = " " + (h < 12 ? am : pm);
            shown = h % 12 == 0 ? 12 : h % 12;
        }
        char buf[64];
        const char* sep = timeSeparator.c_str();
        if (withSeconds)
            std::snprintf(buf, sizeof buf, leadingZeroHour ? "%02d%s%02d%s%02d" : "%d%s%02d%s%02d",
                          shown, sep, m, sep, s);
        else
            std::snprintf(buf, sizeof buf, leadingZeroHour ? "%02d%s%02d" : "%d%s%02d", shown, sep,
                          m);
        return buf + suffix;
    }

    std::string DayName(int d, bool abbreviated) const override {
        if (d < 0 || d > 6) return "";
        return abbreviated ? shortDays[d] : days[d];
    }
    std::string MonthName(int m, bool abbreviated) const override {
        if (m < 1 || m > 12) return "";
        return abbreviated ? shortMonths[m - 1] : months[m - 1];
    }
    MeasurementSystem Measurement() const override { return measurement; }
    std::string DecimalSeparator() const override { return decimal; }
    LocalDateTime Now() const override { return now; }
    int Compare(std::u16string_view a, std::u16string_view b) const override {
        return collator_.Compare(a, b);
    }
    int CompareNoCase(std::u16string_view a, std::u16string_view b) const override {
        return collator_.CompareNoCase(a, b);
    }
    std::string SortKey(std::u16string_view text) const override { return collator_.SortKey(text); }

private:
    NameCollator collator_;
};

}  // namespace qb

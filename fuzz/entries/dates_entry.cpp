// The date target: the input is a typed date, read under several short-date
// patterns and pivot years. A date that is read must be a calendar date,
// and its own text must read back to it.
#include <string>

#include "datafile/dates.h"
#include "fake_locale.h"
#include "fuzz_entries.h"

namespace qbfuzz {

int FuzzDates(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static const char* const kPatterns[] = {"M/d/yyyy", "dd.MM.yy",    "yyyy-MM-dd",
                                            "d/M/yy",   "yy/MM/dd",    "dd MMM yyyy",
                                            "d-M-y",    "MMMM d, yyyy"};
    qb::FixedLocale locale;
    for (const char* pattern : kPatterns) {
        locale.pattern = pattern;
        for (int pivot : {2099, 2029, 1999}) {
            int32_t date = 0;
            if (!qb::ParseDate(text, locale, pivot, date)) continue;
            if (!qb::IsValidDate(date) || date == qb::kDateOpenLow || date == qb::kDateOpenHigh)
                PropertyFailed("a date was read that is no calendar date");
            if (date / 10000 < 1000) continue;  // short years widen again when read
            std::string shown = qb::FormatDate(date, false, locale);
            int32_t again = 0;
            if (!qb::ParseDate(shown, locale, pivot, again) || again != date)
                PropertyFailed("a date's own text read back to another date");
        }
    }
    return 0;
}

}  // namespace qbfuzz

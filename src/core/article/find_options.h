// The Find dialog's rules without its widgets: the options it holds, which
// search ranges are available, when Find can be pressed, and the checks made
// when it is. The dialog shows this model; the options outlive the dialog for
// the rest of the program's run (the main frame keeps a FindOptions).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "richtext/rich_text.h"

namespace qb {

class Locale;

// Which texts of an article are searched.
enum class FindWhere : int32_t { kTitleAndText = 0, kTextOnly = 1, kTitleOnly = 2 };

// Which articles are searched.
enum class FindRange : int32_t {
    kAll = 0,
    kBookmarked = 1,
    kSelected = 2,  // the articles of the title list
    kCurrentArticle = 3,
    kHighlighted = 4,  // the highlighted titles of the title list
};

// The dialog's options. Texts are UTF-8; the dates as typed (empty: no bound).
struct FindOptions {
    std::string text;
    bool matchCase = false;
    bool wholeWord = false;
    FindWhere where = FindWhere::kTitleAndText;
    FindRange range = FindRange::kAll;
    std::string dateFrom, dateTo;
    bool titlesOnly = false;  // Show Only Titles

    // The control's find flags for these options (always searching down).
    uint32_t Flags() const {
        return kFindDown | (matchCase ? kFindMatchCase : 0u) | (wholeWord ? kFindWholeWord : 0u);
    }
    bool operator==(const FindOptions&) const = default;
};

// What the dialog needs to know of the windows and the document.
struct FindContext {
    bool articleWindowActive = false;
    int32_t visibleBookmarks = 0;     // bookmarked articles the person can see
    int32_t selectedArticles = 0;     // articles of the title list
    int32_t highlightedArticles = 0;  // highlighted titles
};

// The options a newly opened dialog shows: the remembered ones, with the
// range Current Article when an article window is active, and otherwise
// All Articles instead of a remembered range that does not apply now.
FindOptions OpeningOptions(const FindOptions& remembered, const FindContext& context);

// Which controls are enabled, and the range button that stays checked.
struct FindAvailability {
    bool bookmarked = false;         // the Bookmarked Articles button
    bool currentArticle = false;     // the Current Article button
    bool datesAndTitlesOnly = true;  // the date fields and Show Only Titles
    // The checked range button; none when the chosen range became
    // unavailable, and the range then counts as All Articles.
    std::optional<FindRange> checked;
};
FindAvailability Availability(FindRange chosen, const FindContext& context);
// The range a search uses when `checked` may be none.
inline FindRange EffectiveRange(const std::optional<FindRange>& checked) {
    return checked.value_or(FindRange::kAll);
}

// The Find button: a text, or outside Current Article a date bound.
bool FindEnabled(const FindOptions& options);

// The date bounds of a search, as date values; empty fields are open bounds.
struct FindDates {
    int32_t from, to;
};

// Which date field is wrong, when one is.
enum class DateField { kFrom, kTo };

// The outcome of the checks made on pressing Find.
struct FindCheck {
    // A message to show (information icon) instead of searching; 0 if none.
    int message = 0;
    // A date field that holds no valid date: it is to be selected and
    // focused, and the invalid-date message shown.
    std::optional<DateField> invalidDate;
    FindDates dates{0, 0};
    bool Passed() const { return message == 0 && !invalidDate; }
};

// The range checks, then the dates. With Current Article the date fields
// are disabled and not looked at: text the person cannot edit never stops
// a search.
FindCheck CheckFind(const FindOptions& options, const FindContext& context, const Locale& locale,
                    int pivotYear);

}  // namespace qb

#include "article/find_options.h"

#include "datafile/dates.h"
#include "resources/string_ids.h"

namespace qb {

FindOptions OpeningOptions(const FindOptions& remembered, const FindContext& context) {
    FindOptions o = remembered;
    if (context.articleWindowActive) {
        o.range = FindRange::kCurrentArticle;
        return o;
    }
    bool unusable = o.range == FindRange::kCurrentArticle ||
                    (o.range == FindRange::kBookmarked && context.visibleBookmarks <= 0) ||
                    (o.range == FindRange::kSelected && context.selectedArticles <= 0);
    if (unusable) o.range = FindRange::kAll;
    return o;
}

FindAvailability Availability(FindRange chosen, const FindContext& context) {
    FindAvailability a;
    a.bookmarked = context.visibleBookmarks > 0;
    a.currentArticle = context.articleWindowActive;
    a.checked = chosen;
    bool gone = (chosen == FindRange::kCurrentArticle && !a.currentArticle) ||
                (chosen == FindRange::kBookmarked && !a.bookmarked) ||
                (chosen == FindRange::kHighlighted && context.highlightedArticles <= 0);
    if (gone) a.checked.reset();
    a.datesAndTitlesOnly = a.checked != FindRange::kCurrentArticle;
    return a;
}

bool FindEnabled(const FindOptions& options) {
    if (!options.text.empty()) return true;
    return options.range != FindRange::kCurrentArticle &&
           (!options.dateFrom.empty() || !options.dateTo.empty());
}

FindCheck CheckFind(const FindOptions& options, const FindContext& context, const Locale& locale,
                    int pivotYear) {
    FindCheck c;
    switch (options.range) {
        case FindRange::kBookmarked:
            if (context.visibleBookmarks <= 0) c.message = msg::kFindNoBookmarks;
            break;
        case FindRange::kCurrentArticle:
            if (!context.articleWindowActive) c.message = msg::kFindNoCurrentArticle;
            break;
        case FindRange::kHighlighted:
            if (context.highlightedArticles <= 0) c.message = msg::kFindNoHighlighted;
            break;
        default:
            break;
    }
    c.dates = {kDateOpenLow, kDateOpenHigh};
    if (c.message || options.range == FindRange::kCurrentArticle) return c;
    if (!options.dateFrom.empty() &&
        !ParseDate(options.dateFrom, locale, pivotYear, c.dates.from)) {
        c.invalidDate = DateField::kFrom;
        return c;
    }
    if (!options.dateTo.empty() && !ParseDate(options.dateTo, locale, pivotYear, c.dates.to))
        c.invalidDate = DateField::kTo;
    return c;
}

}  // namespace qb

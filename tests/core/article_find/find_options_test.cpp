// The Find dialog's rules: the range it opens with, which ranges stay
// available, when Find is enabled, and the checks on pressing it.
#include <gtest/gtest.h>

#include "article/find_options.h"
#include "resources/string_ids.h"
#include "support/fake_locale.h"

namespace qb::testing {
namespace {

FindContext Context(bool window, int32_t bookmarks, int32_t selected, int32_t highlighted) {
    return FindContext{window, bookmarks, selected, highlighted};
}

TEST(FindDialogRules, OpeningRange) {
    FindOptions remembered;
    remembered.range = FindRange::kBookmarked;
    remembered.dateFrom = "1/1/2020";
    // An active article window always opens on Current Article.
    FindOptions o = OpeningOptions(remembered, Context(true, 0, 0, 0));
    EXPECT_EQ(o.range, FindRange::kCurrentArticle);
    EXPECT_EQ(o.dateFrom, "1/1/2020");
    // Bookmarked without visible bookmarks falls back to All Articles.
    EXPECT_EQ(OpeningOptions(remembered, Context(false, 0, 5, 0)).range, FindRange::kAll);
    EXPECT_EQ(OpeningOptions(remembered, Context(false, 2, 5, 0)).range, FindRange::kBookmarked);
    remembered.range = FindRange::kSelected;
    EXPECT_EQ(OpeningOptions(remembered, Context(false, 2, 0, 0)).range, FindRange::kAll);
    remembered.range = FindRange::kCurrentArticle;
    EXPECT_EQ(OpeningOptions(remembered, Context(false, 2, 5, 1)).range, FindRange::kAll);
    remembered.range = FindRange::kHighlighted;
    EXPECT_EQ(OpeningOptions(remembered, Context(false, 2, 5, 0)).range, FindRange::kHighlighted);
}

TEST(FindDialogRules, RangesThatBecomeUnavailableCountAsAll) {
    FindAvailability a = Availability(FindRange::kBookmarked, Context(false, 0, 3, 0));
    EXPECT_FALSE(a.bookmarked);
    EXPECT_FALSE(a.checked.has_value());
    EXPECT_EQ(EffectiveRange(a.checked), FindRange::kAll);

    a = Availability(FindRange::kCurrentArticle, Context(true, 1, 3, 0));
    EXPECT_TRUE(a.currentArticle);
    EXPECT_EQ(a.checked, FindRange::kCurrentArticle);
    EXPECT_FALSE(a.datesAndTitlesOnly);
    a = Availability(FindRange::kCurrentArticle, Context(false, 1, 3, 0));
    EXPECT_FALSE(a.currentArticle);
    EXPECT_FALSE(a.checked.has_value());
    EXPECT_TRUE(a.datesAndTitlesOnly);

    EXPECT_FALSE(Availability(FindRange::kHighlighted, Context(false, 1, 3, 0)).checked);
    EXPECT_EQ(Availability(FindRange::kHighlighted, Context(false, 1, 3, 2)).checked,
              FindRange::kHighlighted);
    EXPECT_EQ(Availability(FindRange::kSelected, Context(false, 0, 0, 0)).checked,
              FindRange::kSelected);
}

TEST(FindDialogRules, FindButton) {
    FindOptions o;
    EXPECT_FALSE(FindEnabled(o));
    o.dateTo = "5/1/2024";
    EXPECT_TRUE(FindEnabled(o));  // a date alone searches by date
    o.range = FindRange::kCurrentArticle;
    EXPECT_FALSE(FindEnabled(o));  // but not within one article
    o.text = "x";
    EXPECT_TRUE(FindEnabled(o));
}

TEST(FindDialogRules, ChecksOnPressingFind) {
    FixedLocale locale;  // M/d/yyyy
    FindOptions o;
    o.text = "x";
    o.range = FindRange::kBookmarked;
    EXPECT_EQ(CheckFind(o, Context(false, 0, 1, 1), locale, 2099).message, msg::kFindNoBookmarks);
    o.range = FindRange::kCurrentArticle;
    EXPECT_EQ(CheckFind(o, Context(false, 1, 1, 1), locale, 2099).message,
              msg::kFindNoCurrentArticle);
    o.range = FindRange::kHighlighted;
    EXPECT_EQ(CheckFind(o, Context(false, 1, 1, 0), locale, 2099).message, msg::kFindNoHighlighted);

    o.range = FindRange::kAll;
    FindCheck c = CheckFind(o, Context(false, 0, 0, 0), locale, 2099);
    EXPECT_TRUE(c.Passed());
    EXPECT_EQ(c.dates.from, int32_t(0x80000000u));
    EXPECT_EQ(c.dates.to, 0x7FFFFFFF);

    o.dateFrom = "2/3/2021";
    o.dateTo = "2/30/2021";
    c = CheckFind(o, Context(false, 0, 0, 0), locale, 2099);
    EXPECT_EQ(c.invalidDate, DateField::kTo);
    o.dateFrom = "13/1/2021";
    EXPECT_EQ(CheckFind(o, Context(false, 0, 0, 0), locale, 2099).invalidDate, DateField::kFrom);
    o.dateFrom = "2/3/21";
    o.dateTo = "";
    c = CheckFind(o, Context(false, 0, 0, 0), locale, 2099);
    EXPECT_TRUE(c.Passed());
    EXPECT_EQ(c.dates.from, 20210203);
    // The disabled date fields of Current Article do not stop its search.
    o.range = FindRange::kCurrentArticle;
    o.dateFrom = "nonsense 99/99";
    EXPECT_TRUE(CheckFind(o, Context(true, 0, 0, 0), locale, 2099).Passed());
}

}  // namespace
}  // namespace qb::testing

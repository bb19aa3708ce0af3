#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "fake_source.h"
#include "index/title_list.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"

namespace qb::testing {
namespace {

class TitleListTest : public ::testing::Test {
protected:
    TitleListModel& List() {
        if (!list) list = std::make_unique<TitleListModel>(src, locale, ui, host);
        return *list;
    }
    void FillAll() {
        IdSet all;
        src.VisibleArticles(all);
        List().Fill(all);
    }
    std::vector<std::string> Titles() {
        std::vector<std::string> t;
        for (int32_t id : List().Rows())
            t.push_back(src.articles[id].summary.title);
        return t;
    }
    int Compare(int32_t order, int32_t a, int32_t b) {
        return TitleComparator(src, locale, order).Compare(a, b);
    }

    FakeSource src;
    FixedLocale locale;
    RecordingUi ui;
    RecordingHost host;
    std::unique_ptr<TitleListModel> list;
};

TEST_F(TitleListTest, TitleOrdersBreakTiesByAscendingDateAndTime) {
    int32_t late = src.AddArticle("Same", {}, 20210101, 10);
    int32_t early = src.AddArticle("Same", {}, 20200101, 50);
    int32_t earlier = src.AddArticle("Same", {}, 20200101, 40);
    int32_t other = src.AddArticle("Other", {}, 20250101);
    src.sortOrder = title_order::kTitlesDescending;
    FillAll();
    EXPECT_EQ(List().Rows(), (std::vector<int32_t>{earlier, early, late, other}));
    EXPECT_EQ(Compare(title_order::kTitlesDescending, early, late), -1);
    EXPECT_EQ(Compare(title_order::kTitlesAscending, early, late), -1);
    EXPECT_EQ(Compare(title_order::kTitlesAscending, other, late), -1);
}

TEST_F(TitleListTest, DateOrdersBreakTiesByAscendingTitle) {
    int32_t b = src.AddArticle("b", {}, 20200101, 5);
    int32_t a = src.AddArticle("a", {}, 20200101, 5);
    int32_t later = src.AddArticle("c", {}, 20200101, 6);
    int32_t old = src.AddArticle("z", {}, 19990101, 0);
    src.sortOrder = title_order::kDatesDescending;
    FillAll();
    EXPECT_EQ(List().Rows(), (std::vector<int32_t>{later, a, b, old}));
    src.sortOrder = title_order::kDatesAscending;
    list.reset();
    FillAll();
    EXPECT_EQ(List().Rows(), (std::vector<int32_t>{old, a, b, later}));
}

TEST_F(TitleListTest, TitlesUseTheLocaleCollationNotBytes) {
    src.AddArticle("apple");
    src.AddArticle("Banana");
    src.AddArticle("Apple");
    src.AddArticle("\xE9t\xE9");  // été in Windows-1252
    src.AddArticle("zoo");
    FillAll();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"apple", "Apple", "Banana", "\xE9t\xE9", "zoo"}));
}

TEST_F(TitleListTest, StatusOrdersDecideFirstThenTitleDateTime) {
    int32_t plain = src.AddArticle("a");
    int32_t marked = src.AddArticle("b");
    int32_t marked2 = src.AddArticle("a", {}, 20300101);
    src.bookmarks = {marked, marked2};
    src.articles[marked].summary.attachmentCount = 1;
    src.articles[plain].summary.hasLinks = true;
    src.privates = {plain};
    src.privateHidden = false;
    auto order = [&](int32_t o) {
        src.sortOrder = o;
        list.reset();
        FillAll();
        return List().Rows();
    };
    EXPECT_EQ(order(title_order::kBookmarkedFirst), (std::vector<int32_t>{marked2, marked, plain}));
    EXPECT_EQ(order(title_order::kBookmarkedLast), (std::vector<int32_t>{plain, marked2, marked}));
    EXPECT_EQ(order(title_order::kAttachmentsFirst),
              (std::vector<int32_t>{marked, plain, marked2}));
    EXPECT_EQ(order(title_order::kAttachmentsLast), (std::vector<int32_t>{plain, marked2, marked}));
    EXPECT_EQ(order(title_order::kHypertextFirst), (std::vector<int32_t>{plain, marked2, marked}));
    EXPECT_EQ(order(title_order::kHypertextLast), (std::vector<int32_t>{marked2, marked, plain}));
    EXPECT_EQ(order(title_order::kPrivateFirst), (std::vector<int32_t>{plain, marked2, marked}));
    EXPECT_EQ(order(title_order::kPrivateLast), (std::vector<int32_t>{marked2, marked, plain}));
}

TEST_F(TitleListTest, UnsetDatesCompareWithoutOverflow) {
    int32_t unset = src.AddArticle("x", {}, NIL_BLOCK, NIL_BLOCK);
    int32_t dated = src.AddArticle("x", {}, 20200101, 0);
    EXPECT_EQ(Compare(title_order::kDatesAscending, unset, dated), -1);
    EXPECT_EQ(Compare(title_order::kDatesAscending, dated, unset), 1);
    EXPECT_EQ(Compare(title_order::kDatesAscending, -1, dated), 0);
}

TEST_F(TitleListTest, UnreadableSummaryKeepsItsRow) {
    src.AddArticle("b");
    int32_t bad = src.AddArticle("a");
    src.articles[bad].unreadable = true;
    FillAll();
    EXPECT_EQ(List().RowCount(), 2u);
    EXPECT_EQ(List().Rows().front(), bad);  // an empty title sorts first
    EXPECT_EQ(ui.Count(), 0u);
}

// The list's order is defined by inserting each member, ascending, after
// its equals by binary search; the sort must give exactly that.
TEST_F(TitleListTest, SortGivesTheBinaryInsertionOrder) {
    std::mt19937 rng(7);
    const char* titles[] = {"a", "A", "b", "B", "\xE9", "e", "same", "Same"};
    for (int i = 0; i < 400; ++i) {
        int32_t id = src.AddArticle(titles[rng() % std::size(titles)], {},
                                    20200101 + int32_t(rng() % 3), int32_t(rng() % 2));
        if (rng() % 3 == 0) src.bookmarks.insert(id);
        src.articles[id].summary.attachmentCount = int32_t(rng() % 2);
    }
    for (int32_t order = 0; order < title_order::kCount; ++order) {
        TitleComparator cmp(src, locale, order);
        std::vector<int32_t> inserted;
        for (auto& [id, a] : src.articles) {
            size_t lo = 0, hi = inserted.size();
            while (lo < hi) {
                size_t mid = (lo + hi) / 2;
                if (cmp.Compare(inserted[mid], id) > 0)
                    hi = mid;
                else
                    lo = mid + 1;
            }
            inserted.insert(inserted.begin() + long(lo), id);
        }
        std::vector<int32_t> sorted;
        for (auto& [id, a] : src.articles)
            sorted.push_back(id);
        SortTitles(sorted, src, locale, order);
        EXPECT_EQ(sorted, inserted) << "order " << order;
    }
}

// Sorting by the cached collation keys gives the order that collating the
// titles at every comparison gave: accents, case, equal titles, tie rules.
TEST_F(TitleListTest, CachedKeysGiveTheCollationOrder) {
    std::mt19937 rng(11);
    const char* parts[] = {"a", "A", "\xE0", "\xC0", "e", "E",    "\xE9", "\xC9", "\xE8",
                           "b", "B", " ",    "-",    "1", "\xDF", "ss",   "\x9C", "oe"};
    for (int i = 0; i < 600; ++i) {
        std::string title;
        for (int n = int(rng() % 4); n >= 0; --n)
            title += parts[rng() % std::size(parts)];
        if (rng() % 5 == 0) title = "same";  // many equal titles
        // Keys that agree far beyond their first bytes.
        if (rng() % 4 == 0) title = "A long beginning that many titles share " + title;
        src.AddArticle(title, {}, 20200101 + int32_t(rng() % 3), int32_t(rng() % 2));
    }
    auto collated = [&](int32_t x, int32_t y) {
        const ArticleSummary& a = src.articles[x].summary;
        const ArticleSummary& b = src.articles[y].summary;
        return locale.Compare(src.codePage.ToUtf16(a.title), src.codePage.ToUtf16(b.title));
    };
    auto dated = [&](int32_t x, int32_t y) {
        const ArticleSummary& a = src.articles[x].summary;
        const ArticleSummary& b = src.articles[y].summary;
        if (a.articleDate != b.articleDate) return a.articleDate < b.articleDate ? -1 : 1;
        if (a.articleTime != b.articleTime) return a.articleTime < b.articleTime ? -1 : 1;
        return 0;
    };
    using Cmp = std::function<int(int32_t, int32_t)>;
    const std::pair<int32_t, Cmp> orders[] = {
        {title_order::kTitlesAscending,
         [&](int32_t x, int32_t y) { return collated(x, y) ? collated(x, y) : dated(x, y); }},
        {title_order::kTitlesDescending,
         [&](int32_t x, int32_t y) { return collated(x, y) ? -collated(x, y) : dated(x, y); }},
        {title_order::kDatesAscending,
         [&](int32_t x, int32_t y) { return dated(x, y) ? dated(x, y) : collated(x, y); }},
        {title_order::kDatesDescending,
         [&](int32_t x, int32_t y) { return dated(x, y) ? -dated(x, y) : collated(x, y); }},
    };
    for (const auto& entry : orders) {
        const auto& [order, cmp] = entry;
        std::vector<int32_t> expected;
        for (auto& [id, a] : src.articles)
            expected.push_back(id);
        std::vector<int32_t> sorted = expected;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](int32_t x, int32_t y) { return entry.second(x, y) < 0; });
        SortTitles(sorted, src, locale, order);
        EXPECT_EQ(sorted, expected) << "order " << order;
    }
}

TEST_F(TitleListTest, TitlesAreCollatedInTheSourcesCodePage) {
    // 0xC0, 0xC1 and 0xE0 are A, Be and a in Windows-1251 but A grave,
    // A acute and a grave in Windows-1252.
    for (const char* t : {"\xC1", "\xE0", "b", "\xC0"})
        src.AddArticle(t);
    FillAll();
    // Accents before case: A acute, a grave, A grave.
    EXPECT_EQ(Titles(), (std::vector<std::string>{"\xC1", "\xE0", "\xC0", "b"}));
    src.codePage = *CodePage::Windows(1251);
    FillAll();
    EXPECT_EQ(Titles(), (std::vector<std::string>{"b", "\xE0", "\xC0", "\xC1"}));
}

TEST_F(TitleListTest, CaptionClicksAndMarks) {
    src.AddArticle("a");
    FillAll();
    List().ClickCaption(TitleColumn::Bookmark);
    EXPECT_EQ(List().Order(), title_order::kBookmarkedFirst);
    List().ClickCaption(TitleColumn::Bookmark);
    EXPECT_EQ(List().Order(), title_order::kBookmarkedLast);
    EXPECT_EQ(List().TitleMark(), SortMark::None);
    EXPECT_EQ(List().DateMark(), SortMark::None);
    EXPECT_FALSE(List().SortCommandChecked(title_order::kBookmarkedLast));
    List().ClickCaption(TitleColumn::Date);
    EXPECT_EQ(List().Order(), title_order::kDatesAscending);
    EXPECT_EQ(List().DateMark(), SortMark::Ascending);
    List().ClickCaption(TitleColumn::Date);
    EXPECT_EQ(List().DateMark(), SortMark::Descending);
    List().ClickCaption(TitleColumn::Title);
    EXPECT_EQ(List().Order(), title_order::kTitlesAscending);
    EXPECT_EQ(List().TitleMark(), SortMark::Ascending);
    List().ClickCaption(TitleColumn::Title);
    EXPECT_EQ(List().TitleMark(), SortMark::Descending);
    // Every change went to the document and the settings at once.
    EXPECT_EQ(host.storedOrders, (std::vector<int32_t>{4, 5, 2, 3, 0, 1}));
    EXPECT_EQ(src.sortOrder, 1);
}

TEST_F(TitleListTest, ChoosingTheActiveOrderKeepsRowsAndHighlights) {
    src.AddArticle("a");
    src.AddArticle("b");
    FillAll();
    List().Click(1);
    EXPECT_FALSE(List().SetOrder(title_order::kTitlesAscending));
    EXPECT_TRUE(List().IsHighlighted(1));
    EXPECT_TRUE(host.storedOrders.empty());
    EXPECT_TRUE(List().SetOrder(title_order::kTitlesDescending));
    EXPECT_EQ(List().HighlightCount(), 0u);
    EXPECT_EQ(host.fronts, 1);
}

TEST_F(TitleListTest, TypeAheadSteppingAndPauses) {
    int64_t now = 0;
    src.AddArticle("Apple");
    src.AddArticle("banana");
    src.AddArticle("Berry");
    src.AddArticle("Bbq");
    src.AddArticle("cherry");
    FillAll();  // Apple, banana, Bbq, Berry, cherry
    list->TypeAheadState() = TypeAhead([&] { return now; });
    EXPECT_TRUE(List().TypeKey('b'));
    EXPECT_EQ(List().Caret(), 1u);
    now += 100;
    // "bb" matches Bbq before stepping on.
    EXPECT_TRUE(List().TypeKey('b'));
    EXPECT_EQ(List().Caret(), 2u);
    now += 100;
    EXPECT_FALSE(List().TypeKey('b'));  // "bbb" matches nothing and is not a pair
    now += 1500;
    EXPECT_TRUE(List().TypeKey('b'));  // after a pause: a fresh "b", from the next row
    EXPECT_EQ(List().Caret(), 3u);
    now += 1500;
    EXPECT_TRUE(List().TypeKey('B'));
    EXPECT_EQ(List().Caret(), 1u);  // wrapped around
    EXPECT_EQ(List().HighlightCount(), 1u);
    now += 100;
    EXPECT_TRUE(List().TypeKey('A'));  // "BA" matches banana at the caret
    EXPECT_EQ(List().Caret(), 1u);
    List().Escape();
    EXPECT_TRUE(List().TypeKey('c'));
    EXPECT_EQ(List().Caret(), 4u);
}

TEST_F(TitleListTest, SameLetterTwiceStepsWhenNoTitleHasItDoubled) {
    int64_t now = 0;
    src.AddArticle("kiwi");
    src.AddArticle("kale");
    FillAll();  // kale, kiwi
    list->TypeAheadState() = TypeAhead([&] { return now; });
    List().TypeKey('k');
    EXPECT_EQ(List().Caret(), 0u);
    now += 10;
    List().TypeKey('k');
    EXPECT_EQ(List().Caret(), 1u);
    EXPECT_EQ(List().TypeAheadState().Prefix(), "k");
}

TEST_F(TitleListTest, PreviousAndNextFromTheIndexWindow) {
    for (const char* t : {"a", "b", "c"})
        src.AddArticle(t);
    FillAll();
    EXPECT_FALSE(List().NextEnabled());
    List().Click(0);
    EXPECT_FALSE(List().PreviousEnabled());
    EXPECT_TRUE(List().NextEnabled());
    List().PreviousNext(true);
    EXPECT_EQ(host.opened, (std::vector<int32_t>{0}));  // no article window active
    host.active = 0;
    List().PreviousNext(true);
    EXPECT_EQ(host.opened, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(host.closed, (std::vector<int32_t>{0}));
    EXPECT_TRUE(List().IsHighlighted(0));  // the highlight does not move
    List().Click(2, false, true);
    EXPECT_FALSE(List().NextEnabled());  // two rows highlighted
}

TEST_F(TitleListTest, SteppingFromAnArticleWindowWrapsWithoutOpening) {
    for (const char* t : {"a", "b", "c"})
        src.AddArticle(t);
    FillAll();
    List().Step(1, true);
    EXPECT_EQ(host.opened, (std::vector<int32_t>{2}));
    EXPECT_EQ(List().HighlightedIds(), (std::vector<int32_t>{2}));
    List().Step(2, true);
    EXPECT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.fronts, 1);
    EXPECT_EQ(List().HighlightedIds(), (std::vector<int32_t>{0}));
    List().Step(0, false);
    EXPECT_EQ(host.fronts, 2);
    EXPECT_EQ(List().HighlightedIds(), (std::vector<int32_t>{2}));
    List().Step(99, true);  // not listed: nothing moves
    EXPECT_EQ(List().HighlightedIds(), (std::vector<int32_t>{2}));
}

}  // namespace
}  // namespace qb::testing

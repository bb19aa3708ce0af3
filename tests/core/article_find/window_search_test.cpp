// Searching one article window: title before content, where it starts,
// wrapping from the content back to the title, and ending where it began.
#include <gtest/gtest.h>

#include <vector>

#include "article/window_search.h"

namespace qb {
namespace {

std::vector<WindowMatch> All(const WindowTexts& w, FieldPosition start) {
    WindowSearchState s;
    s.Begin(start);
    std::vector<WindowMatch> out;
    while (auto m = s.Next(w)) {
        out.push_back(*m);
        if (out.size() > 20) break;  // a search that never ends
    }
    EXPECT_FALSE(s.Active());
    return out;
}

constexpr FindField T = FindField::kTitle, C = FindField::kContent;

TEST(WindowSearch, TitleFirstThenContentThenSearched) {
    WindowTexts w{u"Owl and owl", u"An owl.\rOWL", FindWhere::kTitleAndText, u"owl", kFindDown};
    FieldPosition start = SearchStart(w, FindField::kNone, 0, 0, false);
    EXPECT_EQ(start, (FieldPosition{T, 0}));
    EXPECT_EQ(All(w, start),
              (std::vector<WindowMatch>{{T, 0, 3}, {T, 8, 11}, {C, 3, 6}, {C, 8, 11}}));
    w.flags = kFindMatchCase;
    EXPECT_EQ(All(w, start), (std::vector<WindowMatch>{{T, 8, 11}, {C, 3, 6}}));
}

TEST(WindowSearch, OnlyOneField) {
    WindowTexts w{u"owl", u"owl owl", FindWhere::kTextOnly, u"owl", kFindDown};
    // The focus in a field not searched starts at the first one searched.
    FieldPosition start = SearchStart(w, T, 1, 2, false);
    EXPECT_EQ(start, (FieldPosition{C, 0}));
    EXPECT_EQ(All(w, start), (std::vector<WindowMatch>{{C, 0, 3}, {C, 4, 7}}));
    w.where = FindWhere::kTitleOnly;
    EXPECT_EQ(All(w, SearchStart(w, C, 0, 0, false)), (std::vector<WindowMatch>{{T, 0, 3}}));
}

TEST(WindowSearch, FromTheSelectionRoundToItAgain) {
    WindowTexts w{u"owl", u"owl, owl and owl", FindWhere::kTitleAndText, u"owl", kFindDown};
    // Starting in the content at its selection: on to the end, then the
    // title, then the content's start up to where it began.
    FieldPosition start = SearchStart(w, C, 7, 5, false);
    EXPECT_EQ(start, (FieldPosition{C, 5}));
    EXPECT_EQ(All(w, start),
              (std::vector<WindowMatch>{{C, 5, 8}, {C, 13, 16}, {T, 0, 3}, {C, 0, 3}}));
    // After the selection: the match under it comes last.
    start = SearchStart(w, C, 5, 8, true);
    EXPECT_EQ(start, (FieldPosition{C, 8}));
    EXPECT_EQ(All(w, start),
              (std::vector<WindowMatch>{{C, 13, 16}, {T, 0, 3}, {C, 0, 3}, {C, 5, 8}}));
    // A match that overlaps the origin from before it still ends the walk.
    WindowTexts aa{u"", u"aaaa", FindWhere::kTextOnly, u"aa", kFindDown};
    EXPECT_EQ(All(aa, {C, 1}), (std::vector<WindowMatch>{{C, 1, 3}, {C, 0, 2}}));
}

TEST(WindowSearch, NothingToFind) {
    WindowTexts w{u"owl", u"wren", FindWhere::kTitleAndText, u"finch", kFindDown};
    EXPECT_TRUE(All(w, {T, 0}).empty());
    w.pattern = u"";
    EXPECT_TRUE(All(w, {T, 0}).empty());
}

}  // namespace
}  // namespace qb

// Marking recognised links in a range: words, stored links, and slices that
// add up to the one-pass result.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "article/link_marker.h"

namespace qb {
namespace {

std::vector<std::u16string> Marked(std::u16string_view text, std::vector<StoredLinkRange> links,
                                   int32_t from = 0, int32_t to = -1) {
    LinkMarker m(text, links, from, to < 0 ? int32_t(text.size()) : to);
    std::vector<std::u16string> out;
    for (const MarkedLink& l : m.MarkAll())
        out.emplace_back(text.substr(size_t(l.start), size_t(l.length)));
    return out;
}

using Words = std::vector<std::u16string>;

TEST(LinkMarker, MarksEachRecognisedLinkOfTheWords) {
    std::u16string text = u"Mail bob@x.org, or see www.x.y.\rand http://a.b/,http://c.d ok";
    EXPECT_EQ(Marked(text, {}), (Words{u"bob@x.org", u"www.x.y", u"http://a.b/,http://c.d"}));
    // After a link the next word starts right behind it.
    EXPECT_EQ(Marked(u"<www.a.b>www.c.d", {}), (Words{u"www.a.b", u"www.c.d"}));
    EXPECT_EQ(Marked(u"", {}), Words{});
    EXPECT_EQ(Marked(u"   \r\r", {}), Words{});
}

TEST(LinkMarker, StoredLinksAreLeftAlone) {
    std::u16string text = u"www.a.bSTOREDwww.c.d tail";
    // A word ends where a stored link starts and begins after it ends.
    EXPECT_EQ(Marked(text, {{7, 13}}), (Words{u"www.a.b", u"www.c.d"}));
    // A word starting inside a stored link starts after it.
    EXPECT_EQ(Marked(text, {{0, 13}}), (Words{u"www.c.d"}));
    // Overlapping and hostile ranges.
    EXPECT_EQ(Marked(text, {{0, 5}, {3, 13}, {20, 10}, {-4, -1}}), (Words{u"www.c.d"}));
}

TEST(LinkMarker, OnlyTheRangeIsMarked) {
    std::u16string text = u"www.a.b www.c.d www.e.f";
    EXPECT_EQ(Marked(text, {}, 8, 15), (Words{u"www.c.d"}));
    EXPECT_EQ(Marked(text, {}, 8, 12), (Words{}));  // "www." alone
    EXPECT_EQ(Marked(text, {}, -3, 1000).size(), 3u);
}

TEST(LinkMarker, SlicesGiveTheOnePassResult) {
    std::u16string text;
    for (int i = 0; i < 300; ++i)
        text += i % 7 == 0 ? u"see http://h.example/p, " : i % 5 == 0 ? u"bob@x.org; " : u"word ";
    std::vector<StoredLinkRange> links = {{100, 130}, {500, 520}};
    LinkMarker m(text, links, 0, int32_t(text.size()));
    std::vector<MarkedLink> whole = m.MarkAll();
    ASSERT_FALSE(whole.empty());
    for (int32_t budget : {1, 3, 17, 1000}) {
        std::vector<MarkedLink> sliced;
        int32_t pos = m.Begin(), calls = 0;
        while (pos < m.End()) {
            int32_t next = m.MarkFrom(pos, budget, sliced);
            ASSERT_GT(next, pos);  // always progresses
            pos = next;
            ++calls;
        }
        EXPECT_EQ(sliced, whole) << budget;
        if (budget == 1) {
            EXPECT_GT(calls, 100);
        }
    }
}

TEST(LinkMarker, WhenToYield) {
    EXPECT_FALSE(MarkInSlices(10000, false));
    EXPECT_TRUE(MarkInSlices(10001, false));
    EXPECT_TRUE(MarkInSlices(5, true));
}

}  // namespace
}  // namespace qb

#include "export/article_anchors.h"

#include <gtest/gtest.h>

namespace qb {
namespace {

TEST(ArticleAnchors, FindsEachArticlesLastHrefWhateverTheOrder) {
    ArticleAnchors a;
    // The run's order is the sort's, not the ids'.
    const int32_t ids[] = {900, 3, 45, 12, 7000, 1};
    for (int32_t n = 0; n < 6; ++n)
        a.Number(ids[n], n + 1);
    EXPECT_EQ(a.Find(900), "#Article1");
    EXPECT_EQ(a.Find(1), "#Article6");
    EXPECT_EQ(a.Find(2), std::nullopt);
    // Entries after a lookup, and a second one for an id: the last counts.
    a.Number(5, 7);
    a.Number(45, 8);
    EXPECT_EQ(a.Find(5), "#Article7");
    EXPECT_EQ(a.Find(45), "#Article8");
    a.Name(45, "Notes.htm");
    EXPECT_EQ(a.Find(45), "Notes.htm");
    a.Number(45, 9);
    EXPECT_EQ(a.Find(45), "#Article9");

    ArticleAnchors other;
    other.Name(3, "Three.htm");
    a.Swap(other);
    EXPECT_EQ(a.Find(3), "Three.htm");
    EXPECT_EQ(a.Find(900), std::nullopt);
    EXPECT_EQ(other.Find(900), "#Article1");
    other.Clear();
    EXPECT_EQ(other.Find(900), std::nullopt);
}

}  // namespace
}  // namespace qb

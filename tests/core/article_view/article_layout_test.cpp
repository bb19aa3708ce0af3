// The article window's geometry: the top row's fields as the preferences
// choose them, the keyword pane at the shared width, the gallery strip,
// dropping the boundary, and the least frame size.
#include <gtest/gtest.h>

#include "article/article_layout.h"

namespace qb::testing {
namespace {

ArticleLayoutInput Input(int width, int height) {
    ArticleLayoutInput in;
    in.clientWidth = width;
    in.clientHeight = height;
    in.fieldHeight = 22;
    in.labelHeight = 16;
    in.dateSampleWidth = 70;
    in.dateFormatWidth = 60;
    in.timeSampleWidth = 55;
    in.timeFormatWidth = 80;
    in.scrollBarWidth = 15;
    in.keywordPaneWidth = 100;
    return in;
}

bool Inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

bool Overlap(const Rect& a, const Rect& b) {
    return a.width > 0 && b.width > 0 && a.height > 0 && b.height > 0 && a.left < b.Right() &&
           b.left < a.Right() && a.top < b.Bottom() && b.top < a.Bottom();
}

TEST(ArticleLayoutTest, FieldWidthsTakeTheWiderTextAndTheirPadding) {
    EXPECT_EQ(DateFieldWidth(70, 60), 78);
    EXPECT_EQ(DateFieldWidth(50, 90), 98);
    EXPECT_EQ(TimeFieldWidth(55, 80, 15), 107);
    EXPECT_EQ(TimeFieldWidth(90, 10, 17), 119);
}

TEST(ArticleLayoutTest, TopRowFollowsDisplayDateAndDisplayTime) {
    ArticleLayoutInput in = Input(600, 400);
    in.displayDate = true;
    in.displayTime = true;
    ArticleLayout l = LayOutArticle(in);
    EXPECT_EQ(l.title.left, 4);
    EXPECT_EQ(l.title.top, 2);
    ASSERT_TRUE(l.dateShown && l.timeShown);
    EXPECT_EQ(l.date.width, 78);
    EXPECT_EQ(l.time.width, 107);
    // Left to right: title, date, date button, time, then the indicators.
    EXPECT_LE(l.title.Right(), l.date.left);
    EXPECT_EQ(l.date.Right(), l.dateButton.left);
    EXPECT_LE(l.dateButton.Right(), l.time.left);
    EXPECT_LE(l.time.Right(), l.attachmentImage.left);
    EXPECT_EQ(l.bookmarkImage.Right(), 600 - 8);
    EXPECT_EQ(l.attachmentImage.Right(), 600 - 37);

    // Without date and time the title takes their room.
    int withBoth = l.title.width;
    in.displayDate = false;
    in.displayTime = false;
    l = LayOutArticle(in);
    EXPECT_FALSE(l.dateShown);
    EXPECT_FALSE(l.timeShown);
    EXPECT_GT(l.title.width, withBoth + 78 + 107);
    EXPECT_LE(l.title.Right(), l.attachmentImage.left);
}

TEST(ArticleLayoutTest, KeywordPaneHasTheSharedWidthBesideTheContent) {
    ArticleLayoutInput in = Input(600, 400);
    ArticleLayout l = LayOutArticle(in);
    EXPECT_EQ(l.keywords.left, 500);  // the pane is the divider wide from the right edge
    EXPECT_EQ(l.keywordsLabel.left, 500);
    EXPECT_EQ(l.keywordsLabel.Bottom(), l.keywords.top);
    EXPECT_EQ(l.content.left, 4);
    EXPECT_EQ(l.content.Right(), l.boundary.left);
    EXPECT_EQ(l.boundary.Right(), l.keywords.left);
    EXPECT_EQ(l.content.Bottom(), 400);
    EXPECT_GE(l.content.top, l.title.Bottom());
    EXPECT_FALSE(Overlap(l.content, l.keywords));
    EXPECT_EQ(l.gallery, Rect{});

    // Dropping the boundary where it was gives the same width back.
    EXPECT_EQ(KeywordPaneWidthForDrop(600, l.keywords.left), 100);
}

TEST(ArticleLayoutTest, DroppingPastTheRightEdgeGivesZeroNeverNegative) {
    EXPECT_EQ(KeywordPaneWidthForDrop(600, 700), 0);
    EXPECT_EQ(KeywordPaneWidthForDrop(600, 600), 0);
    EXPECT_EQ(KeywordPaneWidthForDrop(600, 350), 250);
    ArticleLayoutInput in = Input(600, 400);
    in.keywordPaneWidth = 0;
    ArticleLayout l = LayOutArticle(in);
    EXPECT_EQ(l.keywords.width, 0);
    EXPECT_EQ(l.content.Right(), 596);
}

TEST(ArticleLayoutTest, GalleryStripIsTheEdgePlus24UnderASplitter) {
    ArticleLayoutInput in = Input(600, 400);
    in.galleryShown = true;
    in.galleryEdge = 64;
    ArticleLayout l = LayOutArticle(in);
    EXPECT_EQ(l.gallery, (Rect{0, 400 - 88, 600, 88}));
    EXPECT_EQ(l.gallerySplitter.Bottom(), l.gallery.top);
    EXPECT_EQ(l.content.Bottom(), l.gallerySplitter.top);
    EXPECT_EQ(l.keywords.Bottom(), l.gallerySplitter.top);
}

TEST(ArticleLayoutTest, TinyOrHostileSizesGiveNoNegativeRectangles) {
    for (int width : {0, 3, 40, 240}) {
        for (int32_t pane : {0, 100, 5000, INT32_MAX}) {
            ArticleLayoutInput in = Input(width, 10);
            in.keywordPaneWidth = pane;
            in.displayTime = true;
            in.galleryShown = true;
            in.galleryEdge = 192;
            ArticleLayout l = LayOutArticle(in);
            for (const Rect& r : {l.title, l.date, l.dateButton, l.time, l.content, l.keywordsLabel,
                                  l.keywords, l.gallery, l.gallerySplitter, l.boundary}) {
                EXPECT_GE(r.width, 0) << width << " " << pane;
                EXPECT_GE(r.height, 0) << width << " " << pane;
            }
            EXPECT_TRUE(Inside(l.keywords, Rect{0, 0, width, 1 << 20}) || l.keywords.width == 0);
        }
    }
}

TEST(ArticleLayoutTest, MinimumSizeGrowsByTheGalleryStrip) {
    EXPECT_EQ(ArticleMinimumSize(false, 128), (Size{240, 100}));
    EXPECT_EQ(ArticleMinimumSize(true, 64), (Size{240, 188}));
    EXPECT_EQ(ArticleMinimumSize(true, 192), (Size{240, 316}));
}

}  // namespace
}  // namespace qb::testing

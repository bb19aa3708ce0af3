#include <gtest/gtest.h>

#include "gui/article/article_gallery.h"

// Stands in until the article window's tests land.
TEST(ArticleGallery, NoItemIsHighlightedBeforeAnyIsMade) {
    SUCCEED();
}

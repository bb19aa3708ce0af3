#include "app/frame_layout.h"

#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "app_test_support.h"

namespace qb {
namespace {

TEST(MainPlacement, FirstRunIsCentredAtTwoThirdsOfTheDesktop) {
    FrameValues v;  // nothing stored
    MainPlacement p = PlaceMainWindow(v, Rect{0, 0, 1280, 900});
    EXPECT_EQ(p.rect, (Rect{213, 150, 853, 600}));
    EXPECT_FALSE(p.maximized);
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1920, 1080}).rect, (Rect{320, 180, 1280, 720}));
    // Never below the default size; on a smaller desktop, the desktop's size.
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1024, 768}).rect, (Rect{152, 104, 720, 560}));
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 30, 640, 480}).rect, (Rect{0, 30, 640, 480}));
    // Settings that could not be read: the default size.
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1280, 900}, false).rect, (Rect{280, 170, 720, 560}));
}

TEST(IndexFrameState, MaximizedUntilAPlacementIsStored) {
    ProfileStore store;
    EXPECT_EQ(IndexFrameStateAtOpen(store), kMaximizedValue);
    store.LoadText("[Index Display]\nTop=10\nLeft=20\n");
    EXPECT_EQ(IndexFrameStateAtOpen(store), kNormalValue);
    store.LoadText("[Index Display]\nTop=10\nLeft=20\nMaximized=6\n");
    EXPECT_EQ(IndexFrameStateAtOpen(store), 6);
    store.LoadText("[Index Display]\nMaximized=1\n");
    EXPECT_EQ(IndexFrameStateAtOpen(store), kNormalValue);
}

TEST(MainPlacement, StoredPositionOutsideASmallerDesktopMovesToItsCentre) {
    FrameValues v;
    v.left = 2500;
    v.top = 100;
    v.width = 800;
    v.height = 600;
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1280, 1024}).rect, (Rect{640, 512, 800, 600}));
    v.left = -900;  // right edge left of the desktop
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1280, 1024}).rect.left, 640);
    v.left = 100;  // inside: kept
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1280, 1024}).rect, (Rect{100, 100, 800, 600}));
    v.width = 0;  // no size to show: the default
    EXPECT_EQ(PlaceMainWindow(v, Rect{0, 0, 1280, 1024}).rect.width, 720);
    v.maximized = 3;
    EXPECT_TRUE(PlaceMainWindow(v, Rect{0, 0, 1280, 1024}).maximized);
    EXPECT_FALSE(PlaceMainWindow(v, Rect{0, 0, 1280, 1024}, false).maximized);
}

TEST(MainPlacement, ClosingMaximizedKeepsTheNormalRectangle) {
    ProfileStore store;
    FrameValues v = LoadFrameValues(store);
    RecordMainWindowOnClose(v, Rect{10, 20, 900, 700}, true);
    SetDivider(v, -5);
    ASSERT_TRUE(SaveFrameValues(store, v));
    FrameValues back = LoadFrameValues(store);
    EXPECT_EQ(back.maximized, 3);
    EXPECT_EQ(back.left, 10);
    EXPECT_EQ(back.top, 20);
    EXPECT_EQ(back.width, 900);
    EXPECT_EQ(back.height, 700);
    EXPECT_EQ(back.divider, 0);
    EXPECT_EQ(back.artWidth, kUnsetValue);
}

TEST(Bars, DefaultsAndTheHiddenFormatBar) {
    ProfileStore store;
    FrameValues v = LoadFrameValues(store);
    EXPECT_TRUE(BarShown(v, Bar::Standard));
    EXPECT_TRUE(BarShown(v, Bar::Browse));
    EXPECT_FALSE(BarShown(v, Bar::Tools));
    EXPECT_FALSE(BarShown(v, Bar::Format));
    EXPECT_TRUE(v.barVisible[static_cast<int>(Bar::Format)]);  // remembered as visible
    EXPECT_STREQ(BarDescription(Bar::Tools).title, "Tools");
    store.LoadText("[Quillbox]\nFormatToolbar=0\nToolsBar=1\n");
    v = LoadFrameValues(store);
    ASSERT_TRUE(SaveFrameValues(store, v));
    EXPECT_EQ(store.GetInt("Quillbox", "FormatToolbar", -1), 0);
    EXPECT_EQ(store.GetInt("Quillbox", "ToolsBar", -1), 1);
}

TEST(ArticleWindows, FirstAtOriginThenCascaded) {
    FrameValues v;
    ArticleCascade c;
    EXPECT_EQ(c.Next(v, 1000, 800, 22), (Rect{0, 0, 850, 600}));
    EXPECT_EQ(c.Next(v, 1000, 800, 22), (Rect{22, 22, 850, 600}));
    // Past the right edge: x starts again; y still fits.
    for (int i = 0; i < 5; ++i)
        c.Next(v, 1000, 800, 22);
    Rect r = c.Next(v, 1000, 800, 22);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 154);
    RememberArticleSize(v, 300, 200);
    EXPECT_EQ(c.Next(v, 1000, 800, 22).width, 300);
}

TEST(ArticleWindows, KeywordPaneNeverNegative) {
    EXPECT_EQ(KeywordPaneWidthForBoundary(600, 450), 150);
    EXPECT_EQ(KeywordPaneWidthForBoundary(600, 900), 0);
    EXPECT_EQ(MinimizedFrameShift(820, 800), -20);
    EXPECT_EQ(MinimizedFrameShift(700, 800), 0);
}

TEST(StatusBar, ReadAndLinkPanes) {
    EXPECT_STREQ(PaneText(Pane::Link), "LINK");
    EXPECT_STREQ(PaneText(Pane::NumLock), "NUM");
    EXPECT_FALSE(StatusPanes(false, 0).readLit);
    EXPECT_FALSE(StatusPanes(false, 0).linkLit);
    EXPECT_TRUE(StatusPanes(true, 1).linkLit);
    EXPECT_FALSE(StatusPanes(true, 2).linkLit);
    EXPECT_TRUE(StatusPanes(true, 2).readLit);
}

TEST(DockLayout, SavedUnderItsName) {
    ProfileStore store;
    EXPECT_FALSE(LoadDockLayout(store, kDockLayoutName));
    ASSERT_TRUE(SaveDockLayout(store, "AAAA"));
    EXPECT_EQ(LoadDockLayout(store, kDockLayoutName), "AAAA");
}

}  // namespace
}  // namespace qb

// The index window's arithmetic: pane rectangles, preview flags, stored
// values and the press/drag gesture.
#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "index/index_layout.h"

namespace qb {
namespace {

LayoutInput Wide() {
    LayoutInput in;
    in.clientWidth = 800;
    in.clientHeight = 500;
    in.captionHeight = 22;
    in.rowHeight = 16;
    in.listBorder = 2;
    return in;
}

TEST(IndexLayout, PanesLeftToRightWithTheirGaps) {
    LayoutInput in = Wide();
    in.groupListShown = true;
    in.groupWidth = 90;
    in.listWidth = 120;
    in.divider = 110;
    in.statusWidths = {16, 16};
    in.dateCaptionWidth = 70;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_EQ(r.group.x, 4);
    EXPECT_EQ(r.index.x, 4 + 90 + 14);
    EXPECT_EQ(r.index.w, 120);
    EXPECT_EQ(r.toSelected.x, r.index.Right() + 5);
    EXPECT_EQ(r.toSelected.y, 22 + 2);
    EXPECT_EQ(r.toIndex.y, 22 + 51);
    EXPECT_EQ(r.toSelected.h, 44);
    EXPECT_EQ(r.selected.x, r.index.Right() + 32);
    EXPECT_EQ(r.titles.x, r.selected.Right() + 10);
    EXPECT_EQ(r.titles.Right(), 800 - 4);
    // The title column's captions: status, date, then the title filling the rest.
    ASSERT_EQ(r.statusCaptions.size(), 2u);
    EXPECT_EQ(r.statusCaptions[0].x, r.titles.x);
    EXPECT_EQ(r.dateCaption.x, r.titles.x + 32);
    EXPECT_EQ(r.titleCaption.x, r.dateCaption.Right());
    EXPECT_EQ(r.titleCaption.Right(), r.titles.Right());
    EXPECT_EQ(r.index.y, 22);
    EXPECT_EQ(r.indexCaption.h, 22);
}

TEST(IndexLayout, WithoutGroupsTheIndexListStartsAtEight) {
    LayoutResult r = ComputeIndexLayout(Wide());
    EXPECT_FALSE(r.group.visible);
    EXPECT_EQ(r.index.x, 8);
}

TEST(IndexLayout, NarrowWindowLimitsBothKeywordLists) {
    LayoutInput in = Wide();
    in.clientWidth = 200;
    in.listWidth = 500;
    in.divider = 500;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_EQ(r.index.w, 200 - 62);
    EXPECT_LE(r.selected.Right(), 200 - 9);
    EXPECT_GE(r.selected.w, 0);

    in.clientWidth = 260;
    in.listWidth = 100;
    r = ComputeIndexLayout(in);
    EXPECT_EQ(r.index.w, 100);
    EXPECT_EQ(r.selected.Right(), 260 - 9);
}

TEST(IndexLayout, HiddenKeywordListsLeaveOnlyTheTitleColumn) {
    LayoutInput in = Wide();
    in.keywordListsShown = false;
    in.groupListShown = true;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_FALSE(r.index.visible);
    EXPECT_FALSE(r.selected.visible);
    EXPECT_FALSE(r.group.visible);
    EXPECT_FALSE(r.toSelected.visible);
    EXPECT_EQ(r.titles.w, 800 - 8);
}

TEST(IndexLayout, PreviewTakesAFifthAtFirstAndShrinksForOneRow) {
    LayoutInput in = Wide();
    in.previewFlags = preview_flag::kContent;
    LayoutResult r = ComputeIndexLayout(in);
    int listHeight = 500 - kBottomMargin - 22;
    EXPECT_EQ(r.previewHeight, listHeight / 5);
    EXPECT_EQ(r.contentPreview.h, listHeight / 5);
    EXPECT_FALSE(r.keywordPreview.visible);
    EXPECT_EQ(r.contentPreview.w, r.titles.w);

    in.previewHeight = 10000;
    r = ComputeIndexLayout(in);
    EXPECT_GE(r.titles.h, 16 + 2 + 4);
    EXPECT_LE(r.contentPreview.Bottom(), 500 - kBottomMargin);
}

TEST(IndexLayout, BothPreviewsShareTheColumn) {
    LayoutInput in = Wide();
    in.previewFlags = 3;
    in.keywordPreviewWidth = 150;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_EQ(r.keywordPreview.w, 150);
    EXPECT_EQ(r.keywordPreview.Right(), r.titles.Right());
    EXPECT_EQ(r.contentPreview.w, r.titles.w - 150 - 2);
    // The keyword preview never takes more than four fifths.
    in.keywordPreviewWidth = 5000;
    r = ComputeIndexLayout(in);
    EXPECT_EQ(r.keywordPreview.w, r.titles.w * 4 / 5);
}

TEST(IndexLayout, SplittersAreTheGapsAndSetTheWidths) {
    LayoutInput in = Wide();
    in.groupListShown = true;
    in.previewFlags = 1;
    in.previewHeight = 100;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_EQ(HitSplitter(r, r.group.Right() + 3, 100), Splitter::Group);
    EXPECT_EQ(HitSplitter(r, r.index.Right() + 2, 100), Splitter::Index);
    EXPECT_EQ(HitSplitter(r, r.selected.Right() + 4, 100), Splitter::Selected);
    EXPECT_EQ(HitSplitter(r, r.titles.x + 20, r.titles.Bottom() + 2), Splitter::Preview);
    EXPECT_EQ(HitSplitter(r, r.titles.x + 20, r.titles.y + 5), Splitter::None);
    EXPECT_EQ(SplitterValue(r, Splitter::Index, r.index.x + 150, 0), 150);
    EXPECT_EQ(SplitterValue(r, Splitter::Selected, r.selected.x - 50, 0), 0);
    EXPECT_GT(SplitterValue(r, Splitter::Preview, 0, r.titles.Bottom() - 40), 100);
}

TEST(PreviewFlags, F8CyclesAndTogglesCombine) {
    EXPECT_EQ(CyclePreviewFlags(0), 1);
    EXPECT_EQ(CyclePreviewFlags(1), 2);
    EXPECT_EQ(CyclePreviewFlags(2), 3);
    EXPECT_EQ(CyclePreviewFlags(3), 0);
    EXPECT_EQ(TogglePreviewFlag(1, preview_flag::kKeywords), 3);
    EXPECT_EQ(TogglePreviewFlag(3, preview_flag::kContent), 2);
}

TEST(IndexDisplay, StoredValuesAndTheirRepairs) {
    ProfileStore store;
    store.LoadText("[Index Display]\nListWidth=0\nDivider=-40\nView=1\nPreviewOn=7\n");
    IndexDisplayValues v = LoadIndexDisplay(store);
    EXPECT_EQ(v.listWidth, 100);
    EXPECT_EQ(v.divider, 0);
    EXPECT_EQ(v.view, 1);
    EXPECT_EQ(v.previewOn, 3);
    EXPECT_EQ(v.previewHeight, -1);
    EXPECT_EQ(v.maximized, kNormalValue);
    EXPECT_EQ(v.top, kUnsetValue);
    EXPECT_EQ(KeywordListsWidth(v), 0 + 100 + 42);
}

TEST(IndexDisplay, GroupVisibleAndPlacementOnlyWhenEarned) {
    ProfileStore store;
    IndexDisplayValues v;
    v.groupVisible = 1;
    v.maximized = kMaximizedValue;
    SaveIndexDisplay(store, v, false, false);
    EXPECT_FALSE(store.HasKey(kIndexDisplaySection, "GroupVisible"));
    EXPECT_FALSE(store.HasKey(kIndexDisplaySection, "Maximized"));
    EXPECT_TRUE(store.HasKey(kIndexDisplaySection, "ListWidth"));
    SaveIndexDisplay(store, v, true, true);
    EXPECT_EQ(store.GetInt(kIndexDisplaySection, "GroupVisible", 0), 1);
    EXPECT_EQ(store.GetInt(kIndexDisplaySection, "Maximized", 0), kMaximizedValue);
    EXPECT_EQ(FramePlacementValue(true, true), kMaximizedValue);
    EXPECT_EQ(FramePlacementValue(false, true), kMinimizedValue);
    EXPECT_EQ(FramePlacementValue(false, false), kNormalValue);
}

TEST(DragGesture, TwoPixelsIsStillAClick) {
    DragGesture g;
    g.Press(100, 100);
    EXPECT_FALSE(g.Move(102, 98));
    EXPECT_FALSE(g.Dragging());
    EXPECT_EQ(g.Up(), DragGesture::Release::Click);
    g.Press(100, 100);
    EXPECT_TRUE(g.Move(100, 103));
    EXPECT_FALSE(g.Move(150, 150));  // started once
    EXPECT_EQ(g.Up(), DragGesture::Release::Drop);
    EXPECT_EQ(g.Up(), DragGesture::Release::None);
}

TEST(DragGesture, AcceptedTargetsPerSource) {
    using namespace drop_kind;
    EXPECT_TRUE(AcceptsDrop(DragSource::IndexList, kSelectedList));
    EXPECT_FALSE(AcceptsDrop(DragSource::IndexList, kIndexList));
    EXPECT_FALSE(AcceptsDrop(DragSource::IndexList, kGroupList));
    EXPECT_TRUE(AcceptsDrop(DragSource::SelectedList, kIndexList));
    EXPECT_TRUE(AcceptsDrop(DragSource::SelectedList, kGroupList));
    EXPECT_FALSE(AcceptsDrop(DragSource::SelectedList, kSelectedList));
    EXPECT_TRUE(AcceptsDrop(DragSource::KeywordPreview, kSelectedList));
    EXPECT_FALSE(AcceptsDrop(DragSource::KeywordPreview, kIndexList));
    EXPECT_FALSE(AcceptsDrop(DragSource::KeywordPreview, kTitleList));
    EXPECT_FALSE(AcceptsDrop(DragSource::GroupList, kSelectedList));
}

}  // namespace
}  // namespace qb

// The index window's arithmetic: pane rectangles, preview flags, stored
// values and the press/drag gesture.
#include <gtest/gtest.h>

#include <iterator>
#include <utility>

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

LayoutInput AllPanes() {
    LayoutInput in = Wide();
    in.groupListShown = true;
    in.groupWidth = 90;
    in.listWidth = 120;
    in.divider = 110;
    in.statusWidths = {16, 16};
    in.dateCaptionWidth = 70;
    return in;
}

TEST(IndexLayout, PanesSitLeftToRightUnderTheirCaptions) {
    LayoutResult r = ComputeIndexLayout(AllPanes());
    const PaneRect* row[] = {&r.group, &r.index, &r.toSelected, &r.selected, &r.titles};
    for (size_t i = 0; i + 1 < std::size(row); ++i) {
        EXPECT_TRUE(row[i]->visible) << i;
        EXPECT_LT(row[i]->Right(), row[i + 1]->x) << i;
    }
    // The stored widths are kept when there is room.
    EXPECT_EQ(r.group.w, 90);
    EXPECT_EQ(r.index.w, 120);
    EXPECT_EQ(r.selected.w, 110);
    // The title column ends as far from the right edge as the first pane
    // starts from the left one.
    EXPECT_EQ(800 - r.titles.Right(), r.group.x);
    // Each list under a caption of its own width.
    for (auto [caption, list] :
         {std::pair{&r.groupCaption, &r.group}, std::pair{&r.indexCaption, &r.index},
          std::pair{&r.selectedCaption, &r.selected}}) {
        EXPECT_EQ(caption->x, list->x);
        EXPECT_EQ(caption->w, list->w);
        EXPECT_EQ(caption->Bottom(), list->y);
    }
    // ">>" above "<<", both beside the Index list's top.
    EXPECT_EQ(r.toIndex.x, r.toSelected.x);
    EXPECT_LT(r.toSelected.Bottom(), r.toIndex.y);
    EXPECT_GE(r.toSelected.y, r.index.y);
}

TEST(IndexLayout, TitleColumnCaptionsTileItsWidth) {
    LayoutResult r = ComputeIndexLayout(AllPanes());
    ASSERT_EQ(r.statusCaptions.size(), 2u);
    EXPECT_EQ(r.statusCaptions[0].x, r.titles.x);
    EXPECT_EQ(r.statusCaptions[0].w, 16);
    EXPECT_EQ(r.statusCaptions[1].x, r.statusCaptions[0].Right());
    EXPECT_EQ(r.dateCaption.x, r.statusCaptions[1].Right());
    EXPECT_EQ(r.dateCaption.w, 70);
    EXPECT_EQ(r.titleCaption.x, r.dateCaption.Right());
    EXPECT_EQ(r.titleCaption.Right(), r.titles.Right());
    EXPECT_EQ(r.titleCaption.h, r.titles.y);

    // Without status marks and date the title caption covers the column.
    LayoutInput in = AllPanes();
    in.statusWidths.clear();
    in.dateCaptionWidth = 0;
    r = ComputeIndexLayout(in);
    EXPECT_FALSE(r.dateCaption.visible);
    EXPECT_EQ(r.titleCaption.x, r.titles.x);
    EXPECT_EQ(r.titleCaption.w, r.titles.w);
}

TEST(IndexLayout, TheTitleColumnTakesWhatTheKeywordListsLeave) {
    LayoutInput in = AllPanes();
    LayoutResult before = ComputeIndexLayout(in);
    in.clientWidth += 100;
    LayoutResult wider = ComputeIndexLayout(in);
    EXPECT_EQ(wider.titles.w, before.titles.w + 100);
    EXPECT_EQ(wider.index.x, before.index.x);
    EXPECT_EQ(wider.selected.w, before.selected.w);

    // The group list pushes the keyword lists right, out of the titles' share.
    in = AllPanes();
    in.groupListShown = false;
    LayoutResult noGroups = ComputeIndexLayout(in);
    EXPECT_FALSE(noGroups.group.visible);
    EXPECT_FALSE(noGroups.groupCaption.visible);
    EXPECT_LT(noGroups.index.x, before.index.x);
    EXPECT_GT(noGroups.index.x, before.group.x);
    EXPECT_EQ(noGroups.titles.w - before.titles.w, before.index.x - noGroups.index.x);
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
    EXPECT_GE(r.titles.w, 0);

    in.clientWidth = 260;
    in.listWidth = 100;
    r = ComputeIndexLayout(in);
    EXPECT_EQ(r.index.w, 100);
    EXPECT_EQ(r.selected.Right(), 260 - 9);
}

TEST(IndexLayout, HiddenKeywordListsLeaveOnlyTheTitleColumn) {
    LayoutInput in = AllPanes();
    in.keywordListsShown = false;
    LayoutResult r = ComputeIndexLayout(in);
    for (const PaneRect* p : {&r.group, &r.groupCaption, &r.index, &r.indexCaption, &r.selected,
                              &r.selectedCaption, &r.toSelected, &r.toIndex})
        EXPECT_FALSE(p->visible);
    EXPECT_EQ(r.titles.x, 800 - r.titles.Right());
    EXPECT_EQ(HitSplitter(r, r.titles.x - 2, 100), Splitter::None);
}

TEST(IndexLayout, PreviewTakesAFifthAtFirstAndLeavesTheTitlesARow) {
    LayoutInput in = Wide();
    in.previewFlags = preview_flag::kContent;
    LayoutResult r = ComputeIndexLayout(in);
    int listHeight = 500 - kBottomMargin - 22;
    EXPECT_EQ(r.previewHeight, listHeight / 5);
    EXPECT_EQ(r.contentPreview.h, listHeight / 5);
    EXPECT_FALSE(r.keywordPreview.visible);
    EXPECT_EQ(r.contentPreview.x, r.titles.x);
    EXPECT_EQ(r.contentPreview.w, r.titles.w);
    EXPECT_GT(r.contentPreview.y, r.titles.Bottom());

    // Too tall a preview still leaves one row (and the list's borders) to
    // the titles, and stays inside the window; the stored height is kept.
    in.previewHeight = 10000;
    r = ComputeIndexLayout(in);
    EXPECT_GE(r.titles.h, in.rowHeight + in.listBorder);
    EXPECT_LE(r.contentPreview.Bottom(), 500 - kBottomMargin);
    EXPECT_EQ(r.previewHeight, 10000);

    // Without a preview the titles reach the bottom margin.
    in.previewFlags = 0;
    r = ComputeIndexLayout(in);
    EXPECT_FALSE(r.contentPreview.visible);
    EXPECT_EQ(r.titles.Bottom(), 500 - kBottomMargin);
}

TEST(IndexLayout, BothPreviewsShareTheColumn) {
    LayoutInput in = Wide();
    in.previewFlags = 3;
    in.keywordPreviewWidth = 150;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_EQ(r.keywordPreview.w, 150);
    EXPECT_EQ(r.keywordPreview.Right(), r.titles.Right());
    EXPECT_EQ(r.contentPreview.x, r.titles.x);
    EXPECT_EQ(r.contentPreview.w, r.titles.w - 150 - 2);
    EXPECT_EQ(r.keywordPreview.y, r.contentPreview.y);
    // The keyword preview never takes more than four fifths.
    in.keywordPreviewWidth = 5000;
    r = ComputeIndexLayout(in);
    EXPECT_EQ(r.keywordPreview.w, r.titles.w * 4 / 5);
}

TEST(IndexLayout, DraggingASplitterSetsTheWidthTheLayoutThenUses) {
    LayoutInput in = AllPanes();
    in.previewFlags = preview_flag::kContent;
    in.previewHeight = 100;
    LayoutResult r = ComputeIndexLayout(in);
    EXPECT_EQ(HitSplitter(r, r.group.Right() + 3, 100), Splitter::Group);
    EXPECT_EQ(HitSplitter(r, r.index.Right() + 2, 100), Splitter::Index);
    EXPECT_EQ(HitSplitter(r, r.selected.Right() + 4, 100), Splitter::Selected);
    EXPECT_EQ(HitSplitter(r, r.titles.x + 20, r.titles.Bottom() + 2), Splitter::Preview);
    EXPECT_EQ(HitSplitter(r, r.titles.x + 20, r.titles.y + 5), Splitter::None);

    // The Index list dragged 30 pixels wider ends where it was released.
    int release = r.index.Right() + 30;
    in.listWidth = SplitterValue(r, Splitter::Index, release, 0);
    LayoutResult after = ComputeIndexLayout(in);
    EXPECT_EQ(after.index.Right(), release);
    EXPECT_EQ(after.titles.w, r.titles.w - 30);

    // The group list dragged narrower.
    release = r.group.Right() - 40;
    in.groupWidth = SplitterValue(r, Splitter::Group, release, 0);
    after = ComputeIndexLayout(in);
    EXPECT_EQ(after.group.Right(), release);

    // Released left of its list, a width is 0 (the Index list's 1).
    EXPECT_EQ(SplitterValue(r, Splitter::Selected, r.selected.x - 50, 0), 0);
    EXPECT_EQ(SplitterValue(r, Splitter::Group, 0, 0), 0);
    EXPECT_EQ(SplitterValue(r, Splitter::Index, 0, 0), 1);

    // The preview's handle dragged up makes the preview taller.
    in.previewHeight = SplitterValue(r, Splitter::Preview, 0, r.titles.Bottom() - 40);
    EXPECT_GT(in.previewHeight, 100);
    after = ComputeIndexLayout(in);
    EXPECT_GT(after.contentPreview.h, r.contentPreview.h);
    EXPECT_LT(after.titles.h, r.titles.h);
    EXPECT_EQ(after.contentPreview.Bottom(), r.contentPreview.Bottom());
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
    EXPECT_EQ(v.maximized, kMaximizedValue);  // never placed: fills the main window
    EXPECT_EQ(v.top, kUnsetValue);
    EXPECT_EQ(KeywordListsWidth(v), 0 + 100 + 42);
    EXPECT_TRUE(v.listWidthStored);
    EXPECT_TRUE(v.dividerStored);
    store.LoadText("[Index Display]\nGroupWidth=50\n");
    v = LoadIndexDisplay(store);
    EXPECT_FALSE(v.listWidthStored);
    EXPECT_FALSE(v.dividerStored);
}

TEST(IndexDisplay, FittedListWidthsStayWithinBounds) {
    EXPECT_EQ(FittedKeywordListWidth(60), 100);
    EXPECT_EQ(FittedKeywordListWidth(143), 143);
    EXPECT_EQ(FittedKeywordListWidth(5000), kMaxFittedListWidth);
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

// The index window's arithmetic, kept free of widgets so that it is tested
// without a display: the "Index Display" values, the pane rectangles of both
// layouts, the preview flags, the frame's width change when the keyword
// lists are switched, the frame placement value, and the press/drag gesture
// of the keyword lists.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/frame_layout.h"

namespace qb {

class ProfileStore;

constexpr const char* kIndexDisplaySection = "Index Display";

namespace preview_flag {
constexpr int32_t kContent = 1;
constexpr int32_t kKeywords = 2;
}  // namespace preview_flag

// The persisted view state of one index window and its frame.
struct IndexDisplayValues {
    int32_t divider = 100;     // width of the Selected list
    int32_t listWidth = 100;   // width of the Index list
    int32_t groupWidth = 100;  // width of the keyword group list
    int32_t groupVisible = 0;
    int32_t view = 0;  // 0 keyword lists shown, 1 hidden
    int32_t previewOn = 0;
    int32_t previewHeight = -1;  // -1: a fifth of the list height at the first layout
    int32_t indexMode = 0;
    // The frame's placement.
    int32_t top = kUnsetValue, left = kUnsetValue, width = kUnsetValue, height = kUnsetValue;
    int32_t maximized = kNormalValue;  // 1 normal, 3 maximized, 6 minimized
    // Whether ListWidth and Divider were stored; until then the lists are
    // fitted to their names (FittedKeywordListWidth).
    bool listWidthStored = false, dividerStored = false;
};

constexpr int32_t kMinimizedValue = 6;

IndexDisplayValues LoadIndexDisplay(const ProfileStore& store);
// Writes the view keys (GroupVisible only when `groupToggled`) and, when
// `placementRecorded`, the frame's placement.
void SaveIndexDisplay(ProfileStore& store, const IndexDisplayValues& v, bool groupToggled,
                      bool placementRecorded);

// The width of a keyword list never sized by hand: its widest row or
// caption `widest` (with the list's frame, scroll bar and padding), at
// least the default 100 and at most kMaxFittedListWidth, so that one long
// name does not take the titles' room. The layout's limits still apply.
constexpr int32_t kMaxFittedListWidth = 320;
int32_t FittedKeywordListWidth(int widest);

// What closing writes for the frame's state.
int32_t FramePlacementValue(bool frameOrActiveChildMaximized, bool minimized);

// F8: 0, 1, 2, 3, 0, ...
inline int32_t CyclePreviewFlags(int32_t flags) {
    return (flags & 3) == 3 ? 0 : (flags & 3) + 1;
}
inline int32_t TogglePreviewFlag(int32_t flags, int32_t flag) {
    return (flags ^ (flag & 3)) & 3;
}

// How much wider the frame gets when the keyword lists are shown again
// (and narrower when they are hidden), so that the title column keeps its
// size.
inline int32_t KeywordListsWidth(const IndexDisplayValues& v) {
    return v.divider + v.listWidth + 42;
}

struct LayoutInput {
    int clientWidth = 0, clientHeight = 0;
    int captionHeight = 0;  // text height of "Q" in the caption font + 9
    int rowHeight = 0;      // title list row
    int listBorder = 2;     // both borders of a list together
    bool keywordListsShown = true;
    bool groupListShown = false;
    int32_t groupWidth = 100, listWidth = 100, divider = 100;
    int32_t previewFlags = 0;
    int32_t previewHeight = -1;     // -1: decided now
    std::vector<int> statusWidths;  // the status captions switched on, in order
    int dateCaptionWidth = 0;       // 0 when the date is not shown
    int keywordPreviewWidth = 100;  // wanted width of the keyword preview beside the content
};

struct PaneRect {
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = false;
    int Right() const { return x + w; }
    int Bottom() const { return y + h; }
    bool Contains(int px, int py) const {
        return visible && px >= x && px < x + w && py >= y && py < y + h;
    }
};

// A gap between panes that can be dragged.
enum class Splitter { None, Group, Index, Selected, Preview };

struct LayoutResult {
    PaneRect groupCaption, group;
    PaneRect indexCaption, index;
    PaneRect toSelected, toIndex;  // the ">>" and "<<" buttons
    PaneRect selectedCaption, selected;
    std::vector<PaneRect> statusCaptions;
    PaneRect dateCaption, titleCaption;
    PaneRect titles;
    PaneRect contentPreview, keywordPreview;
    // The preview height this layout decided (the -1 replaced).
    int32_t previewHeight = -1;
    // The drag handles, for hit tests.
    PaneRect groupHandle, indexHandle, selectedHandle, previewHandle;
};

constexpr int kBottomMargin = 4;
constexpr int kPreviewGap = 6;  // between the title list and the preview

LayoutResult ComputeIndexLayout(const LayoutInput& in);
Splitter HitSplitter(const LayoutResult& r, int x, int y);

// The value a splitter drag released at `x` / `y` sets: the pane's width
// (never below 0, the Index list's 1) or the preview's height (at least 1).
int32_t SplitterValue(const LayoutResult& r, Splitter s, int x, int y);

// A press on a keyword list that may become a drag: more than 2 pixels in
// x or y from the press point starts it; a release before that is a click.
class DragGesture {
public:
    static constexpr int kThreshold = 2;

    void Press(int x, int y) {
        armed_ = true;
        dragging_ = false;
        x0_ = x;
        y0_ = y;
    }
    // True when this move started the drag.
    bool Move(int x, int y) {
        if (!armed_ || dragging_) return false;
        if (x - x0_ > kThreshold || x0_ - x > kThreshold || y - y0_ > kThreshold ||
            y0_ - y > kThreshold) {
            dragging_ = true;
            return true;
        }
        return false;
    }
    enum class Release { None, Click, Drop };
    Release Up() {
        Release r = !armed_ ? Release::None : dragging_ ? Release::Drop : Release::Click;
        armed_ = dragging_ = false;
        return r;
    }
    bool Armed() const { return armed_; }
    bool Dragging() const { return dragging_; }

private:
    bool armed_ = false, dragging_ = false;
    int x0_ = 0, y0_ = 0;
};

// Drop-target kinds of the keyword lists.
namespace drop_kind {
constexpr int kIndexList = 1;
constexpr int kSelectedList = 2;
constexpr int kTitleList = 3;
constexpr int kArticleWindow = 4;
constexpr int kSameParentKeywordList = 6;
constexpr int kKeywordPreview = 7;
constexpr int kGroupList = 8;
constexpr int kSameParentGroupList = 9;
}  // namespace drop_kind

enum class DragSource { IndexList, SelectedList, KeywordPreview, GroupList };
bool AcceptsDrop(DragSource source, int targetKind);

}  // namespace qb

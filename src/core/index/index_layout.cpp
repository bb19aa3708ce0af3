#include "index/index_layout.h"

#include <algorithm>

#include "app/profile_store.h"

namespace qb {

namespace {
constexpr const char* S = kIndexDisplaySection;

PaneRect MakePane(int x, int y, int w, int h) {
    return PaneRect{x, y, std::max(0, w), std::max(0, h), true};
}
}  // namespace

IndexDisplayValues LoadIndexDisplay(const ProfileStore& store) {
    IndexDisplayValues v;
    v.divider = store.GetInt(S, "Divider", v.divider);
    v.listWidth = store.GetInt(S, "ListWidth", v.listWidth);
    if (v.listWidth <= 0) v.listWidth = 100;
    v.groupWidth = store.GetInt(S, "GroupWidth", v.groupWidth);
    v.groupVisible = store.GetInt(S, "GroupVisible", v.groupVisible) != 0 ? 1 : 0;
    v.view = store.GetInt(S, "View", v.view) == 1 ? 1 : 0;
    v.previewOn = store.GetInt(S, "PreviewOn", v.previewOn) & 3;
    v.previewHeight = store.GetInt(S, "PreviewHeight", v.previewHeight);
    v.indexMode = store.GetInt(S, "IndexMode", v.indexMode);
    v.top = store.GetInt(S, "Top", kUnsetValue);
    v.left = store.GetInt(S, "Left", kUnsetValue);
    v.width = store.GetInt(S, "Width", kUnsetValue);
    v.height = store.GetInt(S, "Height", kUnsetValue);
    v.maximized = IndexFrameStateAtOpen(store);
    v.listWidthStored = store.HasKey(S, "ListWidth");
    v.dividerStored = store.HasKey(S, "Divider");
    // Widths that a hand-edited file made negative would lay the panes out
    // over each other.
    v.divider = std::max(0, v.divider);
    v.groupWidth = std::max(0, v.groupWidth);
    return v;
}

void SaveIndexDisplay(ProfileStore& store, const IndexDisplayValues& v, bool groupToggled,
                      bool placementRecorded) {
    store.WriteInt(S, "Divider", v.divider);
    store.WriteInt(S, "ListWidth", v.listWidth);
    store.WriteInt(S, "GroupWidth", v.groupWidth);
    if (groupToggled) store.WriteInt(S, "GroupVisible", v.groupVisible);
    store.WriteInt(S, "View", v.view);
    store.WriteInt(S, "PreviewOn", v.previewOn);
    store.WriteInt(S, "PreviewHeight", v.previewHeight);
    store.WriteInt(S, "IndexMode", v.indexMode);
    if (placementRecorded) {
        store.WriteInt(S, "Top", v.top);
        store.WriteInt(S, "Left", v.left);
        store.WriteInt(S, "Width", v.width);
        store.WriteInt(S, "Height", v.height);
        store.WriteInt(S, "Maximized", v.maximized);
    }
}

int32_t FittedKeywordListWidth(int widest) {
    return std::clamp<int32_t>(widest, IndexDisplayValues{}.listWidth, kMaxFittedListWidth);
}

int32_t FramePlacementValue(bool maximized, bool minimized) {
    if (maximized) return kMaximizedValue;
    if (minimized) return kMinimizedValue;
    return kNormalValue;
}

LayoutResult ComputeIndexLayout(const LayoutInput& in) {
    LayoutResult r;
    const int W = in.clientWidth, H = in.clientHeight, cap = in.captionHeight;
    const int listTop = cap;
    const int listHeight = std::max(0, H - kBottomMargin - listTop);

    int titleX = 4;
    if (in.keywordListsShown) {
        int x = 8;
        if (in.groupListShown) {
            r.groupCaption = MakePane(4, 0, in.groupWidth, cap);
            r.group = MakePane(4, listTop, in.groupWidth, listHeight);
            r.groupHandle = MakePane(r.group.Right(), listTop, 14, listHeight);
            x = r.group.Right() + 14;
        }
        int indexW = std::min<int>(in.listWidth, W - 62);
        r.indexCaption = MakePane(x, 0, indexW, cap);
        r.index = MakePane(x, listTop, indexW, listHeight);
        r.indexHandle = MakePane(r.index.Right(), listTop, 5, listHeight);
        int buttonX = r.index.Right() + 5;
        r.toSelected = MakePane(buttonX, cap + 2, 22, 44);
        r.toIndex = MakePane(buttonX, cap + 51, 22, 44);
        int selX = r.index.Right() + 32;
        int selW = std::min<int>(in.divider, W - 9 - selX);
        r.selectedCaption = MakePane(selX, 0, selW, cap);
        r.selected = MakePane(selX, listTop, selW, listHeight);
        r.selectedHandle = MakePane(r.selected.Right(), listTop, 10, listHeight);
        titleX = r.selected.Right() + 10;
    }

    const int colW = std::max(0, W - 4 - titleX);
    int x = titleX;
    for (int w : in.statusWidths) {
        r.statusCaptions.push_back(MakePane(x, 0, w, cap));
        x += w;
    }
    if (in.dateCaptionWidth > 0) {
        r.dateCaption = MakePane(x, 0, in.dateCaptionWidth, cap);
        x += in.dateCaptionWidth;
    }
    r.titleCaption = MakePane(x, 0, titleX + colW - x, cap);

    int titlesH = listHeight;
    if (in.previewFlags & 3) {
        int wanted = in.previewHeight < 0 ? listHeight / 5 : in.previewHeight;
        r.previewHeight = wanted;
        int minTitles = in.rowHeight + in.listBorder + 4;
        int preview = std::min(wanted, std::max(0, listHeight - minTitles - kPreviewGap));
        titlesH = listHeight - preview - kPreviewGap;
        int py = listTop + titlesH + kPreviewGap;
        r.previewHandle = MakePane(titleX, listTop + titlesH, colW, kPreviewGap);
        bool content = in.previewFlags & preview_flag::kContent;
        bool keywords = in.previewFlags & preview_flag::kKeywords;
        if (content && keywords) {
            int kw = std::min(in.keywordPreviewWidth, colW * 4 / 5);
            r.keywordPreview = MakePane(titleX + colW - kw, py, kw, preview);
            r.contentPreview = MakePane(titleX, py, colW - kw - 2, preview);
        } else if (content) {
            r.contentPreview = MakePane(titleX, py, colW, preview);
        } else {
            r.keywordPreview = MakePane(titleX, py, colW, preview);
        }
    } else {
        r.previewHeight = in.previewHeight;
    }
    r.titles = MakePane(titleX, listTop, colW, titlesH);
    return r;
}

Splitter HitSplitter(const LayoutResult& r, int x, int y) {
    if (r.groupHandle.Contains(x, y)) return Splitter::Group;
    if (r.indexHandle.Contains(x, y)) return Splitter::Index;
    if (r.selectedHandle.Contains(x, y)) return Splitter::Selected;
    if (r.previewHandle.Contains(x, y)) return Splitter::Preview;
    return Splitter::None;
}

int32_t SplitterValue(const LayoutResult& r, Splitter s, int x, int y) {
    switch (s) {
        case Splitter::Group:
            return std::max(0, x - r.group.x);
        case Splitter::Index:
            return std::max(1, x - r.index.x);
        case Splitter::Selected:
            return std::max(0, x - r.selected.x);
        case Splitter::Preview: {
            int bottom =
                r.titles.Bottom() + kPreviewGap + std::max(r.contentPreview.h, r.keywordPreview.h);
            return std::max(1, bottom - y - kPreviewGap / 2);
        }
        case Splitter::None:
            break;
    }
    return 0;
}

bool AcceptsDrop(DragSource source, int kind) {
    using namespace drop_kind;
    switch (source) {
        case DragSource::IndexList:
            return kind == kSelectedList || kind == kTitleList || kind == kArticleWindow;
        case DragSource::SelectedList:
            return kind == kIndexList || kind == kTitleList || kind == kArticleWindow ||
                   kind == kGroupList;
        case DragSource::KeywordPreview:
            return kind == kSelectedList || kind == kArticleWindow || kind == kGroupList;
        case DragSource::GroupList:
            return false;
    }
    return false;
}

}  // namespace qb

#include "app/frame_layout.h"

#include <algorithm>

#include "app/profile_store.h"
#include "resources/strings.h"

namespace qb {

namespace {
constexpr const char* kDisplay = "Quillbox Display";
constexpr const char* kBars = "Quillbox";

const BarInfo kBarInfo[kBarCount] = {
    {"Standard", 127, "Toolbar", true, cmd::kViewStandardToolbar},
    {"Format", 167, "FormatToolbar", true, 0},
    {"Browse", 253, "BrowseBar", true, cmd::kViewBrowseToolbar},
    {"Tools", 377, "ToolsBar", false, cmd::kToggleToolsBar},
};

// LINK and READ come from the string table; the keyboard indicators are fixed.
const char* const kPaneTexts[kPaneCount] = {"", nullptr, nullptr, "OVR", "CAP", "NUM"};
}  // namespace

const BarInfo& BarDescription(Bar bar) {
    return kBarInfo[static_cast<int>(bar)];
}

FrameValues LoadFrameValues(const ProfileStore& store) {
    FrameValues v;
    v.top = store.GetInt(kDisplay, "Top", kUnsetValue);
    v.left = store.GetInt(kDisplay, "Left", kUnsetValue);
    v.width = store.GetInt(kDisplay, "Width", kDefaultMainWidth);
    v.height = store.GetInt(kDisplay, "Height", kDefaultMainHeight);
    v.maximized = store.GetInt(kDisplay, "Maximized", kNormalValue);
    v.artWidth = store.GetInt(kDisplay, "ArtWidth", kUnsetValue);
    v.artHeight = store.GetInt(kDisplay, "ArtHeight", kUnsetValue);
    v.divider = std::max<int32_t>(0, store.GetInt(kDisplay, "Divider", 100));
    for (int i = 0; i < kBarCount; ++i)
        v.barVisible[i] =
            store.GetInt(kBars, kBarInfo[i].visibilityKey, kBarInfo[i].defaultVisible) != 0;
    v.statusBarVisible = store.GetInt(kBars, "StatusBar", 1) != 0;
    return v;
}

bool SaveFrameValues(ProfileStore& store, const FrameValues& v) {
    store.WriteInt(kBars, "Toolbar", v.barVisible[0] ? 1 : 0);
    store.WriteInt(kBars, "FormatToolbar", v.barVisible[1] ? 1 : 0);
    store.WriteInt(kBars, "StatusBar", v.statusBarVisible ? 1 : 0);
    store.WriteInt(kBars, "BrowseBar", v.barVisible[2] ? 1 : 0);
    store.WriteInt(kBars, "ToolsBar", v.barVisible[3] ? 1 : 0);
    store.WriteInt(kDisplay, "Top", v.top);
    store.WriteInt(kDisplay, "Left", v.left);
    store.WriteInt(kDisplay, "Width", v.width);
    store.WriteInt(kDisplay, "Height", v.height);
    store.WriteInt(kDisplay, "Maximized",
                   v.maximized == kMaximizedValue ? kMaximizedValue : kNormalValue);
    store.WriteInt(kDisplay, "ArtHeight", v.artHeight);
    store.WriteInt(kDisplay, "ArtWidth", v.artWidth);
    store.WriteInt(kDisplay, "Divider", std::max<int32_t>(0, v.divider));
    return store.Flush();
}

namespace {
Rect Centred(const Rect& desktop, int width, int height) {
    Rect r;
    r.width = std::min(width, desktop.width);
    r.height = std::min(height, desktop.height);
    r.left = desktop.left + (desktop.width - r.width) / 2;
    r.top = desktop.top + (desktop.height - r.height) / 2;
    return r;
}
}  // namespace

MainPlacement PlaceMainWindow(const FrameValues& v, const Rect& desktop, bool storeReadable) {
    MainPlacement p;
    Rect centred = Centred(desktop, kDefaultMainWidth, kDefaultMainHeight);
    if (!storeReadable) {
        p.rect = centred;
        return p;
    }
    if (v.top == kUnsetValue || v.left == kUnsetValue) {
        // The first start: room for the index window's lists and titles.
        p.rect = Centred(
            desktop, std::max(kDefaultMainWidth, static_cast<int>(int64_t{desktop.width} * 2 / 3)),
            std::max(kDefaultMainHeight, static_cast<int>(int64_t{desktop.height} * 2 / 3)));
        p.maximized = v.maximized == kMaximizedValue;
        return p;
    }
    Rect r{v.left, v.top, v.width, v.height};
    // A size of zero or less would leave no window to see.
    if (r.width <= 0) r.width = centred.width;
    if (r.height <= 0) r.height = centred.height;
    int64_t right = int64_t{r.left} + r.width, bottom = int64_t{r.top} + r.height;
    if (r.top > desktop.Bottom() || r.left > desktop.Right() || right < desktop.left ||
        bottom < desktop.top) {
        r.left = desktop.left + desktop.width / 2;
        r.top = desktop.top + desktop.height / 2;
    }
    p.rect = r;
    p.maximized = v.maximized == kMaximizedValue;
    return p;
}

void RecordMainWindowOnClose(FrameValues& v, const Rect& normalRect, bool maximized) {
    v.left = normalRect.left;
    v.top = normalRect.top;
    v.width = normalRect.width;
    v.height = normalRect.height;
    v.maximized = maximized ? kMaximizedValue : kNormalValue;
}

Rect ArticleCascade::Next(FrameValues& v, int clientWidth, int clientHeight, int captionHeight) {
    if (v.artWidth == kUnsetValue || v.artHeight == kUnsetValue) {
        v.artWidth = static_cast<int32_t>(int64_t{clientWidth} * 85 / 100);
        v.artHeight = static_cast<int32_t>(int64_t{clientHeight} * 75 / 100);
    }
    if (x_ < 0) x_ = 0;
    if (y_ < 0) y_ = 0;
    if (int64_t{x_} + v.artWidth > clientWidth) x_ = 0;
    if (int64_t{y_} + v.artHeight > clientHeight) y_ = 0;
    Rect r{x_, y_, v.artWidth, v.artHeight};
    x_ += captionHeight;
    y_ += captionHeight;
    return r;
}

void RememberArticleSize(FrameValues& v, int width, int height) {
    v.artWidth = width;
    v.artHeight = height;
}

int32_t KeywordPaneWidthForBoundary(int clientWidth, int boundaryX) {
    int64_t w = int64_t{clientWidth} - boundaryX;
    return static_cast<int32_t>(std::clamp<int64_t>(w, 0, INT32_MAX));
}

void SetDivider(FrameValues& v, int32_t width) {
    v.divider = std::max<int32_t>(0, width);
}

int MinimizedFrameShift(int iconBottom, int clientBottom) {
    return iconBottom > clientBottom ? clientBottom - iconBottom : 0;
}

const char* PaneText(Pane pane) {
    switch (pane) {
        case Pane::Link:
            return ResourceString(msg::kPaneLink);
        case Pane::Read:
            return ResourceString(msg::kPaneRead);
        default:
            return kPaneTexts[static_cast<int>(pane)];
    }
}

PaneState StatusPanes(bool documentOpen, int32_t activeLinks) {
    return PaneState{documentOpen, documentOpen && activeLinks < 2};
}

int32_t IndexFrameStateAtOpen(const ProfileStore& store) {
    constexpr const char* kIndex = "Index Display";
    bool placed = store.HasKey(kIndex, "Top") && store.HasKey(kIndex, "Left");
    return store.GetInt(kIndex, "Maximized", placed ? kNormalValue : kMaximizedValue);
}

std::optional<std::string> LoadDockLayout(const ProfileStore& store, const char* name) {
    if (!store.HasKey(name, "Bars")) return std::nullopt;
    return store.GetString(name, "State", "");
}

bool SaveDockLayout(ProfileStore& store, const std::string& state) {
    store.WriteInt(kDockLayoutName, "Bars", kBarCount);
    store.WriteString(kDockLayoutName, "State", state);
    return store.Flush();
}

}  // namespace qb

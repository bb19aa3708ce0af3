// The main frame's arithmetic and persisted values: placement at start and
// on close, the bars and their keys, the status-bar panes, new article
// window rectangles and the shared keyword-pane width.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "resources/command_ids.h"

namespace qb {

class ProfileStore;

constexpr int32_t kUnsetValue = INT32_MIN;  // 0x80000000: "never stored"
constexpr int kDefaultMainWidth = 720;
constexpr int kDefaultMainHeight = 560;
constexpr int32_t kMaximizedValue = 3;
constexpr int32_t kNormalValue = 1;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const Rect&) const = default;
};

enum class Bar { Standard = 0, Format = 1, Browse = 2, Tools = 3 };
constexpr int kBarCount = 4;

struct BarInfo {
    const char* title;
    int resourceId;
    const char* visibilityKey;  // section "Quillbox"
    bool defaultVisible;
    int toggleCommand;  // 0: none (the format bar never shows)
};
const BarInfo& BarDescription(Bar bar);

// Values of "Quillbox Display" and the bar keys of "Quillbox".
struct FrameValues {
    int32_t top = kUnsetValue, left = kUnsetValue;
    int32_t width = kDefaultMainWidth, height = kDefaultMainHeight;
    int32_t maximized = kNormalValue;
    int32_t artWidth = kUnsetValue, artHeight = kUnsetValue;
    int32_t divider = 100;
    std::array<bool, kBarCount> barVisible{true, true, true, false};
    bool statusBarVisible = true;
};

FrameValues LoadFrameValues(const ProfileStore& store);
// Writes the bars, the normal rectangle, Maximized, ArtHeight, ArtWidth and
// Divider, and saves; false when the save failed (reported by the store).
bool SaveFrameValues(ProfileStore& store, const FrameValues& v);

struct MainPlacement {
    Rect rect;
    bool maximized = false;
};
// Placement at start on the desktop (the available screen area). Without
// a stored position (the first start) the window is centred at two thirds
// of the desktop, at least the default size. `storeReadable` false: centred
// at the default size, shown normally.
MainPlacement PlaceMainWindow(const FrameValues& v, const Rect& desktop, bool storeReadable = true);
// What closing records: the normal rectangle and the maximized state.
void RecordMainWindowOnClose(FrameValues& v, const Rect& normalRect, bool maximized);

// Whether the format bar is shown: never; its saved visibility is kept.
inline bool BarShown(const FrameValues& v, Bar bar) {
    return bar != Bar::Format && v.barVisible[static_cast<int>(bar)];
}

// New article windows: size 85 % x 75 % of the MDI client until one has
// been sized by hand; each new window one caption height further down.
class ArticleCascade {
public:
    Rect Next(FrameValues& v, int clientWidth, int clientHeight, int captionHeight);
    int X() const { return x_; }
    int Y() const { return y_; }

private:
    int x_ = 0, y_ = 0;
};

// An article frame sized to a normal state remembers its outer size.
void RememberArticleSize(FrameValues& v, int width, int height);

// The keyword pane's width for a boundary dragged to `boundaryX` in a
// window `clientWidth` wide: never negative.
int32_t KeywordPaneWidthForBoundary(int clientWidth, int boundaryX);
void SetDivider(FrameValues& v, int32_t width);

// How far (negative: up) a minimized article frame moves to stay inside
// the MDI client.
int MinimizedFrameShift(int iconBottom, int clientBottom);

// Status bar panes in order.
enum class Pane { Message = 0, Link, Read, Overtype, CapsLock, NumLock };
constexpr int kPaneCount = 6;
const char* PaneText(Pane pane);  // "" for the message pane
constexpr int kLinkPaneIconWidth = 26;
struct PaneState {
    bool readLit = false;
    bool linkLit = false;
};
// READ while a file is open; LINK while one is open and links are active.
PaneState StatusPanes(bool documentOpen, int32_t activeLinks);

// The docking layout is kept under this name; without it the older
// "Toolbars\Toolbars" layout is used and the browse and tools bars are
// docked to the right of the standard bar.
constexpr const char* kDockLayoutName = "Toolbars\\ReaderToolbars3";
constexpr const char* kOldDockLayoutName = "Toolbars\\Toolbars";
std::optional<std::string> LoadDockLayout(const ProfileStore& store, const char* name);
bool SaveDockLayout(ProfileStore& store, const std::string& state);

// The state the index frame opens in ("Index Display" Maximized: 1
// normal, 3 maximized, 6 minimized). Without a stored placement, as at the
// first start, it fills the main window.
int32_t IndexFrameStateAtOpen(const ProfileStore& store);

// OnTop 1 keeps the main window above the others; any other value does not.
inline bool AlwaysOnTop(int32_t onTop) {
    return onTop == 1;
}

}  // namespace qb

// Searching one article window: its title field and its content, in that
// order (or only one of them), from where the search began around to it
// again, wrapping from the content back to the title. A pure function over
// the two texts as the window holds them (UTF-16, one CR per paragraph).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "article/find_options.h"

namespace qb {

enum class FindField { kNone, kTitle, kContent };

struct FieldPosition {
    FindField field = FindField::kNone;
    int32_t pos = 0;
    bool operator==(const FieldPosition&) const = default;
};

struct WindowMatch {
    FindField field = FindField::kNone;
    int32_t start = 0, end = 0;  // the text to select
    bool operator==(const WindowMatch&) const = default;
};

// What is searched, and how.
struct WindowTexts {
    std::u16string_view title, content;
    FindWhere where = FindWhere::kTitleAndText;
    std::u16string_view pattern;
    uint32_t flags = kFindDown;
};

// Where a search of the window begins: in the focused field at its
// selection (after it when `afterSelection`), or at the start of the first
// field searched when the focus is in neither field or in one not searched.
FieldPosition SearchStart(const WindowTexts& w, FindField focus, int32_t selStart, int32_t selEnd,
                          bool afterSelection);

// How far a search has come: the walk from the origin round the fields
// is the origin's field from the origin on (leg 0), each other field whole
// (legs 1 .. n-1) and the origin's field again before the origin (leg n);
// `pos` is where the next match may start within leg `leg`.
struct WindowCursor {
    int32_t leg = 0;
    int32_t pos = 0;
};

struct WindowFind {
    WindowMatch match;
    WindowCursor next;  // where the search goes on after this match
};

// The next match from `cursor` along the walk from `origin`; nothing once
// the walk is back at the origin: the article has been searched.
std::optional<WindowFind> FindInWindow(const WindowTexts& w, FieldPosition origin,
                                       WindowCursor cursor);

// The search of one window across presses of Find.
class WindowSearchState {
public:
    // Begins a search at `start` (see SearchStart).
    void Begin(FieldPosition start) {
        origin_ = start;
        cursor_ = {0, start.pos};
        active_ = true;
    }
    bool Active() const { return active_; }
    void Reset() { active_ = false; }
    // The next match; nothing when the window has been searched, which
    // ends the search (Active() is then false).
    std::optional<WindowMatch> Next(const WindowTexts& w) {
        if (!active_) return std::nullopt;
        std::optional<WindowFind> f = FindInWindow(w, origin_, cursor_);
        if (!f) {
            active_ = false;
            return std::nullopt;
        }
        cursor_ = f->next;
        return f->match;
    }
    const FieldPosition& Origin() const { return origin_; }

private:
    FieldPosition origin_;
    WindowCursor cursor_;
    bool active_ = false;
};

}  // namespace qb

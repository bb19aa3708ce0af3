// The state the RTF reader keeps per group: where text goes, and the
// character and paragraph properties in force. Internal to the reader.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "richtext/formats.h"

namespace qb::rtf {

constexpr int32_t kMaxTwips = 31680;  // 22 inches
constexpr int kMaxListLevels = 9;

// Where the text and the words of a group go.
enum class Dest : uint8_t {
    kText,
    kFontTable,
    kColourTable,
    kPict,
    kPn,
    kPnTextBefore,
    kPnTextAfter,
    kListTable,
    kList,
    kListLevel,
    kOverrideTable,
    kOverride,
    kUprAnsi,  // the ANSI half of \upr, read as text until \ud says otherwise
};

struct CharState {
    int32_t font = -1;  // -1: the default font
    int32_t fs = 24;    // half-points
    int32_t cf = 0;
    int32_t bg = 0;
    uint32_t effects = 0;
    UnderlineType ul = UnderlineType::kNone;
    int32_t up = 0;  // half-points, negative lowers
    bool operator==(const CharState&) const = default;
};

struct ParaState {
    int32_t li = 0, ri = 0, fi = 0, sb = 0, sa = 0, sl = 0;
    bool slmult = false;
    Align align = Align::kLeft;
    Numbering num = Numbering::kNone;
    bool pnSeen = false;
    uint16_t numStart = 1;
    int32_t numTab = 0;
    char16_t textBefore = 0, textAfter = 0;
    int32_t ls = 0, ilvl = 0;
    uint8_t ntabs = 0;
    TabKind pendingKind = TabKind::kLeft;
    TabLeader pendingLeader = TabLeader::kNone;
    std::array<TabStop, kMaxTabStops> tabs{};  // past ntabs always the default
    bool operator==(const ParaState& o) const {
        // Compared at every paragraph end: only the tab stops in use.
        return li == o.li && ri == o.ri && fi == o.fi && sb == o.sb && sa == o.sa && sl == o.sl &&
               slmult == o.slmult && align == o.align && num == o.num && pnSeen == o.pnSeen &&
               numStart == o.numStart && numTab == o.numTab && textBefore == o.textBefore &&
               textAfter == o.textAfter && ls == o.ls && ilvl == o.ilvl && ntabs == o.ntabs &&
               pendingKind == o.pendingKind && pendingLeader == o.pendingLeader &&
               std::equal(tabs.begin(), tabs.begin() + ntabs, o.tabs.begin());
    }
};

struct State {
    Dest dest = Dest::kText;
    uint8_t uc = 1;  // fallback characters after \u
    CharState ch;
    ParaState pa;
};

// The parameter of a control word.
struct Param {
    bool given = false;  // digits followed the word
    int64_t raw = 0;     // as read: 0 when not given, at most ten digits
    int32_t value = 0;   // raw clamped to int32_t
    bool on = true;      // a toggle: no parameter or one other than 0
};

inline int32_t Clamp(int64_t v, int32_t lo, int32_t hi) {
    return int32_t(std::clamp<int64_t>(v, lo, hi));
}

}  // namespace qb::rtf

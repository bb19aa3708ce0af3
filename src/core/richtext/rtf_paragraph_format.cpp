#include "richtext/rtf_paragraph_format.h"

#include <algorithm>
#include <cstdlib>

namespace qb::rtf {

namespace {

// \tx or \tb: a stop at `position` of the kind and leader given before it.
// Stops stay sorted; one at a taken position replaces the old one.
void AddTabStop(ParaState& pa, int32_t position, bool bar) {
    TabStop t{position, bar ? TabKind::kBar : pa.pendingKind, pa.pendingLeader};
    pa.pendingKind = TabKind::kLeft;
    pa.pendingLeader = TabLeader::kNone;
    auto begin = pa.tabs.begin(), end = begin + pa.ntabs;
    auto at = std::lower_bound(begin, end, t.position,
                               [](const TabStop& a, int32_t v) { return a.position < v; });
    if (at != end && at->position == t.position) {
        *at = t;
    } else if (pa.ntabs < kMaxTabStops) {
        std::move_backward(at, end, end + 1);
        *at = t;
        ++pa.ntabs;
    }
}

}  // namespace

void ApplyParagraphWord(ParaState& pa, Word w, const Param& param) {
    const int32_t p = param.value;
    const int32_t twips = std::clamp(p, -kMaxTwips, kMaxTwips);
    switch (w) {
        case Word::kPard:
            pa = ParaState();
            break;
        case Word::kQl:
            pa.align = Align::kLeft;
            break;
        case Word::kQr:
            pa.align = Align::kRight;
            break;
        case Word::kQc:
            pa.align = Align::kCenter;
            break;
        case Word::kQj:
            pa.align = Align::kJustify;
            break;
        case Word::kLi:
            pa.li = twips;
            break;
        case Word::kRi:
            pa.ri = twips;
            break;
        case Word::kFi:
            pa.fi = twips;
            break;
        case Word::kSb:
            pa.sb = std::clamp(p, 0, kMaxTwips);
            break;
        case Word::kSa:
            pa.sa = std::clamp(p, 0, kMaxTwips);
            break;
        case Word::kSl:
            pa.sl = twips;
            break;
        case Word::kSlmult:
            pa.slmult = param.on;
            break;
        case Word::kTx:
        case Word::kTb:
            AddTabStop(pa, std::clamp(p, 0, kMaxTwips), w == Word::kTb);
            break;
        case Word::kTqr:
            pa.pendingKind = TabKind::kRight;
            break;
        case Word::kTqc:
            pa.pendingKind = TabKind::kCenter;
            break;
        case Word::kTqdec:
            pa.pendingKind = TabKind::kDecimal;
            break;
        case Word::kTldot:
            pa.pendingLeader = TabLeader::kDots;
            break;
        case Word::kTlhyph:
            pa.pendingLeader = TabLeader::kDashes;
            break;
        case Word::kTlul:
            pa.pendingLeader = TabLeader::kUnderline;
            break;
        case Word::kTlth:
            pa.pendingLeader = TabLeader::kThick;
            break;
        case Word::kTleq:
            pa.pendingLeader = TabLeader::kEquals;
            break;
        default:
            break;  // \intbl: tables are read as text
    }
}

ParaFormat MakeParaFormat(const ParaState& pa, const ListTable& lists) {
    ParaFormat f;
    f.alignment = pa.align;
    f.startIndent = Clamp(int64_t(pa.li) + pa.fi, -kMaxTwips, kMaxTwips);
    f.offset = -pa.fi;
    f.rightIndent = pa.ri;
    f.spaceBefore = pa.sb;
    f.spaceAfter = pa.sa;
    if (pa.sl != 0) {
        if (pa.slmult) {
            // Multiple: \sl is 240 a line, the rule's value 20. Less than a
            // twentieth of a line has no value and stays single spacing, as
            // it reads back.
            if (std::abs(pa.sl) >= 12) {
                f.lineSpacingRule = 5;
                f.lineSpacing = std::abs(pa.sl) / 12;
            }
        } else {
            f.lineSpacingRule = pa.sl > 0 ? 3 : 4;  // at least, or exactly
            f.lineSpacing = std::abs(pa.sl);
        }
    }
    f.tabs.assign(pa.tabs.begin(), pa.tabs.begin() + pa.ntabs);
    ApplyNumbering(pa, lists, f);
    return f;
}

}  // namespace qb::rtf

#include "richtext/rtf_lists.h"

#include <algorithm>

#include "richtext/code_page.h"

namespace qb::rtf {

bool ListTable::ListWord(State& s, Word w, int32_t param) {
    Dest d = s.dest;
    switch (w) {
        case Word::kList:
            if (d == Dest::kListTable) {
                lists_.emplace_back();
                s.dest = Dest::kList;
            }
            break;
        case Word::kListId:
            if (d == Dest::kList && !lists_.empty()) lists_.back().id = param;
            break;
        case Word::kListLevel:
            if (d == Dest::kList && !lists_.empty()) {
                if (lists_.back().levels.size() >= kMaxListLevels) return true;
                lists_.back().levels.emplace_back();
                s.dest = Dest::kListLevel;
            }
            break;
        case Word::kLevelNfc:
            if (d == Dest::kListLevel) lists_.back().levels.back().nfc = param;
            break;
        case Word::kLevelStartAt:
            if (d == Dest::kListLevel) lists_.back().levels.back().startAt = param;
            break;
        default:
            break;  // paragraph and font words of the list levels
    }
    return false;
}

void ListTable::OverrideWord(State& s, Word w, int32_t param) {
    Dest d = s.dest;
    switch (w) {
        case Word::kOverride:
            if (d == Dest::kOverrideTable) {
                s.dest = Dest::kOverride;
                overrideId_ = overrideLs_ = 0;
            }
            break;
        case Word::kListId:
            // \listid and \ls come in either order.
            if (d == Dest::kOverride) overrideId_ = param;
            if (d == Dest::kOverride && overrideLs_) overrides_[overrideLs_] = param;
            break;
        case Word::kLs:
            if (d == Dest::kOverride) overrideLs_ = param, overrides_[param] = overrideId_;
            break;
        default:
            break;
    }
}

void ListTable::Number(int32_t ls, int32_t ilvl, ParaFormat& f) const {
    f.numbering = Numbering::kBullet;
    auto ov = overrides_.find(ls);
    int32_t listId = ov != overrides_.end() ? ov->second : -1;
    for (const List& l : lists_) {
        if (l.id != listId || l.levels.empty()) continue;
        const Level& lv = l.levels[std::size_t(std::clamp(ilvl, 0, int(l.levels.size()) - 1))];
        switch (lv.nfc) {
            case 23:
                f.numbering = Numbering::kBullet;
                break;
            case 255:
                f.numbering = Numbering::kNone;
                break;
            case 1:
                f.numbering = Numbering::kUpperRoman;
                break;
            case 2:
                f.numbering = Numbering::kLowerRoman;
                break;
            case 3:
                f.numbering = Numbering::kUpperLetter;
                break;
            case 4:
                f.numbering = Numbering::kLowerLetter;
                break;
            default:
                f.numbering = Numbering::kArabic;
                break;
        }
        f.numberingStart = uint16_t(std::clamp(lv.startAt, 0, 32767));
        break;
    }
    if (f.numbering != Numbering::kBullet && f.numbering != Numbering::kNone)
        f.numberingStyle = kNumberPeriod;
}

void ApplyNumberingWord(State& s, Word w, int32_t param) {
    ParaState& pa = s.pa;
    switch (w) {
        case Word::kPn:
            s.dest = Dest::kPn;
            pa.num = Numbering::kArabic;
            pa.numStart = 1;
            pa.numTab = 0;
            pa.textBefore = pa.textAfter = 0;
            break;
        case Word::kLs:
            pa.ls = std::max(param, 0);
            break;
        case Word::kIlvl:
            pa.ilvl = std::clamp(param, 0, kMaxListLevels - 1);
            break;
        default:
            break;
    }
}

void ApplyPnWord(State& s, Word w, int32_t param) {
    ParaState& pa = s.pa;
    switch (w) {
        case Word::kPnlvlblt:
            pa.num = Numbering::kBullet;
            break;
        case Word::kPnlvlbody:
        case Word::kPnlvl:
            if (pa.num == Numbering::kNone || pa.num == Numbering::kBullet)
                pa.num = Numbering::kArabic;
            break;
        case Word::kPnlvlcont:
            pa.num = Numbering::kNone;
            break;
        case Word::kPndec:
            pa.num = Numbering::kArabic;
            break;
        case Word::kPnucltr:
            pa.num = Numbering::kUpperLetter;
            break;
        case Word::kPnlcltr:
            pa.num = Numbering::kLowerLetter;
            break;
        case Word::kPnucrm:
            pa.num = Numbering::kUpperRoman;
            break;
        case Word::kPnlcrm:
            pa.num = Numbering::kLowerRoman;
            break;
        case Word::kPnstart:
            pa.numStart = uint16_t(std::clamp(param, 0, 32767));
            break;
        case Word::kPnindent:
            pa.numTab = std::clamp(param, 0, kMaxTwips);
            break;
        case Word::kPntxta:
            s.dest = Dest::kPnTextAfter;
            break;
        case Word::kPntxtb:
            s.dest = Dest::kPnTextBefore;
            break;
        default:
            break;  // the bullet's own font, size and colour
    }
}

namespace {
char16_t& PnTextSlot(State& s) {
    return s.dest == Dest::kPnTextBefore ? s.pa.textBefore : s.pa.textAfter;
}
}  // namespace

void ApplyPnText(State& s, const char* p, std::size_t n) {
    char16_t& slot = PnTextSlot(s);
    for (std::size_t i = 0; i < n && !slot; ++i)
        if (p[i] != ' ') slot = Cp1252ToUnicode(uint8_t(p[i]));
}

void ApplyPnByte(State& s, uint8_t b) {
    char16_t c = Cp1252ToUnicode(b);
    char16_t& slot = PnTextSlot(s);
    if (!slot) slot = c;
}

void CloseNumberingGroup(const State& popped, State& top) {
    switch (popped.dest) {
        case Dest::kPn:
            if (top.dest != Dest::kPn) {
                top.pa.num = popped.pa.num;
                top.pa.pnSeen = true;
                top.pa.numStart = popped.pa.numStart;
                top.pa.numTab = popped.pa.numTab;
                top.pa.textBefore = popped.pa.textBefore;
                top.pa.textAfter = popped.pa.textAfter;
            }
            break;
        case Dest::kPnTextBefore:
            if (top.dest != Dest::kPnTextBefore) top.pa.textBefore = popped.pa.textBefore;
            break;
        case Dest::kPnTextAfter:
            if (top.dest != Dest::kPnTextAfter) top.pa.textAfter = popped.pa.textAfter;
            break;
        default:
            break;
    }
}

void ApplyNumbering(const ParaState& pa, const ListTable& lists, ParaFormat& f) {
    if (pa.pnSeen) {
        f.numbering = pa.num;
        f.numberingStart = pa.numStart;
        f.numberingTab = pa.numTab;
    } else if (pa.ls > 0) {
        lists.Number(pa.ls, pa.ilvl, f);
    }
    if (f.numbering == Numbering::kNone) {
        f.numberingStart = 1;
        f.numberingTab = 0;
    } else if (pa.pnSeen && f.numbering != Numbering::kBullet) {
        if (pa.textAfter == u'.')
            f.numberingStyle = kNumberPeriod;
        else if (pa.textAfter == u')')
            f.numberingStyle = pa.textBefore == u'(' ? kNumberParens : kNumberParen;
        else
            f.numberingStyle = kNumberPlain;
    }
}

}  // namespace qb::rtf

#include "richtext/rtf_character_format.h"

#include <algorithm>

namespace qb::rtf {

namespace {
constexpr int32_t kMaxHalfPoints = 3276;  // what fits a size in twips

uint32_t Toggle(uint32_t effects, uint32_t effect, bool on) {
    return on ? effects | effect : effects & ~effect;
}
}  // namespace

void ApplyCharacterWord(CharState& ch, Word w, const Param& param) {
    const int32_t p = param.value;
    const bool on = param.on;
    switch (w) {
        case Word::kPlain:
            ch = CharState();
            break;
        case Word::kB:
            ch.effects = Toggle(ch.effects, kEffectBold, on);
            break;
        case Word::kI:
            ch.effects = Toggle(ch.effects, kEffectItalic, on);
            break;
        case Word::kStrike:
        case Word::kStriked:
            ch.effects = Toggle(ch.effects, kEffectStrikeout, on);
            break;
        case Word::kV:
            ch.effects = Toggle(ch.effects, kEffectHidden, on);
            break;
        case Word::kProtect:
            ch.effects = Toggle(ch.effects, kEffectProtected, on);
            break;
        case Word::kUl:
            ch.ul = on ? UnderlineType::kSingle : UnderlineType::kNone;
            break;
        case Word::kUlnone:
            ch.ul = UnderlineType::kNone;
            break;
        case Word::kUld:
            ch.ul = on ? UnderlineType::kDotted : UnderlineType::kNone;
            break;
        case Word::kUldb:
            ch.ul = on ? UnderlineType::kDouble : UnderlineType::kNone;
            break;
        case Word::kUlw:
            ch.ul = on ? UnderlineType::kWord : UnderlineType::kNone;
            break;
        case Word::kUlwave:
            ch.ul = on ? UnderlineType::kWave : UnderlineType::kNone;
            break;
        case Word::kUldash:
            ch.ul = on ? UnderlineType::kDash : UnderlineType::kNone;
            break;
        case Word::kUlth:
            ch.ul = on ? UnderlineType::kThick : UnderlineType::kNone;
            break;
        case Word::kSuper:
            ch.effects = (ch.effects & ~kEffectSubscript) | kEffectSuperscript;
            if (param.given && param.raw == 0) ch.effects &= ~kEffectSuperscript;
            break;
        case Word::kSub:
            ch.effects = (ch.effects & ~kEffectSuperscript) | kEffectSubscript;
            if (param.given && param.raw == 0) ch.effects &= ~kEffectSubscript;
            break;
        case Word::kNosupersub:
            ch.effects &= ~(kEffectSubscript | kEffectSuperscript);
            break;
        case Word::kUp:
            ch.up = param.given ? std::clamp(p, 0, kMaxHalfPoints) : 6;
            break;
        case Word::kDn:
            ch.up = -(param.given ? std::clamp(p, 0, kMaxHalfPoints) : 6);
            break;
        case Word::kFs:
            ch.fs = p > 0 ? std::min(p, kMaxHalfPoints) : 24;
            break;
        case Word::kF:
            ch.font = std::max(p, 0);
            break;
        case Word::kCf:
            ch.cf = std::max(p, 0);
            break;
        case Word::kCb:
        case Word::kHighlight:
        case Word::kChcbpat:
            ch.bg = std::max(p, 0);
            break;
        default:
            break;
    }
}

CharFormat MakeCharFormat(const CharState& ch, const CharFormat& defaults, const FontEntry* font,
                          const ColourTable& colours) {
    CharFormat f = defaults;
    if (font) {
        if (!font->face.empty()) f.face = font->face;
        f.charset = uint8_t(font->charset == 1 ? 0 : font->charset);
        f.pitchAndFamily = uint8_t(font->pitch | font->family << 4);
    }
    f.height = ch.fs * 10;
    f.colour = colours.Colour(ch.cf);
    f.background = ch.bg > 0 ? colours.Colour(ch.bg) : kAutoColour;
    f.effects = ch.effects;
    f.underlineType = ch.ul;
    if (ch.ul != UnderlineType::kNone) f.effects |= kEffectUnderline;
    f.offset = ch.up * 10;
    return f;
}

}  // namespace qb::rtf

#include "richtext/formats.h"

#include <functional>

namespace qb {

namespace {
inline void Mix(std::size_t& h, std::size_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
}
}  // namespace

void ApplyCharFormat(CharFormat& into, const CharFormat& from, uint32_t mask) {
    constexpr uint32_t kEffectBits = kCharMaskBold | kCharMaskItalic | kCharMaskUnderline |
                                     kCharMaskStrikeout | kCharMaskProtected | kCharMaskLink |
                                     kCharMaskHidden | kCharMaskSubSuper;
    uint32_t effectMask = mask & kEffectBits;
    into.effects = (into.effects & ~effectMask) | (from.effects & effectMask);
    if (mask & kCharMaskUnderlineType) {
        into.underlineType = from.underlineType;
        if (from.underlineType == UnderlineType::kNone)
            into.effects &= ~kEffectUnderline;
        else
            into.effects |= kEffectUnderline;
    } else if (mask & kCharMaskUnderline) {
        // The underline bit and the underline type always agree.
        if (!(into.effects & kEffectUnderline))
            into.underlineType = UnderlineType::kNone;
        else if (into.underlineType == UnderlineType::kNone)
            into.underlineType = UnderlineType::kSingle;
    }
    if ((mask & kCharMaskSubSuper) == kCharMaskSubSuper && (into.effects & kEffectSubscript) &&
        (into.effects & kEffectSuperscript))
        into.effects &= ~kEffectSubscript;  // superscript wins when both are asked for
    if (mask & kCharMaskFace) {
        into.face = from.face;
        into.pitchAndFamily = from.pitchAndFamily;
    }
    if (mask & kCharMaskCharset) into.charset = from.charset;
    if (mask & kCharMaskSize) into.height = from.height;
    if (mask & kCharMaskColour) into.colour = from.colour;
    if (mask & kCharMaskOffset) into.offset = from.offset;
    if (mask & kCharMaskBackground) into.background = from.background;
}

void ApplyParaFormat(ParaFormat& into, const ParaFormat& from, uint32_t mask) {
    if (mask & kParaMaskStartIndent) into.startIndent = from.startIndent;
    if (mask & kParaMaskRightIndent) into.rightIndent = from.rightIndent;
    if (mask & kParaMaskOffset) into.offset = from.offset;
    if (mask & kParaMaskAlignment) into.alignment = from.alignment;
    if (mask & kParaMaskTabStops) {
        into.tabs = from.tabs;
        if (into.tabs.size() > kMaxTabStops) into.tabs.resize(kMaxTabStops);
    }
    if (mask & kParaMaskNumbering) into.numbering = from.numbering;
    if (mask & kParaMaskSpaceBefore) into.spaceBefore = from.spaceBefore;
    if (mask & kParaMaskSpaceAfter) into.spaceAfter = from.spaceAfter;
    if (mask & kParaMaskLineSpacing) {
        into.lineSpacingRule = from.lineSpacingRule;
        into.lineSpacing = from.lineSpacing;
    }
    if (mask & kParaMaskNumberingStart) into.numberingStart = from.numberingStart;
    if (mask & kParaMaskNumberingStyle) into.numberingStyle = from.numberingStyle;
    if (mask & kParaMaskNumberingTab) into.numberingTab = from.numberingTab;
}

std::size_t CharFormatHash::operator()(const CharFormat& f) const {
    std::size_t h = std::hash<std::string>()(f.face);
    Mix(h, std::size_t(f.height));
    Mix(h, f.colour);
    Mix(h, f.effects);
    Mix(h, std::size_t(uint32_t(f.offset)));
    Mix(h, std::size_t(f.charset) << 16 | std::size_t(f.pitchAndFamily) << 8 |
               std::size_t(f.underlineType));
    Mix(h, f.background);
    return h;
}

std::size_t ParaFormatHash::operator()(const ParaFormat& f) const {
    std::size_t h = std::size_t(f.alignment);
    for (int32_t v : {f.startIndent, f.rightIndent, f.offset, int32_t(f.numbering),
                      int32_t(f.numberingStart), int32_t(f.numberingStyle), f.numberingTab,
                      f.spaceBefore, f.spaceAfter, int32_t(f.lineSpacingRule), f.lineSpacing})
        Mix(h, std::size_t(uint32_t(v)));
    for (const TabStop& t : f.tabs)
        Mix(h, std::size_t(uint32_t(t.position)) << 8 | std::size_t(t.kind) << 4 |
                   std::size_t(t.leader));
    return h;
}

}  // namespace qb

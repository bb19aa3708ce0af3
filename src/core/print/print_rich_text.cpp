// Rich text on the page: one control line at a time, runs in their own
// fonts and colours, with the paragraph's indents, alignment, bullets,
// numbers and line spacing.
#include <algorithm>
#include <cstdio>

#include "print/print_job.h"

namespace qb {
namespace {

constexpr uint8_t kSymbolCharset = 2;
constexpr char16_t kSymbolBullet = 183;  // the bullet of the Symbol font

int32_t SpacingOf(const ParaFormat& pf) {
    switch (pf.lineSpacingRule) {
        case 1:
            return 30;
        case 2:
            return 40;
        case 5:
            if (pf.lineSpacing == 30 || pf.lineSpacing == 40) return pf.lineSpacing;
            return 20;
        default:
            return 20;
    }
}

}  // namespace

void PrintJob::PrintRichText(const RichTextControl& control) {
    const int32_t dpiY = device_.dpiY;
    std::vector<std::optional<PrintFont>> fonts(control.CharFormatCount());
    auto fontOf = [&](int32_t id, const CharFormat& f) -> const PrintFont& {
        std::optional<PrintFont>& slot = fonts[std::size_t(id)];
        if (!slot) {
            PrintFont pf;
            pf.face = f.face;
            pf.height = std::max(1, MulDiv(f.height, dpiY, 1440));
            pf.weight = f.Has(kEffectBold) ? 700 : 400;
            pf.italic = f.Has(kEffectItalic);
            pf.underline = f.Has(kEffectUnderline) || f.underlineType != UnderlineType::kNone;
            pf.strikeout = f.Has(kEffectStrikeout);
            pf.charset = f.charset;
            pf.pitchAndFamily = f.pitchAndFamily;
            slot = pf;
        }
        return *slot;
    };
    auto colourOf = [&](const CharFormat& f) {
        return f.colour == kAutoColour ? style_.textColour : f.colour;
    };

    Numbering lastNumbering = Numbering::kNone;
    int32_t counter = 0;
    Paragraph p;
    StyledRun marker;
    const int32_t lines = control.LineCount();
    for (int32_t line = 0; line < lines && !Stopped(); ++line) {
        const int32_t start = control.LineIndex(line);
        const int32_t end = start + control.LineLength(line);
        const int32_t para = control.ParagraphFromChar(start);
        const ParaFormat& pf = control.ParagraphFormat(para);
        const bool firstOfPara = start == control.ParagraphStart(para);

        p.runs.clear();
        for (int32_t run = control.RunFromChar(start); run < control.RunCount(); ++run) {
            int32_t rs = std::max(start, control.RunStart(run));
            int32_t re = std::min(end, control.RunEnd(run));
            if (rs >= end) break;
            if (re <= rs) continue;
            const CharFormat& f = control.RunFormat(run);
            if (f.Has(kEffectHidden)) continue;
            std::u16string text = control.Text().substr(std::size_t(rs), std::size_t(re - rs));
            // Pictures are not printed; their object characters would show as boxes.
            std::erase(text, kObjectChar);
            if (text.empty()) continue;
            p.runs.push_back({std::move(text), fontOf(control.RunFormatId(run), f), colourOf(f)});
        }
        const CharFormat first = control.CharFormatAt(start);
        const PrintFont firstFont = fontOf(control.RunFormatId(control.RunFromChar(start)), first);

        LineShape shape;
        shape.align = pf.alignment;
        shape.spacingTwentieths = SpacingOf(pf);
        shape.emptyFont = &firstFont;
        const bool right = pf.alignment == Align::kRight;
        const int32_t indent = right ? 0 : std::max(0, TwipsToX(pf.startIndent));
        const int32_t rest = right ? 0 : std::max(0, TwipsToX(pf.startIndent + pf.offset));
        shape.firstIndent = firstOfPara ? indent : rest;
        shape.restIndent = rest;

        if (pf.numbering == Numbering::kNone) {
            lastNumbering = Numbering::kNone;
        } else if (firstOfPara) {
            counter = pf.numbering == lastNumbering ? counter + 1 : 1;
            lastNumbering = pf.numbering;
            marker.font = firstFont;
            marker.colour = colourOf(first);
            if (pf.numbering == Numbering::kBullet) {
                marker.text = std::u16string(1, kSymbolBullet);
                marker.font.face = "Symbol";
                marker.font.charset = kSymbolCharset;
                marker.font.weight = 400;
                marker.font.italic = marker.font.underline = marker.font.strikeout = false;
            } else {
                char number[16];
                std::snprintf(number, sizeof number, "%d.", counter);
                marker.text.assign(number, number + std::char_traits<char>::length(number));
            }
            shape.marker = &marker;
            shape.markerX = indent;
            // The text after the marker, never over it.
            int32_t markerEnd = indent + surface_.MeasureRun(marker.font, marker.text);
            shape.firstIndent = std::max(rest, markerEnd + surface_.MeasureRun(marker.font, u" "));
        }
        PrintParagraph(p, shape);
    }
}

}  // namespace qb

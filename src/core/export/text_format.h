// A snapshot of the character format at one position of a rich-text
// control, in the form the HTML conversion compares and writes: sub- and
// superscript turned into a raised or lowered smaller height, offsets of
// less than half a point ignored.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "richtext/rich_text.h"

namespace qb {

struct TextFormat {
    std::string face;      // UTF-8
    int32_t height = 0;    // twips
    uint32_t colour = 0;   // red in the low byte; automatic reads as black
    uint32_t effects = 0;  // kEffectBold, kEffectItalic, kEffectUnderline, kEffectStrikeout
    int32_t offset = 0;    // twips, positive raises
    uint8_t charset = 0;
    uint8_t pitchAndFamily = 0;
    uint32_t mask = 0;               // the fields the control reported
    uint32_t background = 0xFFFFFF;  // white unless the text has its own

    bool Has(uint32_t effect) const { return (effects & effect) != 0; }
    // Equal in everything but the background colour.
    bool SameAs(const TextFormat& other) const;
};

TextFormat ToTextFormat(const CharFormat& format);

// The formats of one control by position, each converted once. Positions
// are expected to move forward mostly; any order is answered correctly.
class TextFormatReader {
public:
    explicit TextFormatReader(const RichTextControl& control);

    // The control's format id at `pos` (at or past the end: the final mark's).
    int32_t IdAt(int32_t pos) {
        if (pos >= runStart_ && pos < runEnd_) return runId_;
        return Locate(pos);
    }
    // Where the run of the last position IdAt found inside the text ends.
    int32_t RunEnd() const { return runEnd_; }
    // The format of an id IdAt returned.
    const TextFormat& Format(int32_t id) const { return formats_[std::size_t(id)]; }
    const TextFormat& At(int32_t pos) { return Format(IdAt(pos)); }

private:
    int32_t Locate(int32_t pos);
    int32_t Seen(int32_t run);  // the run's id, its format converted

    const RichTextControl& control_;
    std::vector<TextFormat> formats_;
    std::vector<bool> converted_;
    int32_t run_ = 0, runStart_ = 0, runEnd_ = -1, runId_ = 0;
};

}  // namespace qb

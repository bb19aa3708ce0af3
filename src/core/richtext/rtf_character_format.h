// Character formatting in RTF: the words that change a group's character
// state, and the CharFormat that a state stands for. Internal to the reader.
#pragma once

#include "richtext/formats.h"
#include "richtext/rtf_control_words.h"
#include "richtext/rtf_font_colour_tables.h"
#include "richtext/rtf_state.h"

namespace qb::rtf {

// One word of the character group (\plain ... \f) applied to `ch`.
void ApplyCharacterWord(CharState& ch, Word w, const Param& param);

// The format of text in state `ch`: `defaults` where the state says nothing,
// the face and charset of `font` (null: none), colours from the table.
CharFormat MakeCharFormat(const CharState& ch, const CharFormat& defaults, const FontEntry* font,
                          const ColourTable& colours);

}  // namespace qb::rtf

// Paragraph formatting in RTF: the words that change a group's paragraph
// state (alignment, indents, spacing, tab stops), and the ParaFormat that a
// state stands for. Internal to the reader.
#pragma once

#include "richtext/formats.h"
#include "richtext/rtf_control_words.h"
#include "richtext/rtf_lists.h"
#include "richtext/rtf_state.h"

namespace qb::rtf {

// One word of the paragraph group (\pard ... \intbl) applied to `pa`.
void ApplyParagraphWord(ParaState& pa, Word w, const Param& param);

// The format of a paragraph ending in state `pa`; `lists` resolves the
// list-table form of numbering.
ParaFormat MakeParaFormat(const ParaState& pa, const ListTable& lists);

}  // namespace qb::rtf

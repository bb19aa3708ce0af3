// The lines of rich-text content as the text and CSV exports write them: a
// bulleted line starts with a middle dot and a space, a numbered line with
// its number ("%2d. ", counting consecutive numbered lines from 1).
#pragma once

#include <cstdio>
#include <string>

#include "richtext/formats.h"
#include "richtext/rich_text.h"

namespace qb {

// Calls `line(text)` for each line of `control`, the prefix included; an
// empty line is given without a prefix.
template <class LineFn>
void ForEachContentLine(const RichTextControl& control, LineFn&& line) {
    int32_t counter = 0;
    for (int32_t n = 0, count = control.LineCount(); n < count; ++n) {
        Numbering kind = control.ParaFormatAt(control.LineIndex(n)).numbering;
        std::u16string text = control.LineText(n);
        if (kind == Numbering::kArabic)
            ++counter;
        else
            counter = 0;
        if (text.empty()) {
            line(text);
            continue;
        }
        if (kind == Numbering::kBullet) {
            text.insert(0, u"\u00B7 ");
        } else if (kind == Numbering::kArabic) {
            char number[24];
            std::snprintf(number, sizeof number, "%2d. ", int(counter));
            std::u16string prefix(number, number + std::char_traits<char>::length(number));
            text.insert(0, prefix);
        }
        line(text);
    }
}

}  // namespace qb

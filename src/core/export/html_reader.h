// The HTML reader: turns an HTML text (Windows-1252 bytes) into rich text,
// flattening lists, tables and headings into paragraphs, tabs and font
// changes, and collects the links it finds. The keyword cloud is shown
// through it. Malformed input never stops it: what is not understood is
// skipped or kept as text, nothing recurses on the input's nesting, and
// the output stays proportional to the input however deep the nesting.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "richtext/formats.h"
#include "richtext/rich_text.h"

namespace qb {

class FontFamilies;

struct HtmlReaderSettings {
    // Face 0: the face of the article display font (UTF-8).
    std::string defaultFace = "Arial";
    // The window's background; a colour equal to it is shown in the
    // default text colour instead, so that no text becomes invisible.
    uint32_t background = MakeColour(255, 255, 255);
    // The default text colour (the text colour setting, or kAutoColour).
    uint32_t textColour = kAutoColour;
    // Answers which FACE names are installed; none: every FACE gives face 0.
    const FontFamilies* fonts = nullptr;
};

struct HtmlLink {
    int32_t start = 0;   // character position of the link's first text
    int32_t end = 0;     // position after its last text
    std::string target;  // the href value, UTF-8
};

// Replaces the content of `out` with the rich text of `html` and returns
// the links found, in the order they were closed.
std::vector<HtmlLink> ReadHtml(std::string_view html, const HtmlReaderSettings& settings,
                               RichTextControl& out);

// The height in twips of an HTML font size (1 to 7; below and above are
// limited to those).
int32_t HtmlSizeTwips(int size);

}  // namespace qb

// Loading an article's stored content into the control, the one place that
// decides whether a stream is read as rich text.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/code_page.h"
#include "richtext/rich_text.h"

namespace qb {

// The first article level whose content is stored as RTF.
constexpr int32_t kFirstRichTextLevel = 5;

// Replaces the control's content by an article's stored content. Content of
// a rich-text level that is RTF is read as RTF; anything else (older levels,
// or rich-text content that does not begin with "{\rtf") is read as plain
// text in the data file's code page, as the control reads such a stream, so
// an article is never shown empty because of how it was stored. Returns true
// when the content was read as RTF.
bool LoadArticleContent(RichTextControl& control, int32_t level, std::string_view content,
                        const CodePage& plainText = CodePage());

}  // namespace qb

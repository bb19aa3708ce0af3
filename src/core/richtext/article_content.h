// Loading an article's stored content into the control, the one place that
// decides whether a stream is read as rich text.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/code_page.h"
#include "richtext/rich_text.h"

namespace qb {

// Replaces the control's content by an article's stored content
// (CArticle::Content, with `richText` from CArticle::IsRichText). Rich-text
// content that is RTF is read as RTF; anything else (plain-text content, or
// rich-text content that does not begin with "{\rtf") is read as plain
// text in the data file's code page, as the control reads such a stream, so
// an article is never shown empty because of how it was stored. Returns true
// when the content was read as RTF.
bool LoadArticleContent(RichTextControl& control, bool richText, std::string_view content,
                        const CodePage& plainText = CodePage());

}  // namespace qb

#include "richtext/article_content.h"

#include <string>

#include "richtext/code_page.h"

namespace qb {

bool LoadArticleContent(RichTextControl& control, bool richText, std::string_view content) {
    if (richText && control.StreamInRtf(content)) return true;
    std::u16string text(content.size(), u'\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        text[i] = Cp1252ToUnicode(uint8_t(content[i]));
    control.SetText(text);
    return false;
}

}  // namespace qb

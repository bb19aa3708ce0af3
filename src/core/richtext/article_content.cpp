#include "richtext/article_content.h"

#include <string>

namespace qb {

bool LoadArticleContent(RichTextControl& control, bool richText, std::string_view content,
                        const CodePage& plainText) {
    if (richText && control.StreamInRtf(content)) return true;
    control.SetText(plainText.ToUtf16(content));
    return false;
}

}  // namespace qb

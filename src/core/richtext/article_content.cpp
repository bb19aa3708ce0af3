#include "richtext/article_content.h"

#include <string>

namespace qb {

bool LoadArticleContent(RichTextControl& control, int32_t level, std::string_view content,
                        const CodePage& plainText) {
    if (level >= kFirstRichTextLevel && control.StreamInRtf(content)) return true;
    control.SetText(plainText.ToUtf16(content));
    return false;
}

}  // namespace qb

#include "gui/article/article_content.h"

#include "gui/richtext/rich_text_document.h"

namespace qb {

namespace {
const std::vector<MarkedLink> kNoMarks;
}

ArticleContent::ArticleContent(QWidget* parent) : QTextEdit(parent) {
    setReadOnly(true);
}

ArticleContent::~ArticleContent() = default;

void ArticleContent::Load(const RichTextControl& control, std::vector<StoredLinkRange>, bool) {
    gui::FillDocument(*document(), control);
}

const std::u16string& ArticleContent::Text() const {
    static const std::u16string empty;
    return empty;
}

void ArticleContent::SetActiveLinksMode(int32_t) {}

LinkFlags ArticleContent::Flags() const {
    return {};
}

void ArticleContent::SetWordWrap(bool on) {
    setLineWrapMode(on ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

const std::vector<MarkedLink>& ArticleContent::MarkedLinks() const {
    return kNoMarks;
}

bool ArticleContent::Marking() const {
    return false;
}

void ArticleContent::FinishMarking() {}

}  // namespace qb

// Edit > Copy in the index window: Copy Articles from the title list, the
// selection from the content preview.
#include <QTextCursor>
#include <QTextEdit>

#include "article/attachment_opener.h"
#include "article/clipboard_copy.h"
#include "article/copy_articles.h"
#include "export/copy_html.h"
#include "gui/index/index_view.h"

namespace qb {

bool CIndexView::CanCopy() const {
    if (!svc_.clipboard || !svc_.doc) return false;
    switch (FocusedPane()) {
        case IndexPane::Titles:
            return model_.HighlightedCount() > 0;
        case IndexPane::Content:
            return content_->textCursor().hasSelection();
        default:
            return false;
    }
}

void CIndexView::Copy() {
    if (!CanCopy()) return;
    if (FocusedPane() == IndexPane::Content) {
        QTextCursor c = content_->textCursor();
        std::vector<ClipboardFormat> formats =
            SelectionFormats(shownContent_, c.selectionStart(), c.selectionEnd());
        if (!formats.empty()) svc_.clipboard->Place(formats);
        return;
    }
    // The copy reports its own failures (a data-file error, the clipboard).
    struct WaitCursor {
        CIndexView& view;
        explicit WaitCursor(CIndexView& v) : view(v) { view.BeginWaitCursor(); }
        ~WaitCursor() { view.EndWaitCursor(); }
    } wait(*this);
    CQuillboxDoc& doc = *svc_.doc;
    const Locale& locale = *svc_.locale;
    Ui& ui = *svc_.ui;
    const Settings* settings = svc_.settings;
    CopyArticles(doc, model_.Titles().HighlightedIds(), locale, MakeTargetContext(doc, settings),
                 ui, *svc_.clipboard, [&](const std::vector<int32_t>& ids) {
                     return ArticlesCopyHtml(doc, ids, locale, ui, settings);
                 });
}

}  // namespace qb

// Edit > Copy in the index window: Copy Articles from the title list, the
// selection from the content preview.
#include <QTextCursor>
#include <QTextEdit>

#include "article/attachment_opener.h"
#include "article/clipboard_copy.h"
#include "article/copy_articles.h"
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
    CopyArticles(*svc_.doc, model_.Titles().HighlightedIds(), *svc_.locale,
                 MakeTargetContext(*svc_.doc, svc_.settings), *svc_.ui, *svc_.clipboard);
}

}  // namespace qb

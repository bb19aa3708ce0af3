// CIndexView as the ports' implementation: the document's IndexWindow and
// the model's IndexHost.
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextEdit>
#include <QTimer>

#include "app/settings.h"
#include "gui/index/index_lists.h"
#include "gui/index/index_view.h"

namespace qb {

// ---- the index window port ----------------------------------------------------------------

void CIndexView::OnFileLoaded() {
    model_.InitialUpdate();
    model_.SetGroupPaneVisible(groupShown_);
    previewKeywords_.SetMembers(IdSet());
    shownArticle_ = NIL_BLOCK;
    content_->clear();
    Sync();
    FitKeywordLists();
    UpdatePreview();
    // The document fills the menu with the stored order right after this;
    // the recent order replaces it once the open is done.
    QTimer::singleShot(0, this, [this] { SavedQueryMenuChanged(); });
}

void CIndexView::OnNoGroups() {
    groupShown_ = false;
    model_.SetGroupPaneVisible(false);
    Relayout();
}

void CIndexView::OnPrivacyChanged() {
    model_.PrivateShownOrHidden();
    Sync();
}

void CIndexView::RedrawTitleList() {
    titles_->viewport()->update();
}

void CIndexView::TogglePreview(int32_t flag) {
    SetPreviewFlags(TogglePreviewFlag(disp_.previewOn, flag));
}

void CIndexView::CyclePreview() {
    SetPreviewFlags(CyclePreviewFlags(disp_.previewOn));
}

void CIndexView::SetSelectedMode(int32_t mode) {
    model_.SetAndOrMode(mode);
    Sync();
}

void CIndexView::ToggleIndexMode() {
    model_.ToggleIndexMode();
    disp_.indexMode = model_.RequestedIndexMode();
    Sync();
}

void CIndexView::ClearTitleHighlight() {
    model_.ClearTitleHighlight();
    Sync();
}

void CIndexView::OnSortOrderChanged() {
    model_.SortOrderChanged();
    Sync();
}

void CIndexView::StepArticle(int32_t articleId, bool next) {
    model_.StepArticle(articleId, next);
    Sync();
}

// ---- the model's host
// --------------------------------------------------------------------------------

void CIndexView::BeginWaitCursor() {
    ++waitDepth_;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CIndexView::EndWaitCursor() {
    if (waitDepth_ <= 0) return;
    --waitDepth_;
    QApplication::restoreOverrideCursor();
}

void CIndexView::BringToFront() {
    auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame) return;
    if (frame->isMinimized()) frame->showNormal();
    if (QMdiArea* mdi = frame->mdiArea()) mdi->setActiveSubWindow(frame);
}

void CIndexView::StoreSortOrder(int32_t order) {
    svc_.settings->SetSortOrder(*svc_.store, order);
}

void CIndexView::StoreSelectListMode(int32_t mode) {
    svc_.settings->SetSelectListMode(*svc_.store, mode);
}

void CIndexView::OpenArticle(int32_t id) {
    if (svc_.articles.open) svc_.articles.open(id);
}

void CIndexView::CloseArticleWindow(int32_t id) {
    if (svc_.articles.close) svc_.articles.close(id);
}

std::optional<int32_t> CIndexView::ActiveArticleWindow() {
    return svc_.articles.active ? svc_.articles.active() : std::nullopt;
}

}  // namespace qb

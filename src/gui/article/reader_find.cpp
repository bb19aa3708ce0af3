#include "gui/article/reader_find.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QTextCursor>
#include <algorithm>

#include "app/help_guide.h"
#include "app/settings.h"
#include "document/quillbox_doc.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/article/article_content.h"
#include "gui/article/article_frame.h"
#include "gui/article/article_windows.h"
#include "gui/article/find_dialog.h"
#include "platform/ui.h"
#include "resources/command_ids.h"

namespace qb {

namespace {

// One slice of the article search runs this long at most before the event
// loop repaints and looks at Cancel.
constexpr qint64 kSliceMillis = 15;

class Acting {
public:
    explicit Acting(int& depth) : depth_(depth) { ++depth_; }
    ~Acting() { --depth_; }
    Acting(const Acting&) = delete;
    Acting& operator=(const Acting&) = delete;

private:
    int& depth_;
};

}  // namespace

ReaderFind::ReaderFind(ReaderApp& app) : app_(app) {
    slices_.setInterval(0);
    QObject::connect(&slices_, &QTimer::timeout, &slices_, [this] { RunSlice(); });
}

ReaderFind::~ReaderFind() {
    slices_.stop();
    progress_.reset();
    search_.reset();
    presenter_.reset();
    if (dialog_) {
        QObject::disconnect(dialog_.data(), nullptr, &slices_, nullptr);
        delete dialog_.data();
    }
}

void ReaderFind::Connect(ReaderArticleWindows& articles, FindIndexHooks index) {
    articles_ = &articles;
    index_ = std::move(index);
    std::weak_ptr<ReaderFind> weak = weak_from_this();
    articles.SetArticleCommand(cmd::kEditFind, [weak](CArticleView&) {
        if (auto self = weak.lock()) self->OpenDialog();
    });
}

TitleListListener ReaderFind::TitleListNotices() {
    std::weak_ptr<ReaderFind> weak = weak_from_this();
    return [weak](bool listChanged) {
        if (auto self = weak.lock()) self->TitleListChanged(listChanged);
    };
}

void ReaderFind::RegisterCommands(CMainFrame& frame) {
    std::weak_ptr<ReaderFind> weak = weak_from_this();
    ReaderApp& app = app_;
    frame.RegisterCommand(
        cmd::kEditFind,
        [weak] {
            if (auto self = weak.lock()) self->OpenDialog();
        },
        [&app] {
            return CommandState{app.Document() != nullptr, false};
        });
    QObject::connect(frame.Mdi(), &QMdiArea::subWindowActivated, &slices_,
                     [this](QMdiSubWindow* w) { SubWindowActivated(w); });
}

// ---- the dialog -----------------------------------------------------------------------

FindContext ReaderFind::Context() {
    FindContext c;
    c.articleWindowActive = ActiveFrame() != nullptr;
    if (CQuillboxDoc* doc = app_.Document()) c.visibleBookmarks = doc->VisibleBookmarkCount();
    if (index_.titleCount) c.selectedArticles = index_.titleCount();
    if (index_.highlightedCount) c.highlightedArticles = index_.highlightedCount();
    return c;
}

CArticleFrame* ReaderFind::ActiveFrame() const {
    CMainFrame* frame = app_.Frame();
    if (!frame || !app_.Document()) return nullptr;
    // The current sub-window stays current while the Find dialog has the
    // focus; a closed one may linger until it is deleted.
    auto* f = qobject_cast<CArticleFrame*>(frame->Mdi()->currentSubWindow());
    return f && !f->isHidden() ? f : nullptr;
}

CFindDlg* ReaderFind::Dialog() const {
    return dialog_.data();
}

void ReaderFind::OpenDialog() {
    CMainFrame* frame = app_.Frame();
    if (!frame) return;
    if (dialog_) {
        dialog_->show();
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    Settings& settings = app_.Core().GetSettings();
    if (!rememberedRead_) {
        remembered_.titlesOnly = settings.findTitlesOnly != 0;
        rememberedRead_ = true;
    }
    auto* d = new CFindDlg([this] { return Context(); }, frame);
    d->setAttribute(Qt::WA_DeleteOnClose);
    dialog_ = d;
    presenter_ = std::make_unique<FindPresenter>(*this, app_.GetUi(), app_.GetLocale(),
                                                 settings.pivotYear, remembered_);
    d->SetOptions(OpeningOptions(remembered_, Context()));
    QObject::connect(d, &CFindDlg::findPressed, &slices_, [this] { PressFind(); });
    QObject::connect(d, &CFindDlg::helpPressed, &slices_, [this] {
        if (app_.Frame()) app_.Frame()->ShowHelp(help::kFind);
    });
    QObject::connect(d, &QObject::destroyed, &slices_, [this] { DialogClosed(); });
    d->show();
    d->raise();
    d->activateWindow();
    d->FindWhat()->setFocus(Qt::OtherFocusReason);
    d->FindWhat()->selectAll();
}

void ReaderFind::DialogClosed() {
    dialog_ = nullptr;
    presenter_.reset();  // a presented search ends with the dialog
}

void ReaderFind::PressFind() {
    if (search_ || !dialog_ || !presenter_ || !app_.Document()) return;
    FindOptions options = dialog_->Options();
    std::optional<int32_t> active;
    if (CArticleFrame* f = ActiveFrame()) active = f->ArticleId();
    std::optional<ArticleSearchRequest> request;
    {
        Acting acting(acting_);
        request = presenter_->PressFind(options, active, Context());
    }
    if (request) StartSearch(std::move(*request));
}

void ReaderFind::SubWindowActivated(QMdiSubWindow* w) {
    // Windows the presenter opens and activates are part of its search;
    // the person choosing another window ends it. Nothing being active
    // (the main window lost the focus) changes nothing.
    if (!acting_ && w && presenter_) {
        auto* f = qobject_cast<CArticleFrame*>(w);
        std::optional<int32_t> presented = presenter_->PresentedArticle();
        if (!(f && presented && f->ArticleId() == *presented)) presenter_->Forget();
    }
    if (dialog_) dialog_->Reevaluate();
}

void ReaderFind::TitleListChanged(bool listChanged) {
    if (listChanged && !acting_ && presenter_) presenter_->Forget();
    if (dialog_) dialog_->Reevaluate();
}

// ---- the article search --------------------------------------------------------------

void ReaderFind::StartSearch(ArticleSearchRequest request) {
    CQuillboxDoc* doc = app_.Document();
    if (!doc) return;
    search_ = std::make_unique<ArticleSearch>(*doc, std::move(request));
    searchedDoc_ = doc;
    // Checked before every slice, from the event loop: a document that
    // closes takes its index window first, and the search ends at the
    // next slice without touching either.
    searchedIndex_ = app_.IndexFrame();
    hadIndex_ = searchedIndex_ != nullptr;
    progress_ = std::make_unique<SearchWithProgress>(*search_, app_.GetUi());
    slices_.start();
}

void ReaderFind::RunSlice() {
    if (!search_) {
        slices_.stop();
        return;
    }
    if (app_.Document() != searchedDoc_ || (hadIndex_ && !searchedIndex_)) {
        AbandonSearch();
        return;
    }
    QElapsedTimer clock;
    clock.start();
    bool more = true;
    do {
        more = progress_->Step(1);
    } while (more && !clock.hasExpired(kSliceMillis));
    if (!more) EndSearch();
}

void ReaderFind::EndSearch() {
    slices_.stop();
    progress_.reset();  // the progress window closes, the main window is enabled again
    std::unique_ptr<ArticleSearch> search = std::move(search_);
    searchedDoc_ = nullptr;
    if (presenter_) {
        Acting acting(acting_);
        presenter_->SearchEnded(*search);
        return;
    }
    // The dialog closed while the search ran: its list is shown all the same.
    ShowFoundTitles(search->Found(), search->Stopped());
}

void ReaderFind::AbandonSearch() {
    slices_.stop();
    progress_.reset();
    search_.reset();  // not cancelled: that would hand the list to a closing document
    searchedDoc_ = nullptr;
    if (presenter_) presenter_->Forget();
}

// ---- FindPort -------------------------------------------------------------------------

std::vector<int32_t> ReaderFind::RangeArticles(FindRange range) {
    CQuillboxDoc* doc = app_.Document();
    if (!doc) return {};
    IdSet set;
    switch (range) {
        case FindRange::kAll:
            doc->VisibleArticles(set);
            return set.Ids();
        case FindRange::kBookmarked:
            doc->VisibleBookmarks(set);
            return set.Ids();
        case FindRange::kSelected:
            return index_.titleList ? index_.titleList() : std::vector<int32_t>();
        case FindRange::kHighlighted:
            return index_.highlighted ? index_.highlighted() : std::vector<int32_t>();
        case FindRange::kCurrentArticle:
            break;
    }
    return {};
}

std::optional<bool> ReaderFind::OpenArticleWindow(int32_t id) {
    if (!articles_) return std::nullopt;
    bool wasOpen = articles_->Find(id) != nullptr;
    if (!articles_->Open(id)) return std::nullopt;
    return wasOpen;
}

std::optional<ArticleWindowState> ReaderFind::ArticleWindow(int32_t id) {
    CArticleFrame* f = articles_ ? articles_->Find(id) : nullptr;
    if (!f) return std::nullopt;
    CArticleView* v = f->View();
    QLineEdit* title = v->TitleField();
    ArticleContent* content = v->Content();
    ArticleWindowState s;
    s.title = title->text().toStdU16String();
    s.content = content->Text();
    // The field that has the focus within the window, even while the
    // Find dialog is the active window.
    QWidget* focus = f->focusWidget();
    if (focus == title) {
        s.focus = FindField::kTitle;
        s.selStart = title->hasSelectedText() ? title->selectionStart() : title->cursorPosition();
        s.selEnd = title->hasSelectedText() ? title->selectionEnd() : s.selStart;
    } else if (focus && (focus == content || content->isAncestorOf(focus))) {
        s.focus = FindField::kContent;
        QTextCursor c = content->textCursor();
        s.selStart = c.selectionStart();
        s.selEnd = c.selectionEnd();
    }
    return s;
}

void ReaderFind::SelectInWindow(int32_t id, FindField field, int32_t start, int32_t end) {
    CArticleFrame* f = articles_ ? articles_->Find(id) : nullptr;
    if (!f) return;
    CArticleView* v = f->View();
    QLineEdit* title = v->TitleField();
    ArticleContent* content = v->Content();
    switch (field) {
        case FindField::kTitle: {
            int length = int(title->text().size());
            int from = std::clamp(start, 0, length);
            int to = std::clamp(end, from, length);
            title->setFocus(Qt::OtherFocusReason);
            title->setSelection(from, to - from);
            break;
        }
        case FindField::kContent: {
            int length = int(content->Text().size());
            int from = std::clamp(start, 0, length);
            int to = std::clamp(end, from, length);
            QTextCursor c(content->document());
            c.setPosition(from);
            c.setPosition(to, QTextCursor::KeepAnchor);
            content->setTextCursor(c);
            content->ensureCursorVisible();
            content->setFocus(Qt::OtherFocusReason);
            break;
        }
        case FindField::kNone: {
            title->deselect();
            QTextCursor c = content->textCursor();
            c.clearSelection();
            content->setTextCursor(c);
            break;
        }
    }
}

void ReaderFind::CloseArticleWindow(int32_t id) {
    if (articles_) articles_->Close(id);
}

void ReaderFind::BringIndexWindowForward() {
    if (index_.bringForward) index_.bringForward();
}

void ReaderFind::ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped) {
    if (index_.showFound) index_.showFound(ids, stopped);
}

void ReaderFind::ActivateFindDialog() {
    if (!dialog_) return;
    dialog_->raise();
    dialog_->activateWindow();
}

void ReaderFind::FocusDateField(DateField field) {
    if (dialog_) dialog_->FocusDate(field);
}

void ReaderFind::StoreTitlesOnly(bool on) {
    app_.Core().GetSettings().SetFindTitlesOnly(app_.Core().Store(), on ? 1 : 0);
}

ReaderFind& InstallFind(ReaderApp& app) {
    auto find = std::make_shared<ReaderFind>(app);
    app.AddFrameExtension([find](ReaderApp& app) {
        if (CMainFrame* frame = app.Frame()) find->RegisterCommands(*frame);
    });
    return *find;
}

}  // namespace qb

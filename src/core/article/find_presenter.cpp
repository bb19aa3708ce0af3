#include "article/find_presenter.h"

#include "datafile/dates.h"
#include "platform/ui.h"
#include "resources/strings.h"
#include "richtext/text_find.h"

namespace qb {

namespace {

// The options that decide what a search finds.
bool SameSearch(const FindOptions& a, const FindOptions& b) {
    return a.text == b.text && a.matchCase == b.matchCase && a.wholeWord == b.wholeWord &&
           a.where == b.where && a.range == b.range && a.dateFrom == b.dateFrom &&
           a.dateTo == b.dateTo;
}

}  // namespace

FindPresenter::FindPresenter(FindPort& port, Ui& ui, const Locale& locale, int pivotYear,
                             FindOptions& remembered)
    : port_(port), ui_(ui), locale_(locale), pivotYear_(pivotYear), remembered_(remembered) {}

void FindPresenter::Message(int id) {
    ui_.MessageBox(ResourceString(id), MessageIcon::Information);
}

WindowTexts FindPresenter::Texts(const ArticleWindowState& w) const {
    return WindowTexts{w.title, w.content, where_, pattern_, flags_};
}

std::optional<int32_t> FindPresenter::PresentedArticle() const {
    if (index_ < 0 || size_t(index_) >= found_.size()) return std::nullopt;
    return found_[size_t(index_)];
}

void FindPresenter::Forget() {
    found_.clear();
    index_ = -1;
    wasOpen_ = false;
    windowId_.reset();
    window_.Reset();
    lastMatch_.reset();
    foundSinceBegin_ = false;
    searched_.reset();
}

std::optional<ArticleSearchRequest> FindPresenter::PressFind(const FindOptions& options,
                                                             std::optional<int32_t> activeArticle,
                                                             const FindContext& context) {
    remembered_ = options;
    port_.StoreTitlesOnly(options.titlesOnly);
    FindCheck check = CheckFind(options, context, locale_, pivotYear_);
    if (check.message) {
        Message(check.message);
        return std::nullopt;
    }
    if (check.invalidDate) {
        port_.FocusDateField(*check.invalidDate);
        ReportInvalidDate(ui_, locale_);
        return std::nullopt;
    }
    if (options.range == FindRange::kCurrentArticle && !activeArticle) {
        Message(msg::kFindNoCurrentArticle);
        return std::nullopt;
    }
    if (searched_ && !SameSearch(*searched_, options)) Forget();
    searched_ = options;
    pattern_ = Utf8ToUtf16(options.text);
    flags_ = options.Flags();
    where_ = options.where;
    titlesOnly_ = options.titlesOnly;

    if (options.range == FindRange::kCurrentArticle) {
        SearchCurrentArticle(*activeArticle);
        return std::nullopt;
    }
    if (!Presenting()) {
        ArticleSearchRequest r;
        r.ids = port_.RangeArticles(options.range);
        r.text = options.text;
        r.flags = flags_;
        r.where = where_;
        r.dateFrom = check.dates.from;
        r.dateTo = check.dates.to;
        return r;
    }
    int32_t id = found_[size_t(index_)];
    if (!SelectNext(id)) {
        if (!wasOpen_) port_.CloseArticleWindow(id);
        PresentNext();
    }
    return std::nullopt;
}

void FindPresenter::SearchCurrentArticle(int32_t id) {
    std::optional<ArticleWindowState> w = port_.ArticleWindow(id);
    if (!w) {
        Message(msg::kFindNoCurrentArticle);
        return;
    }
    WindowTexts texts = Texts(*w);
    // Going on from the match selected last, unless the person has moved
    // the selection since: then the search begins again where it now is.
    bool continuing = window_.Active() && windowId_ == id && lastMatch_ &&
                      lastMatch_->field == w->focus && lastMatch_->start == w->selStart &&
                      lastMatch_->end == w->selEnd;
    if (!continuing) {
        window_.Begin(SearchStart(texts, w->focus, w->selStart, w->selEnd, false));
        windowId_ = id;
        foundSinceBegin_ = false;
    }
    if (std::optional<WindowMatch> m = window_.Next(texts)) {
        port_.SelectInWindow(id, m->field, m->start, m->end);
        lastMatch_ = m;
        foundSinceBegin_ = true;
        return;
    }
    port_.SelectInWindow(id, FindField::kNone, 0, 0);
    lastMatch_.reset();
    Message(foundSinceBegin_ ? msg::kFindArticleDone : msg::kFindArticleNotFound);
    foundSinceBegin_ = false;  // the next press starts over
}

bool FindPresenter::SelectNext(int32_t id) {
    if (!window_.Active() || windowId_ != id) return false;
    std::optional<ArticleWindowState> w = port_.ArticleWindow(id);
    if (!w) return false;
    std::optional<WindowMatch> m = window_.Next(Texts(*w));
    if (!m) return false;
    port_.SelectInWindow(id, m->field, m->start, m->end);
    lastMatch_ = m;
    return true;
}

void FindPresenter::SearchEnded(const ArticleSearch& search) {
    port_.ShowFoundTitles(search.Found(), search.Stopped());
    if (int m = search.EndMessage()) Message(m);
    // A search the person cancelled, or that a data-file error ended, is
    // listed but not presented.
    if (search.Found().empty() || search.Stopped()) return;
    if (titlesOnly_) {
        port_.BringIndexWindowForward();
        return;
    }
    found_ = search.Found();
    index_ = -1;
    PresentNext();
}

void FindPresenter::PresentNext() {
    for (;;) {
        ++index_;
        window_.Reset();
        windowId_.reset();
        lastMatch_.reset();
        if (size_t(index_) >= found_.size()) {
            Message(msg::kFindAllPresented);
            Forget();
            return;
        }
        int32_t id = found_[size_t(index_)];
        std::optional<bool> open = port_.OpenArticleWindow(id);
        if (!open) continue;  // reported by the window; on to the next one
        wasOpen_ = *open;
        port_.ActivateFindDialog();
        if (pattern_.empty()) return;  // found by its date: nothing to select
        if (std::optional<ArticleWindowState> w = port_.ArticleWindow(id)) {
            window_.Begin(SearchStart(Texts(*w), FindField::kNone, 0, 0, false));
            windowId_ = id;
        }
        if (SelectNext(id)) return;
        // Found by the article search but not in its window: move on.
        if (!wasOpen_) port_.CloseArticleWindow(id);
    }
}

}  // namespace qb

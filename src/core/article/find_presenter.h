// What pressing Find does, over a small port to the windows: the checks
// and their messages, the current article searched on its own, and the
// found articles presented one by one, each occurrence selected in turn.
// The article search itself (ArticleSearch) is run by the caller, in slices
// or at once, and handed back when it ends.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "article/article_search.h"
#include "article/find_options.h"
#include "article/window_search.h"

namespace qb {

class Locale;
class Ui;

// One article window as Find sees it: its two texts as the window holds
// them, the focused field and that field's selection.
struct ArticleWindowState {
    std::u16string title, content;
    FindField focus = FindField::kNone;
    int32_t selStart = 0, selEnd = 0;
};

// The windows and settings Find works through.
class FindPort {
public:
    virtual ~FindPort() = default;
    // The article ids of a range (not Current Article), in the document's order.
    virtual std::vector<int32_t> RangeArticles(FindRange range) = 0;
    // Opens the window of `id`, or activates it when open; returns whether
    // it was open before, nothing when it could not be opened.
    virtual std::optional<bool> OpenArticleWindow(int32_t id) = 0;
    // The state of the window of `id`; nothing when it has none.
    virtual std::optional<ArticleWindowState> ArticleWindow(int32_t id) = 0;
    // Selects [start, end) of `field` in the window of `id` and focuses
    // that field; with FindField::kNone the selection is removed.
    virtual void SelectInWindow(int32_t id, FindField field, int32_t start, int32_t end) = 0;
    virtual void CloseArticleWindow(int32_t id) = 0;
    virtual void BringIndexWindowForward() = 0;
    // The index window lists `ids` as Found Titles ([Stopped] when `stopped`).
    virtual void ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped) = 0;
    // The Find dialog comes to the front again after a window opened.
    virtual void ActivateFindDialog() {}
    // Selects and focuses a date field of the dialog.
    virtual void FocusDateField(DateField) {}
    // Stores the FindTitlesOnly preference.
    virtual void StoreTitlesOnly(bool) {}
};

class FindPresenter {
public:
    // `remembered` is the main frame's copy of the options, kept for the
    // program's run; `pivotYear` widens two-digit years of the date fields.
    FindPresenter(FindPort& port, Ui& ui, const Locale& locale, int pivotYear,
                  FindOptions& remembered);

    // Pressing Find. `activeArticle` is the id of the active article
    // window, if any. Returns a search the caller runs (ArticleSearch with
    // this request over the document) and then hands to SearchEnded;
    // nothing when the press was dealt with here.
    std::optional<ArticleSearchRequest> PressFind(const FindOptions& options,
                                                  std::optional<int32_t> activeArticle,
                                                  const FindContext& context);

    // The article search of the last PressFind ended: its list goes to the
    // index window and its end message is shown; then the first found
    // article is presented, or with Show Only Titles the index window
    // comes forward.
    void SearchEnded(const ArticleSearch& search);

    // The range or the set of windows changed, or the dialog closed: a
    // presented search is forgotten, and so is the current article's.
    void Forget();

    bool Presenting() const { return index_ >= 0; }
    // The found article being presented, if any.
    std::optional<int32_t> PresentedArticle() const;

private:
    void SearchCurrentArticle(int32_t id);
    void PresentNext();
    // Selects the next occurrence in the window of `id`; false when none.
    bool SelectNext(int32_t id);
    void Message(int id);
    WindowTexts Texts(const ArticleWindowState& w) const;

    FindPort& port_;
    Ui& ui_;
    const Locale& locale_;
    int pivotYear_;
    FindOptions& remembered_;

    // The options of the search under way; another text, other flags or
    // another range start a new search.
    std::optional<FindOptions> searched_;
    std::u16string pattern_;
    uint32_t flags_ = kFindDown;
    FindWhere where_ = FindWhere::kTitleAndText;
    bool titlesOnly_ = false;

    // A presented search: the found ids, the one presented, and whether
    // its window was open before it was presented.
    std::vector<int32_t> found_;
    int32_t index_ = -1;
    bool wasOpen_ = false;

    // The search within one window (presented or current).
    std::optional<int32_t> windowId_;
    WindowSearchState window_;
    std::optional<WindowMatch> lastMatch_;
    bool foundSinceBegin_ = false;
};

}  // namespace qb

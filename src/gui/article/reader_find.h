// Find in the reader: the one Find dialog of the main window, the options
// it remembers for the program's run, the FindPort over the article
// windows and the index window, and the article search run in slices from
// the event loop (a zero-interval timer) behind its progress window, so
// that the reader repaints and Cancel acts while it runs.
#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "article/article_search.h"
#include "article/find_options.h"
#include "article/find_presenter.h"
#include "gui/app/find_index_hooks.h"

namespace qb {

class CArticleFrame;
class CFindDlg;
class CMainFrame;
class CQuillboxDoc;
class ReaderApp;
class ReaderArticleWindows;

class ReaderFind : public FindPort, public std::enable_shared_from_this<ReaderFind> {
public:
    explicit ReaderFind(ReaderApp& app);
    ~ReaderFind() override;

    // The windows Find works through. Also makes the article windows'
    // Find command open the dialog.
    void Connect(ReaderArticleWindows& articles, FindIndexHooks index);
    // What the index window tells when its title list changes.
    TitleListListener TitleListNotices();
    // Edit > Find... while no article window is active, and the window
    // notices of the MDI area.
    void RegisterCommands(CMainFrame& frame);

    // Edit > Find...: opens the dialog, or brings it to the front.
    void OpenDialog();
    // The open dialog; null once it closed.
    CFindDlg* Dialog() const;
    // The dialog's Find button. A press while a search runs is ignored.
    void PressFind();
    bool Searching() const { return search_ != nullptr; }
    // The options kept for the program's run.
    const FindOptions& Remembered() const { return remembered_; }
    // The article search of the running press, if any (tests).
    const ArticleSearch* RunningSearch() const { return search_.get(); }

    // ---- FindPort
    std::vector<int32_t> RangeArticles(FindRange range) override;
    std::optional<bool> OpenArticleWindow(int32_t id) override;
    std::optional<ArticleWindowState> ArticleWindow(int32_t id) override;
    void SelectInWindow(int32_t id, FindField field, int32_t start, int32_t end) override;
    void CloseArticleWindow(int32_t id) override;
    void BringIndexWindowForward() override;
    void ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped) override;
    void ActivateFindDialog() override;
    void FocusDateField(DateField field) override;
    void StoreTitlesOnly(bool on) override;

private:
    FindContext Context();
    // The article window that is the MDI area's current one.
    CArticleFrame* ActiveFrame() const;
    void SubWindowActivated(QMdiSubWindow* w);
    void TitleListChanged(bool listChanged);
    void DialogClosed();

    void StartSearch(ArticleSearchRequest request);
    void RunSlice();
    void EndSearch();
    // The searched document closed: the search ends without a word.
    void AbandonSearch();

    ReaderApp& app_;
    ReaderArticleWindows* articles_ = nullptr;
    FindIndexHooks index_;
    FindOptions remembered_;
    bool rememberedRead_ = false;  // Show Only Titles taken from the preferences
    QPointer<CFindDlg> dialog_;
    std::unique_ptr<FindPresenter> presenter_;
    // Inside the presenter: the windows it opens, closes and activates are
    // its own doing, not the person's, and forget nothing.
    int acting_ = 0;

    std::unique_ptr<ArticleSearch> search_;
    std::unique_ptr<SearchWithProgress> progress_;
    CQuillboxDoc* searchedDoc_ = nullptr;
    QPointer<QMdiSubWindow> searchedIndex_;  // goes before its document does
    bool hadIndex_ = false;
    QTimer slices_;
};

// Creates Find for `app` and registers its command (a frame extension).
// Install it before the article windows, which pass Find on to it while
// none of them is active; then Connect it.
ReaderFind& InstallFind(ReaderApp& app);

}  // namespace qb

// Connects the index window to the reader: the factory that creates it for
// every opened document, and the View, Article and Edit commands it carries.
#pragma once

#include <memory>
#include <vector>

#include "gui/index/index_frame.h"
#include "gui/index/index_view.h"

namespace qb {

class Clipboard;
class ClipboardWriter;
class CMainFrame;
class ReaderApp;

// The index window's share of the running reader: the current query (one
// per program run, kept across files), the Run Saved Query items last
// shown and the article windows' hooks. InstallIndexWindow creates it; the
// factory and the frame extension it installs on the app, and the services
// of every index window, share it, so it lives while any of them does.
class ReaderIndexWindows : public std::enable_shared_from_this<ReaderIndexWindows> {
public:
    // Copies go to `clipboard`, or to the desktop's clipboard through a
    // writer of its own when it is null.
    explicit ReaderIndexWindows(ReaderApp& app, ClipboardWriter* clipboard = nullptr);
    ~ReaderIndexWindows();

    // The services of the running reader for one document.
    IndexServices Services(CQuillboxDoc& doc);
    // The View, Article and Edit commands of the index window on `frame`.
    void RegisterCommands(CMainFrame& frame);
    // What opens and closes article windows and tells which one is
    // active; without hooks the index window opens none.
    void SetArticleWindowHooks(ArticleWindowHooks hooks) { hooks_ = std::move(hooks); }
    QueryExpression& CurrentQuery() { return query_; }
    // What Find reads of and shows in the index window of the open document.
    FindIndexHooks FindHooks();
    // Who is told when the title list changes (Find's ranges follow it).
    void SetTitleListListener(TitleListListener listener) { titleListener_ = std::move(listener); }

private:
    // The Run Saved Query menu from the model's items.
    void RebuildQueryMenu(const std::vector<QueryMenuItem>& items);

    ReaderApp& app_;
    QueryExpression query_;
    ArticleWindowHooks hooks_;
    std::unique_ptr<Clipboard> ownClipboard_;
    std::unique_ptr<ClipboardWriter> ownClipboardWriter_;
    ClipboardWriter* clipboard_ = nullptr;
    TitleListListener titleListener_;
    // The Run Saved Query items last shown, to map a menu position back to
    // the query's place in the table.
    std::vector<QueryMenuItem> shownQueryItems_;
};

// The index view of the open document, or null.
CIndexView* ActiveIndexView(ReaderApp& app);

// Installs the factory and registers the commands (a frame extension).
// Give the article windows the same `clipboard`, so that a missing
// clipboard is said once for the program.
ReaderIndexWindows& InstallIndexWindow(ReaderApp& app, ClipboardWriter* clipboard = nullptr);

}  // namespace qb

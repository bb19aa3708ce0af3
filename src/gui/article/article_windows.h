// The open article windows of the one open document: opening (or
// activating) a window for an article id, closing by id or by set, the
// active one, and the commands an article window carries on the main
// frame. The windows themselves are the MDI area's children; nothing here
// keeps a pointer that could outlive them.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "gui/app/article_window_hooks.h"
#include "platform/clock.h"

namespace qb {

class CArticleFrame;
class CArticleView;
class ClipboardWriter;
class CMainFrame;
class IdSet;
class Clipboard;
class Launcher;
class ReaderApp;

class ReaderArticleWindows : public std::enable_shared_from_this<ReaderArticleWindows> {
public:
    // `launcher`, `clock` and `clipboard` are the reader's own unless a test
    // gives its fakes. One ClipboardWriter for the whole program says a
    // missing clipboard once; the index window's Copy shares it.
    ReaderArticleWindows(ReaderApp& app, Launcher* launcher, const SteadyClock* clock,
                         ClipboardWriter* clipboard = nullptr);
    ~ReaderArticleWindows();

    // The window of article `id`: brought to the front when one is open,
    // else created, placed and shown. Null without a document.
    CArticleFrame* Open(int32_t id);
    void Close(int32_t id);
    // Closes the windows of `ids`; true when every one of them closed.
    bool CloseSet(const IdSet& ids);
    CArticleFrame* Find(int32_t id) const;
    // The active MDI child when it is an article window, else null.
    CArticleFrame* Active() const;
    std::vector<CArticleFrame*> Frames() const;
    // The keyword pane's width changed: every window lays itself out again.
    void RelayoutAll();
    // A new Active Links mode (Preferences): every window takes it.
    void SetActiveLinksMode(int32_t mode);
    // The toolbar tips of Print, Copy, Cut, Paste and the bookmark button
    // name the article while an article window is active.
    void UpdateToolTips();

    // What the index window opens and closes article windows with.
    ArticleWindowHooks Hooks();
    // The article window's commands on `frame`. Commands the index window
    // also carries (Previous/Next Article, Select All) go to it while no
    // article window is active.
    void RegisterCommands(CMainFrame& frame);

    // Find, Export and Print of an article window come with their own
    // windows; until one is set here the command stays disabled.
    using ArticleCommand = std::function<void(CArticleView&)>;
    void SetArticleCommand(int id, ArticleCommand run);

private:
    CArticleFrame* Create(int32_t id);

    ReaderApp& app_;
    std::unique_ptr<Launcher> ownLauncher_;
    Launcher* launcher_ = nullptr;
    SystemSteadyClock systemClock_;
    const SteadyClock* clock_ = nullptr;
    std::unique_ptr<Clipboard> ownClipboard_;
    std::unique_ptr<ClipboardWriter> ownClipboardWriter_;
    ClipboardWriter* clipboard_ = nullptr;
    std::map<int, ArticleCommand> laterCommands_;
};

// Installs the article windows on `app`: the window closer the document
// uses for private articles, and the commands (a frame extension). Give
// it to the index window: InstallIndexWindow(app).SetArticleWindowHooks(
// InstallArticleWindows(app).Hooks()), the index window's first so that
// the shared commands reach it.
ReaderArticleWindows& InstallArticleWindows(ReaderApp& app, Launcher* launcher = nullptr,
                                            const SteadyClock* clock = nullptr,
                                            ClipboardWriter* clipboard = nullptr);

}  // namespace qb

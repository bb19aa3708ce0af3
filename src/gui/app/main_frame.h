// CMainFrame: the reader's main window. An MDI area for the index, article
// and report windows, the menus with every command's identifier on its
// action, the four toolbars, the status bar panes, placement across runs,
// the docking layout, and the window-wide values other windows share.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/frame_layout.h"
#include "platform/command_state.h"
#include "richtext/rich_text.h"

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMimeData;
class QToolBar;

namespace qb {

class ReaderApp;

class HelpWindow;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    using Run = std::function<void()>;
    using State = std::function<CommandState()>;

    explicit CMainFrame(ReaderApp& app);
    ~CMainFrame() override;

    // Menus, bars and status bar; then the saved docking layout and bar
    // visibility.
    void Build();
    // Placement from the stored values on the available screen area, then
    // shown (maximized when it was closed so).
    void ShowOnStart();

    // ---- Commands
    QAction* Action(int id) const;  // nullptr for an unknown id
    void RunCommand(int id);
    // Later windows add their commands here; a command without a handler
    // stays disabled.
    void RegisterCommand(int id, Run run, State state);
    // The handler registered for `id` (empty functions when none), so that
    // a later window can pass the command on while it is not active.
    std::pair<Run, State> RegisteredCommand(int id) const;
    void UpdateCommandStates();

    // ---- What the document and the open path change
    void SetFileTitle(const std::string& title);
    void RebuildRecentMenu();
    void RebuildSavedQueryMenu(const std::vector<std::string>& names);
    void UpdateStatusPanes();
    void ApplyAlwaysOnTop(bool on);
    void ApplyButtonSize();

    // ---- Parts of the frame
    QMdiArea* Mdi() const { return mdi_; }
    QToolBar* Toolbar(Bar bar) const { return bars_[static_cast<int>(bar)]; }
    QLabel* PaneLabel(Pane pane) const { return panes_[static_cast<int>(pane)]; }
    bool PaneLit(Pane pane) const;
    QMenu* RecentMenuHost() const { return fileMenu_; }
    QMenu* SavedQueryMenu() const { return savedQueries_; }

    // ---- Shared with article windows
    // Where the next article window goes (and the cascade moves on).
    Rect NextArticleRect();
    void RememberArticleSize(int width, int height);
    int32_t KeywordPaneWidth() const;
    void SetKeywordPaneWidth(int32_t width);
    // Loads articles for Find, copy, export and printing without showing them.
    RichTextControl& HiddenRichText() { return hiddenRichText_; }

    // The normal (neither minimized nor maximized) rectangle last seen.
    Rect NormalRect() const { return normalRect_; }
    // Files dropped on the window: the first local one is opened once the
    // drop has returned. False when there was none.
    bool OpenDropped(const QMimeData& mime);

    // What closing writes: bars, placement, article size, divider, layout.
    void SaveOnClose();

    // ---- Help
    // Opens the guide's `page` (help::k...) in the help window; without an
    // installed guide, says so.
    void ShowHelp(const std::string& page);
    // F1: the page of the window that has the focus (HelpPageFor), else of
    // the active MDI window, else the contents.
    void ShowContextHelp();
    // The help window once a page was shown, else nullptr.
    HelpWindow* Help() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    struct Handler {
        Run run;
        State state;
    };
    QAction* MakeAction(int id);
    void BuildMenus();
    void BuildToolbars();
    void BuildStatusBar();
    void RestoreBarLayout();
    void AddItems(QMenu* menu, const std::vector<struct MenuItem>& items);
    CommandState BuiltInState(int id) const;
    bool RunBuiltIn(int id);
    void SetBarShown(Bar bar, bool on);
    void TrackNormalRect();
    void SetPaneLit(Pane pane, bool lit);

    ReaderApp& app_;
    QMdiArea* mdi_ = nullptr;
    std::map<int, QAction*> actions_;
    std::map<int, Handler> handlers_;
    std::array<QToolBar*, kBarCount> bars_{};
    std::array<QLabel*, kPaneCount> panes_{};
    std::array<bool, kPaneCount> lit_{};
    QMenu* fileMenu_ = nullptr;
    QAction* recentAnchor_ = nullptr;  // recent files go before it
    std::vector<QAction*> recentActions_;
    QMenu* savedQueries_ = nullptr;
    Rect normalRect_;
    ArticleCascade cascade_;
    RichTextControl hiddenRichText_;
    bool saved_ = false;
    QPointer<HelpWindow> help_;
};

}  // namespace qb

// CIndexView: the index window's panes over IndexModel. It lays the panes
// out, draws captions and marks, forwards every action to the model and
// answers the document's numbered dispatch. CIndexFrame is its MDI child
// frame and keeps the placement across runs.
#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "document/document_host.h"
#include "index/document_source.h"
#include "index/index_host.h"
#include "index/index_layout.h"
#include "index/index_model.h"

class QAction;
class QDialog;
class QMainWindow;
class QMenu;
class QPushButton;
class QLabel;
class QRubberBand;
class QTextEdit;

namespace qb {

class CQuillboxDoc;
class CDragList;
class CKeywordListBox;
class CIndexTitleList;
class ProfileStore;
class Settings;

// What opens and closes article windows; installed by the article window.
struct ArticleWindowHooks {
    std::function<void(int32_t)> open;
    std::function<void(int32_t)> close;
    std::function<std::optional<int32_t>()> active;
};

// Everything the index window works through.
struct IndexServices {
    CQuillboxDoc* doc = nullptr;
    Settings* settings = nullptr;
    ProfileStore* store = nullptr;
    Ui* ui = nullptr;
    const Locale* locale = nullptr;
    // Runs a modal dialog (tests answer without showing it).
    std::function<int(QDialog&)> exec;
    // The main frame's command actions, for the context menus; may be null.
    std::function<QAction*(int)> action;
    // The main frame's width of the keyword pane (caps the keyword preview).
    std::function<int32_t()> keywordPaneWidth;
    std::function<void()> updateCommands;
    // The Run Saved Query menu from the recent list.
    std::function<void(const std::vector<QueryMenuItem>&)> rebuildSavedQueryMenu;
    QMainWindow* mainWindow = nullptr;  // for status prompts
    ArticleWindowHooks articles;
};

// The current query: one per program.
QueryExpression& CurrentQuery();

// Which pane of the window a widget is, for focus, Select All and menus.
enum class IndexPane { None, Groups, Index, Selected, Titles, Content, KeywordPreview, Caption };

class CIndexView : public QWidget, public IndexWindow, public IndexHost {
    Q_OBJECT
public:
    CIndexView(IndexServices services, QWidget* parent = nullptr);
    ~CIndexView() override;

    IndexModel& Model() { return model_; }
    IndexSource& Source() { return source_; }
    const IndexDisplayValues& Display() const { return disp_; }
    const LayoutResult& Layout() const { return layout_; }

    // ---- IndexWindow
    int32_t Dispatch(int code, int32_t a, int32_t b) override;

    // ---- IndexHost
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RefreshPreview() override { UpdatePreview(); }
    void BringToFront() override;
    void StoreSortOrder(int32_t order) override;
    void StoreSelectListMode(int32_t mode) override;
    void OpenArticle(int32_t id) override;
    void CloseArticleWindow(int32_t id) override;
    std::optional<int32_t> ActiveArticleWindow() override;

    // ---- Commands (the View and Article menus and the panes' buttons)
    void SetView(int32_t view);
    void ShowGroupList(bool on, bool byUser);
    bool GroupListShown() const { return groupShown_; }
    void SetPreviewFlags(int32_t flags);
    int32_t PreviewFlags() const { return disp_.previewOn; }
    void MoveToSelected();
    void MoveToIndex();
    void ChooseAndOr(int32_t mode);
    void ChooseIndexMode(int32_t mode);
    void SortBy(int32_t order);
    void ShowTitles(int32_t mode);  // title_mode::kAllTitles, kBookmarked or kAttachments
    void OpenHighlighted();
    void PreviousNext(bool next);
    void SelectAll();  // in the focused pane
    void TurnOffGroupFilter();
    // Drops: `source` released over `target`.
    void HandleDrop(CDragList* source, QWidget* target);

    // Edit > Query...: the Build Query dialog, then the query run.
    void BuildQuery();
    void RunSavedQuery(int32_t tableIndex);
    void MoreQueries();

    // The pane a widget belongs to; the focused pane.
    IndexPane PaneOf(const QWidget* w) const;
    IndexPane FocusedPane() const;
    // The context menu of a pane (shown by the panes; built here).
    std::unique_ptr<QMenu> ContextMenu(IndexPane pane);
    // The status prompt of a pane (10053 to 10058).
    static QString Prompt(IndexPane pane);

    // Reads the display settings (columns, colours) again and lays out.
    void ApplyDisplaySettings();
    // Brings every pane up to date with the model.
    void Sync();
    // The layout values written at close (placement is the frame's).
    void SaveDisplay(IndexDisplayValues placement, bool placementRecorded);
    void RestoreFocus();

    // ---- Parts, for the frame and tests
    CKeywordListBox* GroupListBox() const { return groups_; }
    CKeywordListBox* IndexListBox() const { return index_; }
    CKeywordListBox* SelectedListBox() const { return selected_; }
    CKeywordListBox* KeywordPreview() const { return keywordPreview_; }
    CIndexTitleList* TitleList() const { return titles_; }
    QTextEdit* ContentPreview() const { return content_; }
    QPushButton* IndexCaption() const { return indexCaption_; }
    QPushButton* SelectedCaption() const { return selectedCaption_; }
    QPushButton* DateCaption() const { return dateCaption_; }
    QPushButton* TitleCaption() const { return titleCaption_; }
    QPushButton* StatusCaption(int i) const { return statusCaptions_[i]; }
    QPushButton* ToSelectedButton() const { return toSelected_; }
    QPushButton* ToIndexButton() const { return toIndex_; }
    int32_t ShownArticle() const { return shownArticle_; }
    int ContentLoads() const { return contentLoads_; }

signals:
    void KeywordListsWidthChanged(int delta);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void Build();
    void Relayout();
    void UpdatePreview();
    void LoadContent(int32_t id);
    void UpdateCaptions();
    void ApplyPreviewColour();
    void Report(const CQuillError& e);
    void SavedQueryMenuChanged();
    void ListSelectionChanged(CDragList* list);
    void Place(QWidget* w, const PaneRect& r);

    IndexServices svc_;
    DocumentIndexSource source_;
    IndexModel model_;
    NamedIdList previewKeywords_;
    IndexDisplayValues disp_;
    LayoutResult layout_;
    bool groupShown_ = false;
    bool groupToggled_ = false;

    QLabel* groupCaption_ = nullptr;
    CKeywordListBox* groups_ = nullptr;
    QPushButton* indexCaption_ = nullptr;
    CKeywordListBox* index_ = nullptr;
    QPushButton* toSelected_ = nullptr;
    QPushButton* toIndex_ = nullptr;
    QPushButton* selectedCaption_ = nullptr;
    CKeywordListBox* selected_ = nullptr;
    QPushButton* statusCaptions_[4] = {};
    QPushButton* dateCaption_ = nullptr;
    QPushButton* titleCaption_ = nullptr;
    CIndexTitleList* titles_ = nullptr;
    QTextEdit* content_ = nullptr;
    CKeywordListBox* keywordPreview_ = nullptr;

    int32_t shownArticle_ = NIL_BLOCK;
    int contentLoads_ = 0;
    Splitter dragging_ = Splitter::None;
    QRubberBand* bar_ = nullptr;
    QPointer<QWidget> lastFocus_;
    int waitDepth_ = 0;
};

class CIndexFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    CIndexFrame(IndexServices services, QWidget* parent = nullptr);
    ~CIndexFrame() override;
    CIndexView* View() const { return view_; }
    // Writes the layout keys and the placement, once.
    void SaveOnClose();
    bool PlacementRecorded() const { return recorded_; }

protected:
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    void Track();

    IndexServices svc_;
    CIndexView* view_ = nullptr;
    QRect normal_;
    bool recorded_ = false;
    bool saved_ = false;
    bool shown_ = false;
};

// Creates the index window of `doc` inside `mdi` (the reader's factory),
// with its placement from the "Index Display" keys.
CIndexFrame* CreateIndexFrame(IndexServices services, QMdiArea& mdi);

}  // namespace qb

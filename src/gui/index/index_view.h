// CIndexView: the index window's panes over IndexModel. It lays the panes
// out, draws captions and marks, forwards every action to the model and is
// the document's IndexWindow. Its frame is CIndexFrame (index_frame.h), its
// context menus are built in index_context_menus.h.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "document/document_host.h"
#include "gui/app/article_window_hooks.h"
#include "gui/app/find_index_hooks.h"
#include "index/document_source.h"
#include "index/index_host.h"
#include "index/index_layout.h"
#include "index/index_model.h"
#include "richtext/rich_text.h"

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
class ClipboardWriter;
class CDragList;
class CKeywordListBox;
class CIndexTitleList;
class ProfileStore;
class Settings;

// Everything the index window works through.
struct IndexServices {
    CQuillboxDoc* doc = nullptr;
    // The current query, shared by the index windows of one program run
    // and kept across files; must outlive the window.
    QueryExpression* query = nullptr;
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
    // Where Edit > Copy places its copies; Copy is disabled without one.
    ClipboardWriter* clipboard = nullptr;
    // The title list changed (see TitleListListener); may be empty.
    TitleListListener titleListChanged;
};

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
    void OnFileLoaded() override;
    void OnNoGroups() override;
    void OnPrivacyChanged() override;
    int32_t ViewMode() const override { return disp_.view; }
    void SetViewMode(int32_t mode) override { SetView(mode); }
    int32_t IsWindowVisible() const override { return isVisible() ? 1 : 0; }
    int32_t IsGroupListShown() const override { return groupShown_ ? 1 : 0; }
    void SetGroupListShown(bool shown) override { ShowGroupList(shown, true); }
    void OnDisplaySettingsChanged() override { ApplyDisplaySettings(); }
    void RedrawTitleList() override;
    int32_t PreviewFlags() const override { return disp_.previewOn; }
    void TogglePreview(int32_t flag) override;
    void CyclePreview() override;
    void OnPreviewColorChanged() override { ApplyPreviewColour(); }
    int32_t SelectedMode() const override { return model_.SelectedKeywordMode(); }
    void SetSelectedMode(int32_t mode) override;
    int32_t IndexMode() const override { return model_.RequestedIndexMode(); }
    void SetIndexMode(int32_t mode) override { ChooseIndexMode(mode); }
    void ToggleIndexMode() override;
    int32_t TitleMode() const override { return model_.TitleMode(); }
    int32_t TitleMemberCount() const override { return model_.TitleMemberCount(); }
    int32_t HighlightedCount() const override { return model_.HighlightedCount(); }
    void ClearTitleHighlight() override;
    void OnSortOrderChanged() override;
    void StepArticle(int32_t articleId, bool next) override;
    bool TitleListHolds(int32_t articleId) const override {
        return model_.TitleListHolds(articleId);
    }

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
    void MoveToSelected();
    void MoveToIndex();
    void ChooseAndOr(int32_t mode);
    void ChooseIndexMode(int32_t mode);
    void SortBy(int32_t order);
    void ShowTitles(int32_t mode);  // title_mode::kAllTitles, kBookmarked or kAttachments
    void OpenHighlighted();
    void PreviousNext(bool next);
    void SelectAll();  // in the focused pane
    // Edit > Copy (index_copy.cpp): from the title list, Copy Articles of
    // the highlighted titles in list order; from the content preview, its
    // selection as plain text and RTF. Enabled while the focused one of
    // them has something highlighted or selected.
    bool CanCopy() const;
    void Copy();
    void TurnOffGroupFilter();
    // Find's result as the title list (IndexModel::ShowFoundTitles).
    void ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped);
    // Drops: `source` released over `target`.
    void HandleDrop(CDragList* source, QWidget* target);

    // Edit > Query...: the Build Query dialog, then the query run.
    void BuildQuery();
    void RunSavedQuery(int32_t tableIndex);
    void MoreQueries();

    // The pane a widget belongs to; the focused pane.
    IndexPane PaneOf(const QWidget* w) const;
    IndexPane FocusedPane() const;
    // The context menu of a pane (see IndexContextMenu); null for none.
    std::unique_ptr<QMenu> ContextMenu(IndexPane pane);
    // The status prompt of a pane; empty for none.
    static QString Prompt(IndexPane pane);

    // Reads the display settings (columns, colours) again and lays out.
    void ApplyDisplaySettings();
    // Brings every pane up to date with the model.
    void Sync();
    // The layout values written at close (placement is the frame's).
    void SaveDisplay(IndexDisplayValues placement, bool placementRecorded);
    void RestoreFocus();

    // ---- Parts, for the frame, the context menus and tests
    const IndexServices& Services() const { return svc_; }
    // Shown and not minimized: keyword moves act only then.
    bool OnScreen() const;
    NamedIdList& PreviewKeywordList() { return previewKeywords_; }
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
    void FitKeywordLists();
    void Relayout();
    void UpdatePreview();
    void LoadContent(int32_t id);
    void ClearContentPreview();
    void UpdateCaptions();
    // Tells titleListChanged, saying whether the list itself changed.
    void TellTitleList();
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
    RichTextControl shownContent_;  // what content_ shows, for Copy
    int contentLoads_ = 0;
    Splitter dragging_ = Splitter::None;
    QRubberBand* bar_ = nullptr;
    QPointer<QWidget> lastFocus_;
    int waitDepth_ = 0;
    // The title list last told to titleListChanged.
    IdSet toldTitles_;
    int32_t toldTitleMode_ = -1;
};

}  // namespace qb

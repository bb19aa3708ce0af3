// Everything the index window decides: the Index, Selected and group
// lists, the AND/OR and index modes, what the title list shows and its
// caption, and queries run into it. The window only draws this model and
// forwards actions to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datafile/id_set.h"
#include "index/keyword_list.h"
#include "index/query_expression.h"
#include "index/saved_queries.h"
#include "index/title_list.h"
#include "platform/command_state.h"

namespace qb {

class IndexHost;
class IndexSource;
class Locale;
class Ui;

// What the title list shows; the caption is string msg::kTitleCaptionBase + mode.
namespace title_mode {
constexpr int32_t kTitles = 0;
constexpr int32_t kAllTitles = 1;
constexpr int32_t kBookmarked = 2;
constexpr int32_t kSelected = 3;
constexpr int32_t kFound = 4;
constexpr int32_t kFoundStopped = 5;
constexpr int32_t kFoundOutdated = 6;
constexpr int32_t kQuery = 7;
constexpr int32_t kQueryOutdated = 8;
constexpr int32_t kAttachments = 9;
}  // namespace title_mode
using TitleListMode = int32_t;

constexpr int32_t kAndMode = 0;
constexpr int32_t kOrMode = 1;

// The settings the model starts from (the reader takes them from Settings).
struct IndexSettings {
    int32_t initList = 0;         // 0 all titles, 1 bookmarked, 2 none
    int32_t selectListMode = 0;   // 0 AND, 1 OR
    int32_t indexMode = 0;        // 0 all non-selected, 1 related only
    int32_t autoUpdateQuery = 1;  // re-run the query when private articles change
};

class IndexModel {
public:
    IndexModel(IndexSource& source, const Locale& locale, Ui& ui, IndexHost& host,
               QueryExpression& currentQuery, IndexSettings settings = IndexSettings());

    // Fills every list after the document loaded its file.
    void InitialUpdate();

    NamedIdList& IndexList() { return index_; }
    NamedIdList& SelectedList() { return selected_; }
    NamedIdList& GroupList() { return groups_; }
    TitleListModel& Titles() { return titles_; }
    const GroupFilter& Filter() const { return filter_; }
    SavedQueryList& Saved() { return saved_; }
    IndexSettings& Settings() { return settings_; }

    int32_t SelectedKeywordMode() const { return andOr_; }
    int32_t RequestedIndexMode() const { return requestedIndexMode_; }
    int32_t EffectiveIndexMode() const { return effectiveIndexMode_; }
    TitleListMode TitleMode() const { return titleMode_; }
    int32_t TitleMemberCount() const { return int32_t(titles_.Members().Count()); }
    int32_t HighlightedCount() const { return int32_t(titles_.HighlightCount()); }

    // ---- Captions (UTF-8)
    std::string TitleCaption() const;
    std::string IndexCaption() const;
    std::string SelectedCaption() const;

    // ---- Menu states
    CommandState AndItem() const { return {true, andOr_ == kAndMode}; }
    CommandState OrItem() const { return {true, andOr_ == kOrMode}; }
    CommandState ShowAllNonSelectedItem() const {
        return {andOr_ == kAndMode, requestedIndexMode_ == 0};
    }
    CommandState ShowRelatedItem() const { return {andOr_ == kAndMode, requestedIndexMode_ == 1}; }
    bool MoveToSelectedEnabled() const { return !index_.Highlighted().Empty(); }
    bool MoveToIndexEnabled() const { return !selected_.Highlighted().Empty(); }

    // ---- Keyword selection
    void MoveToSelected();
    void MoveToIndex();
    // Keywords dropped onto the Selected list from another list (the
    // keyword preview, another window): selected as by Move to Selected.
    void AddToSelection(const IdSet& keywords);
    // View > Selected Keyword Mode: stores the setting, then applies it.
    void ChooseAndOrMode(int32_t mode);
    void SetAndOrMode(int32_t mode);
    void SetIndexMode(int32_t requested);
    void ToggleIndexMode();  // F9

    // ---- Title list
    // The document's sort order changed: the list re-sorts from it.
    void SortOrderChanged() { titles_.ResortFromSource(); }
    // No title highlighted, and the preview follows.
    void ClearTitleHighlight();
    // An article window's Previous / Next: see TitleListModel::Step.
    void StepArticle(int32_t articleId, bool next) { titles_.Step(articleId, next); }
    bool TitleListHolds(int32_t articleId) const { return titles_.RowOf(articleId).has_value(); }

    // ---- Show commands
    void ShowAllTitles() { Show(title_mode::kAllTitles); }
    void ShowBookmarkedTitles() { Show(title_mode::kBookmarked); }
    void ShowArticlesWithAttachments() { Show(title_mode::kAttachments); }

    // ---- Keyword groups
    // Call after the group list's highlight changed.
    void GroupHighlightChanged();
    void SetGroupPaneVisible(bool visible);
    bool GroupPaneVisible() const { return filter_.active; }
    void TurnOffGroupFilter();

    // Private articles were shown or hidden.
    void PrivateShownOrHidden();

    // ---- Offered to Find and to queries
    void ClearSelection();
    void ClearSelectionAndTitles();
    void ReplaceTitles(const IdSet& members);
    void SetTitleMode(TitleListMode mode) { titleMode_ = mode; }
    // Find's result: the selection cleared and the title list holding
    // `ids`, as Found Titles, or Found Titles [Stopped] when the search
    // stopped short of its range.
    void ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped);

    // ---- Queries
    // After Build Query closed with OK: the current query, compiled, is run.
    void RunCurrentQuery();
    // Runs saved query `index` as the Run Saved Query menu does; false when
    // it could not be compiled (msg::kSavedQueryInvalid) or does not exist.
    bool RunSavedQuery(int32_t index);

    // ---- Preview
    // The article whose content the preview shows: exactly one highlighted.
    std::optional<int32_t> PreviewArticle() const;
    // The keywords all highlighted articles share.
    IdSet PreviewKeywords();

private:
    void EvaluateSelection();        // the titles of the Selected list's keywords
    void Show(TitleListMode mode);   // a Show command: selection cleared, titles replaced
    void ComputeIndexList();         // the Index list for the effective mode
    void ApplyRequestedIndexMode();  // effective mode from requested and AND/OR
    void ReplaceIndexMembers(const IdSet& members);
    void LimitToVisible(IdSet& set);
    void Select(const IdSet& keywords);  // shared tail of Move to Selected and drops
    void Report(const class CQuillError& e);

    IndexSource& source_;
    Ui& ui_;
    IndexHost& host_;
    QueryExpression& query_;
    IndexSettings settings_;

    NamedIdList index_, selected_, groups_;
    GroupFilter filter_;
    TitleListModel titles_;
    SavedQueryList saved_;

    int32_t andOr_ = kAndMode;
    int32_t requestedIndexMode_ = 0;
    int32_t effectiveIndexMode_ = 0;
    TitleListMode titleMode_ = title_mode::kTitles;
};

}  // namespace qb

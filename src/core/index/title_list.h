// The title list: its members, the order of its rows, highlights and the
// caret, caption clicks and marks, type-ahead and stepping through it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "datafile/id_set.h"
#include "index/type_ahead.h"

namespace qb {

class IndexHost;
class IndexSource;
class Locale;
class Ui;

namespace title_order {
constexpr int32_t kTitlesAscending = 0;
constexpr int32_t kTitlesDescending = 1;
constexpr int32_t kDatesAscending = 2;
constexpr int32_t kDatesDescending = 3;
constexpr int32_t kBookmarkedFirst = 4;
constexpr int32_t kBookmarkedLast = 5;
constexpr int32_t kAttachmentsFirst = 6;
constexpr int32_t kAttachmentsLast = 7;
constexpr int32_t kHypertextFirst = 8;
constexpr int32_t kHypertextLast = 9;
constexpr int32_t kPrivateFirst = 10;
constexpr int32_t kPrivateLast = 11;
constexpr int32_t kCount = 12;
}  // namespace title_order

// Compares two articles by one of the twelve orders: -1, 0 or +1. Negative
// ids compare equal to everything. An article whose summary cannot be read
// compares as an empty title without a date. Titles compare by the
// collation keys the source keeps with each summary, so that sorting
// collates each title once rather than at every comparison.
class TitleComparator {
public:
    TitleComparator(IndexSource& source, const Locale& locale, int32_t order);
    int Compare(int32_t a, int32_t b) const;

private:
    struct Key;
    Key KeyOf(int32_t id) const;
    int CompareKeys(const Key& a, const Key& b) const;
    friend void SortTitles(std::vector<int32_t>&, IndexSource&, const Locale&, int32_t);

    IndexSource& source_;
    const Locale& locale_;
    int32_t order_;
    std::string emptyTitle_;  // the key of an unreadable article's title
};

// Puts `ids` (given ascending) into list order: the order that inserting
// each after its equals by binary search gives, in O(n log n).
void SortTitles(std::vector<int32_t>& ids, IndexSource& source, const Locale& locale,
                int32_t order);

enum class TitleColumn { Bookmark, Attachment, Hypertext, Private, Date, Title };
enum class SortMark { None, Ascending, Descending };

class TitleListModel {
public:
    TitleListModel(IndexSource& source, const Locale& locale, Ui& ui, IndexHost& host);

    // Replaces the members and rebuilds the rows; the highlight is cleared.
    void Fill(const IdSet& members);
    const IdSet& Members() const { return members_; }
    const std::vector<int32_t>& Rows() const { return rows_; }
    size_t RowCount() const { return rows_.size(); }
    std::optional<size_t> RowOf(int32_t articleId) const;

    // ---- Order
    int32_t Order() const { return order_; }
    // The order chosen: nothing happens when it is the current one;
    // otherwise it goes to the document and the settings and the rows are
    // sorted again. Returns whether the rows were rebuilt.
    bool SetOrder(int32_t order);
    // The order was changed elsewhere (in the document): sort again.
    void ResortFromSource();
    void ClickCaption(TitleColumn column);
    SortMark TitleMark() const;
    SortMark DateMark() const;
    // Whether a View > Sort by item (order 0..3) carries the check mark.
    bool SortCommandChecked(int32_t order) const { return order == order_ && order <= 3; }

    // ---- Highlight and caret
    bool IsHighlighted(size_t row) const { return row < marks_.size() && marks_[row]; }
    size_t HighlightCount() const { return highlighted_; }
    std::vector<int32_t> HighlightedIds() const;  // in row order
    std::optional<size_t> Caret() const { return caret_; }
    // The row last scrolled into view, for the window to show.
    std::optional<size_t> ScrollTarget() const { return scroll_; }
    void ClearHighlight();
    // A click: plain selects only `row`; Ctrl toggles it; Shift extends
    // from the caret.
    void Click(size_t row, bool shift = false, bool ctrl = false);
    void SelectAll();

    // ---- Keys
    // A printable character typed into the list; true when it moved.
    bool TypeKey(char c);
    void Escape() { typeAhead_.Clear(); }
    TypeAhead& TypeAheadState() { return typeAhead_; }

    // ---- Opening and stepping
    // The highlighted articles, to open each in its own window.
    std::vector<int32_t> ArticlesToOpen() const { return HighlightedIds(); }
    bool PreviousEnabled() const;
    bool NextEnabled() const;
    // Previous / Next Article from the index window.
    void PreviousNext(bool next);
    // From an article window: the title after (`next`) or before
    // `articleId`, wrapping at the ends.
    void Step(int32_t articleId, bool next);

private:
    void Rebuild();
    void SetHighlight(size_t row, bool on);
    void HighlightOnly(size_t row);

    IndexSource& source_;
    const Locale& locale_;
    Ui& ui_;
    IndexHost& host_;
    int32_t order_ = 0;
    IdSet members_;
    std::vector<int32_t> rows_;
    std::vector<char> marks_;
    size_t highlighted_ = 0;
    std::optional<size_t> caret_, scroll_;
    TypeAhead typeAhead_;
};

}  // namespace qb

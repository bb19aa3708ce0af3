// The keyword lists of the index window (Index and Selected) and its
// keyword group list: members kept apart from the rows shown, rows ordered
// by name, highlights, caret and type-ahead.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "datafile/id_set.h"
#include "index/type_ahead.h"

namespace qb {

class Locale;

// Narrows the Index list to the keywords of the highlighted groups while
// the group pane is shown.
struct GroupFilter {
    IdSet keywords;
    bool active = false;
    bool noneHighlighted = true;

    bool Narrows() const { return active && !noneHighlighted; }
    bool Passes(int32_t id) const { return !Narrows() || keywords.Contains(id); }
};

class NamedIdList {
public:
    // `nameOf` gives the name of an id as stored, in the code page `page`
    // (Windows-1252 when none is given; it must outlive the list); an
    // unreadable one is empty and sorts as such.
    NamedIdList(std::function<std::string(int32_t)> nameOf, const Locale& locale,
                const CodePage* page = nullptr);

    // Replaces the members; shows those that pass `filter`, none highlighted.
    void SetMembers(const IdSet& members, const GroupFilter& filter = GroupFilter());
    // Adds members, showing (and, with `highlight`, highlighting) those
    // that pass `filter`. Returns the last row added, if any.
    std::optional<size_t> AddMembers(const IdSet& ids, const GroupFilter& filter, bool highlight);
    // Removes members together with their rows and highlights.
    void RemoveMembers(const IdSet& ids);
    // Shows exactly the members that pass `filter` without rebuilding:
    // rows are added and deleted, the caret stays on its keyword, and the
    // list scrolls to the top.
    void ApplyFilter(const GroupFilter& filter);

    const IdSet& Members() const { return members_; }
    const std::vector<int32_t>& Rows() const { return rows_; }
    size_t RowCount() const { return rows_.size(); }
    bool IsDisplayed(int32_t id) const { return displayed_.Contains(id); }
    std::optional<size_t> RowOf(int32_t id) const;
    std::string NameAt(size_t row) const { return nameOf_(rows_[row]); }
    // The code page of the names.
    const CodePage& TextCodePage() const { return *page_; }

    // Descending name order (the Index caption's click).
    bool Reversed() const { return reversed_; }
    void ToggleReverse();

    // Highlight, by id; only displayed rows can be highlighted.
    const IdSet& Highlighted() const { return highlight_; }
    bool IsHighlighted(int32_t id) const { return highlight_.Contains(id); }
    void Click(size_t row, bool shift = false, bool ctrl = false);
    void SetHighlighted(const IdSet& ids);
    void SelectAll();
    void ClearHighlight();
    std::optional<int32_t> Caret() const { return caret_; }
    // The row the window should scroll to (0 after a filter change).
    std::optional<size_t> ScrollTarget() const { return scroll_; }

    // Type-ahead as in the title list; true when a row was highlighted.
    bool TypeKey(char c);
    void Escape() { typeAhead_.Clear(); }
    TypeAhead& TypeAheadState() { return typeAhead_; }

private:
    const std::u16string& Name(int32_t id);
    bool Before(int32_t a, int32_t b);
    void InsertRow(int32_t id);
    void SortRows();

    std::function<std::string(int32_t)> nameOf_;
    const Locale& locale_;
    const CodePage* page_;
    std::unordered_map<int32_t, std::u16string> names_;
    IdSet members_, displayed_, highlight_;
    std::vector<int32_t> rows_;
    bool reversed_ = false;
    std::optional<int32_t> caret_;
    std::optional<size_t> scroll_;
    TypeAhead typeAhead_;
};

}  // namespace qb

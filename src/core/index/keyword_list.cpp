#include "index/keyword_list.h"

#include <algorithm>

#include "platform/locale.h"

namespace qb {

namespace {
const CodePage kWindows1252;
}  // namespace

NamedIdList::NamedIdList(std::function<std::string(int32_t)> nameOf, const Locale& locale,
                         const CodePage* page)
    : nameOf_(std::move(nameOf)), locale_(locale), page_(page ? page : &kWindows1252) {}

const std::u16string& NamedIdList::Name(int32_t id) {
    auto it = names_.find(id);
    if (it == names_.end()) it = names_.emplace(id, page_->ToUtf16(nameOf_(id))).first;
    return it->second;
}

// Name order, descending while reversed; equal names by id, so that the
// order never depends on how the rows arrived.
bool NamedIdList::Before(int32_t a, int32_t b) {
    int c = locale_.Compare(Name(a), Name(b));
    if (reversed_) c = -c;
    if (c != 0) return c < 0;
    return a < b;
}

void NamedIdList::SortRows() {
    std::sort(rows_.begin(), rows_.end(), [this](int32_t a, int32_t b) { return Before(a, b); });
}

void NamedIdList::InsertRow(int32_t id) {
    auto at = std::lower_bound(rows_.begin(), rows_.end(), id,
                               [this](int32_t a, int32_t b) { return Before(a, b); });
    rows_.insert(at, id);
    displayed_.Insert(id);
}

std::optional<size_t> NamedIdList::RowOf(int32_t id) const {
    auto it = std::find(rows_.begin(), rows_.end(), id);
    if (it == rows_.end()) return std::nullopt;
    return size_t(it - rows_.begin());
}

void NamedIdList::SetMembers(const IdSet& members, const GroupFilter& filter) {
    rows_.clear();
    displayed_.Clear();
    highlight_.Clear();
    caret_.reset();
    scroll_.reset();
    members_.Copy(members);
    std::vector<int32_t> shown;
    for (int32_t id : members_)
        if (filter.Passes(id)) shown.push_back(id);
    displayed_ = IdSet::FromUnsorted(shown);
    rows_ = std::move(shown);
    SortRows();
}

std::optional<size_t> NamedIdList::AddMembers(const IdSet& ids, const GroupFilter& filter,
                                              bool highlight) {
    members_.Unite(ids);
    std::optional<int32_t> last;
    for (int32_t id : ids) {
        if (!filter.Passes(id)) continue;
        if (!displayed_.Contains(id)) InsertRow(id);
        if (highlight) highlight_.Insert(id);
        last = id;
    }
    if (!last) return std::nullopt;
    scroll_ = RowOf(*last);
    return scroll_;
}

void NamedIdList::RemoveMembers(const IdSet& ids) {
    members_.Subtract(ids);
    highlight_.Subtract(ids);
    if (caret_ && ids.Contains(*caret_)) caret_.reset();
    IdSet gone;
    gone.Copy(displayed_);
    gone.Intersect(ids);
    if (gone.Empty()) return;
    displayed_.Subtract(gone);
    rows_.erase(
        std::remove_if(rows_.begin(), rows_.end(), [&](int32_t id) { return gone.Contains(id); }),
        rows_.end());
}

void NamedIdList::ApplyFilter(const GroupFilter& filter) {
    IdSet target;
    target.Copy(members_);
    if (filter.Narrows()) target.Intersect(filter.keywords);
    IdSet hide;
    hide.Copy(displayed_);
    hide.Subtract(target);
    IdSet show;
    show.Copy(target);
    show.Subtract(displayed_);
    std::optional<int32_t> caret = caret_;
    for (int32_t id : show)
        InsertRow(id);
    if (!hide.Empty()) {
        highlight_.Subtract(hide);
        displayed_.Subtract(hide);
        rows_.erase(std::remove_if(rows_.begin(), rows_.end(),
                                   [&](int32_t id) { return hide.Contains(id); }),
                    rows_.end());
    }
    caret_ = caret && displayed_.Contains(*caret) ? caret : std::nullopt;
    scroll_ = 0;
}

void NamedIdList::ToggleReverse() {
    reversed_ = !reversed_;
    SortRows();
}

void NamedIdList::Click(size_t row, bool shift, bool ctrl) {
    if (row >= rows_.size()) {
        ClearHighlight();  // a press below the last row
        return;
    }
    int32_t id = rows_[row];
    std::optional<size_t> from = caret_ ? RowOf(*caret_) : std::nullopt;
    if (shift && from) {
        if (!ctrl) highlight_.Clear();
        size_t a = std::min(*from, row), b = std::max(*from, row);
        for (size_t i = a; i <= b; ++i)
            highlight_.Insert(rows_[i]);
    } else if (ctrl) {
        if (highlight_.Contains(id))
            highlight_.Remove(id);
        else
            highlight_.Insert(id);
    } else {
        highlight_.Clear();
        highlight_.Insert(id);
    }
    caret_ = id;
}

void NamedIdList::SetHighlighted(const IdSet& ids) {
    highlight_.Copy(ids);
    highlight_.Intersect(displayed_);
}

void NamedIdList::SelectAll() {
    highlight_.Copy(displayed_);
}

void NamedIdList::ClearHighlight() {
    highlight_.Clear();
}

bool NamedIdList::TypeKey(char c) {
    std::optional<size_t> from;
    if (!highlight_.Empty()) {
        from = caret_ ? RowOf(*caret_) : std::nullopt;
        if (!from) from = 0;
    }
    auto row = typeAhead_.Key(
        c, rows_.size(), from, [this](size_t r) { return nameOf_(rows_[r]); }, locale_, *page_);
    if (!row) return false;
    highlight_.Clear();
    highlight_.Insert(rows_[*row]);
    caret_ = rows_[*row];
    scroll_ = *row;
    return true;
}

}  // namespace qb

#include "index/title_list.h"

#include <algorithm>
#include <array>
#include <new>

#include "datafile/quill_error.h"
#include "index/index_host.h"
#include "index/index_source.h"
#include "platform/locale.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {

namespace {

// Numbers compared without the overflow a subtraction would risk with the
// unset value 0x80000001.
int Sign(int32_t a, int32_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

bool IsStatusOrder(int32_t order) {
    return order >= title_order::kBookmarkedFirst && order < title_order::kCount;
}

}  // namespace

namespace {

// The first bytes of a collation key as numbers, zero-padded: heads that
// differ order as the whole keys do (a key's end pads below any byte), so
// most comparisons never reach the key itself.
constexpr size_t kHeadWords = 3;
using KeyHead = std::array<uint64_t, kHeadWords>;

KeyHead HeadOf(std::string_view key) {
    KeyHead h{};
    for (size_t i = 0; i < kHeadWords * 8; ++i)
        h[i / 8] = (h[i / 8] << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
    return h;
}

}  // namespace

struct TitleComparator::Key {
    void SetTitle(std::string_view key) {
        title = key;
        head = HeadOf(key);
    }
    KeyHead head{};
    std::string_view title;  // the collation key, kept by the source
    int32_t date = NIL_BLOCK;
    int32_t time = NIL_BLOCK;
    bool status = false;
    uint32_t position = 0;  // where the article came, for SortTitles
};

TitleComparator::TitleComparator(IndexSource& source, const Locale& locale, int32_t order)
    : source_(source), locale_(locale), order_(order), emptyTitle_(locale.SortKey(u"")) {}

TitleComparator::Key TitleComparator::KeyOf(int32_t id) const {
    Key k;
    k.SetTitle(emptyTitle_);
    try {
        const ArticleSummary& s = source_.Summary(id);
        k.SetTitle(source_.TitleSortKey(id, locale_));
        k.date = s.articleDate;
        k.time = s.articleTime;
        switch (order_) {
            case title_order::kAttachmentsFirst:
            case title_order::kAttachmentsLast:
                k.status = s.attachmentCount > 0;
                break;
            case title_order::kHypertextFirst:
            case title_order::kHypertextLast:
                k.status = s.hasLinks;
                break;
            default:
                break;
        }
    } catch (const CQuillError& e) {
        if (e.Code() == err::kOutOfMemory) throw;
        k = Key();  // drawn without date and title; sorts as such
        k.SetTitle(emptyTitle_);
    }
    if (order_ == title_order::kBookmarkedFirst || order_ == title_order::kBookmarkedLast)
        k.status = source_.IsBookmarked(id);
    if (order_ == title_order::kPrivateFirst || order_ == title_order::kPrivateLast)
        k.status = source_.IsPrivate(id);
    return k;
}

int TitleComparator::CompareKeys(const Key& a, const Key& b) const {
    auto title = [&] {
        if (a.head != b.head) return a.head < b.head ? -1 : 1;
        if (a.title.size() <= kHeadWords * 8 && b.title.size() <= kHeadWords * 8)
            return a.title.size() < b.title.size() ? -1 : a.title.size() > b.title.size() ? 1 : 0;
        int c = a.title.compare(b.title);
        return c < 0 ? -1 : c > 0 ? 1 : 0;
    };
    auto dateTime = [&] {
        int c = Sign(a.date, b.date);
        return c ? c : Sign(a.time, b.time);
    };
    int c = 0;
    switch (order_) {
        case title_order::kTitlesDescending:
            c = -title();
            return c ? c : dateTime();
        case title_order::kDatesAscending:
            c = dateTime();
            return c ? c : title();
        case title_order::kDatesDescending:
            c = -dateTime();
            return c ? c : title();
        default:
            break;
    }
    if (IsStatusOrder(order_) && a.status != b.status) {
        bool firstWanted = order_ % 2 == 0;  // 4, 6, 8, 10: with the status first
        return (a.status == firstWanted) ? -1 : 1;
    }
    c = title();
    return c ? c : dateTime();
}

int TitleComparator::Compare(int32_t a, int32_t b) const {
    if (a < 0 || b < 0) return 0;
    return CompareKeys(KeyOf(a), KeyOf(b));
}

void SortTitles(std::vector<int32_t>& ids, IndexSource& source, const Locale& locale,
                int32_t order) {
    TitleComparator cmp(source, locale, order);
    // Negative ids compare equal to everything; they cannot come from a
    // file and stay in front as they came.
    auto firstValid = std::find_if(ids.begin(), ids.end(), [](int32_t id) { return id >= 0; });
    size_t skip = size_t(firstValid - ids.begin());
    source.LoadSummaries(ids);
    std::vector<TitleComparator::Key> keys;
    keys.reserve(ids.size() - skip);
    for (size_t i = skip; i < ids.size(); ++i) {
        keys.push_back(cmp.KeyOf(ids[i]));
        keys.back().position = uint32_t(i);
    }
    // Inserting each after its equals keeps equal articles in the order
    // they came: exactly what a stable sort gives. The keys themselves are
    // sorted, not indexes to them, so the merges read memory in order.
    std::stable_sort(keys.begin(), keys.end(),
                     [&](const auto& x, const auto& y) { return cmp.CompareKeys(x, y) < 0; });
    std::vector<int32_t> sorted(ids.begin(), ids.begin() + long(skip));
    sorted.reserve(ids.size());
    for (const TitleComparator::Key& k : keys)
        sorted.push_back(ids[k.position]);
    ids.swap(sorted);
}

// ---- The list ------------------------------------------------------------------

TitleListModel::TitleListModel(IndexSource& source, const Locale& locale, Ui& ui, IndexHost& host)
    : source_(source), locale_(locale), ui_(ui), host_(host), order_(source.SortOrder()) {}

void TitleListModel::Fill(const IdSet& members) {
    rows_.clear();
    marks_.clear();
    highlighted_ = 0;
    caret_.reset();
    scroll_.reset();
    try {
        members_.Copy(members);
    } catch (const std::bad_alloc&) {
        members_.Clear();
        CQuillError(err::kOutOfMemory).ReportError(ui_);
        return;
    }
    Rebuild();
}

void TitleListModel::Rebuild() {
    rows_.clear();
    marks_.clear();
    highlighted_ = 0;
    caret_.reset();
    try {
        std::vector<int32_t> ids(members_.begin(), members_.end());
        SortTitles(ids, source_, locale_, order_);
        marks_.assign(ids.size(), 0);
        rows_.swap(ids);
    } catch (const std::bad_alloc&) {
        rows_.clear();
        marks_.clear();
        if (const char* t = ResourceString(msg::kTitlesNotAll))
            ui_.MessageBox(t, MessageIcon::Exclamation);
    } catch (const CQuillError& e) {
        rows_.clear();
        marks_.clear();
        e.ReportError(ui_);
    }
}

std::optional<size_t> TitleListModel::RowOf(int32_t articleId) const {
    auto it = std::find(rows_.begin(), rows_.end(), articleId);
    if (it == rows_.end()) return std::nullopt;
    return size_t(it - rows_.begin());
}

bool TitleListModel::SetOrder(int32_t order) {
    if (order == order_) return false;
    order_ = order;
    source_.SetSortOrder(order);
    host_.StoreSortOrder(order);
    Rebuild();
    host_.RefreshPreview();
    host_.BringToFront();
    return true;
}

void TitleListModel::ResortFromSource() {
    int32_t order = source_.SortOrder();
    if (order == order_) return;
    order_ = order;
    Rebuild();
    host_.RefreshPreview();
}

void TitleListModel::ClickCaption(TitleColumn column) {
    using namespace title_order;
    int32_t next = order_;
    switch (column) {
        case TitleColumn::Bookmark:
            next = order_ == kBookmarkedFirst ? kBookmarkedLast : kBookmarkedFirst;
            break;
        case TitleColumn::Attachment:
            next = order_ == kAttachmentsFirst ? kAttachmentsLast : kAttachmentsFirst;
            break;
        case TitleColumn::Hypertext:
            next = order_ == kHypertextFirst ? kHypertextLast : kHypertextFirst;
            break;
        case TitleColumn::Private:
            next = order_ == kPrivateFirst ? kPrivateLast : kPrivateFirst;
            break;
        case TitleColumn::Date:
            next = order_ == kDatesAscending ? kDatesDescending : kDatesAscending;
            break;
        case TitleColumn::Title:
            next = order_ == kTitlesAscending ? kTitlesDescending : kTitlesAscending;
            break;
    }
    SetOrder(next);
}

SortMark TitleListModel::TitleMark() const {
    if (order_ == title_order::kTitlesAscending) return SortMark::Ascending;
    if (order_ == title_order::kTitlesDescending) return SortMark::Descending;
    return SortMark::None;
}

SortMark TitleListModel::DateMark() const {
    if (order_ == title_order::kDatesAscending) return SortMark::Ascending;
    if (order_ == title_order::kDatesDescending) return SortMark::Descending;
    return SortMark::None;
}

// ---- Highlight -------------------------------------------------------------------

void TitleListModel::SetHighlight(size_t row, bool on) {
    if (row >= marks_.size() || bool(marks_[row]) == on) return;
    marks_[row] = on;
    if (on)
        ++highlighted_;
    else
        --highlighted_;
}

void TitleListModel::ClearHighlight() {
    std::fill(marks_.begin(), marks_.end(), 0);
    highlighted_ = 0;
}

void TitleListModel::HighlightOnly(size_t row) {
    ClearHighlight();
    SetHighlight(row, true);
    caret_ = row;
    scroll_ = row;
}

std::vector<int32_t> TitleListModel::HighlightedIds() const {
    std::vector<int32_t> ids;
    for (size_t i = 0; i < rows_.size(); ++i)
        if (marks_[i]) ids.push_back(rows_[i]);
    return ids;
}

void TitleListModel::Click(size_t row, bool shift, bool ctrl) {
    if (row >= rows_.size()) return;
    if (shift && caret_) {
        size_t a = std::min(*caret_, row), b = std::max(*caret_, row);
        if (!ctrl) ClearHighlight();
        for (size_t i = a; i <= b; ++i)
            SetHighlight(i, true);
    } else if (ctrl) {
        SetHighlight(row, !marks_[row]);
    } else {
        ClearHighlight();
        SetHighlight(row, true);
    }
    caret_ = row;
    host_.RefreshPreview();
}

void TitleListModel::SelectAll() {
    std::fill(marks_.begin(), marks_.end(), 1);
    highlighted_ = marks_.size();
    host_.RefreshPreview();
}

bool TitleListModel::TypeKey(char c) {
    std::optional<size_t> from = highlighted_ ? caret_ : std::nullopt;
    if (highlighted_ && !from) from = 0;
    auto row = typeAhead_.Key(
        c, rows_.size(), from,
        [this](size_t r) {
            try {
                return source_.Summary(rows_[r]).title;
            } catch (const CQuillError&) {
                return std::string();
            }
        },
        locale_, source_.TextCodePage());
    if (!row) return false;
    HighlightOnly(*row);
    host_.RefreshPreview();
    return true;
}

// ---- Opening and stepping -----------------------------------------------------------

bool TitleListModel::PreviousEnabled() const {
    return highlighted_ == 1 && !marks_.empty() && !marks_.front();
}

bool TitleListModel::NextEnabled() const {
    return highlighted_ == 1 && !marks_.empty() && !marks_.back();
}

void TitleListModel::PreviousNext(bool next) {
    if (!(next ? NextEnabled() : PreviousEnabled())) return;
    size_t row = size_t(std::find(marks_.begin(), marks_.end(), 1) - marks_.begin());
    int32_t id = rows_[row];
    std::optional<int32_t> active = host_.ActiveArticleWindow();
    if (active && *active == id) {
        int32_t target = rows_[next ? row + 1 : row - 1];
        host_.OpenArticle(target);
        host_.CloseArticleWindow(id);
    } else {
        host_.OpenArticle(id);
    }
}

void TitleListModel::Step(int32_t articleId, bool next) {
    std::optional<size_t> row = RowOf(articleId);
    if (!row) return;
    bool wrapped = false;
    size_t target;
    if (next) {
        wrapped = *row + 1 >= rows_.size();
        target = wrapped ? 0 : *row + 1;
    } else {
        wrapped = *row == 0;
        target = wrapped ? rows_.size() - 1 : *row - 1;
    }
    if (wrapped)
        host_.BringToFront();
    else
        host_.OpenArticle(rows_[target]);
    HighlightOnly(target);
    host_.RefreshPreview();
}

}  // namespace qb

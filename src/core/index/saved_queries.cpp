#include "index/saved_queries.h"

#include <algorithm>

namespace qb {

namespace {
constexpr char kNoSavedQueries[] = "No Saved Queries";
constexpr char kMoreQueries[] = "More Queries...";

bool SameAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lo = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        if (lo(a[i]) != lo(b[i])) return false;
    }
    return true;
}
}  // namespace

SavedQueryList::SavedQueryList(const SavedQueries& q) : queries_(q) {
    if (queries_.recent.size() > kMaxRecent) queries_.recent.resize(kMaxRecent);
}

// A stored recent list may name slots the table does not have; such
// entries are passed over rather than read beyond the table.
std::vector<int32_t> SavedQueryList::Recent() const {
    std::vector<int32_t> out;
    for (int16_t i : queries_.recent)
        if (i >= 0 && size_t(i) < queries_.queries.size()) out.push_back(i);
    return out;
}

const SavedQuery* SavedQueryList::At(int32_t index) const {
    if (index < 0 || size_t(index) >= queries_.queries.size()) return nullptr;
    return &queries_.queries[size_t(index)];
}

int32_t SavedQueryList::FindByName(const std::string& name) const {
    for (size_t i = 0; i < queries_.queries.size(); ++i)
        if (!queries_.queries[i].name.empty() && SameAscii(queries_.queries[i].name, name))
            return int32_t(i);
    return -1;
}

void SavedQueryList::MoveToFront(int32_t index) {
    if (index < 0 || index > INT16_MAX) return;
    auto& r = queries_.recent;
    r.erase(std::remove(r.begin(), r.end(), int16_t(index)), r.end());
    if (r.size() >= kMaxRecent) r.resize(kMaxRecent - 1);
    r.insert(r.begin(), int16_t(index));
}

std::vector<QueryMenuItem> SavedQueryList::Menu() const {
    std::vector<QueryMenuItem> items;
    std::vector<int32_t> recent = Recent();
    bool enabled = !recent.empty();
    for (int32_t i : recent)
        items.push_back({QueryMenuItem::Query, queries_.queries[size_t(i)].name, true, i});
    if (recent.empty()) items.push_back({QueryMenuItem::NoQueries, kNoSavedQueries, false, -1});
    if (recent.size() < queries_.queries.size()) {
        items.push_back({QueryMenuItem::Separator, "", enabled, -1});
        items.push_back({QueryMenuItem::MoreQueries, kMoreQueries, enabled, -1});
    }
    return items;
}

}  // namespace qb

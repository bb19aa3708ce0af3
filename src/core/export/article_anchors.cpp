#include "export/article_anchors.h"

#include <algorithm>

namespace qb {

// Stable: of two entries for one id the later stays last.
void ArticleAnchors::SortNumbered() const {
    if (sorted_) return;
    std::stable_sort(numbered_.begin(), numbered_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    sorted_ = true;
}

void ArticleAnchors::Clear() {
    numbered_.clear();
    sorted_ = true;
    named_.clear();
}

void ArticleAnchors::Number(int32_t id, int32_t n) {
    named_.erase(id);
    if (!numbered_.empty() && numbered_.back().first > id) sorted_ = false;
    numbered_.emplace_back(id, n);
}

void ArticleAnchors::Name(int32_t id, std::string href) {
    // A name given after a number replaces it, as a later number would.
    if (!numbered_.empty()) {
        SortNumbered();
        auto [from, to] =
            std::equal_range(numbered_.begin(), numbered_.end(), std::pair<int32_t, int32_t>(id, 0),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        numbered_.erase(from, to);
    }
    named_[id] = std::move(href);
}

std::optional<std::string> ArticleAnchors::Find(int32_t id) const {
    if (auto it = named_.find(id); it != named_.end()) return it->second;
    if (numbered_.empty()) return std::nullopt;
    SortNumbered();
    auto it = std::upper_bound(numbered_.begin(), numbered_.end(), id,
                               [](int32_t v, const auto& e) { return v < e.first; });
    if (it == numbered_.begin() || std::prev(it)->first != id) return std::nullopt;
    return "#Article" + std::to_string(std::prev(it)->second);
}

void ArticleAnchors::Swap(ArticleAnchors& other) noexcept {
    numbered_.swap(other.numbered_);
    std::swap(sorted_, other.sorted_);
    named_.swap(other.named_);
}

}  // namespace qb

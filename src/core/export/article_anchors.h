// Where links between exported articles lead: an article's id to the text
// of the href that reaches it. One HTML file numbers its sections
// ("#ArticleN", kept as the number: eight bytes an article, so that a run
// over many articles holds no string for each); a folder names its files.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qb {

class ArticleAnchors {
public:
    void Clear();
    // The article's section "#Article<n>" in this file.
    void Number(int32_t id, int32_t n);
    // Any other href (a file of the folder), as bytes written as given.
    void Name(int32_t id, std::string href);
    // The href of `id`, the last one given for it; nothing when the run
    // has none (the link then gets no anchor).
    std::optional<std::string> Find(int32_t id) const;
    void Swap(ArticleAnchors& other) noexcept;

private:
    void SortNumbered() const;

    // Appended in the run's order, sorted by id when first looked up.
    mutable std::vector<std::pair<int32_t, int32_t>> numbered_;
    mutable bool sorted_ = true;
    std::map<int32_t, std::string> named_;
};

}  // namespace qb

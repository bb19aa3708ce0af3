// The one set type for article, keyword and group ids: kept strictly
// ascending so that every combination of two sets is one linear merge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace qb {

class IdSet {
public:
    IdSet() = default;
    IdSet(std::initializer_list<int32_t> ids);            // sorted
    static IdSet FromUnsorted(std::vector<int32_t> ids);  // Sort() applied

    // Binary search: whether `id` is present, and in `pos` its index or the
    // index at which it would be inserted.
    bool Contains(int32_t id, size_t* pos = nullptr) const;
    void Insert(int32_t id);
    void Remove(int32_t id);
    void Intersect(const IdSet& other);
    void Unite(const IdSet& other);
    void SymmetricDifference(const IdSet& other);
    // Removes every member of `other`.
    void Subtract(const IdSet& other);
    void Copy(const IdSet& other);
    void Clear();
    void Sort();

    size_t Count() const { return ids_.size(); }
    bool Empty() const { return ids_.empty(); }
    int32_t At(size_t i) const { return ids_[i]; }
    const std::vector<int32_t>& Ids() const { return ids_; }
    auto begin() const { return ids_.begin(); }
    auto end() const { return ids_.end(); }

    bool operator==(const IdSet& o) const { return ids_ == o.ids_; }

private:
    std::vector<int32_t> ids_;
};

}  // namespace qb

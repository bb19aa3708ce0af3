#include "datafile/id_set.h"

#include <algorithm>
#include <iterator>
#include <new>

#include "datafile/quill_error.h"

namespace qb {

IdSet::IdSet(std::initializer_list<int32_t> ids) : ids_(ids) {
    Sort();
}

IdSet IdSet::FromUnsorted(std::vector<int32_t> ids) {
    IdSet s;
    s.ids_ = std::move(ids);
    s.Sort();
    return s;
}

bool IdSet::Contains(int32_t id, size_t* pos) const {
    auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (pos) *pos = static_cast<size_t>(it - ids_.begin());
    return it != ids_.end() && *it == id;
}

void IdSet::Insert(int32_t id) {
    size_t pos;
    if (Contains(id, &pos)) return;
    try {
        ids_.insert(ids_.begin() + static_cast<ptrdiff_t>(pos), id);
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory);
    }
}

void IdSet::Remove(int32_t id) {
    size_t pos;
    if (!Contains(id, &pos)) return;
    ids_.erase(ids_.begin() + static_cast<ptrdiff_t>(pos));
}

void IdSet::Intersect(const IdSet& other) {
    if (&other == this) return;
    // In place, as Subtract: the standard merges may not write over their input.
    const auto& b = other.ids_;
    size_t i = 0, j = 0, out = 0;
    while (i < ids_.size() && j < b.size()) {
        if (ids_[i] < b[j]) {
            ++i;
        } else if (ids_[i] == b[j]) {
            ids_[out++] = ids_[i];
            ++i;
            ++j;
        } else {
            ++j;
        }
    }
    ids_.resize(out);
}

void IdSet::Unite(const IdSet& other) {
    if (&other == this) return;
    std::vector<int32_t> merged;
    try {
        merged.reserve(ids_.size() + other.ids_.size());
        std::set_union(ids_.begin(), ids_.end(), other.ids_.begin(), other.ids_.end(),
                       std::back_inserter(merged));
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory);
    }
    ids_.swap(merged);
}

void IdSet::SymmetricDifference(const IdSet& other) {
    if (&other == this) {
        // Every id is in both: the result is empty.
        ids_.clear();
        return;
    }
    std::vector<int32_t> result;
    try {
        result.reserve(ids_.size() + other.ids_.size());
        std::set_symmetric_difference(ids_.begin(), ids_.end(), other.ids_.begin(),
                                      other.ids_.end(), std::back_inserter(result));
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory);
    }
    ids_.swap(result);
}

void IdSet::Subtract(const IdSet& other) {
    if (&other == this) {
        ids_.clear();
        return;
    }
    // The kept ids only ever move towards the front.
    const auto& b = other.ids_;
    size_t i = 0, j = 0, out = 0;
    while (i < ids_.size()) {
        while (j < b.size() && b[j] < ids_[i])
            ++j;
        if (j < b.size() && b[j] == ids_[i]) {
            ++i;
            ++j;
        } else {
            ids_[out++] = ids_[i++];
        }
    }
    ids_.resize(out);
}

void IdSet::Copy(const IdSet& other) {
    if (&other == this) return;
    try {
        ids_ = other.ids_;
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory);
    }
}

void IdSet::Clear() {
    ids_.clear();
}

void IdSet::Sort() {
    // Duplicates (possible in a damaged file) are dropped as well: every merge
    // above relies on strictly ascending ids.
    std::sort(ids_.begin(), ids_.end());
    ids_.erase(std::unique(ids_.begin(), ids_.end()), ids_.end());
}

}  // namespace qb

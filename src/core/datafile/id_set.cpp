#include "datafile/id_set.h"

#include <algorithm>
#include <new>

#include "datafile/quill_error.h"

namespace qb {
namespace {

// Merged results grow in steps of 10, as the sets are usually small.
void Append(std::vector<int32_t>& v, int32_t id) {
    if (v.size() == v.capacity()) v.reserve(v.size() + 10);
    v.push_back(id);
}

}  // namespace

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
    // Signed indexes so that hi can drop below lo when the id is smallest.
    ptrdiff_t lo = 0;
    ptrdiff_t hi = static_cast<ptrdiff_t>(ids_.size()) - 1;
    while (lo <= hi) {
        ptrdiff_t mid = lo + (hi - lo) / 2;
        int32_t v = ids_[static_cast<size_t>(mid)];
        if (v < id) {
            lo = mid + 1;
        } else if (v > id) {
            hi = mid - 1;
        } else {
            if (pos) *pos = static_cast<size_t>(mid);
            return true;
        }
    }
    if (pos) *pos = static_cast<size_t>(lo);
    return false;
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
    const auto& a = ids_;
    const auto& b = other.ids_;
    std::vector<int32_t> merged;
    try {
        merged.reserve(a.size() + b.size());
        size_t i = 0, j = 0;
        while (i < a.size() && j < b.size()) {
            if (a[i] < b[j]) {
                Append(merged, a[i++]);
            } else if (a[i] > b[j]) {
                Append(merged, b[j++]);
            } else {
                Append(merged, a[i]);
                ++i;
                ++j;
            }
        }
        for (; i < a.size(); ++i)
            Append(merged, a[i]);
        for (; j < b.size(); ++j)
            Append(merged, b[j]);
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
    const auto& a = ids_;
    const auto& b = other.ids_;
    std::vector<int32_t> result;
    try {
        result.reserve(a.size() + b.size());
        size_t i = 0, j = 0;
        while (i < a.size() && j < b.size()) {
            if (a[i] < b[j]) {
                Append(result, a[i++]);
            } else if (a[i] > b[j]) {
                Append(result, b[j++]);
            } else {
                ++i;
                ++j;
            }
        }
        for (; i < a.size(); ++i)
            Append(result, a[i]);
        for (; j < b.size(); ++j)
            Append(result, b[j]);
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
    // In place: the kept ids only ever move towards the front.
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

// Remembers the blocks a chain walk has passed, so that a damaged chain that
// loops back is caught at the first repeat instead of being followed forever.
#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

namespace qb {

class ChainGuard {
public:
    // False when `block` was visited before.
    bool Visit(int32_t block) {
        if (big_.empty()) {
            for (int32_t b : small_)
                if (b == block) return false;
            if (small_.size() < kSmall) {
                small_.push_back(block);
                return true;
            }
            big_.insert(small_.begin(), small_.end());
        }
        return big_.insert(block).second;
    }
    void Reset() {
        small_.clear();
        big_.clear();
    }

private:
    // Most chains are a few blocks long: a linear scan beats hashing there.
    static constexpr size_t kSmall = 16;
    std::vector<int32_t> small_;
    std::unordered_set<int32_t> big_;
};

}  // namespace qb

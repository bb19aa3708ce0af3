// What opens and closes article windows and tells which one is active: the
// article windows install it, the index window calls it. It lives here so
// that neither of the two needs the other's headers.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace qb {

struct ArticleWindowHooks {
    std::function<void(int32_t)> open;
    std::function<void(int32_t)> close;
    std::function<std::optional<int32_t>()> active;
};

}  // namespace qb

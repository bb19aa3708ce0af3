// The option the commands that print a title list share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "index_session.h"
#include "options.h"

namespace qbx {

// "--sort N": the order of the title list, 0..11.
inline Option SortOption(int32_t& order) {
    return {"--sort", true, "the order of the titles, 0 to 11",
            [&order](const std::string& v) -> std::optional<std::string> {
                std::optional<int32_t> parsed = ParseSortOrder(v);
                if (!parsed) return "--sort takes 0 to 11";
                order = *parsed;
                return std::nullopt;
            }};
}

}  // namespace qbx

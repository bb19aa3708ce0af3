// What Find needs of the index window: the title list's articles, the
// highlighted ones, showing a found list and coming to the front. The index
// windows install it, Find calls it; it lives here so that neither of the
// two needs the other's headers.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace qb {

struct FindIndexHooks {
    // The articles of the title list, and its highlighted titles, each in
    // the document's order (ascending ids); empty without an index window.
    std::function<std::vector<int32_t>()> titleList;
    std::function<std::vector<int32_t>()> highlighted;
    std::function<int32_t()> titleCount;
    std::function<int32_t()> highlightedCount;
    // The title list shows `ids` as "Found Titles" ([Stopped] when `stopped`).
    std::function<void(const std::vector<int32_t>& ids, bool stopped)> showFound;
    std::function<void()> bringForward;
};

// Told by the index window when its title list changed: `listChanged` when
// the list itself (its articles or its mode) changed, false when only the
// highlighted titles may have.
using TitleListListener = std::function<void(bool listChanged)>;

}  // namespace qb

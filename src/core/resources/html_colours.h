// The colour keywords the HTML reader knows: the CSS colour keywords with
// their standard values, less the spellings with "grey" that only repeat a
// "gray" one (lightgrey stays, lightgray goes, as the table always had it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qb {

// The colour named `name` (ASCII case ignored) as 0xRRGGBB, or nullopt.
std::optional<uint32_t> FindHtmlColour(std::string_view name);

// How many names the table holds.
std::size_t HtmlColourCount();

}  // namespace qb

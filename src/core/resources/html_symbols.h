// The two symbol tables of HTML: the tag names the HTML reader knows (with
// the tag codes it works with) and the character entities, each Windows-1252
// code with the name written for it. Both keep their resource order, which
// matters: where two names stand for one code, the first one is written.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace qb {

struct HtmlSymbol {
    const char* name;
    int16_t code;
};

// 72 tag names, "!" (code 0) first and "basefont" (code 128) last.
std::span<const HtmlSymbol> HtmlTagTable();
// 105 entity names with the Windows-1252 character each stands for.
std::span<const HtmlSymbol> HtmlEntityTable();

// The code of tag `name` compared without regard to (ASCII) case, or -1.
int FindHtmlTag(std::string_view name);
// The character of entity `name` (exact case), or -1.
int FindHtmlEntity(std::string_view name);

}  // namespace qb

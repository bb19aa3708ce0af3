// The character entities of HTML output: for each Windows-1252 byte the name
// written in its place (the first of the table's names for that code), and
// the restriction to "&", "<" and ">" that a declared pre-defined encoding
// switches on.
#pragma once

#include <array>
#include <cstdint>

namespace qb {

class EntityTable {
public:
    EntityTable();

    // The entity name for byte `c`, or nullptr: none in the table, the
    // space (never written as an entity), or restricted away.
    const char* EntityFor(uint8_t c) const {
        if (restricted_ && c != '&' && c != '<' && c != '>') return nullptr;
        return byCode_[c];
    }

    void SetRestricted(bool on) { restricted_ = on; }
    bool Restricted() const { return restricted_; }

    // The table entry for `c` (index into HtmlEntityTable()), -1 for none;
    // restriction and the space rule aside.
    int16_t ReverseIndex(uint8_t c) const { return reverse_[c]; }

private:
    std::array<int16_t, 256> reverse_{};
    std::array<const char*, 256> byCode_{};
    bool restricted_ = false;
};

}  // namespace qb

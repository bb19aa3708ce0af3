#include "export/entity_table.h"

#include "resources/html_symbols.h"

namespace qb {

EntityTable::EntityTable() {
    reverse_.fill(-1);
    byCode_.fill(nullptr);
    auto entities = HtmlEntityTable();
    for (std::size_t i = 0; i < entities.size(); ++i) {
        int code = entities[i].code;
        if (code < 0 || code > 255 || reverse_[std::size_t(code)] >= 0) continue;
        reverse_[std::size_t(code)] = int16_t(i);
        // A space stays a space, although "emsp" names it.
        if (code != ' ') byCode_[std::size_t(code)] = entities[i].name;
    }
}

}  // namespace qb

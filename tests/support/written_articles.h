// Article records for written test files: the title, flags and write
// options, with the title again as the whole rich-text content.
#pragma once

#include <cstdint>
#include <string>

#include "writer/qbx_writer.h"

namespace qb::testing {

inline std::string TitledArticle(const std::string& title, uint16_t flags = 0,
                                 qbw::NewArticleOptions o = {}) {
    qbw::ArticleData a;
    a.title = title;
    a.flags = flags;
    a.richText = "{\\rtf1 " + title + "}";
    return qbw::EncodeArticleNew(a, o);
}

}  // namespace qb::testing

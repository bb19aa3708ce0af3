// The part of an article record that the title list draws and sorts from,
// read once per article and kept by the document.
#pragma once

#include <cstdint>
#include <string>

#include "datafile/quill_error.h"

namespace qb {

struct ArticleSummary {
    int32_t articleDate = NIL_BLOCK;
    int32_t articleTime = NIL_BLOCK;
    int32_t createdDate = NIL_BLOCK;
    int32_t createdTime = NIL_BLOCK;
    int32_t attachmentCount = 0;
    bool hasLinks = false;  // flags bit 7
    std::string title;      // in the file's code page
    // The title's collation key, made on first use (CQuillboxDoc::TitleSortKey).
    std::string titleKey;
    bool hasTitleKey = false;
};

}  // namespace qb

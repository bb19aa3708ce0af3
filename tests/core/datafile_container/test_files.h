// Temporary files and small helpers shared by the container tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <string>

#include "datafile/quill_error.h"
#include "support/quill_error_code.h"
#include "support/temp_files.h"

namespace qb::testing {

inline void PutLE(std::string& s, size_t offset, uint32_t v, int width) {
    if (s.size() < offset + size_t(width)) s.resize(offset + size_t(width), '\0');
    for (int i = 0; i < width; ++i)
        s[offset + size_t(i)] = char(v >> (8 * i));
}

}  // namespace qb::testing

// Reading failures as codes, so a test can compare them with EXPECT_EQ.
#pragma once

#include <functional>

#include "datafile/quill_error.h"

namespace qb::testing {

// The code a call throws as CQuillError; 0 when it returns normally.
inline int CodeOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const CQuillError& e) {
        return e.Code();
    }
    return 0;
}

}  // namespace qb::testing

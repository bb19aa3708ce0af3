#include <cstdio>
#include <cstdlib>

#include "fuzz_entries.h"

namespace qbfuzz {

void PropertyFailed(std::string_view what) {
    std::fprintf(stderr, "fuzz property failed: %.*s\n", int(what.size()), what.data());
    std::abort();
}

}  // namespace qbfuzz

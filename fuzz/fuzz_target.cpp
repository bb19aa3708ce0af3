// One libFuzzer program: QB_FUZZ_ENTRY names the entry point it drives.
#include "fuzz_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return qbfuzz::QB_FUZZ_ENTRY(data, size);
}

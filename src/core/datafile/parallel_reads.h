// Reading many records of one open file on a few threads at once. Each
// thread reads through its own replica of the file (CDataFile::OpenReplica:
// its own descriptor and caches, pread only), so no cache, buffer or file
// offset is shared.
#pragma once

#include <cstddef>
#include <functional>

#include "datafile/data_file.h"

namespace qb {

// How many threads ReadInParallel uses by default: the machine's cores,
// at least 1 and at most 4 (beyond that the disk and inflate do not gain).
unsigned DefaultReadThreads();

// Calls `read(handle, i)` once for every i in [0, count), spread over up to
// `threads` threads, the caller's included, and returns when every call has
// finished. `handle` is `file` on the caller's thread and a replica of it
// on the others. `read` may touch only what belongs to its i; what it fails
// on it must keep to itself (an escaping exception is rethrown here after
// every thread has stopped, the first one caught). With one thread, a small
// count, or when no replica can be opened, every call runs on the caller's
// thread in order.
void ReadInParallel(CDataFile& file, size_t count, unsigned threads,
                    const std::function<void(CDataFile& handle, size_t i)>& read);

}  // namespace qb

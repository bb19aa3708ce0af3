// File ports that count calls and fail a chosen one, for the sweeps.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>

#include "platform/file_io.h"

namespace qb::testing {

// Counts every read and write; fails the read (or write) numbered
// `failRead` (`failWrite`) from 0 with `error`, and cuts every read to at
// most `readLimit` bytes.
class FaultyIo : public FileIo {
public:
    long failRead = -1, failWrite = -1;
    int error = EIO;
    size_t readLimit = 0;  // 0: whole reads
    std::atomic<long> reads{0}, writes{0};

    ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) override {
        if (reads.fetch_add(1) == failRead) {
            errno = error;
            return -1;
        }
        if (readLimit) size = std::min(size, readLimit);
        return ::pread(fd, buffer, size, offset);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        if (writes.fetch_add(1) == failWrite) {
            errno = error;
            return -1;
        }
        return ::write(fd, buffer, size);
    }
};

}  // namespace qb::testing

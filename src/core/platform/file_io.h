// The two file operations everything else rests on: reading a data file at
// an offset and writing an output file. They are a port so that tests can
// fail any single call (EIO, a short read, ENOSPC, EROFS) and show that
// every caller reports it and loses nothing. The program only ever uses
// the POSIX implementation; a test installs its own for a scope.
#pragma once

#include <sys/types.h>

#include <cstddef>

namespace qb {

class FileIo {
public:
    virtual ~FileIo() = default;
    // As pread(2): bytes read, 0 at the end of the file, -1 with errno set.
    // May be called from several threads at once.
    virtual ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) = 0;
    // As write(2): bytes written (possibly fewer than asked), -1 with errno set.
    virtual ssize_t Write(int fd, const void* buffer, size_t size) = 0;
};

// The implementation in use: POSIX unless a ScopedFileIo is alive.
FileIo& CurrentFileIo();

// Installs `io` for its lifetime. For tests; not to be nested across threads.
class ScopedFileIo {
public:
    explicit ScopedFileIo(FileIo& io);
    ~ScopedFileIo();
    ScopedFileIo(const ScopedFileIo&) = delete;
    ScopedFileIo& operator=(const ScopedFileIo&) = delete;

private:
    FileIo* previous_;
};

// Writes all of `size` bytes through CurrentFileIo, retrying interrupted and
// partial writes. Returns 0, or the errno of the failure (ENOSPC when a
// write made no progress).
int WriteAll(int fd, const void* buffer, size_t size);

}  // namespace qb

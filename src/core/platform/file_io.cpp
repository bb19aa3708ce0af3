#include "platform/file_io.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace qb {
namespace {

class PosixFileIo : public FileIo {
public:
    ssize_t ReadAt(int fd, void* buffer, size_t size, off_t offset) override {
        return ::pread(fd, buffer, size, offset);
    }
    ssize_t Write(int fd, const void* buffer, size_t size) override {
        return ::write(fd, buffer, size);
    }
};

PosixFileIo gPosix;
std::atomic<FileIo*> gCurrent{&gPosix};

}  // namespace

FileIo& CurrentFileIo() {
    return *gCurrent.load(std::memory_order_acquire);
}

ScopedFileIo::ScopedFileIo(FileIo& io) : previous_(gCurrent.exchange(&io)) {}

ScopedFileIo::~ScopedFileIo() {
    gCurrent.store(previous_);
}

int WriteAll(int fd, const void* buffer, size_t size) {
    const char* p = static_cast<const char*>(buffer);
    size_t done = 0;
    FileIo& io = CurrentFileIo();
    while (done < size) {
        ssize_t n = io.Write(fd, p + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return ENOSPC;
        done += size_t(n);
    }
    return 0;
}

}  // namespace qb

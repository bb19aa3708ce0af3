#include "export/export_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "datafile/quill_error.h"

namespace qb {
namespace {

// The process's umask without changing it (other threads may create files),
// read once: a run of many files would read /proc for each.
mode_t CurrentUmask() {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("Umask:", 0) == 0)
                return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
        return mode_t(022);
    }();
    return mask;
}

}  // namespace

ExportFile::ExportFile(std::string target) : target_(std::move(target)) {
    size_t slash = target_.find_last_of('/');
    std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    // Hidden, and never a name the export itself hands out.
    // A name near the file system's limit gets a short temporary name.
    std::string pattern =
        folder + "." + (name.size() > 200 ? std::string("export") : name) + ".part-XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) throw CQuillError(ErrnoToCode(errno), target_);
    struct stat st {};
    mode_t mode = ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode)
                      ? (st.st_mode & 07777)
                      : (0666 & ~CurrentUmask());
    ::fchmod(fd, mode);
    fd_ = fd;
    temp_ = pattern;
}

ExportFile::~ExportFile() {
    Discard();
}

void ExportFile::Write(std::string_view bytes) {
    if (fd_ < 0) throw CQuillError(err::kFileSystem, target_);
    while (!bytes.empty()) {
        ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw CQuillError(ErrnoToCode(n < 0 ? errno : ENOSPC), target_);
        bytes.remove_prefix(size_t(n));
    }
}

void ExportFile::Sync() {
    if (fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        throw CQuillError(ErrnoToCode(errno), target_);
}

void ExportFile::Commit() {
    if (committed_ || temp_.empty()) return;
    if (fd_ >= 0) {
        // A failed close can be the write that did not reach the file.
        int closed = ::close(fd_);
        int e = errno;
        fd_ = -1;
        if (closed != 0 && e != EINTR) {
            Discard();
            throw CQuillError(ErrnoToCode(e), target_);
        }
    }
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        int e = errno;
        Discard();
        throw CQuillError(ErrnoToCode(e), target_);
    }
    committed_ = true;
    temp_.clear();
}

void ExportFile::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (committed_ || temp_.empty()) return;
    ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace qb

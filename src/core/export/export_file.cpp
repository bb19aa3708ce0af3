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

// The process's umask without changing it (other threads may create files).
mode_t CurrentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0) return mode_t(std::strtoul(line.c_str() + 6, nullptr, 8));
    return 022;
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
    ::close(fd);
    temp_ = pattern;
}

ExportFile::~ExportFile() {
    Discard();
}

void ExportFile::Commit() {
    if (committed_ || temp_.empty()) return;
    if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
        int e = errno;
        Discard();
        throw CQuillError(ErrnoToCode(e), target_);
    }
    committed_ = true;
    temp_.clear();
}

void ExportFile::Discard() {
    if (committed_ || temp_.empty()) return;
    ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace qb

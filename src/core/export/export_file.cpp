#include "export/export_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

#include "datafile/quill_error.h"
#include "platform/file_io.h"

namespace qb {
namespace {

// Six characters for a temporary name: a counter through a mixing function
// seeded once from the clock and the process, so that names rarely collide
// (O_EXCL settles the ones that do).
std::string TempSuffix() {
    static std::atomic<uint64_t> counter{
        uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (uint64_t(::getpid()) << 32)};
    uint64_t z = counter.fetch_add(0x9e3779b97f4a7c15ull, std::memory_order_relaxed);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    z ^= z >> 31;
    static constexpr char kChars[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::string s(6, 'x');
    for (char& c : s) {
        c = kChars[z % 62];
        z /= 62;
    }
    return s;
}

// An unnamed file is given its name through its /proc/self/fd link, which
// needs no privilege (AT_EMPTY_PATH would).
bool UnnamedFilesLinkable() {
    static const bool linkable = ::access("/proc/self/fd", X_OK) == 0;
    return linkable;
}

}  // namespace

ExportFile::ExportFile(std::string target, TargetKind kind)
    : target_(std::move(target)), kind_(kind) {
    size_t slash = target_.find_last_of('/');
    std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    if (kind == TargetKind::kNew && UnnamedFilesLinkable()) {
        // One folder entry made, at Commit, instead of a temporary name
        // made, looked up and removed again.
        fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (fd_ >= 0) {
            unnamed_ = true;
            return;
        }
        // Not every file system has unnamed files: a named temporary then.
    }
    // Hidden, and never a name the export itself hands out.
    // A name near the file system's limit gets a short temporary name.
    std::string prefix =
        folder + "." + (name.size() > 200 ? std::string("export") : name) + ".part-";
    // Made with the permissions of a new file (the umask applies); one
    // call per file, as a run may write a hundred thousand of them.
    int fd = -1;
    std::string path;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        path = prefix + TempSuffix();
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw CQuillError(ErrnoToCode(errno), target_);
    // A file that is replaced keeps its permissions.
    struct stat st {};
    if (kind == TargetKind::kMayExist && ::stat(target_.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::fchmod(fd, st.st_mode & 07777);
    fd_ = fd;
    temp_ = path;
}

ExportFile::~ExportFile() {
    Discard();
}

void ExportFile::Write(std::string_view bytes) {
    if (fd_ < 0) throw CQuillError(err::kFileSystem, target_);
    // Through the file port, where the tests fail single writes.
    if (int e = WriteAll(fd_, bytes.data(), bytes.size()))
        throw CQuillError(ErrnoToCode(e), target_);
}

void ExportFile::Sync() {
    if (fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
        throw CQuillError(ErrnoToCode(errno), target_);
}

void ExportFile::CommitUnnamed() {
    const std::string link = "/proc/self/fd/" + std::to_string(fd_);
    // linkat never replaces: a file that took the name meanwhile stays.
    if (::linkat(AT_FDCWD, link.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        int e = errno;
        Discard();
        throw CQuillError(ErrnoToCode(e), target_);
    }
    int closed = ::close(fd_);
    int e = errno;
    fd_ = -1;
    unnamed_ = false;
    if (closed != 0 && e != EINTR) {
        // The data did not all reach the file: the name goes again.
        ::unlink(target_.c_str());
        throw CQuillError(ErrnoToCode(e), target_);
    }
    committed_ = true;
}

int ExportFile::MoveIntoPlace() const {
    if (kind_ == TargetKind::kMayExist) return std::rename(temp_.c_str(), target_.c_str());
    // A new file replaces nothing, as an unnamed one would not.
    if (::renameat2(AT_FDCWD, temp_.c_str(), AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL) return -1;
    if (::link(temp_.c_str(), target_.c_str()) != 0) return -1;  // no RENAME_NOREPLACE here
    ::unlink(temp_.c_str());
    return 0;
}

void ExportFile::Commit() {
    if (committed_) return;
    if (unnamed_) return CommitUnnamed();
    if (temp_.empty()) return;
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
    if (MoveIntoPlace() != 0) {
        int e = errno;
        Discard();
        throw CQuillError(ErrnoToCode(e), target_);
    }
    committed_ = true;
    temp_.clear();
}

void ExportFile::Discard() {
    if (fd_ >= 0) ::close(fd_);  // an unnamed file goes with its descriptor
    fd_ = -1;
    unnamed_ = false;
    if (committed_ || temp_.empty()) return;
    ::unlink(temp_.c_str());
    temp_.clear();
}

}  // namespace qb

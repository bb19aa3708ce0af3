#include "export/folder_flusher.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "datafile/quill_error.h"

namespace qb {
namespace {

// Often enough that little waits at the end, seldom enough that each sync
// has whole files to write.
constexpr auto kInterval = std::chrono::milliseconds(250);

}  // namespace

FolderFlusher::FolderFlusher(const std::string& folder)
    : folder_(folder), fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) thread_ = std::jthread([this](std::stop_token stop) { Loop(stop); });
}

FolderFlusher::~FolderFlusher() {
    Stop();
    if (fd_ >= 0) ::close(fd_);
}

void FolderFlusher::Stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();  // wakes the thread through its stop token
    thread_.join();
}

void FolderFlusher::Loop(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait_for(lock, stop, kInterval, [] { return false; });
        if (stop.stop_requested()) return;
        lock.unlock();
        int e = ::syncfs(fd_) == 0 ? 0 : errno;
        lock.lock();
        if (e != 0 && failure_ == 0) failure_ = e;
    }
}

void FolderFlusher::Finish() {
    Stop();
    if (fd_ < 0) return;
    int e = 0;
    if (::syncfs(fd_) != 0) e = errno;
    if (e == 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS) e = errno;
    std::lock_guard lock(mutex_);
    if (failure_ == 0) failure_ = e;
    if (failure_ != 0) throw CQuillError(ErrnoToCode(failure_), folder_);
}

}  // namespace qb

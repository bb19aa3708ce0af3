// Writes a folder's file system to the disk on a thread of its own while a
// long run fills the folder, so that the wait for the disk at the run's end
// is short: without it nothing of a few hundred megabytes of new files
// reaches the disk before the end (the system waits half a minute), and
// the run then waits seconds for all of it at once.
#pragma once

#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

namespace qb {

class FolderFlusher {
public:
    // Opens `folder` (which must exist) and starts the thread; a folder
    // that cannot be opened is left to fail the run's writes, and Finish
    // then does nothing.
    explicit FolderFlusher(const std::string& folder);
    // Stops the thread, dropping what it found: the caller is leaving for
    // another reason.
    ~FolderFlusher();
    FolderFlusher(const FolderFlusher&) = delete;
    FolderFlusher& operator=(const FolderFlusher&) = delete;

    // Stops the thread, then waits until everything written to the file
    // system, and the folder's own entries, are on the disk. Throws
    // CQuillError naming the folder for the first failure the disk
    // reported since the folder was opened, at the end or on the way.
    void Finish();

private:
    void Loop(std::stop_token stop);
    void Stop();

    std::string folder_;
    int fd_ = -1;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    int failure_ = 0;      // the first errno a sync gave
    std::jthread thread_;  // last: it starts once the rest is made
};

}  // namespace qb

// Writes whole files through their temporary files (ExportFile) on a thread
// of its own, in the order they are put, so that converting the next
// articles overlaps the file system's work of creating the last ones.
// Nothing else is shared with the thread: it only sees the queued paths and
// bytes. The first failure stops the writing: the files queued after it are
// never written, and the next Put or Drain throws it (a CQuillError naming
// its file), so a caller sees failures in the order it queued the files.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>

namespace qb {

class NoteWriter {
public:
    NoteWriter();
    // Finishes the files already queued (a failure then is dropped: the
    // caller is leaving for another reason) and stops the thread.
    ~NoteWriter();
    NoteWriter(const NoteWriter&) = delete;
    NoteWriter& operator=(const NoteWriter&) = delete;

    // Queues `bytes` as the file `path`, a name no file in its folder has
    // (ExportFile::TargetKind::kNew). Waits while the queue holds more
    // than a few megabytes, so a slow disk cannot fill the memory. Throws
    // an earlier failure instead of queueing.
    void Put(std::string path, std::string bytes);
    // Waits until every queued file is written; throws the first failure.
    void Drain();

private:
    struct Item {
        std::string path;
        std::string bytes;
    };
    void Loop(std::stop_token stop);
    bool BelowLowWater() const;  // with mutex_ held
    void ThrowFailure();

    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<Item> queue_;
    size_t queuedBytes_ = 0;
    bool busy_ = false;         // the thread is writing an item it took
    bool writerIdle_ = false;   // the thread waits for an item
    bool callerWaits_ = false;  // Put, Drain or the destructor waits
    std::exception_ptr failure_;
    std::jthread thread_;  // last: it starts once the rest is made
};

}  // namespace qb

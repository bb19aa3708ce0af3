#include "export/note_writer.h"

#include "export/export_file.h"

namespace qb {
namespace {

// Enough notes ahead to keep both threads busy, little enough memory.
constexpr size_t kMaxQueuedBytes = size_t(4) << 20;
constexpr size_t kMaxQueuedFiles = 256;
// A full queue is let go down to this before the caller goes on: woken for
// every file written, it would pay a sleep and a wake-up per file.
constexpr size_t kLowQueuedBytes = kMaxQueuedBytes / 2;
constexpr size_t kLowQueuedFiles = kMaxQueuedFiles / 2;

}  // namespace

NoteWriter::NoteWriter() : thread_([this](std::stop_token stop) { Loop(stop); }) {}

NoteWriter::~NoteWriter() {
    {
        std::unique_lock lock(mutex_);
        callerWaits_ = true;
        changed_.wait(lock, [&] { return (queue_.empty() && !busy_) || failure_; });
    }
    thread_.request_stop();  // wakes the thread through its stop token
}

void NoteWriter::ThrowFailure() {
    if (failure_) std::rethrow_exception(failure_);
}

bool NoteWriter::BelowLowWater() const {
    return queue_.size() <= kLowQueuedFiles && queuedBytes_ <= kLowQueuedBytes;
}

void NoteWriter::Put(std::string path, std::string bytes) {
    std::unique_lock lock(mutex_);
    auto room = [&] {
        return queue_.empty() ||
               (queuedBytes_ + bytes.size() <= kMaxQueuedBytes && queue_.size() < kMaxQueuedFiles);
    };
    if (!failure_ && !room()) {
        callerWaits_ = true;
        changed_.wait(lock,
                      [&] { return failure_ || queue_.empty() || (BelowLowWater() && room()); });
        callerWaits_ = false;
    }
    ThrowFailure();
    queuedBytes_ += bytes.size();
    queue_.push_back(Item{std::move(path), std::move(bytes)});
    // A wake-up costs a system call; only an idle thread needs one.
    if (writerIdle_) changed_.notify_all();
}

void NoteWriter::Drain() {
    std::unique_lock lock(mutex_);
    callerWaits_ = true;
    changed_.wait(lock, [&] { return (queue_.empty() && !busy_) || failure_; });
    callerWaits_ = false;
    ThrowFailure();
}

void NoteWriter::Loop(std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
        writerIdle_ = true;
        changed_.wait(lock, stop, [&] { return !queue_.empty() && !failure_; });
        writerIdle_ = false;
        if (queue_.empty() || failure_) return;  // asked to stop
        Item item = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        std::exception_ptr failed;
        try {
            ExportFile file(item.path, ExportFile::TargetKind::kNew);
            file.Write(item.bytes);
            file.Commit();
        } catch (...) {
            failed = std::current_exception();
        }
        lock.lock();
        busy_ = false;
        queuedBytes_ -= item.bytes.size();
        if (failed) {
            failure_ = failed;
            queue_.clear();  // written in order: nothing after a failed file
            queuedBytes_ = 0;
        }
        if (callerWaits_ && (failure_ || queue_.empty() || BelowLowWater())) changed_.notify_all();
    }
}

}  // namespace qb

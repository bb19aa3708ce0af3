#include "datafile/article_read_ahead.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace qb {

ArticleReadAhead::ArticleReadAhead(const CDataFile& source, const RecordDefaults& defaults,
                                   std::vector<int32_t> ids, std::size_t maxArticles,
                                   std::size_t maxBytes)
    : defaults_(defaults),
      ids_(std::move(ids)),
      maxArticles_(maxArticles ? maxArticles : 1),
      maxBytes_(maxBytes) {
    if (ids_.empty()) return;
    try {
        auto replica = std::make_unique<CDataFile>();
        replica->OpenReplica(source);
        replica_ = std::move(replica);
        thread_ = std::jthread([this](std::stop_token stop) { Run(stop); });
    } catch (...) {
        // No descriptor or no thread: the caller reads every article itself.
        if (replica_) replica_->Abort();
        replica_.reset();
    }
}

ArticleReadAhead::~ArticleReadAhead() {
    if (thread_.joinable()) {
        thread_.request_stop();
        changed_.notify_all();
        thread_.join();
    }
    if (replica_) replica_->Abort();
}

bool ArticleReadAhead::BelowLowWater() const {
    return ready_.size() <= maxArticles_ / 2 && readyBytes_ <= maxBytes_ / 2;
}

void ArticleReadAhead::Run(std::stop_token stop) {
    for (int32_t id : ids_) {
        {
            std::unique_lock<std::mutex> hold(lock_);
            // Room for one more: fewer waiting than the limits allow.
            const bool room =
                ready_.size() < maxArticles_ && (ready_.empty() || readyBytes_ < maxBytes_);
            if (!room) {
                // Once full, the queue is let go down to half: woken for
                // every article taken, this thread would pay a sleep and a
                // wake-up per article.
                readerWaits_ = true;
                const bool go =
                    changed_.wait(hold, stop, [this] { return ready_.empty() || BelowLowWater(); });
                readerWaits_ = false;
                if (!go) return;
            }
        }
        Slot slot;
        try {
            slot.article = ReadArticle(*replica_, id, defaults_);
            slot.bytes = slot.article.Content().size();
        } catch (...) {
            slot.failure = std::current_exception();
        }
        bool wake = false;
        {
            std::lock_guard<std::mutex> hold(lock_);
            readyBytes_ += slot.bytes;
            ready_.push_back(std::move(slot));
            wake = takerWaits_;
        }
        if (wake) changed_.notify_all();
    }
}

bool ArticleReadAhead::Take(int32_t id, CArticle& out) {
    if (!thread_.joinable()) return false;
    Slot slot;
    {
        std::unique_lock<std::mutex> hold(lock_);
        // A caller that leaves out a few articles of the order (private
        // ones, say) skips them: their reads are dropped unseen.
        std::size_t at = taken_;
        const std::size_t end = std::min(ids_.size(), taken_ + maxArticles_);
        while (at < end && ids_[at] != id)
            ++at;
        if (at == end) return false;
        for (;;) {
            if (ready_.empty()) {
                takerWaits_ = true;
                changed_.wait(hold, [this] { return !ready_.empty(); });
                takerWaits_ = false;
            }
            slot = std::move(ready_.front());
            ready_.pop_front();
            readyBytes_ -= slot.bytes;
            // The reader may wait for room while the skipped ones go.
            if (readerWaits_ && (ready_.empty() || BelowLowWater())) changed_.notify_all();
            if (taken_++ == at) break;
        }
    }
    if (slot.failure) std::rethrow_exception(slot.failure);
    out = std::move(slot.article);
    return true;
}

}  // namespace qb

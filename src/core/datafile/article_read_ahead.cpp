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

void ArticleReadAhead::Run(std::stop_token stop) {
    for (int32_t id : ids_) {
        {
            std::unique_lock<std::mutex> hold(lock_);
            // Room for one more: fewer waiting than the limits allow.
            if (!changed_.wait(hold, stop, [this] {
                    return ready_.size() < maxArticles_ &&
                           (ready_.empty() || readyBytes_ < maxBytes_);
                }))
                return;
        }
        Slot slot;
        try {
            slot.article = ReadArticle(*replica_, id, defaults_);
            slot.bytes = slot.article.Content().size();
        } catch (...) {
            slot.failure = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> hold(lock_);
            readyBytes_ += slot.bytes;
            ready_.push_back(std::move(slot));
        }
        changed_.notify_all();
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
            changed_.wait(hold, [this] { return !ready_.empty(); });
            slot = std::move(ready_.front());
            ready_.pop_front();
            readyBytes_ -= slot.bytes;
            if (taken_++ == at) break;
            changed_.notify_all();
        }
    }
    changed_.notify_all();
    if (slot.failure) std::rethrow_exception(slot.failure);
    out = std::move(slot.article);
    return true;
}

}  // namespace qb

// Reading the articles of a long run (an export) one step ahead of the
// caller, on a thread of its own: the caller converts one article while the
// next ones are read and inflated on the other core. The thread reads
// through a replica of the file (its own descriptor and caches), so nothing
// of the caller's handle is shared.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <stop_token>
#include <thread>
#include <vector>

#include "datafile/articles.h"
#include "datafile/data_file.h"
#include "datafile/record_defaults.h"

namespace qb {

class ArticleReadAhead {
public:
    // Starts reading `ids` in their order. At most `maxArticles` articles,
    // and about `maxBytes` of their content, wait to be taken (always at
    // least one). `source` must stay open until this is destroyed. Without
    // a replica or a thread (no descriptor left) it reads nothing and Take
    // always declines.
    ArticleReadAhead(const CDataFile& source, const RecordDefaults& defaults,
                     std::vector<int32_t> ids, std::size_t maxArticles = 64,
                     std::size_t maxBytes = std::size_t(16) << 20);
    // Stops the thread and waits for it.
    ~ArticleReadAhead();
    ArticleReadAhead(const ArticleReadAhead&) = delete;
    ArticleReadAhead& operator=(const ArticleReadAhead&) = delete;

    // When `id` is the next article of the order: waits for its read, moves
    // the article into `out` and returns true; a read that failed is
    // rethrown here instead, in its place in the order, exactly as reading
    // it now would have thrown. An id a little further on (within
    // `maxArticles`) skips the ones before it, unseen. Any other id: false
    // and nothing changes, the caller reads that one itself.
    bool Take(int32_t id, CArticle& out);

private:
    void Run(std::stop_token stop);
    bool BelowLowWater() const;  // with lock_ held

    struct Slot {
        CArticle article;
        std::exception_ptr failure;
        std::size_t bytes = 0;
    };

    std::unique_ptr<CDataFile> replica_;
    RecordDefaults defaults_;
    std::vector<int32_t> ids_;
    std::size_t maxArticles_, maxBytes_;

    std::mutex lock_;
    std::condition_variable_any changed_;
    std::deque<Slot> ready_;  // read, not yet taken, in the order
    std::size_t readyBytes_ = 0;
    std::size_t taken_ = 0;     // ids_[taken_] is the next to be taken
    bool readerWaits_ = false;  // the thread waits for room
    bool takerWaits_ = false;   // Take waits for the next article

    std::jthread thread_;  // last: stopped and joined before the rest goes
};

}  // namespace qb

#include "datafile/parallel_reads.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace qb {
namespace {

// Work is handed out in runs of consecutive indexes: neighbouring records
// tend to share blocks, and one atomic step per run costs nothing.
constexpr size_t kRun = 64;

}  // namespace

unsigned DefaultReadThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

void ReadInParallel(CDataFile& file, size_t count, unsigned threads,
                    const std::function<void(CDataFile& handle, size_t i)>& read) {
    threads = std::max(1u, std::min<unsigned>(threads, unsigned((count + kRun - 1) / kRun)));
    std::vector<std::unique_ptr<CDataFile>> replicas;
    for (unsigned t = 1; t < threads; ++t) {
        try {
            auto r = std::make_unique<CDataFile>();
            r->OpenReplica(file);
            replicas.push_back(std::move(r));
        } catch (...) {
            break;  // fewer threads, then; the work is the same
        }
    }

    std::atomic<size_t> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;
    auto work = [&](CDataFile& handle) {
        try {
            for (;;) {
                size_t from = next.fetch_add(kRun, std::memory_order_relaxed);
                if (from >= count) return;
                for (size_t i = from, end = std::min(count, from + kRun); i < end; ++i)
                    read(handle, i);
            }
        } catch (...) {
            std::lock_guard<std::mutex> hold(failureLock);
            if (!failure) failure = std::current_exception();
            next.store(count, std::memory_order_relaxed);  // the others stop too
        }
    };
    {
        std::vector<std::jthread> pool;
        pool.reserve(replicas.size());
        try {
            for (auto& r : replicas)
                pool.emplace_back([&work, h = r.get()] { work(*h); });
        } catch (const std::system_error&) {
            // No more threads to be had: the ones running and this one do it all.
        }
        work(file);
    }  // joined here
    for (auto& r : replicas)
        r->Abort();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace qb

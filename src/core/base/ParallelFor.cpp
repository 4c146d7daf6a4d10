#include "base/ParallelFor.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace qm {

void ParallelFor(size_t count, unsigned threads,
                 const std::function<void(size_t done, size_t total)>& progress,
                 const std::function<void(size_t index)>& body) {
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, std::max<size_t>(count, 1)));

    std::atomic<size_t> next{0};
    std::atomic<size_t> done{0};
    std::atomic<bool> failed{false};
    std::exception_ptr error;
    std::mutex mutex;

    auto worker = [&] {
        for (;;) {
            if (failed.load(std::memory_order_relaxed))
                return;
            const size_t i = next.fetch_add(1);
            if (i >= count)
                return;
            try {
                body(i);
            } catch (...) {
                std::lock_guard<std::mutex> lock(mutex);
                if (!error)
                    error = std::current_exception();
                failed = true;
                return;
            }
            const size_t d = done.fetch_add(1) + 1;
            if (progress) {
                std::lock_guard<std::mutex> lock(mutex);
                progress(d, count);
            }
        }
    };

    if (threads <= 1) {
        worker();
    } else {
        std::vector<std::thread> pool;
        pool.reserve(threads - 1);
        for (unsigned t = 1; t < threads; ++t)
            pool.emplace_back(worker);
        worker();
        for (auto& th : pool)
            th.join();
    }
    if (error)
        std::rethrow_exception(error);
}

} // namespace qm

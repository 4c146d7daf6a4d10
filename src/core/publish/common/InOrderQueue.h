#pragma once
// Items numbered 0, 1, 2 ... arrive from several worker threads in any order
// and leave in number order: an item whose turn has come is delivered at
// once, together with the parked ones that follow it; an item that is early
// is parked. An item far ahead of the oldest undelivered one holds its thread
// until that one is in, so no more than `ahead` items are ever parked.
#include <condition_variable>
#include <cstddef>
#include <map>
#include <mutex>
#include <utility>

namespace qm {

template <class TItem> class TInOrderQueue {
public:
    explicit TInOrderQueue(size_t ahead = 256) : FAhead(ahead) {}

    // deliver(TItem&) runs under the queue's lock, one item at a time, in
    // number order. False when the queue was aborted (the item is dropped).
    template <class TDeliver> bool Put(size_t index, TItem item, TDeliver&& deliver) {
        std::unique_lock<std::mutex> lock(FMutex);
        FRoom.wait(lock, [&] { return FAborted || index < FNext + FAhead; });
        if (FAborted)
            return false;
        if (index != FNext) {
            FParked.emplace(index, std::move(item));
            return true;
        }
        deliver(item);
        ++FNext;
        for (auto it = FParked.begin(); it != FParked.end() && it->first == FNext;
             it = FParked.erase(it), ++FNext)
            deliver(it->second);
        FRoom.notify_all();
        return true;
    }

    // Wakes every waiting thread and drops whatever arrives later.
    void Abort() noexcept {
        const std::lock_guard<std::mutex> lock(FMutex);
        FAborted = true;
        FRoom.notify_all();
    }

    // How many items have left, in order.
    [[nodiscard]] size_t Delivered() {
        const std::lock_guard<std::mutex> lock(FMutex);
        return FNext;
    }

private:
    std::mutex FMutex;
    std::condition_variable FRoom;
    const size_t FAhead;
    size_t FNext = 0;
    bool FAborted = false;
    std::map<size_t, TItem> FParked;
};

} // namespace qm

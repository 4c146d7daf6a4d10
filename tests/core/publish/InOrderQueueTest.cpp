#include "publish/common/InOrderQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace qm;

namespace {

// Four threads take the next number as the workers of a publish take pages,
// and put their items in whatever order the scheduler lets them finish; the
// items leave numbered 0..n-1.
TEST(InOrderQueue, DeliversInNumberOrderWhateverTheArrivalOrder) {
    constexpr size_t kItems = 2000;
    TInOrderQueue<std::string> queue(8);
    std::vector<std::string> out;
    std::atomic<size_t> next{0};
    std::vector<std::thread> threads;
    for (unsigned t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            std::mt19937 rng(t);
            for (size_t i; (i = next.fetch_add(1)) < kItems;) {
                if (rng() % 4 == 0)
                    std::this_thread::yield();
                EXPECT_TRUE(queue.Put(i, std::to_string(i),
                                      [&](std::string& item) { out.push_back(std::move(item)); }));
            }
        });
    for (auto& th : threads)
        th.join();
    ASSERT_EQ(out.size(), kItems);
    for (size_t i = 0; i < kItems; ++i)
        ASSERT_EQ(out[i], std::to_string(i));
    EXPECT_EQ(queue.Delivered(), kItems);
}

// A thread held back because its item is far ahead is released by Abort,
// and nothing is delivered after it.
TEST(InOrderQueue, AbortReleasesAWaitingThread) {
    TInOrderQueue<int> queue(2);
    std::vector<int> out;
    const auto deliver = [&](int& v) { out.push_back(v); };
    EXPECT_TRUE(queue.Put(1, 1, deliver)); // parked: 0 is not in yet
    std::atomic<bool> returned{false};
    bool accepted = true;
    std::thread far([&] {
        accepted = queue.Put(5, 5, deliver); // waits for room
        returned = true;
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    queue.Abort();
    far.join();
    EXPECT_LT(std::chrono::steady_clock::now(), deadline);
    EXPECT_TRUE(returned);
    EXPECT_FALSE(accepted);
    EXPECT_FALSE(queue.Put(0, 0, deliver));
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(queue.Delivered(), 0u);
}

} // namespace

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "band/server_lock.h"

namespace tw {
namespace {

TEST(ServerLock, UnloadableOnlyAtZero) {
    ServerLock lock;
    EXPECT_EQ(lock.CanUnloadResult(), 0);
    lock.Lock();
    lock.Lock();
    EXPECT_EQ(lock.CanUnloadResult(), 1);
    lock.Unlock();
    EXPECT_EQ(lock.CanUnloadResult(), 1);
    lock.Unlock();
    EXPECT_EQ(lock.CanUnloadResult(), 0);
}

// Band objects may come and go on several browser threads at once.
TEST(ServerLock, ConcurrentChangesBalance) {
    ServerLock lock;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&lock] {
            for (int i = 0; i < 20000; ++i) {
                lock.Lock();
                lock.Unlock();
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(lock.Count(), 0);
}

}  // namespace
}  // namespace tw

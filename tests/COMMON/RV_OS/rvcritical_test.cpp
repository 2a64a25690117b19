#include "RVThread.h"
#include "rvcritical.h"
#include "rvtick.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Runs f on another thread and returns its result.
template <class F>
int OnOtherThread(F f)
{
    int result = -1;
    std::thread t([&] { result = f(); });
    t.join();
    return result;
}

TEST(CriticalTest, RecursiveLockIsReleasedAfterAsManyUnlocks)
{
    CRVCritical lock;
    ASSERT_EQ(lock.RVLock(), 1);
    ASSERT_EQ(lock.RVLock(), 1);        // same thread again: no deadlock
    EXPECT_EQ(lock.RVTryLock(), 1);     // and once more without waiting
    EXPECT_EQ(lock.RVUnlock(), 1);
    EXPECT_EQ(lock.RVUnlock(), 1);
    // Still held once: another thread cannot take it.
    EXPECT_EQ(OnOtherThread([&] { return lock.RVTryLock(); }), 0);
    EXPECT_EQ(lock.RVUnlock(), 1);
    EXPECT_EQ(OnOtherThread([&] {
        int taken = lock.RVTryLock();
        if (taken)
            lock.RVUnlock();
        return taken;
    }), 1);
}

TEST(CriticalTest, UnlockByANonOwnerFails)
{
    CRVCritical lock;
    EXPECT_EQ(lock.RVUnlock(), 0);      // never locked
    ASSERT_EQ(lock.RVLock(), 1);
    EXPECT_EQ(OnOtherThread([&] { return lock.RVUnlock(); }), 0);
    EXPECT_EQ(lock.RVUnlock(), 1);
}

TEST(CriticalTest, TimedFormsGiveUpWhileAnotherThreadHoldsTheLock)
{
    CRVCritical lock;
    ASSERT_EQ(lock.RVLock(), 1);
    ASSERT_EQ(lock.RVLock(), 1);

    struct Case { const char* name; int (*lock)(CRVCritical&); uint32_t minMs; };
    const Case cases[] = {
        {"RVLockFast", [](CRVCritical& c) { return c.RVLockFast(); }, 200},
        {"RVLock(5, 120)", [](CRVCritical& c) { return c.RVLock(5, 120); }, 100},
        {"RVLock(0, 0)", [](CRVCritical& c) { return c.RVLock(0, 0); }, 0},
    };
    for (const Case& c : cases) {
        uint32_t elapsed = 0;
        int taken = OnOtherThread([&] {
            uint32_t start = RVGetTickCount();
            int r = c.lock(lock);
            elapsed = RVTickSince(start);
            return r;
        });
        EXPECT_EQ(taken, 0) << c.name;
        EXPECT_GE(elapsed, c.minMs) << c.name;
        EXPECT_LT(elapsed, 4000u) << c.name;    // far below the 5 s forms: it did give up
    }
    lock.RVUnlock();
    lock.RVUnlock();
}

TEST(CriticalTest, TimedLockSucceedsOnceTheOwnerLetsGo)
{
    CRVCritical lock;
    std::atomic<int> held{0};
    std::thread owner([&] {
        lock.RVLock();
        held = 1;
        Sleep(80);
        lock.RVUnlock();
    });
    while (!held)
        Sleep(1);
    EXPECT_EQ(lock.RVLockSilent(), 1);
    EXPECT_EQ(lock.RVUnlock(), 1);
    held = 0;
    owner.join();

    // The debug form behaves the same.
    EXPECT_EQ(lock.RVLock(__FILE__, __LINE__), 1);
    EXPECT_EQ(lock.RVUnlock(), 1);
}

TEST(CriticalTest, ExcludesOtherThreads)
{
    CRVCritical lock;
    long counter = 0;   // deliberately plain: the lock is what protects it
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                lock.RVLock();
                lock.RVLock();
                ++counter;
                lock.RVUnlock();
                lock.RVUnlock();
            }
        });
    }
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(counter, 4 * 20000);
}

}  // namespace

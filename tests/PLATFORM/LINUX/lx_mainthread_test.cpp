#include "lx_mainthread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(LxMainThread, RunsInlineOnTheInterfaceThread)
{
    CLxMainThread mt;
    EXPECT_TRUE(mt.IsMainThread());
    int n = 0;
    EXPECT_EQ(1, mt.Run([&] { ++n; }, 1));
    EXPECT_EQ(1, n);
}

TEST(LxMainThread, WaitingCallerBlocksUntilTheLoopRunsIt)
{
    CLxMainThread mt;
    std::atomic<int> wakeups{0};
    mt.SetWakeup([&] { ++wakeups; });
    std::thread::id ranOn;
    std::atomic<int> result{-1};
    std::thread engine([&] {
        EXPECT_FALSE(mt.IsMainThread());
        result = mt.Run([&] { ranOn = std::this_thread::get_id(); }, 1);
    });
    // The loop: wait for work, run it.
    for (int i = 0; i < 200 && result == -1; ++i) {
        mt.WaitForWork(20);
        mt.RunPending();
    }
    engine.join();
    EXPECT_EQ(1, result);
    EXPECT_EQ(std::this_thread::get_id(), ranOn);
    EXPECT_EQ(1, wakeups);
}

TEST(LxMainThread, CallsRunInOrderAndNotWaitingReturnsAtOnce)
{
    CLxMainThread mt;
    std::vector<int> order;
    std::thread engine([&] {
        EXPECT_EQ(1, mt.Run([&] { order.push_back(1); }, 0));
        EXPECT_EQ(1, mt.Run([&] { order.push_back(2); }, 0));
    });
    engine.join();
    EXPECT_TRUE(order.empty());
    mt.RunPending();
    EXPECT_EQ((std::vector<int>{1, 2}), order);
}

// A thread waiting on the interface thread must not hang when the loop stops
// (shutdown stops the engine threads after closing the queue).
TEST(LxMainThread, CloseReleasesWaitersAndRefusesNewCalls)
{
    CLxMainThread mt;
    std::atomic<int> result{-1};
    bool bRan = false;
    std::thread engine([&] { result = mt.Run([&] { bRan = true; }, 1); });
    // Let the call be queued (or not yet: either way it must not run).
    mt.WaitForWork(50);
    mt.Close();
    engine.join();
    EXPECT_EQ(0, result);
    mt.RunPending();
    EXPECT_FALSE(bRan);
    EXPECT_EQ(0, mt.Run([] {}, 0));
    EXPECT_EQ(0, mt.Run([] {}, 1));
    mt.Open();
    EXPECT_EQ(1, mt.Run([] {}, 1));
}

}  // namespace

#include "RVSemaphore.h"
#include "RVThread.h"
#include "rvtick.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// What a test thread works with: it reports that it ran, then waits for
// release (or runs until cancelled) and reports that it left.
struct Worker
{
    CRVManualSemaphore release;
    std::atomic<int> ran{0};
    std::atomic<int> left{0};
    void* arg = nullptr;
};

// Sets left from a destructor, so it also fires when the thread is cancelled.
struct LeaveMark
{
    Worker* w;
    ~LeaveMark() { w->left = 1; }
};

void* Blocks(void* p)
{
    Worker* w = static_cast<Worker*>(p);
    LeaveMark mark{w};
    w->arg = p;
    w->ran = 1;
    w->release.WaitSignal(60000);
    return nullptr;
}

void* SleepsForever(void* p)
{
    Worker* w = static_cast<Worker*>(p);
    LeaveMark mark{w};
    w->ran = 1;
    for (;;)
        Sleep(50);     // nanosleep is a cancellation point
    return nullptr;
}

// Waits (bounded) until flag is set.
bool Eventually(const std::atomic<int>& flag)
{
    uint32_t start = RVGetTickCount();
    while (!flag && RVTickSince(start) < 10000)
        Sleep(2);
    return flag != 0;
}

TEST(ThreadTest, IdleObjectReportsNothing)
{
    CRVThread thread;
    EXPECT_EQ(thread.IsRunning(), 0);
    EXPECT_EQ(thread.SignalCompleted(), 0);
    EXPECT_EQ(thread.WaitComplete(0), 1);
    thread.Terminate();     // harmless without a thread
    EXPECT_NE(thread.Start(nullptr, nullptr), 0);
    EXPECT_EQ(thread.IsRunning(), 0);
}

TEST(ThreadTest, RunsStopsAndIsJoinedOnce)
{
    Worker w;
    CRVThread thread;
    ASSERT_EQ(thread.Start(Blocks, &w, 128000, "RXThread"), 0);
    ASSERT_TRUE(Eventually(w.ran));
    EXPECT_EQ(w.arg, &w);
    EXPECT_EQ(thread.IsRunning(), 1);
    EXPECT_EQ(thread.SignalCompleted(), 0);

    w.release.SetEvent();
    EXPECT_EQ(thread.WaitComplete(10000), 1);
    EXPECT_EQ(w.left, 1);
    EXPECT_EQ(thread.IsRunning(), 0);       // already joined: nothing held
    EXPECT_EQ(thread.SignalCompleted(), 1);
    EXPECT_EQ(thread.SignalCompleted(), 0); // exactly once
}

TEST(ThreadTest, IsRunningJoinsAThreadThatReturned)
{
    Worker w;
    w.release.SetEvent();
    CRVThread thread;
    ASSERT_EQ(thread.Start(Blocks, &w), 0);
    ASSERT_TRUE(Eventually(w.left));
    // left is set just before the procedure returns; poll until the thread is seen done.
    uint32_t start = RVGetTickCount();
    while (thread.IsRunning() && RVTickSince(start) < 10000)
        Sleep(1);
    EXPECT_EQ(thread.IsRunning(), 0);
    EXPECT_EQ(thread.IsRunning(), 0);
    EXPECT_EQ(thread.SignalCompleted(), 1);
}

TEST(ThreadTest, WaitCompleteGivesUpOnAThreadThatKeepsRunning)
{
    Worker w;
    CRVThread thread;
    ASSERT_EQ(thread.Start(Blocks, &w), 0);
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(thread.WaitComplete(300), 0);
    uint32_t elapsed = RVTickSince(start);
    EXPECT_GE(elapsed, 290u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_EQ(thread.IsRunning(), 1);
    w.release.SetEvent();
    EXPECT_EQ(thread.WaitComplete(10000), 1);
}

TEST(ThreadTest, WaitCompleteOrTerminateCancelsAStuckThread)
{
    Worker w;
    CRVThread thread;
    ASSERT_EQ(thread.Start(SleepsForever, &w), 0);
    ASSERT_TRUE(Eventually(w.ran));
    EXPECT_EQ(thread.WaitCompleteOrTerminate(150), 0);
    EXPECT_EQ(thread.IsRunning(), 0);       // let go of
    EXPECT_TRUE(Eventually(w.left));        // and really ended, unwinding its stack
    EXPECT_EQ(thread.SignalCompleted(), 1);
}

TEST(ThreadTest, TerminatingAWaitingThreadLeavesItsEventUsable)
{
    // Heap objects: if the event's mutex stayed locked, the helper below would
    // block for good and must be left behind with something valid to touch.
    Worker* w = new Worker;
    CRVThread thread;
    ASSERT_EQ(thread.Start(Blocks, w), 0);
    ASSERT_TRUE(Eventually(w->ran));
    Sleep(20);      // into the wait
    EXPECT_EQ(thread.WaitCompleteOrTerminate(100), 0);
    ASSERT_TRUE(Eventually(w->left));

    auto* done = new std::atomic<int>(0);
    std::thread user([w, done] {
        w->release.SetEvent();
        *done = w->release.WaitSignal(0);
    });
    if (Eventually(*done)) {
        user.join();
        delete done;
        delete w;
    } else {
        user.detach();
        ADD_FAILURE() << "the event stayed locked after the cancelled wait";
    }
}

TEST(ThreadTest, RestartLeavesTheEarlierThreadRunningOnItsOwn)
{
    Worker first, second;
    CRVThread thread;
    ASSERT_EQ(thread.Start(Blocks, &first), 0);
    ASSERT_TRUE(Eventually(first.ran));
    ASSERT_EQ(thread.Start(Blocks, &second), 0);
    ASSERT_TRUE(Eventually(second.ran));
    EXPECT_EQ(first.left, 0);

    second.release.SetEvent();
    EXPECT_EQ(thread.WaitComplete(10000), 1);
    EXPECT_EQ(first.left, 0);               // the detached one is not affected
    first.release.SetEvent();
    EXPECT_TRUE(Eventually(first.left));
}

TEST(ThreadTest, DestructorLetsGoWithoutWaiting)
{
    Worker w;
    {
        CRVThread thread;
        ASSERT_EQ(thread.Start(Blocks, &w), 0);
        ASSERT_TRUE(Eventually(w.ran));
    }   // a join here would hang: the thread waits for release
    EXPECT_EQ(w.left, 0);
    w.release.SetEvent();
    EXPECT_TRUE(Eventually(w.left));
}

}  // namespace

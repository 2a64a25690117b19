#include "RVSemaphore.h"
#include "RVThread.h"
#include "rvtick.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(SemaphoreTest, ZeroWaitReportsTheFlagAndAutoResetClearsIt)
{
    struct Case { bool manual; bool set; bool reset; int first, second; };
    const Case cases[] = {
        {false, false, false, 0, 0},
        {true, false, false, 0, 0},
        {false, true, false, 1, 0},     // automatic: the first wait takes the signal
        {true, true, false, 1, 1},      // manual: stays set
        {true, true, true, 0, 0},
        {false, true, true, 0, 0},
    };
    for (const Case& c : cases) {
        CRVSemaphore event(c.manual ? 1 : 0);
        if (c.set) {
            EXPECT_EQ(event.SetEvent(), 1);
        }
        if (c.reset) {
            EXPECT_EQ(event.ResetEvent(), 1);
        }
        EXPECT_EQ(event.WaitSignal(0), c.first) << "manual=" << c.manual << " set=" << c.set;
        EXPECT_EQ(event.WaitSignal(0), c.second) << "manual=" << c.manual << " set=" << c.set;
    }
}

TEST(SemaphoreTest, SubclassesFixTheResetMode)
{
    CRVManualSemaphore manual;
    CRVAutoSemaphore automatic;
    EXPECT_EQ(manual.WaitSignal(0), 0);
    EXPECT_EQ(automatic.WaitSignal(0), 0);
    manual.SetEvent();
    automatic.SetEvent();
    EXPECT_EQ(manual.WaitSignal(0) + manual.WaitSignal(0), 2);
    EXPECT_EQ(automatic.WaitSignal(0) + automatic.WaitSignal(0), 1);
}

TEST(SemaphoreTest, StaticFormsRefuseANullEvent)
{
    EXPECT_EQ(CRVSemaphore::SetEvent(nullptr), 0);
    EXPECT_EQ(CRVSemaphore::ResetEvent(nullptr), 0);
    EXPECT_EQ(CRVSemaphore::WaitSignal(nullptr, 10), 0);

    CRVAutoSemaphore event;
    EXPECT_EQ(CRVSemaphore::SetEvent(&event), 1);
    EXPECT_EQ(CRVSemaphore::WaitSignal(&event, 0), 1);
    EXPECT_EQ(CRVSemaphore::SetEvent(&event), 1);
    EXPECT_EQ(CRVSemaphore::ResetEvent(&event), 1);
    EXPECT_EQ(CRVSemaphore::WaitSignal(&event, 0), 0);
}

TEST(SemaphoreTest, SignalBeforeTheWaitIsKept)
{
    CRVAutoSemaphore event;
    event.SetEvent();
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(event.WaitSignal(5000), 1);
    EXPECT_LT(RVTickSince(start), 4000u);
}

TEST(SemaphoreTest, WaitTimesOut)
{
    CRVManualSemaphore event;
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(event.WaitSignal(120), 0);
    uint32_t elapsed = RVTickSince(start);
    EXPECT_GE(elapsed, 110u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(SemaphoreTest, WaiterWakesOnSetEvent)
{
    for (int manual = 0; manual <= 1; ++manual) {
        CRVSemaphore event(manual);
        std::atomic<int> result{-1};
        uint32_t start = RVGetTickCount();
        std::thread waiter([&] { result = event.WaitSignal(20000); });
        Sleep(30);
        event.SetEvent();
        waiter.join();
        EXPECT_EQ(result, 1) << "manual=" << manual;
        EXPECT_LT(RVTickSince(start), 15000u) << "manual=" << manual;
        // Whether the flag survived the wait is the reset mode.
        EXPECT_EQ(event.WaitSignal(0), manual);
    }
}

// Runs n threads that each wait up to ms on the event; returns how many got it.
int CountWakeups(CRVSemaphore& event, int n, unsigned int ms, std::atomic<int>& waiting)
{
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < n; ++i) {
        waiters.emplace_back([&] {
            ++waiting;
            woken += event.WaitSignal(ms);
        });
    }
    while (waiting < n)
        Sleep(1);
    Sleep(20);  // let them reach the wait; a signal that comes earlier is kept anyway
    event.SetEvent();
    for (auto& t : waiters)
        t.join();
    return woken;
}

TEST(SemaphoreTest, ManualEventReleasesEveryWaiter)
{
    CRVManualSemaphore event;
    std::atomic<int> waiting{0};
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(CountWakeups(event, 3, 20000, waiting), 3);
    EXPECT_LT(RVTickSince(start), 15000u);  // none of them sat out its time-out
}

TEST(SemaphoreTest, AutoEventReleasesExactlyOneWaiterPerSignal)
{
    CRVAutoSemaphore event;
    std::atomic<int> waiting{0};
    EXPECT_EQ(CountWakeups(event, 3, 300, waiting), 1);
    EXPECT_EQ(event.WaitSignal(0), 0);
}

TEST(SemaphoreTest, AutoEventHandsEachSignalToOneConsumer)
{
    // Producers and consumers hammering one automatic event: every signal a
    // consumer reports must have been set; none may be counted twice.
    CRVAutoSemaphore event;
    std::atomic<int> taken{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> consumers;
    for (int i = 0; i < 3; ++i) {
        consumers.emplace_back([&] {
            while (!stop)
                taken += event.WaitSignal(5);
        });
    }
    const int kSignals = 300;
    for (int i = 0; i < kSignals; ++i) {
        event.SetEvent();
        // Wait until someone took it, so that no signal merges with the next.
        uint32_t start = RVGetTickCount();
        while (taken < i + 1 && RVTickSince(start) < 5000)
            Sleep(0);
    }
    stop = true;
    for (auto& t : consumers)
        t.join();
    EXPECT_EQ(taken, kSignals);
}

}  // namespace

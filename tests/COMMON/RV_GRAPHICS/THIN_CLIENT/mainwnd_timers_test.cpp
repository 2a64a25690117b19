// The animation thread's services: delay timers, posted procedures, the
// pending-animation flag, and the text-limit groups.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <memory>

#include "engine_fixture.h"
#include "mainwnd.h"
#include "rvtick.h"

namespace {

class CTimerSurf : public CSurf
{
public:
    explicit CTimerSurf(CSurf* pParent) : CSurf(pParent, 3, CRVRect(), CRVRect()) {}
    void ExecuteTimer() override
    {
        iFired++;
        if (bRestartOnce) {
            // Cancelling and re-arming from inside the callback.
            bRestartOnce = 0;
            g_pMainWindow->CancelDelayCallback(this);
            g_pMainWindow->SetDelayCallback(this, 30, 0);
        }
    }
    std::atomic<int> iFired{ 0 };
    int bRestartOnce = 0;
};

class CCountingProc : public CMainThreadProc
{
public:
    void DoProc() override
    {
        thread = pthread_self();
        iRuns++;
    }
    std::atomic<int> iRuns{ 0 };
    pthread_t thread;
};

class MainWndTimers : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 800, 600, 1));
        s = new CTimerSurf(wnd.get());
        wnd->AddChildTail(s);
    }
    void TearDown() override
    {
        wnd.reset();
        EngineFixture::TearDown();
    }
    // Waits until f() holds, at most ms.
    template <typename F>
    bool WaitFor(F f, unsigned int ms = 2000)
    {
        uint32_t start = RVGetTickCount();
        while (!f() && RVTickSince(start) < ms)
            Sleep(5);
        return f();
    }
    std::unique_ptr<CMainWnd> wnd;
    CTimerSurf* s = nullptr;
};

TEST_F(MainWndTimers, OneShotFiresOnceRepeatingUntilCancelled)
{
    wnd->StartAnimationHandler();
    wnd->SetDelayCallback(s, 40, 0);
    EXPECT_TRUE(WaitFor([&] { return s->iFired == 1; }));
    EXPECT_TRUE(WaitFor([&] { return !wnd->HasTimers(); }));
    Sleep(100);
    EXPECT_EQ(s->iFired, 1);

    s->iFired = 0;
    wnd->SetDelayCallback(s, 30, 1);
    EXPECT_TRUE(WaitFor([&] { return s->iFired >= 3; }));
    wnd->CancelDelayCallback(s);
    EXPECT_FALSE(wnd->HasTimers());
    int n = s->iFired;
    Sleep(100);
    EXPECT_EQ(s->iFired, n);
}

TEST_F(MainWndTimers, CallbackMayCancelAndRearmItsOwnTimer)
{
    s->bRestartOnce = 1;
    wnd->StartAnimationHandler();
    wnd->SetDelayCallback(s, 20, 1);
    EXPECT_TRUE(WaitFor([&] { return s->iFired == 2; }));
    EXPECT_TRUE(WaitFor([&] { return !wnd->HasTimers(); }));
    Sleep(100);
    EXPECT_EQ(s->iFired, 2);
}

TEST_F(MainWndTimers, PostedProceduresRunOnTheAnimationThread)
{
    CCountingProc procs[9];
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(wnd->PostProc(&procs[i]), 1);
    EXPECT_EQ(wnd->PostProc(&procs[8]), 0);     // eight are waiting already

    wnd->StartAnimationHandler();
    wnd->WaitProc(2000);
    EXPECT_TRUE(WaitFor([&] { return procs[7].iRuns == 1; }));
    for (int i = 0; i < 8; i++) {
        EXPECT_EQ(procs[i].iRuns, 1) << i;
        EXPECT_FALSE(pthread_equal(procs[i].thread, pthread_self()));
    }
    EXPECT_EQ(procs[8].iRuns, 0);
    EXPECT_EQ(wnd->PostProc(&procs[8]), 1);
    EXPECT_TRUE(WaitFor([&] { return procs[8].iRuns == 1; }));

    wnd->StopAnimationHandler();
    wnd->PostProc(&procs[0]);
    wnd->ClearPendingProcs();
    wnd->StartAnimationHandler();
    Sleep(100);
    EXPECT_EQ(procs[0].iRuns, 1);     // cleared before it could run
}

TEST_F(MainWndTimers, PendingAnimationFlag)
{
    EXPECT_FALSE(wnd->IsPendingAnimation());
    wnd->SetPendingAnimation();
    EXPECT_TRUE(wnd->IsPendingAnimation());
    wnd->ClearPendingAnimation();
    EXPECT_FALSE(wnd->IsPendingAnimation());
}

TEST_F(MainWndTimers, TextLimitGroupsKeepUpTo32Members)
{
    CSurfText* fake = reinterpret_cast<CSurfText*>(s);   // stored, never used here
    wnd->BeginTextLimitGroup(0x20000);
    for (int i = 0; i < 40; i++)
        wnd->AddTextGroup(0x20000, fake);
    ASSERT_NE(wnd->GetTextGroup(0x20000), nullptr);
    EXPECT_EQ(wnd->GetTextGroup(0x20000)->iCount, 32);
    EXPECT_EQ(wnd->GetTextGroup(0x10000)->iCount, 0);
    EXPECT_EQ(wnd->GetTextGroup(0x50000), nullptr);
    wnd->AddTextGroup(0x50000, fake);      // unknown key: ignored
    wnd->BeginTextLimitGroup(0x20000);
    EXPECT_EQ(wnd->GetTextGroup(0x20000)->iCount, 0);
}

}  // namespace

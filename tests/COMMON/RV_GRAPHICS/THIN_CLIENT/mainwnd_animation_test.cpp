// The animation thread's round on a main window: animating surfaces, the
// animations-done event, delay timers, the screen's turn, and surfaces
// removed while they animate. Rounds run by hand on a test clock unless a
// test says otherwise.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine_fixture.h"
#include "rvrect_print.h"
#include "surf_animation.h"
#include "surf_test_clock.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

class CAnimSurf : public CSurf
{
public:
    CAnimSurf(CSurf* pParent, int iID) : CSurf(pParent, iID, R(0, 0, 100, 50), R(0, 0, 50, 100)) {}
    void AnimationsCompleted() override { iCompleted++; }
    void ExecuteTimer() override { iFired++; }
    int iCompleted = 0;
    int iFired = 0;
};

class MainWndAnimation : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 600, 800, 1));
    }
    void TearDown() override
    {
        wnd.reset();
        EngineFixture::TearDown();
    }
    CAnimSurf* Add(int iID, CSurf* pParent = nullptr)
    {
        CSurf* p = pParent ? pParent : wnd.get();
        CAnimSurf* s = new CAnimSurf(p, iID);
        p->AddChildTail(s);
        return s;
    }
    void RoundAt(long long ms)
    {
        clock.Set(ms);
        wnd->AnimationRound();
    }
    void Remove(int iParent, int iChild)
    {
        CRVMSG m(0, MSG_REMOVE_SURFACES, 8, 1);
        m.PutInt(iParent);
        m.PutInt(iChild);
        wnd->ProcessMessage(&m);
    }

    CSurfTestClock clock;
    std::unique_ptr<CMainWnd> wnd;
};

TEST_F(MainWndAnimation, DoneOnceNothingOthersWaitForRuns)
{
    CAnimSurf* a = Add(1);
    CAnimSurf* b = Add(2);
    wnd->ResetWaitAnimations();
    RoundAt(0);
    EXPECT_FALSE(wnd->AnimationsDone());     // nothing animated: nothing to report

    a->Animate(AK_ALPHA, 255, 0, 100, 0, ACCEL_LINEAR, 0);
    b->AnimateWithDecel(40, 0, 100, 100, -1000, 1000);     // 1 s, not waited for
    RoundAt(50);
    EXPECT_FALSE(wnd->AnimationsDone());
    EXPECT_EQ(128, a->Alpha());
    RoundAt(100);
    EXPECT_TRUE(wnd->AnimationsDone());
    EXPECT_EQ(0, a->Alpha());
    EXPECT_EQ(1, a->iCompleted);             // left the animating list
    EXPECT_EQ(0, b->iCompleted);

    // The next waited-for animation holds the event back again.
    wnd->ResetWaitAnimations();
    a->Animate(AK_ALPHA, 0, 255, 100, 0, ACCEL_LINEAR, 0);
    RoundAt(150);
    EXPECT_FALSE(wnd->AnimationsDone());
    RoundAt(1000);
    EXPECT_TRUE(wnd->AnimationsDone());
    EXPECT_EQ(2, a->iCompleted);
    EXPECT_EQ(1, b->iCompleted);
}

TEST_F(MainWndAnimation, ARoundAsksForOneRedrawWhenSomethingMoved)
{
    CAnimSurf* a = Add(1);
    RoundAt(0);
    g_GLDelegateHooks.Reset();
    a->Animate(ORIENT_0, AK_POSITION, a->Position(ORIENT_0), R(100, 0, 100, 50), 0, 100, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    RoundAt(50);
    EXPECT_EQ(R(50, 0, 100, 50), a->Position(ORIENT_0));
    EXPECT_EQ(1, g_GLDelegateHooks.iValidateCalls);
    RoundAt(50);    // nothing moved
    EXPECT_EQ(1, g_GLDelegateHooks.iValidateCalls);
}

TEST_F(MainWndAnimation, TimersRepeatFireOnceOrNeverOnTheRoundClock)
{
    CAnimSurf* repeat = Add(1);
    CAnimSurf* once = Add(2);
    CAnimSurf* cancelled = Add(3);
    wnd->SetDelayCallback(repeat, 100, 1);
    wnd->SetDelayCallback(once, 30, 0);
    wnd->SetDelayCallback(cancelled, 10, 0);
    RoundAt(0);     // the clocks start at the first round
    wnd->CancelDelayCallback(cancelled);
    const struct { long long t; int iRepeat; int iOnce; } rounds[] = {
        { 20, 0, 0 }, { 30, 0, 1 }, { 99, 0, 1 }, { 100, 1, 1 }, { 150, 1, 1 }, { 200, 2, 1 },
        { 310, 3, 1 },      // late: the next one is due 100 ms after this firing
        { 400, 3, 1 }, { 410, 4, 1 }, { 5000, 5, 1 },
    };
    for (const auto& r : rounds) {
        RoundAt(r.t);
        EXPECT_EQ(r.iRepeat, repeat->iFired) << "at " << r.t;
        EXPECT_EQ(r.iOnce, once->iFired) << "at " << r.t;
        EXPECT_EQ(0, cancelled->iFired) << "at " << r.t;
    }
    wnd->CancelDelayCallback(repeat);
    EXPECT_FALSE(wnd->HasTimers());     // the one-shot timer went after it fired
    RoundAt(9000);
    EXPECT_EQ(5, repeat->iFired);
}

TEST_F(MainWndAnimation, SyncAndOffsetReachEveryAnimatingSurface)
{
    CAnimSurf* a = Add(1);
    CAnimSurf* b = Add(2);
    a->Animate(AK_ALPHA, 255, 55, 200, 0, ACCEL_LINEAR, 0);
    clock.Set(70);
    b->Animate(AK_ALPHA, 255, 55, 200, 0, ACCEL_LINEAR, 0);
    wnd->SyncAnimations(CSurfTestClock::At(100));      // both start together
    wnd->OffsetAnimationTimes(20);
    RoundAt(220);
    EXPECT_EQ(155, a->Alpha());
    EXPECT_EQ(155, b->Alpha());
}

TEST_F(MainWndAnimation, TheScreensTurnRunsTheOrientationProgress)
{
    wnd->StartOrientationTurn(ORIENT_1);
    EXPECT_EQ(2, wnd->m_iOrientAnimMode);
    EXPECT_EQ(0, wnd->m_iOrientAnimProgress);
    RoundAt(125);
    EXPECT_EQ(500, wnd->m_iOrientAnimProgress);
    // Turning back while turning starts over towards orientation 0.
    wnd->StartOrientationTurn(ORIENT_0);
    EXPECT_EQ(1, wnd->m_iOrientAnimMode);
    EXPECT_EQ(nullptr, wnd->FindAnimation(AK_TURN_TO_1));
    RoundAt(250);
    EXPECT_EQ(500, wnd->m_iOrientAnimProgress);
    RoundAt(375);
    EXPECT_EQ(0, wnd->m_iOrientAnimMode);
    EXPECT_EQ(0, wnd->m_iOrientAnimProgress);
    EXPECT_EQ(nullptr, wnd->FindAnimation(AK_TURN_TO_0));
}

TEST_F(MainWndAnimation, AnOrientationChangeTurnsTheScreenOverTime)
{
    wnd->OnOrientationChange(ORIENT_1, 480, 800);
    EXPECT_EQ(ORIENT_1, CMainWnd::m_eOrientation);
    EXPECT_EQ(2, wnd->m_iOrientAnimMode);
    EXPECT_NE(nullptr, wnd->FindAnimation(AK_TURN_TO_1));
    RoundAt(125);
    EXPECT_EQ(500, wnd->m_iOrientAnimProgress);
    RoundAt(250);
    EXPECT_EQ(0, wnd->m_iOrientAnimMode);
    CMainWnd::m_eOrientation = ORIENT_0;   // class-wide: leave it as found
}

// Removing a subtree while its surfaces animate: its animations and timers
// go with it before the drawing thread frees it, and later rounds never
// reach it (the address sanitizer watches).
TEST_F(MainWndAnimation, RemovedWhileAnimatingLeavesNothingBehind)
{
    CAnimSurf* page = Add(10);
    for (int i = 0; i < 5; i++) {
        CAnimSurf* c = Add(20 + i, page);
        c->Animate(ORIENT_0, AK_POSITION, c->Position(ORIENT_0), R(500, 0, 100, 50), 0, 1000, 0, ACCEL_LINEAR,
                   ANIMATION_TERM_WAIT);
        wnd->SetDelayCallback(c, 50, 1);
    }
    page->Animate(AK_ALPHA, 255, 0, 1000, 0, ACCEL_LINEAR, 0);
    CAnimSurf* keep = Add(30);
    keep->Animate(AK_ALPHA, 255, 0, 1000, 0, ACCEL_LINEAR, 0);
    RoundAt(100);
    wnd->ResetWaitAnimations();
    Remove(0, 10);
    EXPECT_EQ(1, wnd->GarbageSurfaces());
    wnd->CleanupGarbage();
    EXPECT_EQ(nullptr, wnd->FindSurface(10));
    EXPECT_FALSE(wnd->HasTimers());
    RoundAt(500);
    RoundAt(1000);
    EXPECT_TRUE(wnd->AnimationsDone());
    EXPECT_EQ(0, keep->Alpha());
}

// A surface kind whose update takes itself out of the tree (as a finished
// slide-out may): the surfaces after it in the animating list go on.
class CSelfRemovingSurf : public CAnimSurf
{
public:
    using CAnimSurf::CAnimSurf;
    void ProcessAnimationUpdate(CSurfAnimation* p) override
    {
        CAnimSurf::ProcessAnimationUpdate(p);
        if (Position(ORIENT_0).x >= 50 && Parent()->RemoveSubSurf(this))
            g_pMainWindow->AddToGarbage(this);
    }
};

TEST_F(MainWndAnimation, AnUpdateMayRemoveItsOwnSurface)
{
    CAnimSurf* after = Add(1);      // registered first: last in the list
    after->Animate(AK_ALPHA, 255, 0, 100, 0, ACCEL_LINEAR, 0);
    CSelfRemovingSurf* gone = new CSelfRemovingSurf(wnd.get(), 2);
    wnd->AddChildTail(gone);
    gone->Animate(ORIENT_0, AK_POSITION, gone->Position(ORIENT_0), R(100, 0, 100, 50), 0, 100, 0, ACCEL_LINEAR,
                  ANIMATION_TERM_WAIT);
    RoundAt(60);
    EXPECT_EQ(1, wnd->GarbageSurfaces());
    EXPECT_EQ(102, after->Alpha());
    wnd->CleanupGarbage();
    RoundAt(100);
    EXPECT_EQ(0, after->Alpha());
    EXPECT_EQ(1, after->iCompleted);
}

// The same with the animation thread running on the real clock: removal,
// garbage and rounds race on purpose.
TEST_F(MainWndAnimation, RemovalRacesTheAnimationThread)
{
    SurfSetClock(nullptr);
    wnd->StartAnimationHandler();
    for (int round = 0; round < 20; round++) {
        wnd->TreeLock()->RVLock();
        CAnimSurf* page = Add(100 + round);
        for (int i = 0; i < 10; i++) {
            CAnimSurf* c = Add(1000 + round * 10 + i, page);
            c->Animate(ORIENT_0, AK_BOUNCE, c->Position(ORIENT_0), R(50, 50, 100, 50), 0, 200, 0, ACCEL_LINEAR,
                       ANIMATION_TERM_WAIT);
            c->Animate(AK_ROTATE_Z, 0, 360, 300, 0, ACCEL_TRAPEZOID, AF_ALPHA_OFF_AT_MIDDLE);
        }
        wnd->TreeLock()->RVUnlock();
        Sleep(5 + round % 3 * 10);
        Remove(0, 100 + round);
        wnd->CleanupGarbage();
    }
    wnd->StopAnimationHandler();
    EXPECT_EQ(0, wnd->GarbageSurfaces());
    EXPECT_EQ(nullptr, wnd->FirstChild());
}

}  // namespace

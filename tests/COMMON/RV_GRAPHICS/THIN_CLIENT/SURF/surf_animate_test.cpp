// A surface's animations without a main window: starting, retargeting,
// stopping, the round's results and what each key does to the surface. The
// clock is a test clock, and rounds are run by hand.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rvrect_print.h"
#include "surf.h"
#include "surf_animation.h"
#include "surf_timer.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

long long g_llNow = 0;
timespec Now()
{
    timespec t;
    t.tv_sec = 100 + g_llNow / 1000;
    t.tv_nsec = (long)(g_llNow % 1000) * 1000000L;
    return t;
}

class CountingSurf : public CSurf
{
public:
    explicit CountingSurf(CSurf* pParent) : CSurf(pParent, 5, R(0, 0, 100, 50), R(0, 0, 50, 100)) {}
    void ProcessAnimationUpdate(CSurfAnimation* p) override
    {
        keys.push_back(p->Key());
        if (pfnOnUpdate)
            pfnOnUpdate(this, p);
        CSurf::ProcessAnimationUpdate(p);
    }
    std::vector<int> keys;
    void (*pfnOnUpdate)(CountingSurf*, CSurfAnimation*) = nullptr;
    using CSurf::m_iState;
};

class SurfAnimate : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CSurf::g_bRenderGL = 0;
        g_llNow = 0;
        SurfSetClock(Now);
        s = new CountingSurf(&root);
        root.AddChildTail(s);
    }
    void TearDown() override { SurfSetClock(nullptr); }

    // A round at ms.
    int RoundAt(long long ms)
    {
        g_llNow = ms;
        return s->ProcessAnimations(Now());
    }

    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 600, 800) };
    CountingSurf* s = nullptr;
};

TEST_F(SurfAnimate, EachKeyDrivesItsValue)
{
    s->CacheOwner(&root);
    s->Animate(ORIENT_1, AK_POSITION, R(0, 0, 50, 100), R(100, 40, 50, 100), 0, 200, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    s->Animate(ORIENT_0, AK_TRANSFORM, R(0, 0, 1000, 1000), R(20, 0, 3000, 1000), 0, 200, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    s->Animate(AK_ALPHA, 255, 55, 200, 0, ACCEL_LINEAR, 0);
    s->Animate(AK_ROTATE_Z, 0, 90, 200, 0, ACCEL_LINEAR, 0);
    root.StateFlags(0);
    RoundAt(100);
    EXPECT_EQ(R(50, 20, 50, 100), s->Position(ORIENT_1));
    EXPECT_EQ(R(0, 0, 100, 50), s->Position(ORIENT_0));     // the other orientation is left alone
    EXPECT_EQ(R(10, 0, 2000, 1000), s->GetTransform());
    EXPECT_EQ(155, s->Alpha());
    EXPECT_EQ(45, s->GetRotation(2));
    EXPECT_TRUE(root.State() & CSurf::SS_NEEDS_REDRAW);
    EXPECT_TRUE(root.State() & CSurf::SS_APPEARANCE);        // the cache owner rebuilds
    EXPECT_EQ(4u, s->keys.size());

    EXPECT_EQ(0, RoundAt(200));     // all done and gone
    EXPECT_EQ(R(100, 40, 50, 100), s->Position(ORIENT_1));
    EXPECT_EQ(55, s->Alpha());
    EXPECT_FALSE(s->HasAnimations());
}

TEST_F(SurfAnimate, RotationFlipsAlphaAtTheMiddle)
{
    s->SetAlpha(0);
    s->Animate(AK_ROTATE_Y, 0, 180, 100, 0, ACCEL_LINEAR, AF_ALPHA_ON_AT_MIDDLE);
    RoundAt(40);
    EXPECT_EQ(0, s->Alpha());
    RoundAt(60);
    EXPECT_EQ(255, s->Alpha());
    s->SetAlpha(10);
    RoundAt(80);
    EXPECT_EQ(10, s->Alpha());      // used once
}

TEST_F(SurfAnimate, SameEndLeavesTheRunningAnimationAlone)
{
    s->Animate(AK_ALPHA, 255, 0, 400, 0, ACCEL_LINEAR, 0);
    CSurfAnimation* a = s->FindAnimation(AK_ALPHA);
    ASSERT_NE(nullptr, a);
    RoundAt(100);
    g_llNow = 150;
    s->Animate(AK_ALPHA, 10, 0, 900, 0, ACCEL_LINEAR, 0);
    EXPECT_EQ(a, s->FindAnimation(AK_ALPHA));
    EXPECT_EQ(400u, a->Duration());
    EXPECT_EQ(255, a->StartValue());

    // A new end: the same animation goes on from where it is.
    s->Animate(AK_ALPHA, 10, 200, 100, 0, ACCEL_LINEAR, 0);
    EXPECT_EQ(a, s->FindAnimation(AK_ALPHA));
    EXPECT_EQ(192, a->StartValue());
    RoundAt(200);
    EXPECT_EQ(196, s->Alpha());
}

TEST_F(SurfAnimate, RectangleRetargetAndZeroDuration)
{
    s->Animate(ORIENT_0, AK_POSITION, R(0, 0, 100, 50), R(400, 0, 100, 50), 0, 400, 0, ACCEL_TRAPEZOID,
               ANIMATION_TERM_WAIT);
    CSurfAnimation* a = s->FindAnimation(AK_POSITION);
    RoundAt(200);
    ASSERT_EQ(200, s->Position(ORIENT_0).x);
    // The running move turns towards the new place from where it is.
    s->Animate(ORIENT_0, AK_POSITION, R(0, 0, 100, 50), R(200, 100, 100, 50), 0, 100, 0, ACCEL_TRAPEZOID,
               ANIMATION_TERM_WAIT);
    EXPECT_EQ(a, s->FindAnimation(AK_POSITION));
    RoundAt(250);
    EXPECT_EQ(R(200, 50, 100, 50), s->Position(ORIENT_0));
    RoundAt(300);
    EXPECT_EQ(R(200, 100, 100, 50), s->Position(ORIENT_0));

    // Duration 0: set at once, no animation, no redraw request.
    root.StateFlags(0);
    s->Animate(ORIENT_0, AK_POSITION, R(200, 100, 100, 50), R(7, 8, 100, 50), 0, 0, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    EXPECT_EQ(R(7, 8, 100, 50), s->Position(ORIENT_0));
    EXPECT_EQ(nullptr, s->FindAnimation(AK_POSITION));
    EXPECT_EQ(0, root.State() & CSurf::SS_NEEDS_REDRAW);
    s->Animate(ORIENT_0, AK_TRANSFORM, R(0, 0, 1000, 1000), R(3, 0, 1000, 1000), 0, 0, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    EXPECT_EQ(R(3, 0, 1000, 1000), s->GetTransform());
    // Equal rectangles start nothing.
    s->Animate(ORIENT_0, AK_POSITION, R(7, 8, 100, 50), R(7, 8, 100, 50), 0, 300, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    EXPECT_FALSE(s->HasAnimations());
}

TEST_F(SurfAnimate, StoppingMidwayLeavesTheValueWhereItWas)
{
    s->Animate(ORIENT_0, AK_POSITION, R(0, 0, 100, 50), R(1000, 0, 100, 50), 0, 1000, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    s->Animate(ORIENT_1, AK_POSITION, R(0, 0, 50, 100), R(0, 1000, 50, 100), 0, 1000, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    s->Animate(AK_ALPHA, 255, 0, 1000, 0, ACCEL_LINEAR, 0);
    RoundAt(300);
    s->StopAnimation(AK_POSITION, ORIENT_0);
    s->StopAnimation(AK_ALPHA, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    RoundAt(600);
    // Rectangles move in 1024ths of the way: 307/1024 at 300 ms.
    EXPECT_EQ(R(299, 0, 100, 50), s->Position(ORIENT_0));
    EXPECT_EQ(179, s->Alpha());
    EXPECT_EQ(R(0, 599, 50, 100), s->Position(ORIENT_1));     // the other orientation goes on
    s->StopAnimation(AK_POSITION, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    EXPECT_EQ(0, RoundAt(900));
    EXPECT_EQ(R(0, 599, 50, 100), s->Position(ORIENT_1));
}

TEST_F(SurfAnimate, RoundResultTellsWhatOthersWaitFor)
{
    EXPECT_EQ(0, RoundAt(0));
    s->AnimateWithDecel(40, 0, 1000, 1000, -5000, 5000);     // nobody waits for a fling
    EXPECT_EQ(2, RoundAt(10));
    s->Animate(AK_ALPHA, 255, 0, 100, 0, ACCEL_LINEAR, 0);   // 20121 waits for this
    EXPECT_EQ(1, RoundAt(20));
    EXPECT_EQ(2, RoundAt(120));
    EXPECT_EQ(nullptr, s->FindAnimation(AK_ALPHA));
    EXPECT_EQ(0, RoundAt(1100));
}

TEST_F(SurfAnimate, HeldAnimationsWaitButStillCount)
{
    s->Animate(AK_ALPHA, 255, 0, 100, 0, ACCEL_LINEAR, 0);
    s->m_iState |= CSurf::SS_ANIMATIONS_HELD;
    EXPECT_EQ(1, RoundAt(50));
    EXPECT_EQ(255, s->Alpha());
    s->m_iState &= ~CSurf::SS_ANIMATIONS_HELD;
    s->OffsetAnimations(50);     // the time it was held
    RoundAt(100);
    EXPECT_EQ(128, s->Alpha());
}

TEST_F(SurfAnimate, ValuesWithoutTimeApplyAtOnceAndEndTheirAnimation)
{
    s->SetAttribute(1, 0, 1000);
    RoundAt(500);
    ASSERT_EQ(128, s->Alpha());
    s->SetAttribute(1, 200, 0);
    EXPECT_EQ(200, s->Alpha());
    EXPECT_EQ(nullptr, s->FindAnimation(AK_ALPHA));
    s->SetRotation(0, 30, 100, 0);     // turns speed up and slow down
    RoundAt(550);
    EXPECT_EQ(14, s->GetRotation(0));
    s->SetRotation(0, -5, 0, 0);
    RoundAt(700);
    EXPECT_EQ(-5, s->GetRotation(0));
}

// A surface kind whose updates start and stop animations of its own, as
// scroll views and buttons do: the round never meets a freed animation.
TEST_F(SurfAnimate, UpdatesMayStopAndStartAnimations)
{
    s->pfnOnUpdate = [](CountingSurf* p, CSurfAnimation* a) {
        if (a->Key() == AK_ALPHA) {
            p->StopAnimation(AK_ALPHA, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);   // itself
            p->StopAnimation(AK_ROTATE_X, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
            p->Animate(AK_ROTATE_Z, 0, 10, 100, 0, ACCEL_LINEAR, 0);
        }
    };
    s->Animate(AK_ROTATE_X, 0, 10, 100, 0, ACCEL_LINEAR, 0);
    s->Animate(AK_ALPHA, 255, 0, 100, 0, ACCEL_LINEAR, 0);     // at the head: updated first
    EXPECT_EQ(1, RoundAt(50));
    EXPECT_EQ((std::vector<int>{ AK_ALPHA }), s->keys);
    EXPECT_EQ(nullptr, s->FindAnimation(AK_ALPHA));
    EXPECT_EQ(nullptr, s->FindAnimation(AK_ROTATE_X));
    ASSERT_NE(nullptr, s->FindAnimation(AK_ROTATE_Z));
    RoundAt(100);
    EXPECT_EQ(5, s->GetRotation(2));
}

}  // namespace

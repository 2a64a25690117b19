// Animation kinds on their own, with the time handed in: the profiles'
// values and speeds, delays, held time, retargeting, deceleration, jogs and
// colours.
#include <gtest/gtest.h>

#include <limits.h>

#include "rvrect_print.h"
#include "surf_animation.h"
#include "surf_timer.h"

namespace {

timespec At(long long ms)
{
    timespec t;
    t.tv_sec = 5000 + ms / 1000;
    t.tv_nsec = (long)(ms % 1000) * 1000000L;
    return t;
}

// The clock Reset reads.
long long g_llNow = 0;
timespec FakeNow()
{
    return At(g_llNow);
}

CSurfAnimation Scalar(int from, int to, unsigned int T, ACCEL_PROFILE profile, unsigned int delay = 0)
{
    return CSurfAnimation(AK_ALPHA, from, to, T, delay, profile, 0, ORIENT_0, ANIMATION_TERM_WAIT, At(0));
}

struct SCALAR_CASE
{
    ACCEL_PROFILE eProfile;
    int iFrom, iTo;
    unsigned int T;
    unsigned int t;
    int iExpected;
};

TEST(SurfAnimation, ScalarProfilesFollowTheirCurves)
{
    const SCALAR_CASE cases[] = {
        // Trapezoid over 900 ms: ramp 300 ms, top speed 500/s, acceleration 1666/s², ramp distance 74.
        { ACCEL_TRAPEZOID, 0, 300, 900, 0, 0 },
        { ACCEL_TRAPEZOID, 0, 300, 900, 150, 18 },
        { ACCEL_TRAPEZOID, 0, 300, 900, 300, 74 },
        { ACCEL_TRAPEZOID, 0, 300, 900, 450, 149 },
        { ACCEL_TRAPEZOID, 0, 300, 900, 600, 224 },
        { ACCEL_TRAPEZOID, 0, 300, 900, 750, 282 },
        { ACCEL_TRAPEZOID, 0, 300, 900, 900, 300 },
        { ACCEL_TRAPEZOID, 300, 0, 900, 150, 282 },     // downwards, mirrored
        { ACCEL_TRAPEZOID, 0, 10, 2, 1, 5 },             // too short for ramps: linear
        { ACCEL_EASE_OUT, 0, 100, 100, 50, 75 },
        { ACCEL_EASE_OUT, 0, 100, 100, 90, 99 },
        { ACCEL_EASE_OUT, 100, 0, 100, 50, 25 },
        { ACCEL_LINEAR, 0, 100, 200, 50, 25 },
        { ACCEL_LINEAR, -50, 50, 200, 100, 0 },
        { ACCEL_LINEAR, 0, 100, 200, 5000, 100 },        // long past the end
    };
    for (const SCALAR_CASE& c : cases) {
        CSurfAnimation a = Scalar(c.iFrom, c.iTo, c.T, c.eProfile);
        a.Update(At(c.t));
        EXPECT_EQ(c.iExpected, a.Value()) << "profile " << c.eProfile << " " << c.iFrom << ".." << c.iTo << " at "
                                          << c.t << " of " << c.T;
        EXPECT_EQ(c.t >= c.T, a.IsFinished() != 0) << "at " << c.t << " of " << c.T;
    }
}

TEST(SurfAnimation, ExtremeRangesStayBetweenStartAndEnd)
{
    for (ACCEL_PROFILE p : { ACCEL_TRAPEZOID, ACCEL_EASE_OUT, ACCEL_LINEAR }) {
        for (unsigned int T : { 1u, 3u, 1499u, 1500u, 0xFFFFFFFFu }) {
            CSurfAnimation a = Scalar(INT_MIN, INT_MAX, T, p);
            for (long long t : { 0LL, 1LL, (long long)T / 3, (long long)T / 2, (long long)T - 1 }) {
                a.Update(At(t));
                EXPECT_GE(a.Value(), INT_MIN);
                EXPECT_LE(a.Value(), INT_MAX);
            }
            a.Velocity();
            a.Update(At(T));
            EXPECT_EQ(INT_MAX, a.Value());
        }
    }
}

TEST(SurfAnimation, UpdateReportsChangesAndTheFirstOneIsRemembered)
{
    CSurfAnimation a = Scalar(0, 100, 1000, ACCEL_LINEAR);
    EXPECT_EQ(0, a.Update(At(0)));
    EXPECT_FALSE(a.HasChanged());
    EXPECT_EQ(1, a.Update(At(100)));
    EXPECT_EQ(0, a.Update(At(100)));
    EXPECT_TRUE(a.HasChanged());
}

TEST(SurfAnimation, EqualStartAndEndIsDoneAtTheFirstUpdate)
{
    CSurfAnimation a = Scalar(40, 40, 900, ACCEL_TRAPEZOID);
    EXPECT_EQ(0u, a.Duration());
    EXPECT_EQ(0, a.Update(At(0)));
    EXPECT_TRUE(a.IsFinished());
}

TEST(SurfAnimation, DelayHoldsTheStartValue)
{
    CSurfAnimation a = Scalar(0, 100, 100, ACCEL_LINEAR, 200);
    for (long long t : { 0, 100, 199, 200 }) {
        a.Update(At(t));
        EXPECT_EQ(0, a.Value()) << t;
    }
    a.Update(At(250));
    EXPECT_EQ(50, a.Value());
    a.Update(At(300));
    EXPECT_TRUE(a.IsFinished());
}

TEST(SurfAnimation, HeldTimeAndSyncMoveTheClock)
{
    CSurfAnimation a = Scalar(0, 1000, 1000, ACCEL_LINEAR);
    a.AddTimeOffset(300);
    EXPECT_EQ(100u, a.ElapsedMSEC(At(400)));
    // An offset not smaller than the time run is not subtracted.
    EXPECT_EQ(200u, a.ElapsedMSEC(At(200)));

    CSurfAnimation b = Scalar(0, 1000, 1000, ACCEL_LINEAR);
    b.Sync(At(500));    // not moved yet: starts over at 500
    b.Update(At(600));
    EXPECT_EQ(100, b.Value());
    b.Sync(At(900));    // moved: keeps its clock
    b.Update(At(700));
    EXPECT_EQ(200, b.Value());
}

TEST(SurfAnimation, VelocityInUnitsPerSecond)
{
    struct Case { ACCEL_PROFILE p; int from, to; unsigned int T, t; int v; } cases[] = {
        { ACCEL_TRAPEZOID, 0, 300, 900, 150, 249 },     // 1666/s² for 150 ms
        { ACCEL_TRAPEZOID, 0, 300, 900, 450, 500 },     // top speed
        { ACCEL_TRAPEZOID, 0, 300, 900, 750, 249 },
        { ACCEL_TRAPEZOID, 300, 0, 900, 450, -500 },
        { ACCEL_EASE_OUT, 0, 100, 100, 50, 1000 },      // the slope 2 d (T - t) / T²
        { ACCEL_LINEAR, 0, 100, 200, 50, 500 },
        { ACCEL_LINEAR, 0, 100, 200, 200, 0 },          // done
    };
    for (const Case& c : cases) {
        CSurfAnimation a = Scalar(c.from, c.to, c.T, c.p);
        a.Update(At(c.t));
        EXPECT_EQ(c.v, a.Velocity()) << "profile " << c.p << " at " << c.t;
    }
}

TEST(SurfAnimation, AlphaFlagsFlipOnceAtTheMiddle)
{
    CSurfAnimation a(AK_ROTATE_Y, 0, 180, 1000, 0, ACCEL_LINEAR, AF_ALPHA_ON_AT_MIDDLE, ORIENT_0,
                     ANIMATION_TERM_WAIT, At(0));
    a.Update(At(400));
    EXPECT_FALSE(a.HasAlphaFlag());
    a.Update(At(500));
    ASSERT_TRUE(a.HasAlphaFlag());
    EXPECT_EQ(255, a.GetAlphaVal());
    EXPECT_FALSE(a.HasAlphaFlag());     // used up

    CSurfAnimation b(AK_ROTATE_Y, 180, 0, 1000, 0, ACCEL_LINEAR, AF_ALPHA_OFF_AT_MIDDLE, ORIENT_0,
                     ANIMATION_TERM_WAIT, At(0));
    b.Update(At(600));
    ASSERT_TRUE(b.HasAlphaFlag());
    EXPECT_EQ(0, b.GetAlphaVal());
}

TEST(SurfAnimation, ScalarResetGoesOnFromTheCurrentValue)
{
    SurfSetClock(FakeNow);
    CSurfAnimation a = Scalar(0, 100, 100, ACCEL_LINEAR, 50);
    a.Update(At(100));
    ASSERT_EQ(50, a.Value());
    g_llNow = 100;
    EXPECT_EQ(1, a.Reset(0, 200));
    EXPECT_EQ(50, a.StartValue());
    EXPECT_EQ(0u, a.Delay());
    a.Update(At(200));
    EXPECT_EQ(25, a.Value());
    SurfSetClock(nullptr);
}

// ---- rectangles ----

struct RECT_CASE
{
    ACCEL_PROFILE eProfile;
    int iKey;
    unsigned int t;
    int iExpectedX;
};

TEST(SurfAnimationPosition, EachProfileAtItsQuarterHalfAndEnd)
{
    // 0 .. 1000 in x over 1000 ms; the share of the way is counted in 1024ths.
    const RECT_CASE cases[] = {
        { ACCEL_TRAPEZOID, AK_POSITION, 0, 0 },
        { ACCEL_TRAPEZOID, AK_POSITION, 250, 148 },     // 152/1024 while speeding up
        { ACCEL_TRAPEZOID, AK_POSITION, 500, 500 },
        { ACCEL_TRAPEZOID, AK_POSITION, 750, 851 },     // 872/1024 while slowing down
        { ACCEL_TRAPEZOID, AK_POSITION, 1000, 1000 },
        { ACCEL_EASE_OUT, AK_POSITION, 0, 0 },
        { ACCEL_EASE_OUT, AK_POSITION, 250, 437 },      // 448/1024
        { ACCEL_EASE_OUT, AK_POSITION, 500, 750 },      // 768/1024
        { ACCEL_EASE_OUT, AK_POSITION, 1000, 1000 },
        { ACCEL_LINEAR, AK_POSITION, 0, 0 },
        { ACCEL_LINEAR, AK_POSITION, 250, 250 },
        { ACCEL_LINEAR, AK_POSITION, 500, 500 },
        { ACCEL_LINEAR, AK_POSITION, 1000, 1000 },
        // A bounce goes out and comes back along a sine.
        { ACCEL_TRAPEZOID, AK_BOUNCE, 0, 0 },
        { ACCEL_TRAPEZOID, AK_BOUNCE, 500, 1000 },
        { ACCEL_TRAPEZOID, AK_BOUNCE, 750, 707 },
        { ACCEL_TRAPEZOID, AK_BOUNCE, 1000, 0 },
    };
    for (const RECT_CASE& c : cases) {
        CSurfAnimationPosition a(ORIENT_1, c.iKey, CRVRect(0, 20, 100, 50), CRVRect(1000, 20, 100, 50), 1000, 0,
                                 c.eProfile, ANIMATION_TERM_WAIT, At(0));
        a.Update(At(c.t));
        EXPECT_EQ(CRVRect(c.iExpectedX, 20, 100, 50), a.PosRect())
            << "key " << c.iKey << " profile " << c.eProfile << " at " << c.t;
        EXPECT_EQ(c.t >= 1000, a.IsFinished() != 0);
    }
}

TEST(SurfAnimationPosition, TrapezoidIsSmoothAndRisesSteadily)
{
    int iLast = -1;
    for (unsigned int T : { 7u, 250u, 450u, 900u, 1001u }) {
        iLast = -1;
        for (unsigned int t = 0; t <= T; t++) {
            const int g = CSurfAnimationPosition::Progress1024(ACCEL_TRAPEZOID, t, T);
            ASSERT_GE(g, iLast) << t << " of " << T;
            // No jump where the ramps meet the glide.
            if (iLast >= 0 && T >= 250) {
                ASSERT_LE(g - iLast, 1024 * 2 * 10 / (int)T + 2) << t << " of " << T;
            }
            iLast = g;
        }
        EXPECT_EQ(1024, iLast);
    }
}

TEST(SurfAnimationPosition, ResetGoesOnFromTheCurrentRectangleLinearly)
{
    SurfSetClock(FakeNow);
    CSurfAnimationPosition a(ORIENT_0, AK_POSITION, CRVRect(0, 0, 10, 10), CRVRect(1000, 0, 10, 10), 1000, 0,
                             ACCEL_TRAPEZOID, ANIMATION_TERM_WAIT, At(0));
    a.Update(At(500));
    ASSERT_EQ(CRVRect(500, 0, 10, 10), a.PosRect());
    EXPECT_EQ(0, a.Reset(7, 100));     // not a scalar
    g_llNow = 500;
    EXPECT_EQ(1, a.Reset(CRVRect(500, 400, 10, 10), 400));
    EXPECT_EQ(ACCEL_LINEAR, a.Profile());
    EXPECT_FALSE(a.HasChanged());
    a.Update(At(600));
    EXPECT_EQ(CRVRect(500, 100, 10, 10), a.PosRect());
    a.Update(At(900));
    EXPECT_EQ(CRVRect(500, 400, 10, 10), a.PosRect());
    EXPECT_TRUE(a.IsFinished());
    SurfSetClock(nullptr);
}

TEST(SurfAnimationPosition, HugeRectanglesStayDefined)
{
    CSurfAnimationPosition a(ORIENT_0, AK_TRANSFORM, CRVRect(INT_MIN, INT_MAX, INT_MIN, 0),
                             CRVRect(INT_MAX, INT_MIN, INT_MAX, -1), 0xFFFFFFFFu, 0, ACCEL_TRAPEZOID,
                             ANIMATION_TERM_WAIT, At(0));
    a.Update(At(0x7FFFFFFF));
    a.Update(At(0xFFFFFFFFLL));
    EXPECT_EQ(CRVRect(INT_MAX, INT_MIN, INT_MAX, -1), a.PosRect());
}

// ---- other kinds ----

TEST(SurfDecelAnimation, SlowsDownToAStop)
{
    // 1000 per second, slowing by 2000 per second²: 500 ms, 250 further.
    CSurfDecelAnimation a(5, 100, 1000, 2000, -10000, 10000, ORIENT_0, At(0));
    EXPECT_EQ(500u, a.Duration());
    a.Update(At(250));
    EXPECT_EQ(100 + 250 - 62, a.Value());      // 1000 * 0.25 - 1000 * 0.0625, rounded
    EXPECT_EQ(500, a.Velocity());
    EXPECT_FALSE(a.IsFinished());
    a.Update(At(500));
    EXPECT_EQ(350, a.Value());
    EXPECT_TRUE(a.IsFinished());
    EXPECT_EQ(0, a.Velocity());

    CSurfDecelAnimation back(5, 0, -1000, 2000, -10000, 10000, ORIENT_0, At(0));
    back.Update(At(500));
    EXPECT_EQ(-250, back.Value());
}

TEST(SurfDecelAnimation, StopsAtABoundOnceItIsThere)
{
    CSurfDecelAnimation a(5, 0, 1000, 1000, -50, 100, ORIENT_0, At(0));
    a.Update(At(200));
    EXPECT_EQ(100, a.Value());      // 180 clamped
    EXPECT_FALSE(a.IsFinished());
    a.Update(At(220));
    EXPECT_EQ(100, a.Value());
    EXPECT_TRUE(a.IsFinished());

    CSurfDecelAnimation none(5, 7, 1000, 0, -50, 100, ORIENT_0, At(0));
    EXPECT_EQ(0, none.Update(At(0)));
    EXPECT_TRUE(none.IsFinished());
    EXPECT_EQ(0, none.Reset(3, 10));
}

TEST(SurfJogAnimation, MovesAtItsSpeedUntilTheEnd)
{
    CSurfJogAnimation right(ORIENT_0, AK_JOG_RIGHT, 10, 60, 100, 0, At(0));
    right.Update(At(250));
    EXPECT_EQ(35, right.Value());
    EXPECT_EQ(100, right.Velocity());
    right.Update(At(500));
    EXPECT_EQ(60, right.Value());
    EXPECT_TRUE(right.IsFinished());

    CSurfJogAnimation left(ORIENT_0, AK_JOG_LEFT, 10, -40, 200, 0, At(0));
    left.Update(At(100));
    EXPECT_EQ(-10, left.Value());
    EXPECT_EQ(-200, left.Velocity());
    left.Update(At(10000));
    EXPECT_EQ(-40, left.Value());
    EXPECT_TRUE(left.IsFinished());

    // No speed, no motion: over at once where it stands.
    CSurfJogAnimation still(ORIENT_0, AK_JOG_RIGHT, 10, 60, 0, 0, At(0));
    EXPECT_EQ(0, still.Update(At(100)));
    EXPECT_EQ(10, still.Value());
    EXPECT_TRUE(still.IsFinished());
}

TEST(SurfAnimationColor, BlendsByPercent)
{
    CSurfAnimationColor a(3, 0x000000, 0xFF8040, 1000, ORIENT_0, At(0));
    EXPECT_EQ(0x000000u, a.Color());
    a.Update(At(500));
    EXPECT_EQ(50, a.Value());
    EXPECT_EQ(0x7F4020u, a.Color());
    a.Update(At(1000));
    EXPECT_EQ(0xFF8040u, a.Color());
    EXPECT_EQ(0, a.Reset(10, 10));
}

}  // namespace

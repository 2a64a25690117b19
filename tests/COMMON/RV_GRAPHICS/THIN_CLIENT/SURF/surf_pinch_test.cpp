// Two-finger pinches: the integer arithmetic, the limits, and the 20223 scale
// reports with their 250 ms spacing.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine_fixture.h"
#include "rvmsg.h"
#include "rvtick.h"
#include "surf.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

typedef std::vector<int> Ints;

struct SCALE_CALL
{
    int iScale, iAnchorX, iAnchorY, iOffsetX, iOffsetY;
};

// Records what the pinch hands to OnTouchScale, then applies it.
class CPinchSurf : public CSurf
{
public:
    CPinchSurf(CSurf* pParent, int iID, CRVRect rc) : CSurf(pParent, iID, rc, rc) {}
    void OnTouchScale(int s, int ax, int ay, int ox, int oy, ORIENT o) override
    {
        calls.push_back({ s, ax, ay, ox, oy });
        CSurf::OnTouchScale(s, ax, ay, ox, oy, o);
    }
    std::vector<SCALE_CALL> calls;
};

// Eight ints as the controller sends them.
void SetLimits(CSurf* s, std::vector<int> v)
{
    CRVMSG msg(0, MSG_SCALE_LIMITS, 32, 1);
    for (int i : v)
        msg.PutInt(i);
    msg.ResetRead();
    s->SetTouchScaleProps(&msg);
}

TEST(SurfScaleProps, AllThousandLeavesTheSurfaceUnscalable)
{
    CSurf s(nullptr, 1, R(0, 0, 10, 10), R(0, 0, 10, 10));
    SetLimits(&s, { 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000 });
    EXPECT_FALSE(s.Attributes() & CSurf::SA_DELAYED_PRESS);
    EXPECT_EQ(s.PinchMin(), 1000);
    EXPECT_EQ(s.PinchMax(), 20000);

    SetLimits(&s, { 800, 3000, 500, 2000, -10, 10, -20, 20 });
    EXPECT_TRUE(s.Attributes() & CSurf::SA_DELAYED_PRESS);
    EXPECT_EQ(s.PinchMin(), 500);       // the smaller minimum
    EXPECT_EQ(s.PinchMax(), 3000);      // the larger maximum

    // Back to all 1000: the range resets.
    SetLimits(&s, { 1000, 1000, 1000, 1000, 1000, 1000, 1000, 1000 });
    EXPECT_EQ(s.PinchMin(), 1000);
    EXPECT_EQ(s.PinchMax(), 20000);
}

// A 400 x 300 surface at (100, 100), scales 1000 to 4000, offsets within 1000.
class SurfPinch : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        s = new CPinchSurf(&root, 9, R(100, 100, 400, 300));
        root.AddChildTail(s);
        SetLimits(s, { 1000, 4000, 1000, 4000, -1000, 1000, -1000, 1000 });
        s->Attribs(s->Attributes() | CSurf::SA_TOUCHABLE);
    }
    // Two fingers down and moved, in the surface's own coordinates.
    int Pinch(POINT a0, POINT b0, POINT a1, POINT b1)
    {
        CClipStack clip(R(0, 0, 800, 600));
        POINT o = { 100, 100 };
        int r = root.OnTouchDown(ORIENT_0, POINT{ a0.x + o.x, a0.y + o.y }, POINT{ b0.x + o.x, b0.y + o.y }, 0, &clip);
        EXPECT_EQ(r, CSurf::TOUCH_NOT_TAKEN);
        EXPECT_TRUE(s->State() & CSurf::SS_PINCH);
        return s->OnTouchMove(ORIENT_0, a1, b1, 0);
    }
    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 800, 600) };
    CPinchSurf* s = nullptr;
};

TEST_F(SurfPinch, ScaleAnchorAndOffsetFollowTheFingers)
{
    struct Case
    {
        POINT a0, b0, a1, b1;
        SCALE_CALL expected;
        int iOffX, iOffY;       // the surface's pinch offsets afterwards
    } cases[] = {
        // Spread symmetrically about the centre: 1.5 x, nothing moves.
        { { 100, 150 }, { 300, 150 }, { 50, 150 }, { 350, 150 }, { 1500, 500, 500, 0, 0 }, 0, 0 },
        // Spread to one side off-centre: d0 100, d 300; cx = cy = 50;
        // fx = 250 - 150 + 150 - 50 = 200, fy = 100; offsets 66 and 33.
        { { 100, 100 }, { 200, 100 }, { 100, 100 }, { 400, 100 }, { 3000, 335, 390, 200, 100 }, 66, 33 },
        // Ten times as far apart: held at the range's maximum.
        // cx = 95: fx = 50 - 105 + 380 - 95 = 230, offset 230 * 1000 / 4000.
        { { 100, 150 }, { 110, 150 }, { 0, 150 }, { 100, 150 }, { 4000, 358, 500, 230, 0 }, 57, 0 },
        // Closer together: held at the minimum.
        { { 100, 150 }, { 300, 150 }, { 150, 150 }, { 250, 150 }, { 1000, 500, 500, 0, 0 }, 0, 0 },
    };
    for (const Case& c : cases) {
        s->calls.clear();
        s->SetAttribute(128, 0, 0);     // back to scale 1000, offsets 0
        EXPECT_EQ(Pinch(c.a0, c.b0, c.a1, c.b1), 1);
        ASSERT_EQ(s->calls.size(), 1u);
        const SCALE_CALL& got = s->calls[0];
        EXPECT_EQ(got.iScale, c.expected.iScale);
        EXPECT_EQ(got.iAnchorX, c.expected.iAnchorX);
        EXPECT_EQ(got.iAnchorY, c.expected.iAnchorY);
        EXPECT_EQ(got.iOffsetX, c.expected.iOffsetX);
        EXPECT_EQ(got.iOffsetY, c.expected.iOffsetY);
        EXPECT_EQ(s->TouchScale(), c.expected.iScale);
        EXPECT_EQ(s->TouchOffsetX(), c.iOffX);
        EXPECT_EQ(s->TouchOffsetY(), c.iOffY);
        EXPECT_EQ(s->GetTransform(), R(c.expected.iOffsetX, c.expected.iOffsetY, c.expected.iScale, c.expected.iScale));
        root.OnTouchUp(ORIENT_0, POINT{ 0, 0 }, 0);
    }
}

TEST_F(SurfPinch, FingersTooCloseTogetherChangeNothing)
{
    EXPECT_EQ(Pinch({ 100, 100 }, { 105, 105 }, { 0, 0 }, { 300, 300 }), 1);   // d0 = 7
    EXPECT_TRUE(s->calls.empty());
    EXPECT_EQ(s->TouchScale(), 1000);
}

TEST_F(SurfPinch, SecondPinchStartsFromTheFirstOnesScale)
{
    Pinch({ 100, 150 }, { 300, 150 }, { 50, 150 }, { 350, 150 });     // 1500
    root.OnTouchUp(ORIENT_0, POINT{ 0, 0 }, 0);
    Pinch({ 100, 150 }, { 300, 150 }, { 50, 150 }, { 350, 150 });     // 1.5 x 1500
    EXPECT_EQ(s->TouchScale(), 2250);
}

TEST_F(SurfPinch, OnlyAPinchStartedHereIsFollowed)
{
    // Two fingers moving on a scalable surface that never saw them land.
    EXPECT_EQ(s->OnTouchMove(ORIENT_0, POINT{ 0, 0 }, POINT{ 300, 0 }, 0), CSurf::TOUCH_NOT_TAKEN);
    EXPECT_TRUE(s->calls.empty());
}

TEST_F(SurfPinch, ReportsScaleAndEndsWithAnInactiveReport)
{
    Pinch({ 100, 150 }, { 300, 150 }, { 50, 150 }, { 350, 150 });
    auto m = Next();
    EXPECT_EQ(m.first, MSG_TOUCH_SCALE);
    EXPECT_EQ(m.second, (Ints{ 0, 9, 1, 1500, 1500, 0, 0 }));
    root.OnTouchUp(ORIENT_0, POINT{ 0, 0 }, 0);
    m = Next();
    EXPECT_EQ(m.first, MSG_TOUCH_SCALE);
    EXPECT_EQ(m.second, (Ints{ 0, 9, 0, 1500, 1500, 0, 0 }));
    EXPECT_FALSE(s->State() & CSurf::SS_PINCH);
    // The surface is touchable, but a pinch is no tap: no 20204.
    EXPECT_EQ(Next(150).first, 0);
}

// Reports come at most every 250 ms; one held back is sent by the timer.
TEST_F(SurfPinch, SecondReportWithin250msWaitsForTheTimer)
{
    CMainWnd wnd(nullptr, 1, 800, 600, 800, 600, 1);
    std::unique_ptr<CSurf> moved(root.RemoveSubSurf(s));
    wnd.AddChildTail(moved.release());
    wnd.StartAnimationHandler();

    wnd.TreeLock()->RVLock();
    s->OnTouchScale(2000, 500, 500, 0, 0, ORIENT_0);
    uint32_t first = RVGetTickCount();
    s->OnTouchScale(3000, 500, 500, 0, 0, ORIENT_0);
    EXPECT_TRUE(s->State() & CSurf::SS_SCALE_PENDING);
    wnd.TreeLock()->RVUnlock();

    auto m = Next();
    EXPECT_EQ(m.second, (Ints{ 0, 9, 1, 2000, 2000, 0, 0 }));
    m = Next();
    EXPECT_EQ(m.second, (Ints{ 0, 9, 1, 3000, 3000, 0, 0 }));
    EXPECT_GE(RVTickSince(first), 240u);
    wnd.TreeLock()->RVLock();
    EXPECT_FALSE(s->State() & CSurf::SS_SCALE_PENDING);
    wnd.TreeLock()->RVUnlock();
}

TEST_F(SurfPinch, TransformIsHeldWithinTheLimits)
{
    SetLimits(s, { 1000, 2000, 1500, 1800, -5, 5, 0, 0 });
    s->OnTouchScale(3000, 500, 500, -40, 40, ORIENT_0);
    EXPECT_EQ(s->GetTransform(), R(-5, 0, 2000, 1800));
    EXPECT_TRUE(s->State() & CSurf::SS_HAS_TRANSFORM);
    s->OnTouchScale(1000, 500, 500, 0, 0, ORIENT_0);
    EXPECT_EQ(s->GetTransform(), R(0, 0, 1000, 1500));
}

}  // namespace

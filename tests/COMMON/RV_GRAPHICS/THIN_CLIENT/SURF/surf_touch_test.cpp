// Hit testing and one-finger touches, with the 20204 messages read by a
// loopback peer of a real session.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "engine_fixture.h"
#include "rvtick.h"
#include "surf.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

typedef std::vector<int> Ints;

TEST(SurfHitTest, AnswersByAttribute)
{
    struct Case { int iAttribs; int iAnswer; } cases[] = {
        { 0, 0 },
        { 0x400, 1 },
        { 0x400 | 0x1000, 2 },
        { 0x400 | 0x8000, 4 },
        { 0x400 | 0x8000 | 0x1000, 4 },
        { 0x1000 | 0x8000, 0 },     // not touchable
    };
    for (const Case& c : cases) {
        CSurf root(nullptr, 0, R(0, 0, 100, 100), R(0, 0, 100, 100));
        CSurf* s = new CSurf(&root, 1, R(10, 10, 20, 20), R(10, 10, 20, 20));
        root.AddChildTail(s);
        s->Attribs(c.iAttribs);
        CClipStack clip(R(0, 0, 100, 100));
        EXPECT_EQ(root.HitTest(ORIENT_0, POINT{ 15, 15 }, &clip), c.iAnswer) << std::hex << c.iAttribs;
        EXPECT_EQ(clip.Depth(), 1);
    }
}

// Positions and content offsets come from the controller: children placed at
// the int limits must not wrap the touch point around (the sanitizer build
// aborts on the overflow) and simply are not under the finger.
TEST(SurfHitTest, ChildrenAtTheIntLimitsAreNotHit)
{
    struct Case { int x; int iContentX; } cases[] = {
        { INT_MIN, 0 }, { INT_MIN + 5, INT_MAX }, { INT_MAX, INT_MIN }, { INT_MAX - 10, 0 },
    };
    for (const Case& c : cases) {
        CSurf root(nullptr, 0, R(0, 0, 100, 100), R(0, 0, 100, 100));
        root.SetContentOffset(c.iContentX, 0);
        CSurf* s = new CSurf(&root, 1, R(c.x, 10, 20, 20), R(c.x, 10, 20, 20));
        root.AddChildTail(s);
        s->Attribs(0x400);
        CClipStack clip(R(0, 0, 100, 100));
        EXPECT_EQ(root.OnTouchDown(ORIENT_0, POINT{ 50, 15 }, 0, &clip), 2) << c.x;
        EXPECT_EQ(clip.Depth(), 1);
    }
}

TEST(SurfHitTest, TopmostChildFirstAndClippedByAncestors)
{
    CSurf root(nullptr, 0, R(0, 0, 100, 100), R(0, 0, 100, 100));
    CSurf* parent = new CSurf(&root, 1, R(0, 0, 50, 50), R(0, 0, 50, 50));
    CSurf* low = new CSurf(parent, 2, R(0, 0, 40, 40), R(0, 0, 40, 40));
    CSurf* high = new CSurf(parent, 3, R(20, 20, 60, 60), R(20, 20, 60, 60));   // reaches past the parent
    parent->AddChildTail(low);
    parent->AddChildTail(high);
    root.AddChildTail(parent);
    parent->Attribs(0x400);
    low->Attribs(0x400 | 0x1000);
    high->Attribs(0x400 | 0x8000);

    struct Case { POINT pt; int iAnswer; } cases[] = {
        { { 30, 30 }, 4 },      // both children: the last one is on top
        { { 5, 5 }, 2 },        // only the lower child
        { { 45, 5 }, 1 },       // the parent alone
        { { 60, 60 }, 0 },      // inside high, but outside the parent's clip
        { { 99, 99 }, 0 },
    };
    for (const Case& c : cases) {
        CClipStack clip(R(0, 0, 100, 100));
        EXPECT_EQ(root.HitTest(ORIENT_0, c.pt, &clip), c.iAnswer) << c.pt.x << "," << c.pt.y;
    }
    high->SetAlpha(0);
    CClipStack clip(R(0, 0, 100, 100));
    EXPECT_EQ(root.HitTest(ORIENT_0, POINT{ 30, 30 }, &clip), 2);
}

// root(0) -> panel(5) at (100, 100) -> button(7) at (10, 20), 50 x 50.
class SurfTouch : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        panel = new CSurf(&root, 5, R(100, 100, 200, 200), R(100, 100, 200, 200));
        button = new CSurf(panel, 7, R(10, 20, 50, 50), R(10, 20, 50, 50));
        panel->AddChildTail(button);
        root.AddChildTail(panel);
        button->Attribs(CSurf::SA_TOUCHABLE);
    }
    int Down(int x, int y)
    {
        CClipStack clip(root.ClientRect(ORIENT_0));
        int r = root.OnTouchDown(ORIENT_0, POINT{ x, y }, 0, &clip);
        EXPECT_EQ(clip.Depth(), 1);
        return r;
    }
    int Move(int x, int y) { return root.OnTouchMove(ORIENT_0, POINT{ x, y }, 0); }
    int Up(int x, int y) { return root.OnTouchUp(ORIENT_0, POINT{ x, y }, 0); }
    void ExpectTouch(int iDown, int x, int y)
    {
        auto m = Next();
        EXPECT_EQ(m.first, MSG_TOUCH);
        EXPECT_EQ(m.second, (Ints{ 5, 7, iDown, x, y }));
    }
    void ExpectNothing(int ms = 150) { EXPECT_EQ(Next(ms).first, 0); }

    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 800, 600) };
    CSurf* panel = nullptr;
    CSurf* button = nullptr;
};

TEST_F(SurfTouch, TapAndDragReportInTheSurfacesCoordinates)
{
    EXPECT_EQ(Down(115, 130), 1);
    ExpectTouch(1, 5, 10);
    EXPECT_TRUE(button->State() & CSurf::SS_PRESSED);
    EXPECT_EQ(Move(120, 140), CSurf::TOUCH_NOT_TAKEN);    // reported, but not taken
    ExpectTouch(1, 10, 20);
    Move(500, 500);                                       // outside still follows the press
    ExpectTouch(1, 390, 380);
    Up(121, 141);
    ExpectTouch(0, 11, 21);
    EXPECT_FALSE(button->State() & CSurf::SS_PRESSED);
    Move(122, 142);     // released: moves are quiet
    ExpectNothing();
}

TEST_F(SurfTouch, ContentOffsetShiftsTheChildrensPoints)
{
    panel->SetContentOffset(0, 15);     // the button now shows at (110, 105)
    EXPECT_EQ(Down(111, 106), 1);
    ExpectTouch(1, 1, 1);
    Up(111, 106);
    ExpectTouch(0, 1, 1);
}

TEST_F(SurfTouch, UntouchedAreasAreNotTaken)
{
    EXPECT_EQ(Down(290, 290), CSurf::TOUCH_NOT_TAKEN);   // the panel is not touchable
    EXPECT_EQ(Down(700, 10), CSurf::TOUCH_NOT_TAKEN);    // the bare root
    button->SetAlpha(0);
    EXPECT_EQ(Down(115, 130), CSurf::TOUCH_NOT_TAKEN);
    ExpectNothing();
}

TEST_F(SurfTouch, CancelDropsThePressSilently)
{
    Down(115, 130);
    ExpectTouch(1, 5, 10);
    root.OnTouchCancel(ORIENT_0, POINT{ 115, 130 });
    Up(115, 130);
    ExpectNothing();
}

TEST_F(SurfTouch, PositionReportCarriesTheFlagAsAByte)
{
    button->TXPosition(ORIENT_0, 1);
    RAW_FRAME f;
    ASSERT_TRUE(NextFrame(&f));
    EXPECT_EQ(f.sMessage, MSG_POSITION_REPORT);
    ASSERT_EQ(f.data.size(), 17u);
    EXPECT_EQ(FrameInts(f), (Ints{ 5, 7, 10, 20 }));
    EXPECT_EQ(f.data[16], 1);
}

TEST_F(SurfTouch, ShortTapOnADelayedPressReportsBothOnRelease)
{
    button->Attribs(CSurf::SA_TOUCHABLE | CSurf::SA_DELAYED_PRESS);
    EXPECT_EQ(Down(115, 130), 1);
    EXPECT_TRUE(button->State() & CSurf::SS_PRESS_PENDING);
    ExpectNothing(50);
    Move(118, 131);     // a pending press reports no moves
    ExpectNothing(50);
    Up(120, 133);
    ExpectTouch(1, 5, 10);      // the press, with the touch-down point
    ExpectTouch(0, 10, 13);
    EXPECT_EQ(button->State() & (CSurf::SS_PRESS_PENDING | CSurf::SS_PRESSED), 0);
}

// The same surfaces under a running main window, whose animation thread
// fires the delay timers.
class SurfTouchTimed : public SurfTouch
{
protected:
    void SetUp() override
    {
        SurfTouch::SetUp();
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 800, 600, 1));
        std::unique_ptr<CSurf> moved(root.RemoveSubSurf(panel));
        wnd->AddChildTail(moved.release());
        wnd->StartAnimationHandler();
    }
    void TearDown() override
    {
        wnd.reset();
        SurfTouch::TearDown();
    }
    int Down(int x, int y)
    {
        CClipStack clip(wnd->ClientRect(ORIENT_0));
        wnd->TreeLock()->RVLock();
        int r = wnd->CSurf::OnTouchDown(ORIENT_0, POINT{ x, y }, 0, &clip);
        wnd->TreeLock()->RVUnlock();
        return r;
    }
    int Up(int x, int y)
    {
        wnd->TreeLock()->RVLock();
        int r = wnd->CSurf::OnTouchUp(ORIENT_0, POINT{ x, y }, 0);
        wnd->TreeLock()->RVUnlock();
        return r;
    }
    std::unique_ptr<CMainWnd> wnd;
};

TEST_F(SurfTouchTimed, HeldDelayedPressIsReportedByItsTimer)
{
    button->Attribs(CSurf::SA_TOUCHABLE | CSurf::SA_DELAYED_PRESS);
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(Down(115, 130), 1);
    ExpectTouch(1, 5, 10);
    EXPECT_GE(RVTickSince(start), 95u);
    wnd->TreeLock()->RVLock();
    EXPECT_TRUE(button->State() & CSurf::SS_PRESSED);
    EXPECT_FALSE(button->State() & CSurf::SS_PRESS_PENDING);
    wnd->TreeLock()->RVUnlock();
    Up(116, 131);
    ExpectTouch(0, 6, 11);
    ExpectNothing();
}

TEST_F(SurfTouchTimed, ReleasedDelayedPressLeavesNoTimerBehind)
{
    button->Attribs(CSurf::SA_TOUCHABLE | CSurf::SA_DELAYED_PRESS);
    Down(115, 130);
    Up(115, 130);
    ExpectTouch(1, 5, 10);
    ExpectTouch(0, 5, 10);
    EXPECT_FALSE(wnd->HasTimers());
    ExpectNothing(200);
}

}  // namespace

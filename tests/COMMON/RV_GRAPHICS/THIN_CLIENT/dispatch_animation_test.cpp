// The animation messages through ProcessMessage, with exact payloads: 20121
// and 20122 steps, jogs (20153, 20154) and their position reports (20207),
// animated transforms (20184), and the commands that stop animations
// (20118, 20119, 20168). Rounds run by hand on a test clock, except where a
// test needs the animation thread itself.
#include "dispatch_fixture.h"

#include <atomic>
#include <climits>
#include <thread>

#include "rvrect_print.h"
#include "rvtick.h"
#include "surf_animation.h"
#include "surf_test_clock.h"

namespace {

CRVRect R(int x = 0, int y = 0, int w = 0, int h = 0)
{
    return CRVRect(x, y, w, h);
}

struct STEP
{
    int iCommand;
    int iFlags;
    int iTarget;
    CRVRect rc;
    int iValue1;
    int iValue2;
    unsigned short wDelay;      // sent with step flag 0x1000
};

// 20121 / 20122: surface, header flags, count, steps.
void PutAnimation(CRVMSG& m, int iSurface, int iFlags, std::initializer_list<STEP> steps)
{
    m.PutInt(iSurface);
    m.PutInt(iFlags);
    m.PutInt((int)steps.size());
    for (const STEP& s : steps) {
        m.PutInt(s.iCommand);
        m.PutInt(s.iFlags);
        m.PutInt(0x5A5A5A5A);   // unused
        m.PutInt(s.iTarget);
        m.PutRECT(s.rc);
        m.PutInt(s.iValue1);
        m.PutInt(s.iValue2);
        if (s.iFlags & 0x1000)
            m.PutWORD(s.wDelay);
    }
}

CSurfAnimationPosition* RectAnimation(CSurf* p, int iKey)
{
    return static_cast<CSurfAnimationPosition*>(p->FindAnimation(iKey));
}

class DispatchAnimation : public DispatchFixture
{
protected:
    void SetUp() override
    {
        ConnectPeer();
        page = new CSurf(m_pWnd, 10, R(20, 10, 400, 300), R(20, 10, 300, 400));
        m_pWnd->AddChildTail(page);
        a = new CSurf(page, 11, R(0, 0, 100, 50), R(0, 0, 50, 100));
        page->AddChildTail(a);
        b = AddSpy(12, page);
        other = new CSurf(m_pWnd, 20, R(200, 100, 300, 150), R(0, 0, 10, 10));
        m_pWnd->AddChildTail(other);
    }
    void RoundAt(long long ms)
    {
        clock.Set(ms);
        m_pWnd->AnimationRound();
    }
    void Send(short sID, short sSender, std::initializer_list<int> values)
    {
        CRVMSG m(sSender, sID, 0, 1);
        for (int v : values)
            m.PutInt(v);
        Process(m);
    }
    // The next frame is the position report 20207 of surface 31 in page 10.
    void ExpectReport(int x, int y, unsigned char flag)
    {
        RAW_FRAME f;
        Bytes raw;
        ASSERT_TRUE(m_peer.ReadFrame(&f, 2000, &raw)) << "no report at x " << x;
        Bytes data;
        for (int v : { 10, 31, x, y }) {
            Bytes i = IntData(v);
            data.insert(data.end(), i.begin(), i.end());
        }
        data.push_back(flag);
        EXPECT_EQ(MakeFrame(0, MSG_POSITION_REPORT, data), raw) << "x " << x;
    }

    CSurfTestClock clock;
    CSurf* page = nullptr;
    CSurf* a = nullptr;
    CSpySurf* b = nullptr;
    CSurf* other = nullptr;
};

TEST_F(DispatchAnimation, AsyncStepsStartWhatTheySay)
{
    CRVMSG m(0, MSG_ANIMATE_ASYNC, 0, 1);
    // 450 ms (0x40000), ease-out (bit 15).
    PutAnimation(m, 10, 0x48000,
                 {
                     { 1, 0x1000, 11, R(100, 50, 40, 30), 0, 0, 80 },     // move, 80 ms later
                     { 2, 0, 11, R(), 0, 40, 0 },                         // fade to 40
                     { 2, 0x2, 12, R(), 0, -7, 0 },                       // alpha at once, clamped
                     { 34, 0x400, 11, R(), 1, 90, 0 },                    // turn about y
                     { 999, 0, 11, R(), 0, 0, 0 },                        // unknown command
                     { 1, 0, 99, R(1, 1, 1, 1), 0, 0, 0 },                // no such target
                     { 8, 0, 11, R(), 20, 0, 0 },                         // cover surface 20
                     { 4096, 0, 0, R(50, 20, 2000, 3000), 20, 0, 0 },     // zoom surface 20
                     { 8192, 0x1000, 0, R(10, -5, 0, 0), 12, 0, 7 },      // bounce surface 12
                     { 4, 0, 12, R(), 16, 1, 0 },                         // attribute
                     { 0x8000, 0x12340002, 12, R(), 7, 8, 0 },            // extended attribute, at once
                 });
    Process(m);

    CSurfAnimationPosition* pMove = RectAnimation(a, AK_POSITION);
    ASSERT_NE(nullptr, pMove);
    EXPECT_EQ(R(0, 0, 100, 50), pMove->StartRect());
    EXPECT_EQ(R(100, 50, 40, 30), pMove->EndRect());
    EXPECT_EQ(450u, pMove->Duration());
    EXPECT_EQ(80u, pMove->Delay());
    EXPECT_EQ(ACCEL_EASE_OUT, pMove->Profile());
    EXPECT_EQ(ANIMATION_TERM_WAIT, pMove->Term());

    CSurfAnimation* pFade = a->FindAnimation(AK_ALPHA);
    ASSERT_NE(nullptr, pFade);
    EXPECT_EQ(40, pFade->EndValue());
    EXPECT_EQ(ACCEL_LINEAR, pFade->Profile());
    EXPECT_EQ(0, b->Alpha());
    EXPECT_EQ(nullptr, b->FindAnimation(AK_ALPHA));

    CSurfAnimation* pTurn = a->FindAnimation(AK_ROTATE_Y);
    ASSERT_NE(nullptr, pTurn);
    EXPECT_EQ(90, pTurn->EndValue());
    EXPECT_EQ(AF_ALPHA_ON_AT_MIDDLE, pTurn->Flags());
    EXPECT_EQ(ACCEL_EASE_OUT, pTurn->Profile());

    // 11 sits at (20, 10) on the screen, centre (70, 35); 20's centre is (350, 175).
    CSurfAnimationPosition* pCover = RectAnimation(a, AK_TRANSFORM);
    ASSERT_NE(nullptr, pCover);
    EXPECT_EQ(R(280, 140, 3000, 3000), pCover->EndRect());

    // About (50, 20) of a 300 x 150 surface: u = (-100, -55).
    CSurfAnimationPosition* pZoom = RectAnimation(other, AK_TRANSFORM);
    ASSERT_NE(nullptr, pZoom);
    EXPECT_EQ(R(100, 110, 2000, 3000), pZoom->EndRect());

    CSurfAnimationPosition* pBounce = RectAnimation(b, AK_BOUNCE);
    ASSERT_NE(nullptr, pBounce);
    EXPECT_EQ(R(10, -5, 100, 50), pBounce->EndRect());
    EXPECT_EQ(7u, pBounce->Delay());

    EXPECT_EQ((std::vector<SPY_CALL>{ { "attr", { 16, 1, 450 } }, { "attrext", { 0x12340000, 7, 8, 0 } } }),
              b->calls);

    // And they run: the move waits out its delay, then eases out.
    RoundAt(80);
    EXPECT_EQ(R(0, 0, 100, 50), a->Position(ORIENT_0));
    RoundAt(80 + 225);
    EXPECT_EQ(R(75, 37, 55, 35), a->Position(ORIENT_0));      // 768/1024 of the way
    RoundAt(1000);
    EXPECT_EQ(R(100, 50, 40, 30), a->Position(ORIENT_0));
    EXPECT_EQ(R(0, 0, 100, 50), b->Position(ORIENT_0));       // bounced back
    EXPECT_EQ(40, a->Alpha());
    EXPECT_EQ(90, a->GetRotation(1));
}

TEST_F(DispatchAnimation, HeaderFlagsChooseTheDuration)
{
    const struct { int iFlags; unsigned int uDuration; } cases[] = {
        { 0, 250 }, { 0x10000, 250 }, { 0x40000, 450 }, { 0x50000, 900 }, { 0x01F40000, 450 },
    };
    for (const auto& c : cases) {
        a->StopAnimation(AK_POSITION, ORIENT_0);
        CRVMSG m(0, MSG_ANIMATE_SYNC, 0, 1);
        PutAnimation(m, 10, c.iFlags, { { 1, 0, 11, R(5, 5, 100, 50), 0, 0, 0 } });
        Process(m);
        ASSERT_NE(nullptr, a->FindAnimation(AK_POSITION)) << std::hex << c.iFlags;
        EXPECT_EQ(c.uDuration, a->FindAnimation(AK_POSITION)->Duration()) << std::hex << c.iFlags;
    }
}

TEST_F(DispatchAnimation, MovesDoneAtOnceAreDrawn)
{
    m_pWnd->ClearStateBits(CSurf::SS_NEEDS_REDRAW);
    CRVMSG m(0, MSG_ANIMATE_ASYNC, 0, 1);
    PutAnimation(m, 10, 0, { { 1, 0x2, 11, R(5, 6, 100, 50), 0, 0, 0 } });
    Process(m);
    EXPECT_EQ(R(5, 6, 100, 50), a->Position(ORIENT_0));
    EXPECT_EQ(nullptr, a->FindAnimation(AK_POSITION));
    EXPECT_TRUE(m_pWnd->StateFlags() & CSurf::SS_NEEDS_REDRAW);
}

TEST_F(DispatchAnimation, CutShortOrUnknownMessagesDoWhatTheyCan)
{
    CRVMSG m(0, MSG_ANIMATE_ASYNC, 0, 1);
    PutAnimation(m, 10, 0, { { 2, 0, 11, R(), 0, 9, 0 }, { 2, 0, 12, R(), 0, 9, 0 } });
    CRVMSG cut(0, MSG_ANIMATE_ASYNC, 0, 1);
    cut.PutDataNoAlign(m.Data(), m.DataSize() - 3);    // the second step lacks its last bytes
    m_pWnd->SetPendingAnimation();
    Process(cut);
    EXPECT_NE(nullptr, a->FindAnimation(AK_ALPHA));
    EXPECT_EQ(nullptr, b->FindAnimation(AK_ALPHA));
    EXPECT_FALSE(m_pWnd->IsPendingAnimation());

    CRVMSG unknown(0, MSG_ANIMATE_SYNC, 0, 1);
    PutAnimation(unknown, 77, 0, { { 2, 0, 11, R(), 0, 0, 0 } });
    m_pWnd->SetPendingAnimation();
    Process(unknown);
    EXPECT_FALSE(m_pWnd->IsPendingAnimation());
    EXPECT_EQ(9, a->FindAnimation(AK_ALPHA)->EndValue());

    CRVMSG huge(0, MSG_ANIMATE_ASYNC, 0, 1);
    huge.PutInt(10);
    huge.PutInt(0);
    huge.PutInt(0x7FFFFFFF);    // far more steps than the data holds
    huge.PutInt(2);
    Process(huge);
    EXPECT_EQ(9, a->FindAnimation(AK_ALPHA)->EndValue());
}

// Offsets come from the controller unchecked: sums that would overflow
// stop at the edge of the coordinate range, and the animation still runs.
TEST_F(DispatchAnimation, ExtremeOffsetsSaturate)
{
    CRVMSG m(0, MSG_ANIMATE_ASYNC, 0, 1);
    PutAnimation(m, 10, 0,
                 {
                     { 1, 0x2, 11, R(5, -6, 100, 50), 0, 0, 0 },                 // move at once
                     { 8192, 0, 0, R(INT_MAX, INT_MIN, 0, 0), 11, 0, 0 },         // bounce 11
                 });
    Process(m);
    CSurfAnimationPosition* pBounce = RectAnimation(a, AK_BOUNCE);
    ASSERT_NE(nullptr, pBounce);
    EXPECT_EQ(R(INT_MAX, INT_MIN, 100, 50), pBounce->EndRect());
    RoundAt(100);
    RoundAt(1000);
    EXPECT_EQ(R(5, -6, 100, 50), a->Position(ORIENT_0));       // bounced back
}

TEST_F(DispatchAnimation, AnimatedTransformsAndTheCommandsThatStopThem)
{
    CRVMSG m(1, MSG_ANIMATE_TRANSFORM, 0, 1);
    m.PutInt(11);
    m.PutShortRECT(R(10, 20, 2000, 500));
    m.PutInt(400);
    m.PutInt(12);
    m.PutShortRECT(R(-3, 4, 1000, 1200));
    m.PutInt(0);      // now
    Process(m);
    EXPECT_EQ(R(-3, 4, 1000, 1200), b->GetTransform());
    RoundAt(200);
    EXPECT_EQ(R(5, 10, 1500, 750), a->GetTransform());
    RoundAt(400);
    EXPECT_EQ(R(10, 20, 2000, 500), a->GetTransform());

    // 20168 stops a running transform where it is and sets its own.
    CRVMSG again(0, MSG_ANIMATE_TRANSFORM, 0, 1);
    again.PutInt(11);
    again.PutShortRECT(R(0, 0, 1000, 1000));
    again.PutInt(400);
    Process(again);
    RoundAt(500);
    CRVMSG set(0, MSG_SET_TRANSFORM, 0, 1);
    set.PutInt(11);
    set.PutShortRECT(R(1, 2, 1000, 1000));
    Process(set);
    RoundAt(900);
    EXPECT_EQ(R(1, 2, 1000, 1000), a->GetTransform());

    // 20118 stops the orientation-0 move only; 20119 the other one.
    a->Animate(ORIENT_0, AK_POSITION, a->Position(ORIENT_0), R(300, 0, 100, 50), 0, 400, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    a->Animate(ORIENT_1, AK_POSITION, a->Position(ORIENT_1), R(0, 300, 50, 100), 0, 400, 0, ACCEL_LINEAR,
               ANIMATION_TERM_WAIT);
    RoundAt(1000);
    Send(MSG_SET_POSITION, 0, { 11, 7, 7, 100, 50 });
    RoundAt(1100);
    EXPECT_EQ(R(7, 7, 100, 50), a->Position(ORIENT_0));
    EXPECT_EQ(R(0, 150, 50, 100), a->Position(ORIENT_1));
    Send(MSG_SET_POSITION_ALT, 0, { 11, 8, 8, 50, 100 });
    RoundAt(1400);
    EXPECT_EQ(R(8, 8, 50, 100), a->Position(ORIENT_1));
    EXPECT_FALSE(a->HasAnimations());
}

TEST_F(DispatchAnimation, JogReportsOneAtATime)
{
    CSurf* j = new CSurf(page, 31, R(0, 9, 20, 20), R(0, 9, 20, 20));
    page->AddChildTail(j);
    // Right towards 500 at 1000 per second, reporting past 50.
    Send(MSG_JOG, 0, { 31, 3, -100, 500, 1000, 50 });
    RoundAt(40);
    EXPECT_EQ(40, j->Position(ORIENT_0).x);
    RoundAt(60);
    ExpectReport(60, 9, 1);
    RoundAt(120);                       // due, but the last one is not yet taken
    ExpectNothingSent();
    Send(MSG_JOG_REPORT, 0, { 31 });    // taken: the due one goes now
    ExpectReport(120, 9, 1);
    Send(MSG_JOG_REPORT, 0, { 31 });    // taken, nothing due
    ExpectNothingSent();
    RoundAt(200);
    ExpectReport(200, 9, 1);

    // Stop: one last report, and the surface stays.
    Send(MSG_JOG, 0, { 31, -1, 0, 0, 0, 0 });
    ExpectReport(200, 9, 0);
    RoundAt(400);
    EXPECT_EQ(200, j->Position(ORIENT_0).x);
    ExpectNothingSent();

    // Left to the end, with no reports at threshold 0; then the end is kept.
    Send(MSG_JOG, 0, { 31, 2, 150, 900, 500, 0 });
    RoundAt(500);
    EXPECT_EQ(150, j->Position(ORIENT_0).x);
    EXPECT_FALSE(j->HasAnimations());
    ExpectNothingSent();

    // Unknown surfaces: 20153 ends its batch there, 20154 skips them.
    Send(MSG_JOG, 1, { 77, 3, 0, 900, 1000, 10, 31, 3, 0, 900, 1000, 10 });
    EXPECT_FALSE(j->HasAnimations());
    Send(MSG_JOG_REPORT, 1, { 77, 31 });
    ExpectNothingSent();
}

// 20121 holds its thread until the animations others wait for have ended,
// including ones another message started; the drawing and the rounds go on
// meanwhile. The animation thread runs here, reading the test clock.
TEST_F(DispatchAnimation, SyncWaitsForEveryAnimationOthersWaitFor)
{
    m_pWnd->StartAnimationHandler();
    CRVMSG slide(0, MSG_ANIMATE_ASYNC, 0, 1);
    PutAnimation(slide, 10, 0x50000, { { 1, 0, 11, R(300, 0, 100, 50), 0, 0, 0 } });    // 900 ms
    Process(slide);

    std::atomic<int> bDone{ 0 };
    std::thread sync([&] {
        CRVMSG fade(0, MSG_ANIMATE_SYNC, 0, 1);
        PutAnimation(fade, 10, 0, { { 2, 0, 12, R(), 0, 0, 0 } });    // 250 ms
        Process(fade);
        bDone = 1;
    });
    uint32_t start = RVGetTickCount();
    while (!b->FindAnimation(AK_ALPHA) && RVTickSince(start) < 1000)
        Sleep(2);
    ASSERT_NE(nullptr, b->FindAnimation(AK_ALPHA));
    // While the handler waits, others may take the tree lock.
    m_pWnd->TreeLock()->RVLock();
    m_pWnd->TreeLock()->RVUnlock();

    clock.Set(300);     // the fade is over, the slide is not
    start = RVGetTickCount();
    while (b->Alpha() != 0 && RVTickSince(start) < 1000)
        Sleep(2);
    EXPECT_EQ(0, b->Alpha());
    Sleep(60);          // a few rounds
    EXPECT_EQ(0, bDone.load());

    clock.Set(900);
    start = RVGetTickCount();
    while (!bDone && RVTickSince(start) < 1000)
        Sleep(2);
    EXPECT_EQ(1, bDone.load());
    sync.join();
    EXPECT_EQ(R(300, 0, 100, 50), a->Position(ORIENT_0));
    m_pWnd->StopAnimationHandler();
}

// A pause after the steps holds back the messages that follow, while the
// session loop runs.
TEST_F(DispatchAnimation, PauseAfterTheSteps)
{
    m_pWnd->StartSocketHandler();
    CRVMSG m(0, MSG_ANIMATE_SYNC, 0, 1);
    PutAnimation(m, 10, 0x01F40000, { { 2, 0x2, 11, R(), 0, 9, 0 } });   // 500 ms
    uint32_t start = RVGetTickCount();
    Process(m);
    EXPECT_GE(RVTickSince(start), 500u);
    EXPECT_EQ(9, a->Alpha());
    m_pWnd->StopSocketHandler();
}

}  // namespace

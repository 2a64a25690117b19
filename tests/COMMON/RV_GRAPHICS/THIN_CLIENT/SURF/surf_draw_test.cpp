// The drawing pad's touches: strokes drawn into its map, the live points of a
// touchable pad (20204) and each finished stroke (20216), read byte for byte
// by a loopback peer of a real session.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <thread>
#include <vector>

#include "engine_fixture.h"
#include "surf_draw.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

typedef std::vector<int> Ints;

// root(0) -> panel(5) at (100, 100) -> pad(9) at (10, 20), 60 x 40, so pad
// point (x, y) is screen point (110 + x, 120 + y).
class SurfDraw : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        panel = new CSurf(&root, 5, R(100, 100, 200, 200), R(100, 100, 200, 200));
        pad = new CSurfDraw(panel, 9, R(10, 20, 60, 40), R(10, 20, 30, 50));
        panel->AddChildTail(pad);
        root.AddChildTail(panel);
        pad->Attribs(CSurf::SA_TOUCHABLE);
    }
    // Points relative to the pad.
    int Down(int x, int y, ORIENT o = ORIENT_0)
    {
        CClipStack clip(root.ClientRect(o));
        int r = root.OnTouchDown(o, POINT{ 110 + x, 120 + y }, 0, &clip);
        EXPECT_EQ(clip.Depth(), 1);
        return r;
    }
    int Move(int x, int y) { return root.OnTouchMove(ORIENT_0, POINT{ 110 + x, 120 + y }, 0); }
    int Up(int x, int y, ORIENT o = ORIENT_0) { return root.OnTouchUp(o, POINT{ 110 + x, 120 + y }, 0); }
    void ExpectLive(int x, int y)
    {
        auto m = Next();
        EXPECT_EQ(m.first, MSG_TOUCH);
        EXPECT_EQ(m.second, (Ints{ 5, 9, 1, x, y }));
    }
    // The next frame is a 20216; its data.
    Bytes Stroke()
    {
        RAW_FRAME f;
        EXPECT_TRUE(NextFrame(&f)) << "no stroke sent";
        EXPECT_EQ(f.sMessage, MSG_DRAW_STROKE);
        return f.data;
    }
    void ExpectNothing(int ms = 150) { EXPECT_EQ(Next(ms).first, 0); }
    int MapAt(int x, int y) { return pad->Map() ? *pad->Map()->Pixel(x, y) : -1; }

    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 800, 600) };
    CSurf* panel = nullptr;
    CSurfDraw* pad = nullptr;
};

TEST_F(SurfDraw, StrokeSendsLivePointsThenTheWholeStroke)
{
    EXPECT_EQ(Down(5, 5), 1);
    EXPECT_TRUE(pad->IsDrawing());
    EXPECT_TRUE(pad->State() & CSurf::SS_PRESSED);
    ASSERT_NE(pad->Map(), nullptr);
    EXPECT_EQ(pad->Map()->Width(), 60);
    EXPECT_EQ(pad->Map()->Height(), 40);
    EXPECT_EQ(MapAt(4, 4), 255);        // the touch-down dot

    EXPECT_EQ(Move(15, 5), CSurf::TOUCH_NOT_TAKEN);
    ExpectLive(15, 5);                  // nothing was sent at touch-down
    Move(390, 380);                     // far outside: reported as it is, stored clamped
    ExpectLive(390, 380);
    EXPECT_EQ(pad->PointCount(), 3);
    EXPECT_EQ(MapAt(10, 4), 255);       // the segment (5, 5) - (15, 5)

    EXPECT_EQ(Up(20, 10), CSurf::TOUCH_NOT_TAKEN);
    // Parent 5, pad 9, three points; each point x * 2000 / 60 + 1, y * 2000 / 40 + 1:
    // (5, 5) -> 167, 251; (15, 5) -> 501, 251; (59, 39) -> 1967, 1951.
    const Bytes want = { 5, 0, 0, 0,   9, 0, 0, 0,   3, 0, 0, 0,
                         0xA7, 0x00, 0xFB, 0x00,   0xF5, 0x01, 0xFB, 0x00,   0xAF, 0x07, 0x9F, 0x07 };
    EXPECT_EQ(Stroke(), want);
    EXPECT_FALSE(pad->IsDrawing());
    EXPECT_EQ(pad->PointCount(), 0);
    EXPECT_EQ(MapAt(4, 4), 255);        // the ink stays

    Move(30, 30);                       // released: quiet
    Up(30, 30);
    ExpectNothing();
}

TEST_F(SurfDraw, APadThatIsNotTouchableStillSendsItsStrokes)
{
    pad->Attribs(0);
    EXPECT_EQ(Down(0, 0), 1);
    Move(59, 39);
    Up(59, 39);
    const Bytes want = { 5, 0, 0, 0,   9, 0, 0, 0,   2, 0, 0, 0,
                         0x01, 0x00, 0x01, 0x00,   0xAF, 0x07, 0x9F, 0x07 };
    EXPECT_EQ(Stroke(), want);          // no 20204 before it
}

TEST_F(SurfDraw, NoStrokeNoMessage)
{
    Up(5, 5);                           // a release without a touch-down
    Move(5, 5);
    EXPECT_EQ(Down(70, 5), CSurf::TOUCH_NOT_TAKEN);     // inside the panel, beside the pad
    Up(70, 5);
    pad->SetAlpha(0);
    EXPECT_EQ(Down(5, 5), CSurf::TOUCH_NOT_TAKEN);
    Up(5, 5);
    ExpectNothing();
    EXPECT_EQ(pad->Map(), nullptr);

    // Only the visible part of the pad takes touches: here its top 10 rows.
    pad->SetAlpha(255);
    CClipStack clip(R(0, 0, 800, 130));
    EXPECT_EQ(pad->OnTouchDown(ORIENT_0, POINT{ 5, 20 }, 0, &clip), CSurf::TOUCH_NOT_TAKEN);
    EXPECT_EQ(pad->Map(), nullptr);
    EXPECT_EQ(pad->OnTouchDown(ORIENT_0, POINT{ 5, 5 }, 0, &clip), 1);
    EXPECT_EQ(clip.Depth(), 1);
}

TEST_F(SurfDraw, CancelEndsTheStrokeLikeARelease)
{
    Down(5, 5);
    root.OnTouchCancel(ORIENT_0, POINT{ 115, 125 });
    const Bytes want = { 5, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 0xA7, 0x00, 0xFB, 0x00 };
    EXPECT_EQ(Stroke(), want);
    EXPECT_FALSE(pad->IsDrawing());
    ExpectNothing();
}

TEST_F(SurfDraw, ChildrenGetTheTouchFirst)
{
    CSurf* button = new CSurf(pad, 11, R(0, 0, 10, 10), R(0, 0, 10, 10));
    button->Attribs(CSurf::SA_TOUCHABLE);
    pad->AddChildTail(button);
    EXPECT_EQ(Down(2, 3), 1);
    auto m = Next();
    EXPECT_EQ(m.first, MSG_TOUCH);
    EXPECT_EQ(m.second, (Ints{ 9, 11, 1, 2, 3 }));
    EXPECT_FALSE(pad->IsDrawing());
    EXPECT_EQ(pad->Map(), nullptr);
    Up(2, 3);
    m = Next();
    EXPECT_EQ(m.second, (Ints{ 9, 11, 0, 2, 3 }));
    ExpectNothing();
}

TEST_F(SurfDraw, HitTestAnswersForThePadItself)
{
    struct Case { int iAttribs; POINT pt; int iAnswer; } cases[] = {
        { 0, { 115, 125 }, 1 },                     // not touchable, but it draws
        { CSurf::SA_TOUCHABLE | 0x8000, { 115, 125 }, 4 },
        { 0, { 105, 125 }, 0 },                     // beside it
    };
    for (const Case& c : cases) {
        pad->Attribs(c.iAttribs);
        CClipStack clip(root.ClientRect(ORIENT_0));
        EXPECT_EQ(root.HitTest(ORIENT_0, c.pt, &clip), c.iAnswer) << std::hex << c.iAttribs;
    }
}

TEST_F(SurfDraw, ClearingKeepsOnlyTheStrokeInProgress)
{
    Down(5, 5);
    Up(5, 5);
    Stroke();
    EXPECT_EQ(MapAt(4, 4), 255);
    Down(30, 30);
    Move(40, 30);
    ExpectLive(40, 30);
    pad->SetAttribute(0x10000, 1, 0);
    EXPECT_EQ(MapAt(4, 4), 0);          // the finished stroke is gone
    EXPECT_EQ(MapAt(35, 29), 255);      // the one in progress is redrawn
    EXPECT_EQ(MapAt(35, 28), 85);
    EXPECT_TRUE(pad->IsDrawing());

    // Other kinds still reach the generic handling.
    pad->SetAttribute(0x2000, 1, 0);
    EXPECT_TRUE(pad->Attributes() & CSurf::SA_STENCIL_CLIP);
}

TEST_F(SurfDraw, TheMapFollowsThePadsSize)
{
    Down(5, 5);
    Up(5, 5);
    Stroke();
    Down(20, 20);                       // same size: the earlier ink stays
    Up(20, 20);
    Stroke();
    EXPECT_EQ(MapAt(4, 4), 255);

    pad->SetPosition(ORIENT_0, R(10, 20, 30, 20));
    Down(25, 5);
    ASSERT_NE(pad->Map(), nullptr);
    EXPECT_EQ(pad->Map()->Width(), 30);
    EXPECT_EQ(pad->Map()->Height(), 20);
    EXPECT_EQ(MapAt(4, 4), 0);          // a new, clear map
    EXPECT_EQ(MapAt(24, 4), 255);
    Up(25, 5);
    // Scaled by the new size: 25 * 2000 / 30 + 1, 5 * 2000 / 20 + 1.
    const Bytes want = { 5, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 0x83, 0x06, 0xF5, 0x01 };
    EXPECT_EQ(Stroke(), want);

    // The other orientation has its own size (30 x 50).
    Down(5, 45, ORIENT_1);
    EXPECT_EQ(pad->Map()->Width(), 30);
    EXPECT_EQ(pad->Map()->Height(), 50);
    Up(5, 45, ORIENT_1);
    Stroke();
}

TEST_F(SurfDraw, APadTooLargeForAMapIgnoresTouches)
{
    panel->SetPosition(ORIENT_0, R(0, 0, 100000, 100000));
    pad->SetPosition(ORIENT_0, R(0, 0, 100000, 100000));
    CClipStack clip(R(0, 0, 100000, 100000));
    EXPECT_EQ(root.OnTouchDown(ORIENT_0, POINT{ 10, 10 }, 0, &clip), CSurf::TOUCH_NOT_TAKEN);
    EXPECT_EQ(pad->Map(), nullptr);
    EXPECT_FALSE(pad->IsDrawing());
    root.OnTouchUp(ORIENT_0, POINT{ 10, 10 }, 0);
    ExpectNothing();
}

TEST_F(SurfDraw, AStrokeNeverOutgrowsOneMessage)
{
    pad->Attribs(0);
    Down(0, 0);
    for (int i = 0; i < CSurfDraw::MAX_STROKE_POINTS + 10; i++)
        Move(i % 60, (i / 60) % 40);
    EXPECT_EQ(pad->PointCount(), (int)CSurfDraw::MAX_STROKE_POINTS);
    // About a megabyte: the peer reads while the release is being sent.
    std::thread release([this] { Up(0, 0); });
    Bytes data = Stroke();
    release.join();
    ASSERT_EQ(data.size(), 12u + 4u * CSurfDraw::MAX_STROKE_POINTS);
    int count;
    memcpy(&count, &data[8], 4);
    EXPECT_EQ(count, (int)CSurfDraw::MAX_STROKE_POINTS);
}

}  // namespace

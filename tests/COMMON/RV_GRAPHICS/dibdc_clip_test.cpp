// The clip chain of a canvas: pushed clips (kept relative to the origin at push
// time), the global clip of a positioned canvas, LocalClipRect and TestClip.
#include "canvas_probe.h"
#include "dibdc.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
TEST(DibDCClip, GlobalClipOfAPositionedCanvasIsItsOwnArea)
{
    CRVDibDC dc(10, 5, 100, 200, 0, 0);
    EXPECT_EQ(dc.LocalClipRect(), CRVRect(0, 0, 10, 5));
    // TestClip takes rectangles relative to the origin, which starts at the
    // canvas's position.
    EXPECT_TRUE(dc.TestClip(CRVRect(0, 0, 1, 1)));
    EXPECT_TRUE(dc.TestClip(CRVRect(-5, -5, 6, 6)));
    EXPECT_FALSE(dc.TestClip(CRVRect(10, 0, 5, 5)));
    EXPECT_FALSE(dc.TestClip(CRVRect(-100, -200, 100, 200)));
    dc.SetOrigin(110, 200);   // canvas column 10: just outside
    EXPECT_FALSE(dc.TestClip(CRVRect(0, 0, 1, 1)));
    EXPECT_TRUE(dc.TestClip(CRVRect(-1, 0, 1, 1)));
}

TEST(DibDCClip, PositionsAtTheIntLimits)
{
    // The global clip is moved back by the position without overflowing.
    const int positions[][2] = {{INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MAX}};
    for (const auto& pos : positions) {
        CRVDibDC dc(6, 3, pos[0], pos[1], 0, 0);
        EXPECT_EQ(dc.LocalClipRect(), CRVRect(0, 0, 6, 3));
        dc.Fill(0);
        dc.FillRect(5, 0, 0, 1, 1);
        EXPECT_EQ(*dc.Pixel(0, 0), 5u);
        EXPECT_TRUE(dc.TestClip(CRVRect(0, 0, 1, 1)));
    }
}

TEST(DibDCClip, PushedClipUsesTheOriginAtPushTime)
{
    CRVDibDC dc(10, 10, 0, 0, 0, 0);
    dc.SetOrigin(2, 3);
    CRVRect clip(0, 0, 4, 2);
    ASSERT_TRUE(dc.PushClip(&clip));
    EXPECT_EQ(dc.LocalClipRect(), CRVRect(2, 3, 4, 2));
    // Moving the origin afterwards moves the drawing, not the clip.
    dc.SetOrigin(0, 0);
    EXPECT_EQ(dc.LocalClipRect(), CRVRect(2, 3, 4, 2));
    dc.Fill(0);
    dc.FillRect(7, 0, 0, 10, 10);
    int n = 0;
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 10; x++) {
            bool inside = x >= 2 && x < 6 && y >= 3 && y < 5;
            EXPECT_EQ(*dc.Pixel(x, y), inside ? 7u : 0u) << x << "," << y;
            n += inside;
        }
    EXPECT_EQ(n, 8);
}

struct ClipStep
{
    const char* what;
    int push;          // 1 push rect, 2 push none, 0 pop
    CRVRect rect;
    CRVRect expected;  // LocalClipRect afterwards
    int depth;
};

TEST(DibDCClip, StackPushAndPop)
{
    // A canvas at (50, 50) whose global clip limits it to its own 8 x 6 pixels.
    // Only the newest entry clips (cut by the global clip); popping brings the
    // previous one back; a pushed "none" removes any clip of its own.
    const ClipStep steps[] = {
        {"first clip", 1, CRVRect(1, 1, 4, 4), CRVRect(1, 1, 4, 4), 1},
        {"second clip, not cut by the first", 1, CRVRect(3, 0, 10, 2), CRVRect(3, 0, 5, 2), 2},
        {"no clip of its own", 2, CRVRect(), CRVRect(0, 0, 8, 6), 3},
        {"clip outside the canvas", 1, CRVRect(-10, -10, 5, 5), CRVRect(0, 0, 0, 0), 4},
        {"pop the outside clip", 0, CRVRect(), CRVRect(0, 0, 8, 6), 3},
        {"pop the none entry", 0, CRVRect(), CRVRect(3, 0, 5, 2), 2},
        {"pop the second", 0, CRVRect(), CRVRect(1, 1, 4, 4), 1},
        {"pop the first", 0, CRVRect(), CRVRect(0, 0, 8, 6), 0},
        {"pop an empty stack", 0, CRVRect(), CRVRect(0, 0, 8, 6), 0},
    };
    CRVDibDC dc(8, 6, 50, 50, 0, 0);
    for (const ClipStep& s : steps) {
        SCOPED_TRACE(s.what);
        if (s.push == 1)
            dc.PushClip(&s.rect);
        else if (s.push == 2)
            dc.PushClip(nullptr);
        else
            dc.PopClip();
        CRVRect got = dc.LocalClipRect();
        if (s.expected.IsEmpty())
            EXPECT_TRUE(got.IsEmpty());
        else
            EXPECT_EQ(got, s.expected);
        EXPECT_EQ(dc.ClipDepth(), s.depth);
    }
}

TEST(DibDCClip, PushedClipIsCutByTheGlobalClipNotJustTheBounds)
{
    // The two-argument canvas has no global clip: a pushed clip alone decides,
    // within the logical bounds.
    CRVDibDC plain(8, 4);
    CRVRect wide(-5, 1, 100, 2);
    plain.PushClip(&wide);
    EXPECT_EQ(plain.LocalClipRect(), CRVRect(0, 1, 8, 2));
    plain.PopClip();
    EXPECT_EQ(plain.LocalClipRect(), CRVRect(0, 0, 8, 4));
}

TEST(DibDCClip, DrawingWithAnEmptyClipChangesNothing)
{
    CRVDibDC dc(4, 4, 0, 0, 0, 0);
    dc.Fill(1);
    CRVRect none(2, 2, 0, 0);
    dc.PushClip(&none);
    dc.FillRect(9, 0, 0, 4, 4);
    dc.FillRectAlpha(CRVRect(0, 0, 4, 4), 9, 100);
    dc.FillRoundRect(9, 0, 0, 4, 4, 1, 0);
    CRVDibDC src(4, 4);
    src.Fill(9);
    dc.BltFromDibDC(&src, 0, 0);
    for (uint32_t p : AllPixels(dc))
        EXPECT_EQ(p, 1u);
}

TEST(DibDCClip, DestructionFreesPushedClips)
{
    // Left pushed on purpose: the sanitizer build reports a leak if the
    // destructor does not free them.
    CRVDibDC* dc = new CRVDibDC(4, 4, 0, 0, 0, 0);
    CRVRect r(0, 0, 2, 2);
    dc->PushClip(&r);
    dc->PushClip(nullptr);
    dc->PushClip(&r);
    EXPECT_EQ(dc->ClipDepth(), 3);
    delete dc;
}
}  // namespace

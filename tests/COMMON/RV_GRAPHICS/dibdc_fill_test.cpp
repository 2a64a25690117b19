// Fills: whole canvas, rectangles (clipped, with origin), row segments, the
// alpha blend fill and rounded rectangles, with exact expected bytes.
#include "canvas_probe.h"
#include "dibdc.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
const uint32_t kBack = 0x01020304;
const uint32_t kInk = 0xAABBCCDD;

// Counts the pixels of the allocation equal to c inside [x0, x1) x [y0, y1)
// and checks that all the others still hold kBack.
int CountInk(CRVDibDC& dc, int x0, int y0, int x1, int y1, uint32_t c = kInk)
{
    int n = 0;
    for (int y = 0; y < dc.DY(); y++)
        for (int x = 0; x < dc.DX(); x++) {
            bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
            uint32_t want = inside ? c : kBack;
            EXPECT_EQ(*dc.Pixel(x, y), want) << "pixel " << x << "," << y;
            n += inside;
        }
    return n;
}

TEST(DibDCFill, FillCoversThePitchColumns)
{
    CRVDibDC dc(5, 3, 0, 0, 0, 0);
    dc.Fill(kInk);
    for (uint32_t p : AllPixels(dc))
        EXPECT_EQ(p, kInk);
}

struct RectCase
{
    const char* what;
    int x, y, dx, dy;
    int x0, y0, x1, y1;   // expected filled area (exclusive ends)
};

TEST(DibDCFill, FillRectClipsToTheLogicalBounds)
{
    // Width 10 in a pitch of 12: columns 10 and 11 are never drawn by FillRect.
    const RectCase cases[] = {
        {"inside", 2, 1, 3, 2, 2, 1, 5, 3},
        {"whole", 0, 0, 10, 6, 0, 0, 10, 6},
        {"larger than the canvas", -5, -5, 100, 100, 0, 0, 10, 6},
        {"over the left edge", -2, 2, 4, 1, 0, 2, 2, 3},
        {"over the bottom right", 8, 4, 10, 10, 8, 4, 10, 6},
        {"entirely right", 10, 0, 5, 5, 0, 0, 0, 0},
        {"entirely above", 0, -3, 5, 3, 0, 0, 0, 0},
        {"zero width", 3, 3, 0, 2, 0, 0, 0, 0},
        {"negative size", 5, 5, -3, -3, 0, 0, 0, 0},
        {"far right, huge width", INT_MAX, 0, INT_MAX, 3, 0, 0, 0, 0},
        {"far left, huge width", INT_MIN, 0, INT_MAX, 3, 0, 0, 0, 0},
        {"far left, reaching in", INT_MIN + 10, 1, INT_MAX, 1, 0, 1, 9, 2},
    };
    for (const RectCase& c : cases) {
        SCOPED_TRACE(c.what);
        CRVDibDC dc(10, 6, 0, 0, 0, 0);
        dc.Fill(kBack);
        dc.FillRect(kInk, c.x, c.y, c.dx, c.dy);
        CountInk(dc, c.x0, c.y0, c.x1, c.y1);
    }
}

TEST(DibDCFill, FillRectAddsTheOriginRelativeToThePosition)
{
    // The origin is given in global coordinates: (10, 10) on a canvas at (4, 4)
    // is canvas pixel (6, 6).
    CRVDibDC dc(12, 12, 4, 4, 0, 0);
    dc.Fill(kBack);
    dc.SetOrigin(10, 10);
    EXPECT_EQ(dc.GetOrigin().x, 6);
    EXPECT_EQ(dc.GetOriginAbs().x, 10);
    EXPECT_EQ(dc.GetOriginAbs().y, 10);
    dc.FillRect(kInk, 0, 0, 1, 1);
    EXPECT_EQ(CountInk(dc, 6, 6, 7, 7), 1);

    // The rectangle form goes through the same path.
    dc.Fill(kBack);
    dc.FillRect(kInk, CRVRect(-2, -1, 3, 2));
    CountInk(dc, 4, 5, 7, 7);

    // An origin near the int limits does not wrap: (INT_MAX - 4, INT_MIN) is
    // stored, so (INT_MAX, INT_MIN) lies far outside, while (-INT_MAX, INT_MAX)
    // lands at canvas (-4, -1) and its 5 x 5 pixels reach column 0, rows 0..3.
    dc.Fill(kBack);
    dc.SetOrigin(INT_MAX, INT_MIN);
    EXPECT_EQ(dc.GetOrigin().x, INT_MAX - 4);
    EXPECT_EQ(dc.GetOrigin().y, INT_MIN);
    dc.FillRect(kInk, INT_MAX, INT_MIN, 5, 5);
    dc.FillRect(kInk, -INT_MAX, INT_MAX, 5, 5);
    CountInk(dc, 0, 0, 1, 4);
}

TEST(DibDCFill, FillHZClipsToTheAllocationNotTheClip)
{
    CRVDibDC dc(10, 3, 0, 0, 0, 0);   // DX 12
    dc.Fill(kBack);
    CRVRect clip(0, 0, 2, 2);
    dc.PushClip(&clip);
    dc.FillHZ(kInk, 8, 100, 1);       // to the last pitch column
    CountInk(dc, 8, 1, 12, 2);
    dc.Fill(kBack);
    dc.FillHZ(kInk, INT_MIN, INT_MAX, 0);
    dc.FillHZ(kInk, 0, 5, -1);
    dc.FillHZ(kInk, 0, 5, 3);
    dc.FillHZ(kInk, 5, 4, 2);         // x2 before x1: nothing
    CountInk(dc, 0, 0, 12, 1);
}

TEST(DibDCFill, FillRectListFillsEachRectangle)
{
    CRVDibDC dc(8, 4, 0, 0, 0, 0);
    dc.Fill(kBack);
    CRectList list;
    list.AddRectDirectDXDY(0, 0, 2, 1);
    list.AddRectDirectDXDY(6, 3, 5, 5);
    dc.FillRectList(kInk, &list);
    dc.FillRectList(kInk, nullptr);
    int n = 0;
    for (uint32_t p : AllPixels(dc))
        n += p == kInk;
    EXPECT_EQ(n, 4);
    EXPECT_EQ(*dc.Pixel(1, 0), kInk);
    EXPECT_EQ(*dc.Pixel(7, 3), kInk);
}

// FillRectAlpha with r = alpha * 32 / 255 and g = alpha * 64 / 255:
// red, blue = c r / 32 + p (32 - r) / 32; green = c g / 64 + p (64 - g) / 64;
// alpha 0. Values worked out by hand.
struct BlendCase
{
    int alpha;
    uint32_t colour;
    uint32_t pixel;
    uint32_t result;
};

TEST(DibDCFill, FillRectAlphaBlendTable)
{
    const uint32_t c = Px(200, 100, 50, 0);
    const uint32_t p = Px(10, 20, 30, 255);
    const BlendCase cases[] = {
        // r = g = 0: the pixel's colour, alpha cleared.
        {0, c, p, Px(10, 20, 30, 0)},
        {1, c, p, Px(10, 20, 30, 0)},
        {-7, c, p, Px(10, 20, 30, 0)},
        // r = 16, g = 32: 100 + 5, 50 + 10, 25 + 15.
        {128, c, p, Px(105, 60, 40, 0)},
        // r = 31, g = 63: 6200/32 = 193 + 10/32 = 0; 6300/64 = 98 + 0; 1550/32 = 48 + 0.
        {254, c, p, Px(193, 98, 48, 0)},
        // Plain fill from 255 on: the colour unchanged, alpha byte included.
        {255, c, p, c},
        {1000, Px(1, 2, 3, 4), p, Px(1, 2, 3, 4)},
        // White on white at half: each share truncates, 127 + 127.
        {128, Px(255, 255, 255, 255), Px(255, 255, 255, 255), Px(254, 254, 254, 0)},
        // Black uses the same formula: only the pixel's share is left.
        {128, 0, Px(255, 255, 255, 255), Px(127, 127, 127, 0)},
        // r = 8 (64 * 32 / 255 = 8.03), g = 16 (16.06): 255*8/32 = 63 + 0.
        {64, Px(255, 255, 255, 0), Px(0, 0, 0, 0), Px(63, 63, 63, 0)},
    };
    for (const BlendCase& bc : cases) {
        SCOPED_TRACE(testing::Message() << "alpha " << bc.alpha);
        // Width 7: four pixels take the vector path, three the scalar tail.
        CRVDibDC dc(7, 2, 0, 0, 0, 0);
        dc.Fill(kBack);
        for (int x = 0; x < 7; x++)
            *dc.Pixel(x, 1) = bc.pixel;
        dc.FillRectAlpha(CRVRect(0, 1, 7, 1), bc.colour, bc.alpha);
        for (int x = 0; x < 7; x++) {
            EXPECT_EQ(*dc.Pixel(x, 1), bc.result) << "column " << x;
            EXPECT_EQ(*dc.Pixel(x, 0), kBack);
        }
        EXPECT_EQ(*dc.Pixel(7, 1), kBack);
    }
}

TEST(DibDCFill, FillRectAlphaIsClippedAndUsesTheOrigin)
{
    CRVDibDC dc(6, 4, 0, 0, 0, 0);
    dc.Fill(Px(10, 20, 30, 255));
    dc.SetOrigin(1, 1);
    CRVRect clip(0, 0, 3, 3);
    dc.PushClip(&clip);    // canvas (1, 1) to (3, 3)
    dc.FillRectAlpha(CRVRect(-5, -5, 50, 50), Px(200, 100, 50, 0), 128);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) {
            bool inside = x >= 1 && x < 4 && y >= 1 && y < 4;
            EXPECT_EQ(*dc.Pixel(x, y), inside ? Px(105, 60, 40, 0) : Px(10, 20, 30, 255)) << x << "," << y;
        }
}

// Row spans of a rounded rectangle: (first, last) column per row, (-1, -1)
// for an untouched row. Worked out by hand from the corner arcs.
struct RoundCase
{
    const char* what;
    int x, y, dx, dy, radius, flags;
    int width, height;
    std::vector<std::pair<int, int>> spans;
};

TEST(DibDCFill, FillRoundRectSpans)
{
    const RoundCase cases[] = {
        // r = 1, arc (0,1) (1,0): centres at columns 1 and 4, rows 1 and 2.
        {"radius 1", 0, 0, 6, 4, 1, 0, 6, 4, {{1, 4}, {0, 5}, {0, 5}, {1, 4}}},
        // r = min(10, 3, 2) = 2, arc (1,2) (2,1) (2,0); no band left between the arcs.
        {"radius clamped to half the height", 0, 0, 6, 4, 10, 0, 6, 4, {{1, 4}, {0, 5}, {0, 5}, {1, 4}}},
        // r = 3, arc (1,3) (2,2) (3,1) (3,0); centres at columns 4 and 7, rows 4 and 5.
        {"radius 3", 1, 1, 10, 8, 3, 0, 12, 10,
         {{-1, -1}, {3, 8}, {2, 9}, {1, 10}, {1, 10}, {1, 10}, {1, 10}, {2, 9}, {3, 8}, {-1, -1}}},
        // Flags bit 0: the arc of radius 4 pulled in, (1,3) (2,3) (2,2) (3,1) (3,0).
        // Centres at columns 3 and 6, rows 3 and 6; the two points on arc row 3
        // give the outer rows the wider span 1..8.
        {"radius 3 smooth", 0, 0, 10, 10, 3, 1, 10, 10,
         {{1, 8}, {1, 8}, {0, 9}, {0, 9}, {0, 9}, {0, 9}, {0, 9}, {0, 9}, {1, 8}, {1, 8}}},
        // Radius 0 is a plain rectangle.
        {"radius 0", 1, 0, 3, 2, 0, 0, 5, 2, {{1, 3}, {1, 3}}},
        // One column wide: r = 0 and the arc is the single point (0, 0).
        {"one column", 2, 0, 1, 3, 5, 0, 5, 3, {{2, 2}, {2, 2}, {2, 2}}},
    };
    for (const RoundCase& c : cases) {
        SCOPED_TRACE(c.what);
        CRVDibDC dc(c.width, c.height, 0, 0, 0, 0);
        dc.Fill(kBack);
        dc.FillRoundRect(kInk, c.x, c.y, c.dx, c.dy, c.radius, c.flags);
        ASSERT_EQ((int)c.spans.size(), dc.DY());
        for (int y = 0; y < dc.DY(); y++) {
            bool contiguous;
            EXPECT_EQ(RowSpan(dc, y, kInk, &contiguous), c.spans[y]) << "row " << y;
            EXPECT_TRUE(contiguous) << "row " << y;
        }
    }
}

TEST(DibDCFill, FillRoundRectIsClippedAndUsesTheOrigin)
{
    // The radius-3 shape above moved by an origin of (-1, -1), clipped to rows
    // 1..3 and columns 0..4 of the canvas.
    CRVDibDC dc(12, 10, 0, 0, 0, 0);
    dc.Fill(kBack);
    dc.SetOrigin(-1, -1);
    CRVRect clip(1, 2, 5, 3);   // relative to the origin: canvas (0, 1) .. (4, 3)
    dc.PushClip(&clip);
    dc.FillRoundRect(kInk, 1, 1, 10, 8, 3, 0);
    const std::pair<int, int> want[10] = {{-1, -1}, {1, 4}, {0, 4}, {0, 4}, {-1, -1},
                                          {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}, {-1, -1}};
    for (int y = 0; y < 10; y++) {
        bool contiguous;
        EXPECT_EQ(RowSpan(dc, y, kInk, &contiguous), want[y]) << "row " << y;
    }
}

TEST(DibDCFill, FillRoundRectWithHostileSizes)
{
    CRVDibDC dc(16, 16, 0, 0, 0, 0);
    dc.Fill(kBack);
    // A radius beyond any canvas is refused rather than walked.
    dc.FillRoundRect(kInk, -1000000000, -1000000000, 2000000000, 2000000000, 1000000000, 0);
    dc.FillRoundRect(kInk, 0, 0, INT_MAX, INT_MAX, INT_MAX, 1);
    dc.FillRoundRect(kInk, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 4, 0);
    dc.FillRoundRect(kInk, 0, 0, -5, 10, 4, 0);
    for (uint32_t p : AllPixels(dc))
        EXPECT_EQ(p, kBack);
    // A huge rectangle with a small radius still fills what it covers.
    dc.FillRoundRect(kInk, -100, -100, INT_MAX, INT_MAX, 4, 0);
    EXPECT_EQ(*dc.Pixel(0, 0), kInk);
    EXPECT_EQ(*dc.Pixel(15, 15), kInk);
}
}  // namespace

// The cursor's halo: rings fading inward, rounded corners, the fill, and halo
// sizes far beyond the canvas. Expected values worked out by hand.
#include "canvas_probe.h"
#include "dibdc.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
const uint32_t kMark = 0x01020304;
const uint32_t kColor = 0x00123456;   // written as it is: bytes 56 34 12

uint32_t Ring(int alpha) { return kColor | (static_cast<uint32_t>(alpha) << 24); }

TEST(AlphaHalo, SmallCanvasExactly)
{
    // 8 x 8, halo width 2, corner extra 1 (n = 3), inner alpha 200, outer 0.
    // Ring 0 has alpha 0, ring 1 alpha 100. In each corner square the radius
    // from the square's far corner is 4 or 3 (cleared: Z), 2 (alpha (3 - 2) *
    // 200 / 2 = 100) or 1 (kept).
    CAlphaDIB dc(8, 8, 0, 0, 0, 0);
    dc.Fill(kMark);
    dc.CreateHalo(2, 1, kColor, kColor, 0xF, 200, 0, 0);
    const uint32_t Z = 0, O = Ring(0), I = Ring(100), M = kMark;
    const uint32_t want[8][8] = {
        {Z, Z, Z, O, O, Z, Z, Z},
        {Z, I, I, I, I, I, I, Z},
        {Z, I, M, M, M, M, I, Z},
        {O, I, M, M, M, M, I, O},
        {O, I, M, M, M, M, I, O},
        {Z, I, M, M, M, M, I, Z},
        {Z, I, I, I, I, I, I, Z},
        {Z, Z, Z, O, O, Z, Z, Z},
    };
    for (int y = 0; y < 8; y++)
        for (int x = 0; x < 8; x++)
            EXPECT_EQ(*dc.Pixel(x, y), want[y][x]) << x << "," << y;
}

// The cursor's default look: width 20, extra 20, on 120 x 120.
class AlphaHaloCursor : public ::testing::Test
{
protected:
    void Draw(int iCorners, int bFill)
    {
        dc.Fill(kMark);
        dc.CreateHalo(20, 20, kColor, kColor, iCorners, 200, 0, bFill);
    }
    CAlphaDIB dc{120, 120, 0, 0, 0, 0};
};

TEST_F(AlphaHaloCursor, RingsFadeInwardByTens)
{
    Draw(0xFFFF, 0);
    for (int u = 0; u < 20; u++) {
        EXPECT_EQ(*dc.Pixel(60, u), Ring(10 * u)) << "top, ring " << u;
        EXPECT_EQ(*dc.Pixel(60, 119 - u), Ring(10 * u)) << "bottom, ring " << u;
        EXPECT_EQ(*dc.Pixel(u, 60), Ring(10 * u)) << "left, ring " << u;
        EXPECT_EQ(*dc.Pixel(119 - u, 60), Ring(10 * u)) << "right, ring " << u;
    }
    EXPECT_EQ(*dc.Pixel(60, 20), kMark);
    EXPECT_EQ(*dc.Pixel(60, 60), kMark);
}

TEST_F(AlphaHaloCursor, CornersAreRounded)
{
    Draw(0xFFFF, 0);
    // Top left square, centre (40, 40): radius 20 or less is kept.
    EXPECT_EQ(*dc.Pixel(30, 30), kMark);
    EXPECT_EQ(*dc.Pixel(39, 39), kMark);
    EXPECT_EQ(*dc.Pixel(0, 0), 0u);                 // radius 56
    EXPECT_EQ(*dc.Pixel(10, 10), 0u);               // radius 42
    EXPECT_EQ(*dc.Pixel(15, 15), Ring(50));         // radius 35: (40 - 35) * 10
    EXPECT_EQ(*dc.Pixel(25, 25), Ring(190));        // radius 21
    EXPECT_EQ(*dc.Pixel(10, 39), Ring(100));        // radius 30
    // The other three mirror it.
    EXPECT_EQ(*dc.Pixel(104, 15), Ring(50));
    EXPECT_EQ(*dc.Pixel(15, 104), Ring(50));
    EXPECT_EQ(*dc.Pixel(104, 104), Ring(50));
    EXPECT_EQ(*dc.Pixel(119, 119), 0u);
}

TEST_F(AlphaHaloCursor, OnlyTheChosenCornersAreRounded)
{
    Draw(2, 0);     // top left only
    EXPECT_EQ(*dc.Pixel(15, 15), Ring(50));
    EXPECT_EQ(*dc.Pixel(0, 0), 0u);
    // Square corners elsewhere: the rings run through.
    EXPECT_EQ(*dc.Pixel(104, 15), Ring(150));
    EXPECT_EQ(*dc.Pixel(119, 0), Ring(0));
    EXPECT_EQ(*dc.Pixel(15, 104), Ring(150));
    EXPECT_EQ(*dc.Pixel(104, 104), Ring(150));
}

TEST_F(AlphaHaloCursor, FillMakesTheColourOpaqueInside)
{
    Draw(0xFFFF, 1);
    EXPECT_EQ(*dc.Pixel(60, 60), kColor | 0xFF000000u);
    EXPECT_EQ(*dc.Pixel(30, 30), kColor | 0xFF000000u);  // kept by the corner: the fill
    EXPECT_EQ(*dc.Pixel(60, 5), Ring(50));
    EXPECT_EQ(*dc.Pixel(0, 0), 0u);
}

TEST(AlphaHalo, SizesBeyondTheCanvasStayInside)
{
    struct Case { int w, h, g, x, ai, ao; } cases[] = {
        {8, 6, 20, 0, 200, 0},              // rings until the rectangle is empty
        {1, 1, 5, 5, 200, 0},
        {3, 2, INT_MAX, INT_MAX, 200, 0},
        {5, 5, INT_MIN, INT_MIN, 200, 0},
        {5, 5, -3, 10, 200, 0},
        {5, 5, 10, -50, 200, 0},
        {6, 6, INT_MAX, 1, INT_MAX, INT_MIN},
        {6, 6, 3, INT_MAX, INT_MIN, INT_MAX},
    };
    for (const Case& c : cases) {
        CAlphaDIB dc(c.w, c.h, 0, 0, 0, 0);
        dc.Fill(kMark);
        // One column of pitch beyond the width must stay untouched.
        dc.CreateHalo(c.g, c.x, kColor, kColor, 0xF, c.ai, c.ao, 0);
        for (int y = 0; y < dc.DY(); y++)
            for (int x = c.w; x < dc.DX(); x++)
                EXPECT_EQ(*dc.Pixel(x, y), kMark) << c.w << "x" << c.h << " g " << c.g;
    }
    // 8 x 6 with width 20: three rings fit (inset 0, 1, 2), alphas 0, 10, 20.
    CAlphaDIB dc(8, 6, 0, 0, 0, 0);
    dc.Fill(kMark);
    dc.CreateHalo(20, 0, kColor, kColor, 0, 200, 0, 0);
    EXPECT_EQ(*dc.Pixel(3, 0), Ring(0));
    EXPECT_EQ(*dc.Pixel(3, 1), Ring(10));
    EXPECT_EQ(*dc.Pixel(3, 2), Ring(20));
    EXPECT_EQ(*dc.Pixel(3, 3), Ring(20));
    EXPECT_EQ(*dc.Pixel(5, 4), Ring(10));
}
}  // namespace

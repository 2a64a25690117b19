// Canvas construction: pitch and guard sizes, the global clip, attributes, and
// sizes that must fail without allocating or overflowing.
#include "canvas_probe.h"
#include "dibdc.h"
#include "rvalloc.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
struct SizeCase
{
    int width;
    int height;
    int attribs;
    int dx;
    int dy;
};

TEST(DibDCConstruct, PitchAndGuardSizes)
{
    const SizeCase cases[] = {
        {5, 3, 0, 8, 3},
        {5, 3, (int)CRVDibDC::ATTR_GUARD, 8, 4},
        {7, 1, (int)CRVDibDC::ATTR_GUARD, 8, 2},
        {8, 1, (int)CRVDibDC::ATTR_GUARD, 12, 2},
        {8, 2, 0, 8, 2},
        {1, 1, 0, 4, 1},
        {0, 0, 0, 1, 1},       // still one pixel
        {0, 5, 0, 1, 5},
        {3, 0, 0, 4, 1},
        {0, 0, (int)CRVDibDC::ATTR_GUARD, 4, 1},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " attribs " << std::hex << c.attribs);
        CRVDibDC dc(c.width, c.height, 0, 0, 0, c.attribs);
        ASSERT_TRUE(dc.IsValid());
        EXPECT_EQ(dc.Width(), c.width);
        EXPECT_EQ(dc.Height(), c.height);
        EXPECT_EQ(dc.DX(), c.dx);
        EXPECT_EQ(dc.DY(), c.dy);
        EXPECT_EQ(dc.Bits(), dc.Pixel(0, 0));
        // The whole allocation is writable (ASan checks the last pixel).
        dc.Fill(0x12345678);
        EXPECT_EQ(*dc.Pixel(dc.DX() - 1, dc.DY() - 1), 0x12345678u);
    }
}

TEST(DibDCConstruct, TwoArgumentFormHasNoGlobalClipAndRoundsThePitch)
{
    CRVDibDC dc(6, 2);
    ASSERT_TRUE(dc.IsValid());
    EXPECT_EQ(dc.DX(), 8);
    EXPECT_EQ(dc.DY(), 2);
    EXPECT_EQ(dc.Attribs(), 0);
    EXPECT_EQ(dc.LocalClipRect(), CRVRect(0, 0, 6, 2));
    // No global clip: everything may show.
    EXPECT_TRUE(dc.TestClip(CRVRect(1000, 1000, 1, 1)));
}

TEST(DibDCConstruct, MemoryTypeMarks)
{
    CRVDibDC type1(4, 4, 0, 0, 1, 0);
    EXPECT_EQ(type1.Attribs(), (int)CRVDibDC::ATTR_MEMORY_TYPE1);
    CRVDibDC type2(4, 4, 0, 0, 2, CRVDibDC::ATTR_MEMORY_MARK | 0x200);
    EXPECT_EQ(type2.Attribs(), 0x200);
    CRVDibDC type0(4, 4, 0, 0, 0, CRVDibDC::ATTR_MEMORY_MARK);
    EXPECT_EQ(type0.Attribs(), (int)CRVDibDC::ATTR_MEMORY_MARK);
    // Setting the attributes never changes the type-1 mark.
    type1.Attribs(0x20000);
    EXPECT_EQ(type1.Attribs(), 0x20000 | (int)CRVDibDC::ATTR_MEMORY_TYPE1);
    type0.Attribs(CRVDibDC::ATTR_MEMORY_TYPE1 | 0x200);
    EXPECT_EQ(type0.Attribs(), 0x200);
}

TEST(DibDCConstruct, NegativeSizesMakeAnEmptyCanvas)
{
    CRVDibDC dc(-5, -3, 0, 0, 0, 0);
    ASSERT_TRUE(dc.IsValid());
    EXPECT_EQ(dc.Width(), 0);
    EXPECT_EQ(dc.DX(), 1);
    EXPECT_EQ(dc.DY(), 1);
    *dc.Bits() = 7;
    dc.FillRect(1, 0, 0, 10, 10);
    EXPECT_EQ(*dc.Bits(), 7u);
}

struct HostileSize
{
    int width;
    int height;
    int attribs;
};

TEST(DibDCConstruct, HostileSizesFailWithoutAllocating)
{
    const HostileSize cases[] = {
        {INT_MAX, INT_MAX, 0},
        {INT_MAX, 1, 0},                                 // rounding the pitch up would overflow int
        {INT_MAX - 2, 1, (int)CRVDibDC::ATTR_GUARD},     // so would the guard column
        {1, INT_MAX, (int)CRVDibDC::ATTR_GUARD},         // and the guard row
        {RV_MAX_CANVAS_SIDE + 1, 1, 0},
        {1, RV_MAX_CANVAS_SIDE + 1, 0},
        {65536, 65536, 0},                               // 2^32 pixels: wraps a 32-bit count to 0
        {8192, 8193, 0},                                 // each side fine, the area too large
        {46341, 46341, 0},                               // area overflows a 32-bit int
    };
    for (const HostileSize& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        CRVDibDC dc(c.width, c.height, 10, 20, 0, c.attribs);
        EXPECT_FALSE(dc.IsValid());
        EXPECT_EQ(dc.Bits(), nullptr);
        EXPECT_EQ(dc.Width(), 0);
        EXPECT_EQ(dc.DX(), 0);
        EXPECT_EQ(dc.DY(), 0);
        // Every operation is a no-op on a canvas without pixels.
        dc.Fill(1);
        dc.FillRect(1, 0, 0, 100, 100);
        dc.FillHZ(1, 0, 100, 0);
        dc.FillRectAlpha(CRVRect(0, 0, 100, 100), 1, 128);
        dc.FillRoundRect(1, 0, 0, 100, 100, 10, 1);
        EXPECT_TRUE(dc.LocalClipRect().IsEmpty());
        EXPECT_EQ(dc.CreateCopy(-1), nullptr);
        EXPECT_EQ(dc.CreateScaledCopy(4, 4, 0, 0), nullptr);
        EXPECT_EQ(dc.CreateSmoothScaledCopy(4, 4, 0), nullptr);
        EXPECT_EQ(dc.CreateFlip(1, 1), nullptr);
        EXPECT_EQ(dc.CreateScaleDIV(2), nullptr);
        CRVDibDC other(8, 8);
        other.Fill(5);
        dc.BltFromDibDC(&other, 0, 0);
        other.BltFromDibDC(&dc, 0, 0);
        EXPECT_EQ(*other.Pixel(0, 0), 5u);
    }
}

TEST(DibDCConstruct, PixelAllocatorChecksEveryFactor)
{
    EXPECT_EQ(RVAllocPixels(0, 10), nullptr);
    EXPECT_EQ(RVAllocPixels(10, -1), nullptr);
    EXPECT_EQ(RVAllocPixels(1LL << 40, 1LL << 40), nullptr);
    EXPECT_EQ(RVAlloc(SIZE_MAX / 2, 4), nullptr);
    uint32_t* p = RVAllocPixels(RV_MAX_CANVAS_SIDE, 1);
    ASSERT_NE(p, nullptr);
    p[RV_MAX_CANVAS_SIDE - 1] = 1;
    RVFree(p);
}

TEST(DibDCConstruct, ScaledCopiesRefuseHostileTargetSizes)
{
    CRVDibDC dc(4, 4);
    dc.Fill(0);
    EXPECT_EQ(dc.CreateScaledCopy(0, 4, 0, 0), nullptr);
    EXPECT_EQ(dc.CreateScaledCopy(-4, 4, 0, 0), nullptr);
    EXPECT_EQ(dc.CreateScaledCopy(INT_MAX, INT_MAX, 0, 0), nullptr);
    EXPECT_EQ(dc.CreateSmoothScaledCopy(INT_MAX, 2, 0), nullptr);
    EXPECT_EQ(dc.CreateBicubicScale(0, 0, 0), nullptr);
    EXPECT_EQ(dc.CreateScaleDIV(0), nullptr);
    EXPECT_EQ(dc.CreateScaleDIV(-2), nullptr);
    // Dividing by more than the size leaves an empty (one-pixel) canvas.
    CRVDibDC* tiny = dc.CreateScaleDIV(INT_MAX);
    ASSERT_NE(tiny, nullptr);
    EXPECT_EQ(tiny->Width(), 0);
    delete tiny;
}
}  // namespace

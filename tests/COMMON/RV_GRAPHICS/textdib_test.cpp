// The glyph coverage bitmap: zero-filled rows of exactly the width, and sizes
// that cannot be held give an empty bitmap instead of a wild one.
#include "textdib.h"

#include <gtest/gtest.h>

#include <limits.h>

TEST(TextDIB, RowsAreTheWidthApartAndStartZeroed)
{
    CTextDIB dib(7, 3);
    EXPECT_EQ(dib.Width(), 7);
    EXPECT_EQ(dib.Height(), 3);
    for (int i = 0; i < 21; i++)
        EXPECT_EQ(dib.Bits()[i], 0);
    EXPECT_EQ(dib.Pixel(0, 0), dib.Bits());
    EXPECT_EQ(dib.Pixel(6, 2), dib.Bits() + 20);
    *dib.Pixel(3, 1) = 200;
    EXPECT_EQ(dib.Bits()[10], 200);
}

TEST(TextDIB, UnholdableSizesGiveAnEmptyBitmap)
{
    const struct
    {
        int w, h;
    } cases[] = {{-5, 4}, {4, -5}, {0, 10}, {INT_MAX, INT_MAX}, {40000, 1}, {20000, 20000}};
    for (const auto& c : cases) {
        CTextDIB dib(c.w, c.h);
        EXPECT_TRUE(dib.Width() == 0 || dib.Height() == 0) << c.w << " x " << c.h;
        EXPECT_NE(dib.Bits(), nullptr);
    }
}

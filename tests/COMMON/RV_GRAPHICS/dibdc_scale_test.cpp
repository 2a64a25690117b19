// Copies, mirrored copies, scaled copies and the percentage colour blend,
// checked against values worked out by hand.
#include "canvas_probe.h"
#include "dibdc.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
// A canvas of the given width and height whose pixels are given row by row.
std::unique_ptr<CRVDibDC> Make(int w, int h, const std::vector<uint32_t>& pixels, int attribs = 0)
{
    std::unique_ptr<CRVDibDC> dc(new CRVDibDC(w, h, 0, 0, 0, attribs));
    dc->Fill(0xEEEEEEEE);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            *dc->Pixel(x, y) = pixels[static_cast<size_t>(y * w + x)];
    return dc;
}

std::vector<uint32_t> Logical(CRVDibDC& dc)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < dc.DY(); y++)
        for (int x = 0; x < dc.Width(); x++)
            out.push_back(*dc.Pixel(x, y));
    return out;
}

TEST(DibDCScale, CreateCopyKeepsPixelsAndAttributes)
{
    auto src = Make(3, 2, {1, 2, 3, 4, 5, 6}, 0x200);
    std::unique_ptr<CRVDibDC> same(src->CreateCopy(-1));
    ASSERT_TRUE(same);
    EXPECT_EQ(same->Width(), 3);
    EXPECT_EQ(same->DY(), 2);
    EXPECT_EQ(same->Attribs(), 0x200);
    EXPECT_EQ(Logical(*same), Logical(*src));
    std::unique_ptr<CRVDibDC> other(src->CreateCopy(0x20000));
    EXPECT_EQ(other->Attribs(), 0x20000);
    EXPECT_EQ(Logical(*other), Logical(*src));
}

TEST(DibDCScale, CreateFlip)
{
    auto src = Make(3, 2, {1, 2, 3, 4, 5, 6});
    struct
    {
        int h, v;
        std::vector<uint32_t> want;
    } cases[] = {
        {1, 0, {3, 2, 1, 6, 5, 4}},
        {0, 1, {4, 5, 6, 1, 2, 3}},
        {1, 1, {6, 5, 4, 3, 2, 1}},
    };
    for (auto& c : cases) {
        std::unique_ptr<CRVDibDC> flip(src->CreateFlip(c.h, c.v));
        ASSERT_TRUE(flip);
        EXPECT_EQ(Logical(*flip), c.want) << c.h << c.v;
        EXPECT_EQ(flip->Attribs(), (int)CRVDibDC::ATTR_MEMORY_MARK);
    }
}

TEST(DibDCScale, NearestNeighbour)
{
    auto src = Make(2, 2, {1, 2, 3, 4});
    // Destination (i, j) takes source (i * 2 / 4, j * 2 / 3).
    std::unique_ptr<CRVDibDC> big(src->CreateScaledCopy(4, 3, 0, 99));
    ASSERT_TRUE(big);
    EXPECT_EQ(Logical(*big), (std::vector<uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4}));
    std::unique_ptr<CRVDibDC> same(src->CreateScaledCopy(2, 2, 0x200, 0));
    EXPECT_EQ(Logical(*same), Logical(*src));
}

TEST(DibDCScale, BilinearInHundredths)
{
    // 2 x 1 to 4 x 1: fractions 0, 50, 0, 50; the last column repeats itself.
    // Red 0 -> 100 gives 0, 50, 100, 100; green 0 -> 3 gives 0, 1 (1.5), 3, 3.
    auto src = Make(2, 1, {Px(0, 0, 9, 255), Px(100, 3, 9, 255)});
    std::unique_ptr<CRVDibDC> wide(src->CreateSmoothScaledCopy(4, 1, 0));
    ASSERT_TRUE(wide);
    EXPECT_EQ(Logical(*wide), (std::vector<uint32_t>{Px(0, 0, 9, 0), Px(50, 1, 9, 0), Px(100, 3, 9, 0),
                                                     Px(100, 3, 9, 0)}));
    // 1 x 2 to 1 x 3: rows at 0, 2/3 (fraction 66), 4/3 (row 1, repeated below).
    auto col = Make(1, 2, {Px(0, 0, 0, 0), Px(200, 0, 0, 0)});
    std::unique_ptr<CRVDibDC> tall(col->CreateSmoothScaledCopy(1, 3, 0));
    EXPECT_EQ(Logical(*tall), (std::vector<uint32_t>{Px(0, 0, 0, 0), Px(132, 0, 0, 0), Px(200, 0, 0, 0)}));
}

TEST(DibDCScale, AreaAverageWhenShrinkingByMoreThanHalf)
{
    // 4 x 1 to 2 x 1 (4 / 2 = 2 > 1): plain pairs, all four channels.
    auto four = Make(4, 1, {Px(10, 0, 0, 255), Px(20, 0, 0, 255), Px(30, 0, 0, 255), Px(41, 0, 0, 255)});
    std::unique_ptr<CRVDibDC> two(four->CreateSmoothScaledCopy(2, 1, 0));
    ASSERT_TRUE(two);
    EXPECT_EQ(Logical(*two), (std::vector<uint32_t>{Px(15, 0, 0, 255), Px(35, 0, 0, 255)}));

    // 5 x 1 to 2 x 1: spans [0, 640) and [640, 1280) in 1/256 pixels, so the
    // middle column weighs 128 in each: (10*256 + 20*256 + 100*128) / 640 = 32
    // and (100*128 + 50*256 + 7*256) / 640 = 42.8.
    auto five = Make(5, 1, {Px(10, 0, 0, 0), Px(20, 0, 0, 0), Px(100, 0, 0, 0), Px(50, 0, 0, 0), Px(7, 0, 0, 0)});
    std::unique_ptr<CRVDibDC> pair(five->CreateBicubicScale(2, 1, 0));
    EXPECT_EQ(Logical(*pair), (std::vector<uint32_t>{Px(32, 0, 0, 0), Px(42, 0, 0, 0)}));

    // 5 x 5 to 2 x 2 with only the centre pixel lit: it is the corner of each
    // destination pixel, weight 128 * 128 / 256 = 64 of 1600: 200 * 64 / 1600 = 8.
    std::vector<uint32_t> dark(25, 0);
    dark[12] = Px(200, 0, 0, 0);
    auto square = Make(5, 5, dark);
    std::unique_ptr<CRVDibDC> quarter(square->CreateSmoothScaledCopy(2, 2, 0));
    EXPECT_EQ(Logical(*quarter), std::vector<uint32_t>(4, Px(8, 0, 0, 0)));
    EXPECT_EQ(square->GetBicubicRGB(2, 0, 2, 2), 0u);   // outside the destination
}

TEST(DibDCScale, ScaleDivAveragesBlocks)
{
    auto src = Make(5, 3, {Px(1, 0, 0, 255), Px(2, 0, 0, 255), Px(3, 8, 0, 255), Px(4, 8, 0, 255), 99,
                           Px(5, 0, 0, 255), Px(6, 0, 0, 255), Px(7, 8, 0, 0), Px(9, 9, 0, 0), 99,
                           99, 99, 99, 99, 99});
    std::unique_ptr<CRVDibDC> half(src->CreateScaleDIV(2));
    ASSERT_TRUE(half);
    EXPECT_EQ(half->Width(), 2);
    EXPECT_EQ(half->DY(), 1);
    // (1+2+5+6)/4 = 3; (3+4+7+9)/4 = 5; green 33/4 = 8; alpha 510/4 = 127.
    EXPECT_EQ(Logical(*half), (std::vector<uint32_t>{Px(3, 0, 0, 255), Px(5, 8, 0, 127)}));
}

TEST(DibDCScale, BlendPCT)
{
    const uint32_t a = Px(200, 100, 0, 255);
    const uint32_t b = Px(0, 50, 255, 0);
    EXPECT_EQ(CRVDC::BlendPCT(a, b, 0), Px(200, 100, 0, 0));
    EXPECT_EQ(CRVDC::BlendPCT(a, b, 100), Px(0, 50, 255, 0));
    // 200*70/100 = 140; (7000 + 1500)/100 = 85; 255*30/100 = 76.5.
    EXPECT_EQ(CRVDC::BlendPCT(a, b, 30), Px(140, 85, 76, 0));
    EXPECT_EQ(CRVDC::BlendPCT(a, b, 150), Px(0, 50, 255, 0));
    EXPECT_EQ(CRVDC::BlendPCT(a, b, -20), Px(200, 100, 0, 0));
}
}  // namespace

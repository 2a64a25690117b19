// The alpha canvas: construction, premultiplication and the four-channel blend
// with their divide-by-256 arithmetic (expected bytes worked out by hand), the
// copies and the alpha flags they carry, and sizes no canvas can have.
#include "canvas_probe.h"
#include "dibdc.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace
{
const uint32_t kMark = 0x5A5A5A5A;

std::unique_ptr<CAlphaDIB> AsAlpha(CRVDibDC* p)
{
    EXPECT_NE(p, nullptr);
    EXPECT_TRUE(p == nullptr || p->AlphaDIB() == p) << "copy is not an alpha canvas";
    return std::unique_ptr<CAlphaDIB>(static_cast<CAlphaDIB*>(p));
}

TEST(AlphaDIB, ConstructionAndRecognition)
{
    CAlphaDIB blank(5, 3, 7, 9, 123, CAlphaDIB::ALPHA_PREMULTIPLIED);
    ASSERT_TRUE(blank.IsValid());
    EXPECT_EQ(blank.DX(), 8);
    EXPECT_EQ(blank.DY(), 3);
    EXPECT_EQ(blank.Attribs(), 0);
    EXPECT_EQ(blank.AlphaDIB(), &blank);
    EXPECT_EQ(blank.AlphaFlags(), CAlphaDIB::ALPHA_PREMULTIPLIED);
    for (uint32_t p : AllPixels(blank))
        EXPECT_EQ(p, 0u);   // an empty premultiplied image, pitch columns included
    EXPECT_EQ(blank.Position().x, 7);
    EXPECT_EQ(blank.Position().y, 9);

    CRVDibDC plain(5, 3, 0, 0, 0, 0);
    EXPECT_EQ(plain.AlphaDIB(), nullptr);

    // FillRect writes the colour as given, premultiplied canvas or not.
    blank.SetOrigin(8, 10);
    blank.FillRect(0x80FFFFFF, 0, 0, 1, 1);
    EXPECT_EQ(*blank.Pixel(1, 1), 0x80FFFFFFu);
}

TEST(AlphaDIB, PreMultDividesBy256)
{
    struct Case { uint32_t in, out; } cases[] = {
        {Px(200, 100, 50, 128), Px(100, 50, 25, 128)},
        {Px(255, 255, 255, 255), Px(254, 254, 254, 255)},   // 65025 / 256 = 254.0
        {Px(255, 0, 1, 0), Px(0, 0, 0, 0)},
        {Px(10, 20, 30, 1), Px(0, 0, 0, 1)},
        {Px(255, 128, 3, 2), Px(1, 1, 0, 2)},               // 510/256, 256/256, 6/256
        {Px(77, 154, 231, 200), Px(60, 120, 180, 200)},     // 15400, 30800, 46200 / 256
        {Px(1, 255, 128, 129), Px(0, 128, 64, 129)},        // 32895/256 = 128.5, 16512/256 = 64.5
    };
    const int n = sizeof(cases) / sizeof(cases[0]);
    // Seven pixels in a row: four at a time and a tail of three.
    CAlphaDIB dc(n, 1, 0, 0, 0, 0);
    for (int i = 0; i < n; i++)
        *dc.Pixel(i, 0) = cases[i].in;
    *dc.Pixel(n, 0) = kMark;    // pitch column: not part of the image
    EXPECT_EQ(dc.MakePreMult(), 1);
    EXPECT_EQ(dc.AlphaFlags() & CAlphaDIB::ALPHA_PREMULTIPLIED, CAlphaDIB::ALPHA_PREMULTIPLIED);
    for (int i = 0; i < n; i++)
        EXPECT_EQ(*dc.Pixel(i, 0), cases[i].out) << "case " << i;
    EXPECT_EQ(*dc.Pixel(n, 0), kMark);

    // Once only.
    EXPECT_EQ(dc.MakePreMult(), 1);
    EXPECT_EQ(*dc.Pixel(0, 0), Px(100, 50, 25, 128));
}

TEST(AlphaDIB, PreMultCoversTheRequestedHeightOnly)
{
    CAlphaDIB src(4, 2, 0, 0, 0, 0);
    src.Fill(Px(255, 255, 255, 128));
    // A copy with a guard row: requested height 2, allocated 3.
    std::unique_ptr<CAlphaDIB> dc = AsAlpha(src.CreateCopy(static_cast<int>(CRVDibDC::ATTR_GUARD)));
    ASSERT_EQ(dc->Height(), 2);
    ASSERT_EQ(dc->DY(), 3);
    for (int x = 0; x < dc->DX(); x++)
        *dc->Pixel(x, 2) = kMark;
    dc->MakePreMult();
    EXPECT_EQ(*dc->Pixel(3, 1), Px(127, 127, 127, 128));
    for (int x = 0; x < dc->DX(); x++)
        EXPECT_EQ(*dc->Pixel(x, 2), kMark);
}

TEST(AlphaDIB, FillRectAlphaBlendsAllFourChannels)
{
    // Each channel becomes c m / 256 + p (255 - m) / 256, quotients truncated.
    struct Case { uint32_t c, p; int m; uint32_t out; } cases[] = {
        {255, 0, 128, 127},
        {255, 255, 128, 253},   // 127 + 32385/256 = 127 + 126
        {0, 255, 0, 254},       // alpha 0 still loses a step: 65025/256
        {0, 100, 0, 99},
        {255, 0, 255, 254},
        {100, 7, 255, 99},
        {200, 40, 64, 79},      // 12800/256 = 50, 7640/256 = 29
        {13, 250, 1, 248},      // 0 + 63500/256
        {255, 255, 254, 253},   // 64770/256 = 253, 255/256 = 0
        {0, 255, -7, 254},      // below 0 counts as 0
        {100, 7, 300, 99},      // above 255 counts as 255
    };
    for (const Case& k : cases) {
        auto all = [](uint32_t v) { return v * 0x01010101u; };
        // Nine pixels: two groups of four and a tail.
        CAlphaDIB dc(9, 2, 0, 0, 0, 0);
        dc.Fill(all(k.p));
        dc.FillRectAlpha(CRVRect(0, 0, 9, 1), all(k.c), k.m);
        for (int x = 0; x < 9; x++) {
            EXPECT_EQ(*dc.Pixel(x, 0), all(k.out)) << "c " << k.c << " p " << k.p << " m " << k.m << " x " << x;
            EXPECT_EQ(*dc.Pixel(x, 1), all(k.p));
        }
    }

    // Channels are independent: p = (0, 255, 100, 40), c = (255, 0, 0, 200), m = 64.
    CAlphaDIB dc(1, 1, 0, 0, 0, 0);
    *dc.Pixel(0, 0) = Px(0, 255, 100, 40);
    dc.FillRectAlpha(CRVRect(0, 0, 1, 1), Px(255, 0, 0, 200), 64);
    EXPECT_EQ(*dc.Pixel(0, 0), Px(63, 190, 74, 79));
}

TEST(AlphaDIB, FillRectAlphaHonoursOriginAndClip)
{
    CAlphaDIB dc(6, 6, 0, 0, 0, 0);
    dc.Fill(0);
    dc.SetOrigin(2, 3);
    dc.FillRectAlpha(CRVRect(-1, -1, 100, 2), 0xFFFFFFFF, 128);   // rows 2 and 3 from column 1
    const uint32_t ink = 0x7F7F7F7F;
    for (int y = 0; y < dc.DY(); y++)
        for (int x = 0; x < dc.DX(); x++) {
            bool inside = x >= 1 && x < 6 && y >= 2 && y <= 3;
            EXPECT_EQ(*dc.Pixel(x, y), inside ? ink : 0u) << x << "," << y;
        }
    dc.FillRectAlpha(CRVRect(100, 100, 5, 5), 0xFFFFFFFF, 128);   // entirely outside
    EXPECT_EQ(*dc.Pixel(5, 5), 0u);
}

TEST(AlphaDIB, CopiesAreAlphaCanvasesWithTheirFlags)
{
    CAlphaDIB src(4, 4, 0, 0, 0, CAlphaDIB::ALPHA_PREMULTIPLIED);
    Number(src);
    const int kPre = CAlphaDIB::ALPHA_PREMULTIPLIED;
    struct Case { const char* what; CRVDibDC* copy; int flags; } cases[] = {
        {"copy", src.CreateCopy(-1), kPre},
        {"mirror columns", src.CreateFlip(1, 0), kPre},
        {"mirror rows", src.CreateFlip(0, 1), kPre},
        {"half turn", src.CreateFlip(1, 1), 0},
        {"scaled", src.CreateScaledCopy(8, 2, -1, 0), 0},
        {"scaled to the same size", src.CreateScaledCopy(4, 4, -1, 0), 0},
        {"divided", src.CreateScaleDIV(2), 0},
        {"smooth, bilinear", src.CreateSmoothScaledCopy(6, 6, -1), kPre},
        {"smooth, area average", src.CreateSmoothScaledCopy(1, 1, -1), kPre},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CAlphaDIB> p = AsAlpha(c.copy);
        if (p) {
            EXPECT_EQ(p->AlphaFlags(), c.flags) << c.what;
        }
    }
    std::unique_ptr<CAlphaDIB> copy = AsAlpha(src.CreateCopy(-1));
    std::unique_ptr<CAlphaDIB> turned = AsAlpha(src.CreateFlip(1, 1));
    EXPECT_EQ(*copy->Pixel(1, 2), *src.Pixel(1, 2));
    EXPECT_EQ(*turned->Pixel(0, 0), *src.Pixel(3, 3));
}

TEST(AlphaDIB, SmoothScaleWeighsIn128ths)
{
    // Three pixels to seven: output pixel 2 takes source column 0 and 1 with
    // fraction 768/7 = 109 in 128ths: 255 * 109 * 128 / 16384 = 217. The plain
    // canvas weighs in hundredths (85): 255 * 85 / 100 = 216.
    const uint32_t row[3] = {Px(0, 0, 0, 0), Px(255, 255, 255, 255), Px(255, 255, 255, 255)};
    CAlphaDIB alpha(3, 1, 0, 0, 0, 0);
    CRVDibDC plain(3, 1, 0, 0, 0, 0);
    for (int i = 0; i < 3; i++)
        *alpha.Pixel(i, 0) = *plain.Pixel(i, 0) = row[i];
    std::unique_ptr<CAlphaDIB> a = AsAlpha(alpha.CreateSmoothScaledCopy(7, 1, -1));
    std::unique_ptr<CRVDibDC> b(plain.CreateSmoothScaledCopy(7, 1, -1));
    ASSERT_TRUE(a && b);
    EXPECT_EQ(*a->Pixel(2, 0), Px(217, 217, 217, 0));   // alpha byte 0
    EXPECT_EQ(*b->Pixel(2, 0), Px(216, 216, 216, 0));
    EXPECT_EQ(*a->Pixel(0, 0), 0u);
    EXPECT_EQ(*a->Pixel(6, 0), Px(255, 255, 255, 0));
}

TEST(AlphaDIB, ImpossibleSizesGiveAnEmptyCanvas)
{
    // Too large for any canvas: no pixels at all. Negative: zero wide.
    struct Size { int w, h; bool valid; } sizes[] = {
        {40000, 10, false}, {20000, 20000, false}, {INT_MAX, 1, false}, {1, INT_MAX, false},
        {-5, 10, true}, {10, -1, true}, {INT_MIN, INT_MIN, true},
    };
    for (const Size& s : sizes) {
        for (int flags : {0, static_cast<int>(CAlphaDIB::ALPHA_PREMULTIPLIED)}) {
            CAlphaDIB dc(s.w, s.h, 0, 0, 0, flags);
            EXPECT_EQ(dc.IsValid() != 0, s.valid) << s.w << " x " << s.h;
            EXPECT_TRUE(dc.Width() == 0 || dc.Height() == 0) << s.w << " x " << s.h;
            EXPECT_EQ(dc.MakePreMult(), 1);
            dc.FillRectAlpha(CRVRect(0, 0, 10, 10), 0xFFFFFFFF, 100);
            dc.CreateHalo(20, 20, 0xFF, 0xFF, 0xF, 200, 0, 1);
            std::unique_ptr<CRVDibDC> copy(dc.CreateCopy(-1));
            std::unique_ptr<CRVDibDC> scaled(dc.CreateSmoothScaledCopy(2, 2, -1));
            EXPECT_EQ(copy != nullptr, s.valid);
            EXPECT_EQ(scaled != nullptr, s.valid);
        }
    }
    // Copies to impossible sizes fail as well.
    CAlphaDIB dc(4, 4, 0, 0, 0, 0);
    EXPECT_EQ(dc.CreateScaledCopy(INT_MAX, INT_MAX, -1, 0), nullptr);
    EXPECT_EQ(dc.CreateSmoothScaledCopy(100000, 1, -1), nullptr);
    EXPECT_EQ(dc.CreateSmoothScaledCopy(0, 5, -1), nullptr);
    EXPECT_EQ(dc.CreateScaleDIV(0), nullptr);
}
}  // namespace

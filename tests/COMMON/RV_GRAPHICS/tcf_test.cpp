// Decoder of the compressed image format, fed with streams written by hand
// from the code table (never by the encoder): every operation with its
// pixels, the header checks, bad indexes, output past the last row, and every
// truncation of valid streams.
#include "tcf.h"

#include <gtest/gtest.h>

#include <stdint.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace
{
const uint32_t kUntouched = 0x5A5A5A5A;

// Palette entry i of the hand-built images: distinct for every i.
uint32_t Pal(unsigned i) { return 0xC0000000u + i; }

// Code bytes from 4-bit units, high half first; an odd count leaves a 0 low half.
std::vector<uint8_t> N(std::initializer_list<int> nibbles)
{
    std::vector<uint8_t> out;
    int k = 0;
    for (int v : nibbles) {
        if (k++ % 2 == 0)
            out.push_back(static_cast<uint8_t>(v << 4));
        else
            out.back() |= static_cast<uint8_t>(v);
    }
    return out;
}

// Header (reserved 1), palette Pal(0) .. Pal(colours - 1), then the code bytes.
std::vector<uint8_t> Image(int w, int h, unsigned colours, const std::vector<uint8_t>& code)
{
    std::vector<uint8_t> b = {uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 1, 0,
                              uint8_t(colours), uint8_t(colours >> 8)};
    for (unsigned i = 0; i < colours; i++)
        for (int s = 0; s < 32; s += 8)
            b.push_back(static_cast<uint8_t>(Pal(i) >> s));
    b.insert(b.end(), code.begin(), code.end());
    return b;
}

// Destination of w x h pixels at a pitch of w rounded up to 4, plus two rows
// below: columns from the width on and the extra rows must never be written.
struct Dest
{
    int w, h, pitch;
    std::vector<uint32_t> px;

    Dest(int iWidth, int iHeight)
        : w(iWidth), h(iHeight), pitch((iWidth + 3) / 4 * 4),
          px(static_cast<size_t>(pitch) * (iHeight + 2), kUntouched)
    {
    }
    int Decode(const std::vector<uint8_t>& bytes, int iPitch = 0)
    {
        RVT_COMPRESSED_IMAGE image{bytes.data(), static_cast<uint32_t>(bytes.size())};
        return CTAVOImageFormat::DecompressImage(px.data(), iPitch ? iPitch : pitch, &image);
    }
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * pitch + x]; }
    // Palette index of every pixel of the image, -1 where untouched.
    std::vector<int> Indexes() const
    {
        std::vector<int> out;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                out.push_back(At(x, y) == kUntouched ? -1 : static_cast<int>(At(x, y) - Pal(0)));
        return out;
    }
    bool OutsideUntouched() const
    {
        for (int y = 0; y < h + 2; y++)
            for (int x = 0; x < pitch; x++)
                if ((x >= w || y >= h) && At(x, y) != kUntouched)
                    return false;
        return true;
    }
    bool AllUntouched() const
    {
        for (uint32_t p : px)
            if (p != kUntouched)
                return false;
        return true;
    }
};

struct CodeCase
{
    const char* what;
    int w, h;
    unsigned colours;
    std::vector<uint8_t> code;
    std::vector<int> expected;  // palette index per pixel, -1 untouched
};

TEST(TCFDecode, EachCodeOfTheTable)
{
    const CodeCase cases[] = {
        {"op 0: run, 4-bit count, 4-bit index", 4, 1, 3, N({0, 3, 2, 15}), {2, 2, 2, -1}},
        {"op 1: run, 8-bit index", 4, 1, 34, N({1, 4, 2, 1, 15}), {33, 33, 33, 33}},
        {"op 2: run, 12-bit index", 2, 1, 292, N({2, 2, 1, 2, 3, 15}), {291, 291}},
        {"op 3: run of 17 crossing rows, 8-bit count", 5, 4, 6, N({3, 1, 1, 5, 15}),
         {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, -1, -1, -1}},
        {"op 4: run, 8-bit count, 12-bit index", 18, 1, 2749, N({4, 1, 2, 10, 11, 12, 15}),
         std::vector<int>(18, 2748)},
        {"op 4: 12-bit index that would fit in 8 bits", 3, 1, 8, N({4, 0, 3, 0, 0, 7, 15}), {7, 7, 7}},
        {"op 5: one 4-bit delta", 1, 1, 8, N({5, 7, 15}), {7}},
        {"op 6: two 4-bit deltas", 2, 1, 3, N({6, 1, 2, 15}), {1, 2}},
        {"op 7: one 8-bit delta, starting in a low half", 1, 1, 43, N({7, 2, 10, 15}), {42}},
        {"op 8: two 8-bit deltas", 2, 1, 64, N({8, 1, 0, 3, 15, 15}), {16, 63}},
        {"op 9: n 4-bit deltas", 3, 1, 4, N({9, 3, 1, 2, 3, 15}), {1, 2, 3}},
        {"op 9: n = 0 writes nothing", 1, 1, 1, N({9, 0, 15}), {-1}},
        {"op 10: n 8-bit deltas", 2, 1, 50, N({10, 2, 2, 0, 3, 1, 15}), {32, 49}},
        {"op 11: 8-bit n, 8-bit deltas", 4, 4, 32,
         N({11, 1, 0, 1, 0, 1, 1, 1, 2, 1, 3, 1, 4, 1, 5, 1, 6, 1, 7,
            1, 8, 1, 9, 1, 10, 1, 11, 1, 12, 1, 13, 1, 14, 1, 15, 15}),
         {16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}},
        {"op 13 sets the base for literals, not for runs; op 12 resets it", 3, 1, 24,
         N({13, 1, 4, 5, 3, 0, 1, 3, 12, 5, 3, 15}), {23, 3, 3}},
        {"op 14: 12-bit base plus an 8-bit delta", 2, 1, 512, N({14, 1, 0, 0, 7, 15, 15, 5, 1, 15}), {511, 257}},
        {"op 14 at the highest base and delta", 1, 1, 4351, N({14, 15, 15, 15, 7, 15, 15, 15}), {4350}},
        {"op 15 before the image is complete leaves the rest", 2, 2, 1, N({0, 1, 0, 15}), {0, -1, -1, -1}},
        {"a run of count 0 writes nothing", 2, 1, 2, N({0, 0, 1, 0, 1, 0, 15}), {0, -1}},
        {"literals then a run continue across the row end", 4, 3, 2, N({9, 3, 0, 0, 0, 0, 6, 1, 15}),
         {0, 0, 0, 1, 1, 1, 1, 1, 1, -1, -1, -1}},
        {"the literal base survives runs and literal groups", 3, 1, 30,
         N({13, 1, 4, 5, 0, 0, 1, 0, 5, 1, 15}), {20, 0, 21}},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        Dest d(c.w, c.h);
        ASSERT_EQ(d.Decode(Image(c.w, c.h, c.colours, c.code)), 1);
        EXPECT_EQ(d.Indexes(), c.expected);
        EXPECT_TRUE(d.OutsideUntouched());
    }
}

TEST(TCFDecode, OnePixelFromTheSmallestStream)
{
    // Header 1 x 1, reserved 1, one palette entry, then op 5 delta 0 and the end.
    const std::vector<uint8_t> bytes = {1, 0, 1, 0, 1, 0, 1, 0, 0x11, 0x22, 0x33, 0x44, 0x50, 0xF0};
    Dest d(1, 1);
    ASSERT_EQ(d.Decode(bytes), 1);
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&d.px[0]);
    EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0x44}));
}

TEST(TCFDecode, ImageSizeFromTheHeader)
{
    struct
    {
        const char* what;
        std::vector<uint8_t> bytes;
        int cx, cy;
    } cases[] = {
        {"valid", Image(300, 7, 2, N({15})), 300, 7},
        {"largest sides", Image(4096, 4096, 0, N({15})), 4096, 4096},
        {"7 bytes", {1, 0, 1, 0, 1, 0, 0}, 0, 0},
        {"width 0", Image(0, 5, 1, N({15})), 0, 0},
        {"height 4097", Image(5, 4097, 1, N({15})), 0, 0},
        {"width 65535", Image(65535, 65535, 1, N({15})), 0, 0},
        {"palette past the end", {4, 0, 4, 0, 1, 0, 3, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RVT_COMPRESSED_IMAGE image{c.bytes.data(), static_cast<uint32_t>(c.bytes.size())};
        SIZE s = CTAVOImageFormat::ExtractImageSize(&image);
        EXPECT_EQ(s.cx, c.cx);
        EXPECT_EQ(s.cy, c.cy);
    }
    EXPECT_EQ(CTAVOImageFormat::ExtractImageSize(nullptr).cx, 0);
}

struct BadCase
{
    const char* what;
    int w, h;  // destination
    std::vector<uint8_t> bytes;
    int pitch;             // 0: the destination's
    bool nothingWritten;   // checks that fail before the first pixel
};

TEST(TCFDecode, BadStreamsFailCleanly)
{
    const BadCase cases[] = {
        {"7 bytes", 1, 1, {1, 0, 1, 0, 1, 0, 1}, 0, true},
        {"width 0", 1, 1, Image(0, 1, 1, N({5, 0, 15})), 0, true},
        {"width 4097", 1, 1, Image(4097, 1, 1, N({5, 0, 15})), 4100, true},
        {"height 0", 1, 1, Image(1, 0, 1, N({5, 0, 15})), 0, true},
        {"height 4097", 1, 1, Image(1, 4097, 1, N({5, 0, 15})), 0, true},
        {"pitch below the width", 4, 2, Image(4, 2, 1, N({0, 8, 0, 15})), 3, true},
        {"palette count past the data", 1, 1, {1, 0, 1, 0, 1, 0, 2, 0, 1, 2, 3, 4, 0x50, 0xF0}, 0, true},
        {"no code stream at all", 1, 1, Image(1, 1, 1, {}), 0, true},
        {"run index equal to the palette count", 2, 1, Image(2, 1, 3, N({0, 2, 3, 15})), 0, true},
        {"run of count 0 with index equal to the count", 2, 1, Image(2, 1, 3, N({0, 0, 3, 15})), 0, true},
        {"12-bit run index past the palette", 2, 1, Image(2, 1, 3, N({2, 2, 15, 15, 15, 15})), 0, true},
        {"empty palette", 1, 1, Image(1, 1, 0, N({5, 0, 15})), 0, true},
        {"literal base + delta equal to the count", 1, 1, Image(1, 1, 24, N({13, 1, 4, 5, 4, 15})), 0, true},
        {"literal past the palette after good ones", 3, 1, Image(3, 1, 4, N({9, 3, 1, 2, 4, 15})), 0, false},
        {"run past the last row", 2, 2, Image(2, 2, 1, N({0, 5, 0, 15})), 0, true},
        {"run past the last row after a full image", 2, 1, Image(2, 1, 1, N({0, 2, 0, 0, 1, 0, 15})), 0, false},
        {"literal group past the last row", 1, 1, Image(1, 1, 2, N({6, 0, 1, 15})), 0, true},
        {"op 11 announcing more deltas than the data holds", 4, 4, Image(4, 4, 2, N({11, 0, 3, 0, 0})), 0, true},
        {"missing end code after a full image", 2, 1, Image(2, 1, 1, N({0, 2, 0})), 0, false},
        {"operand cut by the end of the data", 2, 1, Image(2, 1, 300, N({4, 0, 2, 0})), 0, true},
    };
    for (const BadCase& c : cases) {
        SCOPED_TRACE(c.what);
        Dest d(c.w, c.h);
        EXPECT_EQ(d.Decode(c.bytes, c.pitch), 0);
        EXPECT_TRUE(d.OutsideUntouched());
        if (c.nothingWritten) {
            EXPECT_TRUE(d.AllUntouched());
        }
    }
    Dest d(1, 1);
    RVT_COMPRESSED_IMAGE image{nullptr, 100};
    EXPECT_EQ(CTAVOImageFormat::DecompressImage(d.px.data(), 4, &image), 0);
    EXPECT_EQ(CTAVOImageFormat::DecompressImage(d.px.data(), 4, nullptr), 0);
    std::vector<uint8_t> good = Image(1, 1, 1, N({5, 0, 15}));
    RVT_COMPRESSED_IMAGE goodImage{good.data(), static_cast<uint32_t>(good.size())};
    EXPECT_EQ(CTAVOImageFormat::DecompressImage(nullptr, 4, &goodImage), 0);
}

// Every prefix of a valid stream lacks its end code, so each must fail; what a
// failed decode wrote is a prefix of the full image, and nothing lands
// outside it.
void ExpectEveryTruncationFails(const std::vector<uint8_t>& bytes)
{
    SIZE s;
    RVT_COMPRESSED_IMAGE image{bytes.data(), static_cast<uint32_t>(bytes.size())};
    s = CTAVOImageFormat::ExtractImageSize(&image);
    ASSERT_GT(s.cx, 0);
    Dest full(s.cx, s.cy);
    ASSERT_EQ(full.Decode(bytes), 1);
    for (size_t n = 0; n < bytes.size(); n++) {
        SCOPED_TRACE("first " + std::to_string(n) + " of " + std::to_string(bytes.size()) + " bytes");
        Dest d(s.cx, s.cy);
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(n));
        ASSERT_EQ(d.Decode(cut), 0);
        ASSERT_TRUE(d.OutsideUntouched());
        for (size_t i = 0; i < d.px.size(); i++)
            ASSERT_TRUE(d.px[i] == kUntouched || d.px[i] == full.px[i]) << "pixel " << i;
    }
}

TEST(TCFDecode, EveryTruncationOfAStreamWithEveryCodeFails)
{
    // 8 x 4 image, 300 colours; one code of each kind.
    const std::vector<uint8_t> code = N({
        13, 1, 4,             // base 20
        5, 3,                 // 23
        0, 2, 3,              // run 2 of 3
        1, 2, 1, 0,           // run 2 of 16
        2, 1, 1, 2, 11,       // run 1 of 299
        3, 0, 3, 5,           // run 3 of 5
        4, 0, 2, 1, 2, 11,    // run 2 of 299
        6, 1, 2,              // 21, 22
        7, 15, 15,            // 275
        8, 0, 1, 0, 2,        // 21, 22
        9, 3, 0, 1, 2,        // 20, 21, 22
        10, 2, 1, 0, 2, 0,    // 36, 52
        11, 0, 2, 0, 0, 0, 1, // 20, 21
        12,                   // base 0
        14, 0, 15, 15,        // base 255
        5, 1,                 // 256
        0, 7, 0,              // run 7 of 0, one pixel short of the image
        15});
    const std::vector<uint8_t> bytes = Image(8, 4, 300, code);
    Dest d(8, 4);
    ASSERT_EQ(d.Decode(bytes), 1);
    const std::vector<int> expected = {23, 3, 3, 16, 16, 299, 5, 5, 5, 299, 299, 21, 22, 275, 21, 22,
                                       20, 21, 22, 36, 52, 20, 21, 256, 0, 0, 0, 0, 0, 0, 0, -1};
    EXPECT_EQ(d.Indexes(), expected);
    ExpectEveryTruncationFails(bytes);
}
}  // namespace

// Encoder of the compressed image format: exact bytes of small images, the
// palette order, transparent pixels, and round trips (encode, then decode into
// a canvas) of user-interface art, photos, gradients, odd sizes and images at
// and beyond the number of colours the codes can reach.
#include "dibdc.h"
#include "tcf.h"
#include "ui_art.h"

#include <gtest/gtest.h>
#include <png.h>

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

namespace
{
const uint32_t kUntouched = 0x5A5A5A5A;

struct PIXELS
{
    int w = 0, h = 0;
    std::vector<uint32_t> px;  // canvas byte order, rows without padding
};

PIXELS LoadPNG(const char* pszName)
{
    PIXELS out;
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::string path = std::string(ZV_TESTDATA_DIR) + "/images/" + pszName;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return out;
    image.format = PNG_FORMAT_RGBA;
    out.px.resize(PNG_IMAGE_SIZE(image) / 4);
    if (!png_image_finish_read(&image, nullptr, out.px.data(), 0, nullptr))
        return PIXELS();
    out.w = static_cast<int>(image.width);
    out.h = static_cast<int>(image.height);
    return out;
}

PIXELS Crop(const PIXELS& p, int x0, int y0, int w, int h)
{
    PIXELS out{w, h, {}};
    for (int y = y0; y < y0 + h; y++)
        out.px.insert(out.px.end(), p.px.begin() + y * p.w + x0, p.px.begin() + y * p.w + x0 + w);
    return out;
}

size_t Colours(const std::vector<uint32_t>& px) { return std::unordered_set<uint32_t>(px.begin(), px.end()).size(); }

std::vector<uint8_t> Encode(const PIXELS& p, int bClear = 0, int iPitch = 0)
{
    RVT_COMPRESSED_IMAGE image;
    std::vector<uint8_t> out;
    if (CTAVOImageFormat::CompressImage(p.px.data(), p.w, p.h, iPitch ? iPitch : p.w, bClear, &image)) {
        out.assign(image.data, image.data + image.size);
        CTAVOImageFormat::FreeImage(&image);
    }
    return out;
}

// Decodes into a fresh canvas of the header's size (pitch DX); checks that the
// pitch columns were left alone and returns the image's pixels.
PIXELS DecodeToCanvas(const std::vector<uint8_t>& bytes)
{
    RVT_COMPRESSED_IMAGE image{bytes.data(), static_cast<uint32_t>(bytes.size())};
    SIZE s = CTAVOImageFormat::ExtractImageSize(&image);
    CRVDibDC dc(s.cx, s.cy, 0, 0, 0, 0);
    dc.Fill(kUntouched);
    PIXELS out;
    if (!s.cx || !CTAVOImageFormat::DecompressImage(dc.Bits(), dc.DX(), &image))
        return out;
    out.w = s.cx, out.h = s.cy;
    for (int y = 0; y < s.cy; y++) {
        for (int x = 0; x < dc.DX(); x++) {
            if (x < s.cx)
                out.px.push_back(*dc.Pixel(x, y));
            else
                EXPECT_EQ(*dc.Pixel(x, y), kUntouched) << "pitch column " << x << " of row " << y;
        }
    }
    return out;
}

uint32_t Rgb(int r, int g, int b) { return ui_art::Rgba(r & 255, g & 255, b & 255); }

PIXELS Make(int w, int h, uint32_t (*f)(int x, int y))
{
    PIXELS p{w, h, {}};
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            p.px.push_back(f(x, y));
    return p;
}

// n distinct colours: colour i is Rgb of its three bytes.
uint32_t Nth(int i) { return ui_art::Rgba(i & 255, (i >> 8) & 255, 77); }

TEST(TCFEncode, ExactBytesOfSmallImages)
{
    // 1 x 1: one palette entry, op 5 with delta 0, then the end code.
    PIXELS one{1, 1, {0x44332211}};
    EXPECT_EQ(Encode(one), (std::vector<uint8_t>{1, 0, 1, 0, 1, 0, 1, 0, 0x11, 0x22, 0x33, 0x44, 0x50, 0xF0}));

    // 300 equal pixels: runs of 255 and 45, both op 3 with index 0; end in a high half.
    PIXELS flat{300, 1, std::vector<uint32_t>(300, 0x01020304)};
    EXPECT_EQ(Encode(flat), (std::vector<uint8_t>{0x2C, 0x01, 1, 0, 1, 0, 1, 0, 0x04, 0x03, 0x02, 0x01,
                                                  0x3F, 0xF0, 0x32, 0xD0, 0xF0}));

    // Runs cross row ends: 2 x 3 of A A / A B / B B is the runs A x 3, B x 3 (op 0).
    const uint32_t A = 0xFF0000AA, B = 0xFF0000BB;
    PIXELS rows{2, 3, {A, A, A, B, B, B}};
    EXPECT_EQ(Encode(rows), (std::vector<uint8_t>{2, 0, 3, 0, 1, 0, 2, 0, 0xAA, 0, 0, 0xFF, 0xBB, 0, 0, 0xFF,
                                                  0x03, 0x00, 0x31, 0xF0}));
}

TEST(TCFEncode, PaletteStartsWithTheValueOfMostRuns)
{
    // Runs: A 3 times, B twice, C once (C has the most pixels).
    const uint32_t A = 0xFF00000A, B = 0xFF00000B, C = 0xFF00000C;
    PIXELS p{9, 1, {C, C, C, A, B, A, B, A, C}};
    std::vector<uint8_t> bytes = Encode(p);
    ASSERT_GE(bytes.size(), 8u + 12u);
    EXPECT_EQ(bytes[6], 3);
    uint32_t pal[3];
    memcpy(pal, &bytes[8], 12);
    EXPECT_EQ(std::vector<uint32_t>(pal, pal + 3), (std::vector<uint32_t>{A, B, C}))
        << "B and C both carry two runs; equal counts go in value order";
}

TEST(TCFEncode, ClearTransparentMergesInvisiblePixels)
{
    PIXELS p{4, 1, {0x00123456, 0x00FFFFFF, 0x80102030, 0x00000001}};
    PIXELS cleared = DecodeToCanvas(Encode(p, 1));
    EXPECT_EQ(cleared.px, (std::vector<uint32_t>{0, 0, 0x80102030, 0}));
    EXPECT_EQ(DecodeToCanvas(Encode(p, 0)).px, p.px);

    // The RGBA entry point gives the same bytes as the canvas one.
    std::vector<uint8_t> viaRGBA;
    ASSERT_EQ(CompressRGBA(reinterpret_cast<const uint8_t*>(p.px.data()), 4, 1, TCF_CLEAR_TRANSPARENT, &viaRGBA), 1);
    EXPECT_EQ(viaRGBA, Encode(p, 1));
}

TEST(TCFEncode, RefusesBadArguments)
{
    std::vector<uint32_t> px(16, 1);
    RVT_COMPRESSED_IMAGE image{reinterpret_cast<const uint8_t*>(1), 7};
    struct
    {
        const uint32_t* bits;
        int w, h, pitch;
    } cases[] = {{px.data(), 0, 1, 1}, {px.data(), 1, 0, 1}, {px.data(), 4097, 1, 4097},
                 {px.data(), 1, 4097, 1}, {px.data(), 4, 2, 3}, {nullptr, 1, 1, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(CTAVOImageFormat::CompressImage(c.bits, c.w, c.h, c.pitch, 0, &image), 0);
        EXPECT_EQ(image.data, nullptr);
        EXPECT_EQ(image.size, 0u);
    }
    std::vector<uint8_t> out(3);
    EXPECT_EQ(CompressRGBA(nullptr, 1, 1, 0, &out), 0);
    EXPECT_TRUE(out.empty());
}

struct RoundTrip
{
    std::string what;
    PIXELS image;
};

TEST(TCFRoundTrip, ImagesOfEveryKindComeBackExactly)
{
    std::vector<RoundTrip> cases;
    cases.push_back({"UI art 1024 x 576", {1024, 576, ui_art::MakeUIArt(1024, 576)}});
    cases.push_back({"UI art 333 x 97", {333, 97, ui_art::MakeUIArt(333, 97)}});
    cases.push_back({"1 x 1", {1, 1, {0x80402010}}});
    for (int w : {1, 3, 5, 7, 13})
        cases.push_back({"odd width " + std::to_string(w), Make(w, 9, [](int x, int y) {
                             return Nth((x * 7 + y * 3) % 11 + (x == y) * 300);
                         })});
    cases.push_back({"4096 x 1", Make(4096, 1, [](int x, int) { return Nth(x / 100); })});
    cases.push_back({"1 x 4096", Make(1, 4096, [](int, int y) { return Nth(y % 37); })});
    cases.push_back({"horizontal grey gradient", Make(256, 40, [](int x, int) { return Rgb(x, x, x); })});
    cases.push_back({"vertical colour gradient", Make(300, 256, [](int, int y) { return Rgb(y, 255 - y, y / 2); })});
    cases.push_back({"diagonal gradient of 4 bits a channel", Make(200, 150, [](int x, int y) {
                         return Rgb((x + y) / 22 * 16, x / 13 * 16, y / 10 * 16);
                     })});
    cases.push_back({"alpha ramp", Make(64, 64, [](int x, int y) {
                         return ui_art::Rgba(200, 100, 50, (x * 4 + y) & 255);
                     })});
    cases.push_back({"random pixels of 40 colours", Make(97, 61, [](int x, int y) {
                         return Nth(static_cast<int>((x * 2654435761u + y * 40503u) >> 7) % 40 * 3);
                     })});
    for (const char* name : {"video-005.gray.png", "png/benchGray.png", "png/benchPaletted.png", "rgba1.png"}) {
        PIXELS p = LoadPNG(name);
        ASSERT_GT(p.w, 0) << name;
        cases.push_back({name, p});
    }
    PIXELS photo = LoadPNG("video-001.png");
    ASSERT_GT(photo.w, 60);
    cases.push_back({"photo crop of 60 x 60", Crop(photo, 40, 20, 60, 60)});

    for (const RoundTrip& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_LE(Colours(c.image.px), static_cast<size_t>(TCF_MAX_COLOURS));
        std::vector<uint8_t> bytes = Encode(c.image);
        ASSERT_FALSE(bytes.empty());
        PIXELS back = DecodeToCanvas(bytes);
        EXPECT_EQ(back.w, c.image.w);
        EXPECT_EQ(back.h, c.image.h);
        EXPECT_TRUE(back.px == c.image.px);
    }
}

TEST(TCFRoundTrip, SourcePitchWiderThanTheImage)
{
    // Rows of 5 pixels, 8 apart: the 3 columns between must not be coded.
    PIXELS image = Make(5, 5, [](int x, int y) { return Nth(x * y); });
    std::vector<uint32_t> padded;
    for (int y = 0; y < 5; y++) {
        padded.insert(padded.end(), image.px.begin() + y * 5, image.px.begin() + y * 5 + 5);
        padded.insert(padded.end(), 3, 0xDEADBEEF);
    }
    RVT_COMPRESSED_IMAGE encoded;
    ASSERT_EQ(CTAVOImageFormat::CompressImage(padded.data(), 5, 5, 8, 0, &encoded), 1);
    std::vector<uint8_t> bytes(encoded.data, encoded.data + encoded.size);
    CTAVOImageFormat::FreeImage(&encoded);
    EXPECT_EQ(bytes, Encode(image));
    EXPECT_EQ(DecodeToCanvas(bytes).px, image.px);
}

// Colour i of an image with n colours where the rarest values (indexes past
// 4095, which no run code reaches) come as runs of two and more.
PIXELS ManyColours(int n)
{
    PIXELS p{128, 0, {}};
    for (int i = 0; i < n; i++) {
        // The first 200 colours get extra runs so that they sort first; the
        // others appear as runs of 1, 2 and 3 pixels.
        int copies = 1 + i % 3;
        for (int k = 0; k < copies; k++)
            p.px.push_back(Nth(i));
        if (i < 200)
            p.px.push_back(Nth(n + 5)), p.px.push_back(Nth(i));
    }
    while (p.px.size() % 128)
        p.px.push_back(Nth(0));
    p.h = static_cast<int>(p.px.size() / 128);
    return p;
}

TEST(TCFRoundTrip, ColoursUpToTheReachOfTheCodes)
{
    PIXELS fits = ManyColours(TCF_MAX_COLOURS - 1);  // + the separator colour
    ASSERT_EQ(Colours(fits.px), static_cast<size_t>(TCF_MAX_COLOURS));
    std::vector<uint8_t> bytes = Encode(fits);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes[6] | bytes[7] << 8, TCF_MAX_COLOURS);
    EXPECT_TRUE(DecodeToCanvas(bytes).px == fits.px);

    // A gradient of one-pixel runs over the whole palette: the literal base
    // walks up to its 12-bit limit.
    // 229 x 19 = 4351 pixels counting up, then as many counting down.
    PIXELS ramp = Make(229, 38, [](int x, int y) {
        int i = y * 229 + x;
        return Nth(i < TCF_MAX_COLOURS ? i : 2 * TCF_MAX_COLOURS - 1 - i);
    });
    std::vector<uint8_t> rampBytes = Encode(ramp);
    ASSERT_FALSE(rampBytes.empty());
    EXPECT_TRUE(DecodeToCanvas(rampBytes).px == ramp.px);

    PIXELS beyond = ManyColours(TCF_MAX_COLOURS);
    ASSERT_EQ(Colours(beyond.px), static_cast<size_t>(TCF_MAX_COLOURS) + 1);
    RVT_COMPRESSED_IMAGE image;
    EXPECT_EQ(CTAVOImageFormat::CompressImage(beyond.px.data(), beyond.w, beyond.h, beyond.w, 0, &image), 0);
    EXPECT_EQ(image.data, nullptr);
    std::vector<uint8_t> out;
    EXPECT_EQ(CompressRGBA(reinterpret_cast<const uint8_t*>(beyond.px.data()), beyond.w, beyond.h, 0, &out), 0);
}

TEST(TCFRoundTrip, PhotoBeyondThePaletteIsRefusedOrReduced)
{
    PIXELS photo = LoadPNG("video-001.png");
    ASSERT_GT(photo.w, 0);
    ASSERT_GT(Colours(photo.px), static_cast<size_t>(TCF_MAX_COLOURS)) << "the test needs a photo of many colours";
    const auto* rgba = reinterpret_cast<const uint8_t*>(photo.px.data());

    std::vector<uint8_t> strict;
    EXPECT_EQ(CompressRGBA(rgba, photo.w, photo.h, 0, &strict), 0);
    EXPECT_TRUE(strict.empty());

    std::vector<uint8_t> reduced;
    ASSERT_EQ(CompressRGBA(rgba, photo.w, photo.h, TCF_REDUCE_COLOURS, &reduced), 1);
    PIXELS back = DecodeToCanvas(reduced);
    ASSERT_EQ(back.px.size(), photo.px.size());
    int worst = 0;
    for (size_t i = 0; i < photo.px.size(); i++)
        for (int s = 0; s < 32; s += 8)
            worst = std::max(worst, std::abs(static_cast<int>((photo.px[i] >> s) & 255) -
                                             static_cast<int>((back.px[i] >> s) & 255)));
    EXPECT_GT(worst, 0);
    EXPECT_LE(worst, 15) << "at least 4 bits a channel survive";
    // The reduced picture is an image like any other: coding it again gives
    // the same bytes.
    EXPECT_EQ(Encode(back), reduced);
}
}  // namespace

// CPNGDecoder against sample files: every layout of the PNG test suite pixel
// by pixel against its text dump, damaged and cut files, sizes out of range,
// interlacing, and the memory source's reads.
#include "pngdecode.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "dibdc.h"
#include "png_encode.h"
#include "sng_read.h"

namespace {

const std::string kImages = std::string(ZV_TESTDATA_DIR) + "/images/";
const std::string kSuite = kImages + "png/pngsuite/";

std::vector<unsigned char> ReadFile(const std::string& sPath)
{
    std::ifstream in(sPath, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::unique_ptr<CAlphaDIB> Decode(const std::vector<unsigned char>& bytes)
{
    return std::unique_ptr<CAlphaDIB>(CPNGDecoder::CreateDIB(bytes.data(), (int)bytes.size()));
}

// Canvas pixel bytes R, G, B, A.
std::array<uint8_t, 4> PixelAt(CAlphaDIB* pDib, int x, int y)
{
    const uint32_t v = *pDib->Pixel(x, y);
    return {(uint8_t)v, (uint8_t)(v >> 8), (uint8_t)(v >> 16), (uint8_t)(v >> 24)};
}

// What the canvas holds for a straight pixel: premultiplied (dividing by 256)
// when the image has transparency, else the colour with alpha 255.
std::array<uint8_t, 4> Expected(std::array<uint8_t, 4> p, bool bTransparency)
{
    if (!bTransparency)
        return {p[0], p[1], p[2], 255};
    return {(uint8_t)(p[0] * p[3] >> 8), (uint8_t)(p[1] * p[3] >> 8), (uint8_t)(p[2] * p[3] >> 8), p[3]};
}

std::vector<std::string> SuiteFiles()
{
    std::vector<std::string> names;
    if (DIR* d = opendir(kSuite.c_str())) {
        while (dirent* e = readdir(d)) {
            const std::string n = e->d_name;
            if (n.size() > 4 && n.compare(n.size() - 4, 4, ".png") == 0)
                names.push_back(n.substr(0, n.size() - 4));
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(PNGDecoder, EverySuiteImageMatchesItsDump)
{
    const std::vector<std::string> names = SuiteFiles();
    ASSERT_GE(names.size(), 30u) << "sample files missing under " << kSuite;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        SNG_IMAGE sng;
        ASSERT_TRUE(ReadSNG(kSuite + name + ".sng", &sng));
        std::unique_ptr<CAlphaDIB> dib = Decode(ReadFile(kSuite + name + ".png"));
        ASSERT_NE(dib, nullptr);
        ASSERT_EQ(dib->Width(), sng.iWidth);
        ASSERT_EQ(dib->Height(), sng.iHeight);
        EXPECT_EQ((dib->AlphaFlags() & CAlphaDIB::ALPHA_PREMULTIPLIED) != 0, sng.bTransparency);
        for (int y = 0; y < dib->DY(); y++)
            for (int x = dib->Width(); x < dib->DX(); x++)
                ASSERT_EQ(*dib->Pixel(x, y), 0u) << "pitch column " << x << " of row " << y;
        int bad = 0;
        for (int y = 0; y < sng.iHeight && bad < 3; y++)
            for (int x = 0; x < sng.iWidth && bad < 3; x++) {
                const auto want = Expected(sng.pixels[(size_t)y * sng.iWidth + x], sng.bTransparency);
                const auto got = PixelAt(dib.get(), x, y);
                if (want != got) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << "): got " << (int)got[0] << " " << (int)got[1]
                                  << " " << (int)got[2] << " " << (int)got[3] << ", want " << (int)want[0] << " "
                                  << (int)want[1] << " " << (int)want[2] << " " << (int)want[3];
                    bad++;
                }
            }
    }
}

TEST(PNGDecoder, StatedEdgeCases)
{
    // One RGBA pixel (200, 100, 50, 128), premultiplied by 128 / 256.
    std::unique_ptr<CAlphaDIB> rgba = Decode(ReadFile(kImages + "rgba1.png"));
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(PixelAt(rgba.get(), 0, 0), (std::array<uint8_t, 4>{100, 50, 25, 128}));

    // A 1-bit grey image expands to black and white, opaque.
    std::unique_ptr<CAlphaDIB> bits = Decode(ReadFile(kSuite + "basn0g01.png"));
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(PixelAt(bits.get(), 0, 0), (std::array<uint8_t, 4>{255, 255, 255, 255}));
    EXPECT_EQ(PixelAt(bits.get(), 31, 0), (std::array<uint8_t, 4>{0, 0, 0, 255}));

    // 8001 pixels wide is one too many.
    EXPECT_EQ(Decode(ReadFile(kImages + "w8001.png")), nullptr);
}

TEST(PNGDecoder, SizeLimitsAreInclusive)
{
    const struct
    {
        int w, h;
        bool ok;
    } cases[] = {{8000, 1, true}, {1, 8000, true}, {8001, 1, false}, {1, 8001, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        std::vector<unsigned char> rgba((size_t)c.w * c.h * 4, 0x7F);
        const std::vector<unsigned char> png = EncodePNG(rgba, c.w, c.h, PNG_FORMAT_GRAY);
        ASSERT_FALSE(png.empty());
        std::unique_ptr<CAlphaDIB> dib = Decode(png);
        EXPECT_EQ(dib != nullptr, c.ok);
        if (dib) {
            EXPECT_EQ(PixelAt(dib.get(), c.w - 1, c.h - 1), (std::array<uint8_t, 4>{0x7F, 0x7F, 0x7F, 255}));
        }
    }
}

TEST(PNGDecoder, DamagedFilesGiveNothing)
{
    const char* files[] = {
        "png/invalid-crc32.png", "png/invalid-noend.png", "png/invalid-trunc.png",
        "png/invalid-zlib.png",  "png/invalid-palette.png", "video-001.jpeg", "video-001.gif",
    };
    for (const char* f : files) {
        SCOPED_TRACE(f);
        const std::vector<unsigned char> bytes = ReadFile(kImages + f);
        ASSERT_FALSE(bytes.empty());
        EXPECT_EQ(Decode(bytes), nullptr);
    }
    EXPECT_EQ(CPNGDecoder::CreateDIB(nullptr, 100), nullptr);
    const std::vector<unsigned char> good = ReadFile(kSuite + "basn6a08.png");
    EXPECT_EQ(CPNGDecoder::CreateDIB(good.data(), -1), nullptr);
}

TEST(PNGDecoder, EveryCutOfAFileGivesNothing)
{
    // Interlaced, so that a cut can fall in any pass.
    const std::vector<unsigned char> bytes = ReadFile(kSuite + "basn3p04-31i.png");
    ASSERT_FALSE(bytes.empty());
    ASSERT_NE(Decode(bytes), nullptr);
    for (size_t n = 0; n < bytes.size(); n++) {
        // An exact-size copy, so that a read past the cut is seen by ASan.
        std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + (long)n);
        std::unique_ptr<CAlphaDIB> dib(CPNGDecoder::CreateDIB(cut.empty() ? nullptr : cut.data(), (int)n));
        EXPECT_EQ(dib, nullptr) << "cut at " << n;
    }
}

TEST(PNGDecoder, InterlacedAndPlainGiveTheSamePixels)
{
    std::unique_ptr<CAlphaDIB> plain = Decode(ReadFile(kImages + "png/benchRGB.png"));
    std::unique_ptr<CAlphaDIB> inter = Decode(ReadFile(kImages + "png/benchRGB-interlace.png"));
    ASSERT_NE(plain, nullptr);
    ASSERT_NE(inter, nullptr);
    ASSERT_EQ(plain->Width(), inter->Width());
    ASSERT_EQ(plain->Height(), inter->Height());
    int differ = 0;
    for (int y = 0; y < plain->Height(); y++)
        for (int x = 0; x < plain->Width(); x++)
            differ += *plain->Pixel(x, y) != *inter->Pixel(x, y);
    EXPECT_EQ(differ, 0);
}

TEST(PNGDecoder, MemorySourceReads)
{
    const unsigned char data[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const struct
    {
        int iPos, iWanted, iCopied, iPosAfter;
    } cases[] = {
        {0, 4, 4, 4},     // within the data
        {8, 4, 2, 10},    // the end cuts it short
        {10, 1, 0, 10},   // nothing left
        {0, 0, 0, 0},     // nothing asked
        {0, -5, 0, 0},
        {-1, 4, 0, -1},   // a bad position reads nothing
        {11, 4, 0, 11},
    };
    for (const auto& c : cases) {
        RVT_PNG_SOURCE source = {data, 10, c.iPos};
        unsigned char out[16] = {};
        EXPECT_EQ(CPNGDecoder::PNGRead(&source, out, c.iWanted), c.iCopied) << "from " << c.iPos;
        EXPECT_EQ(source.iPos, c.iPosAfter);
        for (int i = 0; i < c.iCopied; i++)
            EXPECT_EQ(out[i], data[c.iPos + i]);
    }
}

}  // namespace

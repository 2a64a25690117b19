// CRGBBuf: sizes checked before anything is allocated, 4-pixel stride, slack
// rows; and its upload into a CGLDIB at every depth.
#include "offscreen_gl.h"

#include "gl_es.h"
#include "rgb.h"

namespace {

TEST(RGBBuf, SizesAndDepthsAreCheckedBeforeAllocating)
{
    struct Case
    {
        int bpp, w, h;
        bool bValid;
        int iStride;
    } cases[] = {
        {3, 33, 7, true, 36},
        {1, 1, 1, true, 4},
        {4, 8, 2, true, 8},
        {3, CRGBBuf::MAX_SIDE, 1, true, CRGBBuf::MAX_SIDE},
        {3, 0, 7, false, 0},
        {3, 7, 0, false, 0},
        {3, -4, 7, false, 0},
        {3, 7, -1, false, 0},
        {3, CRGBBuf::MAX_SIDE + 1, 1, false, 0},
        {4, 0x7FFFFFFF, 0x7FFFFFFF, false, 0},  // would overflow any byte count
        {2, 8, 8, false, 0},
        {0, 8, 8, false, 0},
        {-3, 8, 8, false, 0},
    };
    for (const auto& c : cases) {
        CRGBBuf buf(c.bpp, c.w, c.h);
        EXPECT_EQ(buf.IsValid() != 0, c.bValid) << c.bpp << " " << c.w << "x" << c.h;
        EXPECT_EQ(buf.Stride(), c.iStride) << c.bpp << " " << c.w << "x" << c.h;
        if (!c.bValid) {
            EXPECT_EQ(buf.DataBytes(), 0u);
            continue;
        }
        EXPECT_EQ(buf.DataBytes(), (size_t)c.bpp * c.iStride * (c.h + CRGBBuf::SLACK_ROWS));
        EXPECT_EQ(buf.RowBytes() % 4, 0);
        EXPECT_EQ(buf.Pixel(1, 1), buf.Data() + c.bpp * (1 + c.iStride));
        // Zeroed, slack rows included.
        EXPECT_EQ(buf.Data()[buf.DataBytes() - 1], 0);
    }
}

class RGBUpload : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why = gl.Open(16, 16);
        if (!why.empty())
            GTEST_SKIP() << why;
    }
    // The texture as RGBA bytes.
    std::vector<unsigned char> Texels(const CGLDIB* dib)
    {
        std::vector<unsigned char> texels((size_t)dib->TextureWidth() * dib->TextureHeight() * 4);
        glBindTexture(GL_TEXTURE_2D, dib->TextureID());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
        return texels;
    }
    COffscreenGL gl;
};

// Sample value of channel c of pixel (x, y), distinct per place.
unsigned char Sample(int x, int y, int c)
{
    return (unsigned char)(x * 5 + y * 40 + c * 90 + 3);
}

void FillPattern(CRGBBuf* buf)
{
    for (int y = 0; y < buf->Height(); y++)
        for (int x = 0; x < buf->Width(); x++)
            for (int c = 0; c < buf->BytesPerPixel(); c++)
                buf->Pixel(x, y)[c] = Sample(x, y, c);
}

TEST_F(RGBUpload, EveryDepthGoesUpAtItsStride)
{
    for (int bpp : {1, 3, 4}) {
        CRGBBuf buf(bpp, 33, 7);
        FillPattern(&buf);
        CGLDIB* dib = new CGLDIB(&buf, 0);
        ASSERT_TRUE(dib->HasTexture()) << bpp;
        EXPECT_EQ(dib->TextureWidth(), 36);
        EXPECT_EQ(dib->ImageWidth(), 33);
        EXPECT_FLOAT_EQ(dib->UMax(), 33.0f / 36.0f);
        EXPECT_FLOAT_EQ(dib->VMax(), 1.0f);
        std::vector<unsigned char> t = Texels(dib);
        for (int y = 0; y < 7; y++) {
            for (int x = 0; x < 33; x++) {
                const unsigned char* p = &t[((size_t)y * 36 + x) * 4];
                if (bpp == 1) {
                    // Luminance reads back in the red byte.
                    ASSERT_EQ(p[0], Sample(x, y, 0)) << x << "," << y;
                    ASSERT_EQ(p[3], 255);
                } else {
                    for (int c = 0; c < 3; c++)
                        ASSERT_EQ(p[c], Sample(x, y, c)) << bpp << " " << x << "," << y << " " << c;
                    ASSERT_EQ(p[3], bpp == 4 ? Sample(x, y, 3) : 255);
                }
            }
            // The padding columns are the buffer's zeroes.
            EXPECT_EQ(t[((size_t)y * 36 + 35) * 4], 0);
        }
        dib->Release();
    }
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(RGBUpload, UpdateWritesInPlaceOrTakesTheNewSize)
{
    CRGBBuf first(3, 10, 4);
    CGLDIB* dib = new CGLDIB(&first, 0);
    const unsigned int uTexture = dib->TextureID();

    CRGBBuf same(3, 11, 4);    // same stride (12) and height: written in place
    FillPattern(&same);
    ASSERT_EQ(dib->Update(&same), 1);
    EXPECT_EQ(dib->TextureID(), uTexture);
    EXPECT_EQ(dib->ImageWidth(), 11);
    EXPECT_EQ(Texels(dib)[(3 * 12 + 10) * 4 + 1], Sample(10, 3, 1));

    CRGBBuf other(1, 21, 9);
    FillPattern(&other);
    ASSERT_EQ(dib->Update(&other), 1);
    EXPECT_EQ(dib->TextureWidth(), 24);
    EXPECT_EQ(dib->TextureHeight(), 9);
    EXPECT_EQ(dib->ImageWidth(), 21);
    EXPECT_EQ(Texels(dib)[(8 * 24 + 20) * 4], Sample(20, 8, 0));

    CRGBBuf invalid(3, 0, 0);
    EXPECT_EQ(dib->Update(&invalid), 0);
    EXPECT_EQ(dib->Update((CRGBBuf*)nullptr), 0);
    EXPECT_EQ(dib->TextureWidth(), 24);     // the last good picture stays
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    dib->Release();
}

}  // namespace

// CGLDIB and CGLDIBMem on an offscreen context: canvases of odd width go up
// whole and draw back pixel for pixel, updates refill the texture, hostile
// sizes get no texture, and textures are deleted only on the drawing thread.
#include "offscreen_gl.h"

#include <stdint.h>

#include <thread>

#include "dibdc.h"
#include "gl_es.h"

namespace {

// R, G, B, A bytes in memory.
uint32_t Rgba(int r, int g, int b, int a)
{
    return (uint32_t)a << 24 | (uint32_t)b << 16 | (uint32_t)g << 8 | (uint32_t)r;
}

// A distinct opaque colour per canvas pixel.
uint32_t PixelColor(int x, int y)
{
    return Rgba(10 + x * 7, 20 + y * 30, 200 - x * 3, 255);
}

// A canvas with a distinct colour per pixel of its logical width and magenta
// in the pitch columns beyond it.
std::unique_ptr<CRVDibDC> PatternCanvas(int iWidth, int iHeight)
{
    std::unique_ptr<CRVDibDC> dc(new CRVDibDC(iWidth, iHeight, 0, 0, 0, 0));
    for (int y = 0; y < dc->DY(); y++)
        for (int x = 0; x < dc->DX(); x++)
            *dc->Pixel(x, y) = x < iWidth ? PixelColor(x, y) : Rgba(255, 0, 255, 255);
    return dc;
}

unsigned int ToRGB(uint32_t uPixel)
{
    return (uPixel & 0xFF) << 16 | (uPixel & 0xFF00) | (uPixel >> 16 & 0xFF);
}

// The texture's level 0 as RGBA pixels (R, G, B, A bytes), row by row.
std::vector<uint32_t> ReadTexture(unsigned int uTexture, int iWidth, int iHeight)
{
    std::vector<uint32_t> pixels((size_t)iWidth * iHeight);
    glBindTexture(GL_TEXTURE_2D, uTexture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// A canvas whose alpha canvas is itself: what the alpha-only canvases report.
class CAlphaOnlyCanvas : public CRVDibDC
{
public:
    CAlphaOnlyCanvas(int w, int h) : CRVDibDC(w, h, 0, 0, 0, 0) {}
    CRVDibDC* AlphaDIB() override { return this; }
};

class GLDIBTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why = gl.Open(64, 16);
        if (!why.empty())
            GTEST_SKIP() << why;
    }
    // Draws the texture's used extents over (x, y, w, h) with the fixed
    // pipeline, linear filtering as the texture was made.
    void Draw(CGLDIB* pDIB, int x, int y, int w, int h)
    {
        glUseProgram(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glDisable(GL_BLEND);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, gl.Width(), gl.Height(), 0, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, pDIB->TextureID());
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        const float u = pDIB->UMax(), v = pDIB->VMax();
        glBegin(GL_TRIANGLE_STRIP);
        glTexCoord2f(0, 0);
        glVertex2f((float)x, (float)y);
        glTexCoord2f(0, v);
        glVertex2f((float)x, (float)(y + h));
        glTexCoord2f(u, 0);
        glVertex2f((float)(x + w), (float)y);
        glTexCoord2f(u, v);
        glVertex2f((float)(x + w), (float)(y + h));
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }
    COffscreenGL gl;
};

TEST_F(GLDIBTest, OddWidthCanvasGoesUpWholeAndDrawsBackPixelForPixel)
{
    std::unique_ptr<CRVDibDC> dc = PatternCanvas(33, 7);
    ASSERT_EQ(dc->DX(), 36);
    CGLDIB* dib = new CGLDIB(dc.get(), 0);
    ASSERT_TRUE(dib->HasTexture());
    EXPECT_EQ(dib->ImageWidth(), 33);
    EXPECT_EQ(dib->ImageHeight(), 7);
    EXPECT_EQ(dib->TextureWidth(), 36);
    EXPECT_EQ(dib->TextureHeight(), 7);
    EXPECT_FLOAT_EQ(dib->UMax(), 33.0f / 36.0f);
    EXPECT_FLOAT_EQ(dib->VMax(), 1.0f);
    EXPECT_EQ(dib->Flags() & CGLDIB::GLDIB_ALPHA, 0);

    std::vector<uint32_t> tex = ReadTexture(dib->TextureID(), 36, 7);
    for (int y = 0; y < 7; y++) {
        for (int x = 0; x < 33; x++)
            ASSERT_EQ(tex[y * 36 + x], PixelColor(x, y)) << x << "," << y;
        // The first pitch column repeats the last image column, so linear
        // filtering at the right edge never pulls in the pitch bytes.
        EXPECT_EQ(tex[y * 36 + 33], PixelColor(32, y)) << y;
    }

    gl.Clear();
    Draw(dib, 2, 3, 33, 7);
    ASSERT_TRUE(gl.Read());
    for (int y = 0; y < 7; y++)
        for (int x = 0; x < 33; x++)
            ASSERT_TRUE(ColorNear(gl.At(2 + x, 3 + y), ToRGB(PixelColor(x, y)), 1)) << x << "," << y;
    EXPECT_EQ(gl.At(35, 5), 0u);   // nothing of the pitch columns is drawn
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    dib->Release();
}

TEST_F(GLDIBTest, FlagsFromTheCallerAndTheCanvas)
{
    struct Case
    {
        const char* name;
        bool bAlphaCanvas;
        int iFlags;
        int iExpected;
    } cases[] = {
        {"plain canvas", false, 0, 0},
        {"alpha-only canvas", true, 0, CGLDIB::GLDIB_ALPHA},
        {"alpha bit cleared for a plain canvas", false, CGLDIB::GLDIB_ALPHA, 0},
        {"nearest and RGB kept", false, CGLDIB::GLDIB_NEAREST | CGLDIB::GLDIB_RGB,
         CGLDIB::GLDIB_NEAREST | CGLDIB::GLDIB_RGB},
        // A texture made here is always deleted with the object.
        {"not-owned stripped", false, CGLDIB::GLDIB_NOT_OWNED, 0},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CRVDibDC> dc(c.bAlphaCanvas ? new CAlphaOnlyCanvas(5, 3) : new CRVDibDC(5, 3, 0, 0, 0, 0));
        dc->Fill(Rgba(1, 2, 3, 4));
        CGLDIB* dib = new CGLDIB(dc.get(), c.iFlags);
        EXPECT_TRUE(dib->HasTexture()) << c.name;
        EXPECT_EQ(dib->Flags(), c.iExpected) << c.name;
        dib->Release();
    }
}

TEST_F(GLDIBTest, RGBFlagUploadsWithoutAlpha)
{
    std::unique_ptr<CRVDibDC> dc(new CRVDibDC(5, 3, 0, 0, 0, 0));
    dc->Fill(Rgba(200, 100, 50, 0x40));
    CGLDIB* dib = new CGLDIB(dc.get(), CGLDIB::GLDIB_RGB);
    ASSERT_TRUE(dib->HasTexture());
    std::vector<uint32_t> tex = ReadTexture(dib->TextureID(), 8, 3);
    EXPECT_EQ(tex[0], Rgba(200, 100, 50, 255));
    EXPECT_EQ(tex[8 * 2 + 4], Rgba(200, 100, 50, 255));
    dib->Release();

    dib = new CGLDIB(dc.get(), 0);
    EXPECT_EQ(ReadTexture(dib->TextureID(), 8, 3)[0], Rgba(200, 100, 50, 0x40));
    dib->Release();
}

TEST_F(GLDIBTest, UpdateRefillsTheSameTextureAndTakesANewSize)
{
    std::unique_ptr<CRVDibDC> dc = PatternCanvas(33, 7);
    CGLDIB* dib = new CGLDIB(dc.get(), 0);
    const unsigned int uTexture = dib->TextureID();

    dc->Fill(Rgba(9, 8, 7, 255));
    ASSERT_EQ(dib->Update(dc.get()), 1);
    EXPECT_EQ(dib->TextureID(), uTexture);
    EXPECT_EQ(ReadTexture(uTexture, 36, 7)[6 * 36 + 32], Rgba(9, 8, 7, 255));

    std::unique_ptr<CAlphaOnlyCanvas> larger(new CAlphaOnlyCanvas(50, 9));
    larger->Fill(Rgba(1, 1, 1, 1));
    ASSERT_EQ(dib->Update(larger.get()), 1);
    EXPECT_EQ(dib->TextureID(), uTexture);
    EXPECT_EQ(dib->TextureWidth(), 52);
    EXPECT_EQ(dib->TextureHeight(), 9);
    EXPECT_EQ(dib->ImageWidth(), 50);
    EXPECT_FLOAT_EQ(dib->UMax(), 50.0f / 52.0f);
    EXPECT_EQ(dib->Flags() & CGLDIB::GLDIB_ALPHA, CGLDIB::GLDIB_ALPHA);
    EXPECT_EQ(ReadTexture(uTexture, 52, 9)[8 * 52 + 49], Rgba(1, 1, 1, 1));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    dib->Release();
}

TEST_F(GLDIBTest, CanvasesTheGLCannotTakeGetNoTexture)
{
    GLint iMax = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &iMax);
    // Wider than the GL takes (the canvas itself allows it), and a canvas
    // whose pixels were refused.
    std::unique_ptr<CRVDibDC> wide(new CRVDibDC(iMax + 4, 1, 0, 0, 0, 0));
    std::unique_ptr<CRVDibDC> refused(new CRVDibDC(100000, 100000, 0, 0, 0, 0));
    ASSERT_FALSE(refused->IsValid());
    for (CRVDibDC* dc : {wide.get(), refused.get(), (CRVDibDC*)nullptr}) {
        CGLDIB* dib = new CGLDIB(dc, 0);
        EXPECT_FALSE(dib->HasTexture());
        EXPECT_EQ(dib->TextureWidth(), 0);
        EXPECT_EQ(dib->UMax(), 0.0f);
        dib->Release();
    }
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    EXPECT_EQ(GLTrashCount(), 0);
}

TEST_F(GLDIBTest, TexturesFromFontServersKeepTheirExtents)
{
    GLuint t[2];
    glGenTextures(2, t);
    CGLDIB* sized = new CGLDIB(t[0], 30, 10, 32, 16);
    EXPECT_FLOAT_EQ(sized->UMax(), 30.0f / 32.0f);
    EXPECT_FLOAT_EQ(sized->VMax(), 10.0f / 16.0f);
    CGLDIB* given = new CGLDIB(t[1], 30, 10, 0.5f, 0.25f);
    EXPECT_FLOAT_EQ(given->UMax(), 0.5f);
    EXPECT_FLOAT_EQ(given->VMax(), 0.25f);
    // A zero texture size gives empty extents, not a division by zero.
    CGLDIB* empty = new CGLDIB(CGLDIB::NO_TEXTURE, 30, 10, 0, 0);
    EXPECT_EQ(empty->UMax(), 0.0f);
    EXPECT_EQ(empty->VMax(), 0.0f);
    // Handed-over textures belong to the object.
    sized->Release();
    given->Release();
    empty->Release();
    EXPECT_EQ(GLTrashCount(), 2);
    EXPECT_EQ(GLFlushTrash(), 2);
    EXPECT_FALSE(glIsTexture(t[0]));
    EXPECT_FALSE(glIsTexture(t[1]));
}

TEST_F(GLDIBTest, TexturesAreDeletedOnlyOnTheDrawingThread)
{
    std::unique_ptr<CRVDibDC> dc = PatternCanvas(5, 3);
    CGLDIB* dib = new CGLDIB(dc.get(), 0);
    const unsigned int uTexture = dib->TextureID();
    dib->Retain();
    EXPECT_EQ(dib->RefCount(), 2);
    dib->Release();
    EXPECT_EQ(dib->RefCount(), 1);

    // The last reference drops on another thread: nothing is deleted there,
    // and flushing there is refused.
    int iFlushedThere = -1;
    std::thread other([&] {
        dib->Release();
        iFlushedThere = GLFlushTrash();
    });
    other.join();
    EXPECT_EQ(iFlushedThere, 0);
    EXPECT_TRUE(glIsTexture(uTexture));
    EXPECT_EQ(GLTrashCount(), 1);
    // The drawing thread deletes it.
    EXPECT_EQ(GLFlushTrash(), 1);
    EXPECT_FALSE(glIsTexture(uTexture));

    // After a context loss the name is forgotten, not deleted.
    dib = new CGLDIB(dc.get(), 0);
    dib->OnGLContextLost();
    EXPECT_FALSE(dib->HasTexture());
    EXPECT_NE(dib->Flags() & CGLDIB::GLDIB_NOT_OWNED, 0);
    dib->Release();
    EXPECT_EQ(GLTrashCount(), 0);
}

TEST(GLDIBMem, CoverageBitmapOfCheckedSize)
{
    struct Case
    {
        int iw, ih, tw, th;
        bool bValid;
    } cases[] = {
        {30, 10, 32, 12, true},     {32, 12, 32, 12, true},
        {0, 0, 4, 4, true},         {33, 10, 32, 12, false},   // image larger than the bitmap
        {1, 1, 0, 4, false},        {1, 1, -4, 4, false},      {1, 1, 4, -1, false},
        {1, 1, CGLDIB::MAX_SIDE + 1, 4, false},                {-1, 1, 4, 4, false},
    };
    for (const Case& c : cases) {
        CGLDIBMem* mem = new CGLDIBMem(c.iw, c.ih, c.tw, c.th);
        EXPECT_EQ(mem->Image() != nullptr, c.bValid) << c.iw << "x" << c.ih << " in " << c.tw << "x" << c.th;
        EXPECT_FALSE(mem->HasTexture());
        EXPECT_NE(mem->Flags() & CGLDIB::GLDIB_NOT_OWNED, 0);
        if (c.bValid) {
            EXPECT_FLOAT_EQ(mem->UMax(), (float)c.iw / c.tw);
            unsigned char* p = mem->Image();
            long sum = 0;
            for (int i = 0; i < c.tw * c.th; i++)
                sum += p[i];
            EXPECT_EQ(sum, 0);
        }
        mem->Release();
    }
    EXPECT_EQ(GLTrashCount(), 0);
}

}  // namespace

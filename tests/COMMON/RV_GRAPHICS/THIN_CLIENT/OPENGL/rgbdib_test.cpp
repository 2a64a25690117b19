// CRGBDIB: the texture window and quad, then canvases and RGB pictures drawn
// through the texture program on an offscreen context: pitch columns never
// show, orientations, zoom, premultiplied alpha canvases, the faded mode,
// texture reuse, pending sources replacing each other, and GL names handed to
// the trash.
#include "offscreen_gl.h"

#include "dibdc.h"
#include "rgb.h"
#include "rgbdib.h"
#include "shaders.h"
#include "surf.h"

#include <stdint.h>

namespace
{
uint32_t Rgba(int r, int g, int b, int a) { return (uint32_t)a << 24 | (uint32_t)b << 16 | (uint32_t)g << 8 | (uint32_t)r; }

// A distinct opaque colour per pixel, as 0x00RRGGBB and as canvas bytes.
unsigned int Colour(int x, int y) { return (unsigned int)(40 + 50 * x) << 16 | (unsigned int)(30 + 60 * y) << 8 | 99u; }
uint32_t CanvasPixel(int x, int y)
{
    unsigned int c = Colour(x, y);
    return Rgba((int)(c >> 16), (int)(c >> 8 & 0xFF), (int)(c & 0xFF), 255);
}

// A canvas with Colour(x, y) over its logical width and loud magenta in the
// pitch columns; reports when it is freed.
class CTestCanvas : public CRVDibDC
{
public:
    CTestCanvas(int w, int h, int* pDeleted = nullptr) : CRVDibDC(w, h, 0, 0, 0, 0), m_pDeleted(pDeleted)
    {
        for (int y = 0; y < DY(); y++)
            for (int x = 0; x < DX(); x++)
                *Pixel(x, y) = x < w ? CanvasPixel(x, y) : Rgba(255, 0, 255, 255);
    }
    ~CTestCanvas() override
    {
        if (m_pDeleted)
            (*m_pDeleted)++;
    }

private:
    int* m_pDeleted;
};

// An alpha canvas as the texture code sees one.
class CTestAlphaCanvas : public CRVDibDC
{
public:
    CTestAlphaCanvas(int w, int h) : CRVDibDC(w, h, 0, 0, 0, 0) {}
    CRVDibDC* AlphaDIB() override { return this; }
};

// ---- geometry, no GL ----

TEST(RGBDIBGeometry, TextureWindow)
{
    float w[4];
    CRGBDIB::TextureWindow(0.75f, 1.0f, 0, 0, 1000, w);
    EXPECT_FLOAT_EQ(w[0], 0.0f);
    EXPECT_FLOAT_EQ(w[1], 0.75f);
    EXPECT_FLOAT_EQ(w[2], 0.0f);
    EXPECT_FLOAT_EQ(w[3], 1.0f);
    // Zoom 2000 at the centre: the middle half each way.
    CRGBDIB::TextureWindow(0.5f, 1.0f, 500, 500, 2000, w);
    EXPECT_FLOAT_EQ(w[0], 0.125f);
    EXPECT_FLOAT_EQ(w[1], 0.375f);
    EXPECT_FLOAT_EQ(w[2], 0.25f);
    EXPECT_FLOAT_EQ(w[3], 0.75f);
    // A centre near an edge moves the window back inside the image.
    CRGBDIB::TextureWindow(1.0f, 1.0f, 0, 1000, 4000, w);
    EXPECT_FLOAT_EQ(w[0], 0.0f);
    EXPECT_FLOAT_EQ(w[1], 0.25f);
    EXPECT_FLOAT_EQ(w[2], 0.75f);
    EXPECT_FLOAT_EQ(w[3], 1.0f);
}

TEST(RGBDIBGeometry, QuadUprightAndHalfTurn)
{
    const float window[4] = {0.1f, 0.9f, 0.2f, 0.8f};
    float v[CRGBDIB::QUAD_FLOATS];
    CRGBDIB::BuildQuad(CRVRect(10, 20, 30, 40), 0, window, v);
    const float upright[20] = {10, 20, 0, 0.1f, 0.2f, 10, 60, 0, 0.1f, 0.8f,
                               40, 20, 0, 0.9f, 0.2f, 40, 60, 0, 0.9f, 0.8f};
    for (int i = 0; i < 20; i++)
        EXPECT_FLOAT_EQ(v[i], upright[i]) << i;
    CRGBDIB::BuildQuad(CRVRect(10, 20, 30, 40), CRGBDIB::ORIENT_180, window, v);
    const float turned[20] = {40, 60, 0, 0.1f, 0.2f, 40, 20, 0, 0.1f, 0.8f,
                              10, 60, 0, 0.9f, 0.2f, 10, 20, 0, 0.9f, 0.8f};
    for (int i = 0; i < 20; i++)
        EXPECT_FLOAT_EQ(v[i], turned[i]) << i;
}

// ---- on an offscreen context ----

class RGBDIBRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why = gl.Open(32, 32);
        if (!why.empty())
            GTEST_SKIP() << why;
        ASSERT_EQ(CreateShaderPrograms(), 1);
        dib = new CRGBDIB;
    }
    void TearDown() override
    {
        if (dib)
            dib->Release();
        DeleteShaderPrograms();
        gl.Close();
    }
    // Uploads what is pending, draws into rc over a cleared frame and reads it.
    int Draw(CRVRect rc, int iOrient = 0, RVT_RENDER_PARAMS* pParams = nullptr, unsigned int uClear = 0)
    {
        dib->UpdateGL();
        gl.Clear(uClear);
        float m[16];
        gl.PixelMatrix(m);
        RVT_MATRIX_CONFIG config;
        RVT_RENDER_PARAMS params;
        int iDrawn = dib->Render(rc, iOrient, &config, m, pParams ? pParams : &params);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
        EXPECT_TRUE(gl.Read());
        return iDrawn;
    }
    COffscreenGL gl;
    CRGBDIB* dib = nullptr;
};

TEST_F(RGBDIBRender, NothingToDrawBeforeTheFirstUpload)
{
    EXPECT_EQ(Draw(CRVRect(0, 0, 4, 4)), 0);
    EXPECT_EQ(dib->GetTextureID(), -1);
    EXPECT_EQ(gl.At(1, 1), 0u);
}

TEST_F(RGBDIBRender, CanvasDrawsPixelForPixelWithoutItsPitchColumns)
{
    int deleted = 0;
    dib->Update(new CTestCanvas(5, 3, &deleted));   // DX 8
    EXPECT_EQ(deleted, 0);
    ASSERT_EQ(Draw(CRVRect(2, 4, 5, 3)), 1);
    EXPECT_EQ(deleted, 1);   // freed once uploaded
    EXPECT_EQ(dib->SourceSize().cx, 5);
    EXPECT_EQ(dib->SourceSize().cy, 3);
    EXPECT_FLOAT_EQ(dib->UMax(), 5.0f / 8.0f);
    EXPECT_EQ(dib->Flags(), 0);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_TRUE(ColorNear(gl.At(2 + x, 4 + y), Colour(x, y), 1)) << x << "," << y;
    EXPECT_EQ(gl.At(7, 5), 0u);

    // Magnified, the right edge still shows no magenta from the pitch.
    ASSERT_EQ(Draw(CRVRect(0, 0, 30, 9)), 1);
    for (int y = 0; y < 9; y++)
        EXPECT_TRUE(ColorNear(gl.At(29, y), Colour(4, y / 3), 40)) << y;
}

TEST_F(RGBDIBRender, HalfTurnAndKeepingTheLastOrientation)
{
    dib->Update(new CTestCanvas(4, 2));
    ASSERT_EQ(Draw(CRVRect(0, 0, 4, 2), CRGBDIB::ORIENT_180), 1);
    for (int y = 0; y < 2; y++)
        for (int x = 0; x < 4; x++)
            EXPECT_TRUE(ColorNear(gl.At(3 - x, 1 - y), Colour(x, y), 1)) << x << "," << y;
    unsigned int builds = dib->QuadBuilds();
    // Orientation 1 repeats the half turn without rebuilding the quad.
    ASSERT_EQ(Draw(CRVRect(0, 0, 4, 2), CRGBDIB::ORIENT_LAST), 1);
    EXPECT_EQ(dib->QuadBuilds(), builds);
    EXPECT_TRUE(ColorNear(gl.At(3, 1), Colour(0, 0), 1));
    ASSERT_EQ(Draw(CRVRect(0, 0, 4, 2), 0), 1);
    EXPECT_EQ(dib->QuadBuilds(), builds + 1);
    EXPECT_TRUE(ColorNear(gl.At(0, 0), Colour(0, 0), 1));
}

TEST_F(RGBDIBRender, ZoomShowsTheMiddleAndRebuildsOnViewChanges)
{
    dib->Update(new CTestCanvas(4, 4));
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2)), 1);
    unsigned int builds = dib->QuadBuilds();
    dib->SetViewCoords(500, 500, 2000);
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2)), 1);
    EXPECT_EQ(dib->QuadBuilds(), builds + 1);
    EXPECT_FALSE(dib->ViewChanged());
    EXPECT_TRUE(ColorNear(gl.At(0, 0), Colour(1, 1), 1));
    EXPECT_TRUE(ColorNear(gl.At(1, 1), Colour(2, 2), 1));
    // Centred on the top-left corner: moved back inside, texels 0 and 1.
    dib->SetViewCoords(0, 0, 2000);
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2)), 1);
    EXPECT_TRUE(ColorNear(gl.At(0, 0), Colour(0, 0), 1));
    EXPECT_TRUE(ColorNear(gl.At(1, 1), Colour(1, 1), 1));
}

TEST_F(RGBDIBRender, AlphaCanvasBlendsPremultipliedPlainCanvasIsOpaque)
{
    // (100, 0, 0) premultiplied at alpha 128 over white: 100 + 255 * 127 / 255.
    CTestAlphaCanvas* alpha = new CTestAlphaCanvas(1, 1);
    *alpha->Pixel(0, 0) = Rgba(100, 0, 0, 128);
    dib->Update(alpha);
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2), 0, nullptr, 0xFFFFFF), 1);
    EXPECT_EQ(dib->Flags(), CRGBDIB::FLAG_ALPHA_CANVAS);
    EXPECT_TRUE(ColorNear(gl.At(1, 1), 0xE37F7F, 2));

    CRVDibDC* plain = new CRVDibDC(1, 1, 0, 0, 0, 0);
    *plain->Pixel(0, 0) = Rgba(100, 0, 0, 128);
    dib->Update(plain);
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2), 0, nullptr, 0xFFFFFF), 1);
    EXPECT_EQ(dib->Flags(), 0);
    EXPECT_TRUE(ColorNear(gl.At(1, 1), 0x640000, 1));
}

TEST_F(RGBDIBRender, ModeOneFadesTowardTheColour)
{
    CRVDibDC* canvas = new CRVDibDC(1, 1, 0, 0, 0, 0);
    *canvas->Pixel(0, 0) = Rgba(200, 0, 0, 255);
    dib->Update(canvas);
    RVT_RENDER_PARAMS params;
    params.uAlpha = 128;
    params.uMode = 1;
    params.uColor = 0x0000FF;
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2), 0, &params), 1);
    // Half of the way from blue to the texel.
    EXPECT_TRUE(ColorNear(gl.At(1, 1), 0x64007F, 3));
}

TEST_F(RGBDIBRender, PicturesReuseTheTextureWhileTheSizeStays)
{
    // An RGB picture 5 wide in rows of 8 pixels.
    auto MakeFrame = [](int w, int h, int shift) {
        CRGBBuf* buf = new CRGBBuf(3, w, h);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                unsigned int c = Colour(x, y) + (unsigned int)shift;
                unsigned char* p = buf->Pixel(x, y);
                p[0] = (unsigned char)(c >> 16);
                p[1] = (unsigned char)(c >> 8);
                p[2] = (unsigned char)c;
            }
        return buf;
    };
    dib->Update(MakeFrame(5, 3, 0));
    ASSERT_EQ(Draw(CRVRect(0, 0, 5, 3)), 1);
    EXPECT_FLOAT_EQ(dib->UMax(), 5.0f / 8.0f);
    EXPECT_EQ(dib->SourceSize().cx, 5);
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 5; x++)
            EXPECT_TRUE(ColorNear(gl.At(x, y), Colour(x, y), 1)) << x << "," << y;

    dib->Update(MakeFrame(5, 3, 1));
    ASSERT_EQ(Draw(CRVRect(0, 0, 5, 3)), 1);
    EXPECT_EQ(dib->TexturesMade(), 1u);
    EXPECT_EQ(dib->TextureUploads(), 2u);
    EXPECT_TRUE(ColorNear(gl.At(2, 2), Colour(2, 2) + 1, 1));

    dib->Update(MakeFrame(9, 2, 0));
    ASSERT_EQ(Draw(CRVRect(0, 0, 9, 2)), 1);
    EXPECT_EQ(dib->TexturesMade(), 2u);
    EXPECT_EQ(dib->SourceSize().cx, 9);
    EXPECT_TRUE(ColorNear(gl.At(8, 1), Colour(8, 1), 1));

    // Nothing pending: no upload.
    dib->UpdateGL();
    EXPECT_EQ(dib->TextureUploads(), 3u);
}

TEST_F(RGBDIBRender, APendingSourceIsReplacedAndUnusableOnesAreDropped)
{
    int deleted = 0;
    dib->Update(new CTestCanvas(2, 2, &deleted));
    dib->Update(new CRGBBuf(3, 2, 2));              // replaces the canvas at once
    EXPECT_EQ(deleted, 1);
    dib->Update(new CTestCanvas(3, 1, &deleted));   // and the reverse
    dib->Update(new CRGBBuf(2, 2, 2));              // a depth of 2: no pixels, ignored
    dib->Update(new CRVDibDC(1 << 20, 1 << 20, 0, 0, 0, 0));  // no pixels, ignored
    dib->Update(static_cast<CRVDibDC*>(nullptr));
    ASSERT_EQ(Draw(CRVRect(0, 0, 3, 1)), 1);
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(dib->SourceSize().cx, 3);
    EXPECT_TRUE(ColorNear(gl.At(2, 0), Colour(2, 0), 1));
}

TEST_F(RGBDIBRender, ContextLossAndReleaseHandNamesToTheTrash)
{
    dib->Update(new CTestCanvas(2, 2));
    ASSERT_EQ(Draw(CRVRect(0, 0, 2, 2)), 1);
    ASSERT_NE(dib->GetTextureID(), -1);
    int before = GLTrashCount();
    dib->Release();
    dib = nullptr;
    EXPECT_EQ(GLTrashCount(), before + 2);   // the texture and the quad

    CRGBDIB* lost = new CRGBDIB;
    lost->Update(new CTestCanvas(2, 2));
    lost->UpdateGL();
    lost->OnGLContextLost();
    EXPECT_EQ(lost->GetTextureID(), -1);
    float m[16];
    gl.PixelMatrix(m);
    RVT_MATRIX_CONFIG config;
    RVT_RENDER_PARAMS params;
    EXPECT_EQ(lost->Render(CRVRect(0, 0, 2, 2), 0, &config, m, &params), 0);
    before = GLTrashCount();
    lost->Release();
    EXPECT_EQ(GLTrashCount(), before);       // forgotten names are not deleted
}
}  // namespace

// CYUVDIB: the texture window and quad geometry, then real pictures through
// the YUV program on an offscreen context: colour bars, decoder strides,
// crop, zoom, the orientations, size changes, hostile pictures, and GL names
// deleted only on the drawing thread.
#include "offscreen_gl.h"

#include <math.h>

#include <thread>

#include "shaders.h"
#include "surf.h"
#include "yuv.h"

namespace {

// A 4:2:0 picture in planes of exactly the bytes a decoder guarantees (the
// last row is not padded to the stride), so a read past them is caught by
// the address sanitizer. Padding bytes hold a loud value.
struct Picture
{
    Picture(int w, int h, int iStrideY, int iStrideC, unsigned char padding = 255)
        : width(w), height(h), strideY(iStrideY), strideC(iStrideC)
    {
        y.assign((size_t)(h - 1) * iStrideY + w, padding);
        cb.assign((size_t)((h + 1) / 2 - 1) * iStrideC + (w + 1) / 2, padding);
        cr = cb;
    }
    // Luma at (x, y); chroma of the 2 x 2 block that holds it.
    void Set(int x, int yy, int Y, int Cb, int Cr)
    {
        y[(size_t)yy * strideY + x] = (unsigned char)Y;
        cb[(size_t)(yy / 2) * strideC + x / 2] = (unsigned char)Cb;
        cr[(size_t)(yy / 2) * strideC + x / 2] = (unsigned char)Cr;
    }
    RVT_YUV_DATA* Data(RVT_INSETS crop = {0, 0, 0, 0})
    {
        data = RVT_YUV_DATA();
        data.crop = crop;
        data.pY = y.data();
        data.pCb = cb.data();
        data.pCr = cr.data();
        data.iStrideY = strideY;
        data.iStrideCb = strideC;
        data.iStrideCr = strideC;
        data.iWidth = width;
        data.iHeight = height;
        return &data;
    }
    int width, height, strideY, strideC;
    std::vector<unsigned char> y, cb, cr;
    RVT_YUV_DATA data;
};

// What the YUV program makes of one sample, as 0x00RRGGBB.
unsigned int ExpectedRGB(int Y, int Cb, int Cr)
{
    double y = Y / 255.0, u = Cb / 255.0 - 0.5, v = Cr / 255.0 - 0.5;
    double rgb[3] = {y + 1.28033 * v, y - 0.21482 * u - 0.38059 * v, y + 2.12798 * u};
    unsigned int out = 0;
    for (double c : rgb) {
        c = c < 0 ? 0 : c > 1 ? 1 : c;
        out = out << 8 | (unsigned int)lround(c * 255.0);
    }
    return out;
}

unsigned int Grey(int v)
{
    return (unsigned int)v * 0x010101u;
}

// ---- geometry, no GL ----

TEST(YUVGeometry, TextureWindowFromStrideCropAndZoom)
{
    struct Case
    {
        const char* name;
        int w, h, s;
        RVT_INSETS crop;
        int cx, cy, zoom;
        float uL, uR, vT, vB;
    } cases[] = {
        {"decoder stride: no padding columns", 640, 480, 672, {0, 0, 0, 0}, 0, 0, 0, 0, 640.f / 672, 0, 1},
        {"crop left and right", 640, 480, 672, {8, 8, 0, 0}, 0, 0, 0, 8.f / 672, 632.f / 672, 0, 1},
        {"crop top and bottom", 640, 480, 640, {0, 0, 12, 36}, 0, 0, 0, 0, 1, 12.f / 480, 444.f / 480},
        {"zoom 2000 centred: the middle half", 640, 480, 672, {0, 0, 0, 0}, 500, 500, 2000, 160.f / 672,
         480.f / 672, 0.25f, 0.75f},
        {"zoom 1000 is no zoom", 640, 480, 640, {0, 0, 0, 0}, 100, 900, 1000, 0, 1, 0, 1},
        {"zoom at the corner stays inside", 640, 480, 640, {0, 0, 0, 0}, 0, 1000, 2000, 0, 0.5f, 0.5f, 1},
        {"zoom centre far outside stays inside", 640, 480, 640, {0, 0, 0, 0}, -100000, 100000, 4000, 0, 0.25f,
         0.75f, 1},
        {"zoom within the crop", 640, 480, 640, {40, 0, 0, 0}, 500, 500, 2000, 190.f / 640, 490.f / 640, 0.25f,
         0.75f},
    };
    for (const Case& c : cases) {
        float w[4];
        CYUVDIB::TextureWindow(c.w, c.h, c.s, c.crop, c.cx, c.cy, c.zoom, w);
        EXPECT_NEAR(w[0], c.uL, 1e-5) << c.name;
        EXPECT_NEAR(w[1], c.uR, 1e-5) << c.name;
        EXPECT_NEAR(w[2], c.vT, 1e-5) << c.name;
        EXPECT_NEAR(w[3], c.vB, 1e-5) << c.name;
    }
}

TEST(YUVGeometry, QuadCornersPerOrientation)
{
    // Corner names of the destination; the four vertices carry the texture
    // corners (uL, vT), (uL, vB), (uR, vT), (uR, vB) in this order.
    enum { TL, BL, TR, BR };
    struct Case
    {
        int orient;
        int place[4];
    } cases[] = {
        {0, {TL, BL, TR, BR}}, {2, {BR, TR, BL, TL}}, {3, {TL, TR, BL, BR}},
        {4, {BL, BR, TL, TR}}, {5, {TR, BR, TL, BL}}, {9, {TL, BL, TR, BR}}, {-3, {TL, BL, TR, BR}},
    };
    const float corner[4][2] = {{10, 20}, {10, 60}, {40, 20}, {40, 60}};
    const float window[4] = {0.1f, 0.9f, 0.2f, 0.8f};
    for (const Case& c : cases) {
        float v[CYUVDIB::QUAD_FLOATS];
        CYUVDIB::BuildQuad(CRVRect(10, 20, 30, 40), c.orient, window, v);
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(v[i * 5 + 0], corner[c.place[i]][0]) << c.orient << " vertex " << i;
            EXPECT_EQ(v[i * 5 + 1], corner[c.place[i]][1]) << c.orient << " vertex " << i;
            EXPECT_EQ(v[i * 5 + 2], 0.0f);
            EXPECT_EQ(v[i * 5 + 3], i < 2 ? 0.1f : 0.9f);
            EXPECT_EQ(v[i * 5 + 4], (i & 1) ? 0.8f : 0.2f);
        }
    }
}

// ---- on an offscreen context ----

class YUVRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why = gl.Open(64, 64);
        if (!why.empty())
            GTEST_SKIP() << why;
        ASSERT_EQ(CreateShaderPrograms(), 1);
        yuv = new CYUVDIB;
    }
    void TearDown() override
    {
        if (yuv)
            yuv->Release();
        DeleteShaderPrograms();
        gl.Close();
    }
    // Uploads what is pending and draws into rc; the frame is read back.
    int Draw(CRVRect rc, int iOrient = 0)
    {
        yuv->UpdateGL();
        gl.Clear();
        float m[16];
        gl.PixelMatrix(m);
        RVT_MATRIX_CONFIG config;
        RVT_RENDER_PARAMS params;
        int iDrawn = yuv->Render(rc, iOrient, &config, m, &params);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
        EXPECT_TRUE(gl.Read());
        return iDrawn;
    }
    COffscreenGL gl;
    CYUVDIB* yuv = nullptr;
};

// Eight bars of 8 columns over 64 x 16, in planes wider than the picture
// (Y stride 80, chroma stride 48, not half of 80), padding loud.
struct Bars
{
    static const int Y[8], Cb[8], Cr[8];
    Bars() : pic(64, 16, 80, 48)
    {
        for (int yy = 0; yy < 16; yy++)
            for (int x = 0; x < 64; x++)
                pic.Set(x, yy, Y[x / 8], Cb[x / 8], Cr[x / 8]);
    }
    Picture pic;
};
const int Bars::Y[8] = {200, 170, 140, 120, 100, 80, 60, 30};
const int Bars::Cb[8] = {128, 60, 150, 90, 170, 110, 200, 128};
const int Bars::Cr[8] = {128, 140, 70, 100, 160, 180, 110, 128};

TEST_F(YUVRender, ColourBarsBecomeTheProgramsRGB)
{
    EXPECT_EQ(yuv->Render(CRVRect(0, 0, 64, 16), 0, nullptr, nullptr, nullptr), 0);   // nothing uploaded yet
    Bars bars;
    yuv->Update(bars.pic.Data());
    EXPECT_EQ(yuv->SourceSize().cx, 64);
    EXPECT_EQ(yuv->SourceSize().cy, 16);
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    for (int i = 0; i < 8; i++) {
        for (int x : {8 * i + 2, 8 * i + 5})
            EXPECT_TRUE(ColorNear(gl.At(x, 8), ExpectedRGB(Bars::Y[i], Bars::Cb[i], Bars::Cr[i]), 3))
                << "bar " << i << " at " << x;
    }
    EXPECT_EQ(gl.At(32, 20), 0u);  // below the destination: untouched
}

TEST_F(YUVRender, PaddingColumnsNeverShowEvenMagnified)
{
    // 30 columns of dark grey in a stride of 32 whose padding is white,
    // drawn twice as large: the right edge stays dark.
    Picture pic(30, 8, 32, 16);
    for (int yy = 0; yy < 8; yy++)
        for (int x = 0; x < 30; x++)
            pic.Set(x, yy, 40, 128, 128);
    yuv->Update(pic.Data());
    ASSERT_EQ(Draw(CRVRect(0, 0, 60, 16)), 1);
    for (int x : {0, 30, 58, 59})
        EXPECT_TRUE(ColorNear(gl.At(x, 8), Grey(40), 2)) << x;
}

TEST_F(YUVRender, CropRebuildsTheQuadOnce)
{
    Bars bars;
    yuv->Update(bars.pic.Data());
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    EXPECT_EQ(yuv->QuadBuilds(), 1u);

    // Insets (8, 8, 0, 0): bars 1 .. 6 fill the destination.
    yuv->Update(bars.pic.Data({8, 8, 0, 0}));
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    EXPECT_EQ(yuv->QuadBuilds(), 2u);
    EXPECT_TRUE(ColorNear(gl.At(1, 8), ExpectedRGB(Bars::Y[1], Bars::Cb[1], Bars::Cr[1]), 3));
    EXPECT_TRUE(ColorNear(gl.At(62, 8), ExpectedRGB(Bars::Y[6], Bars::Cb[6], Bars::Cr[6]), 3));

    // A new picture of the same size and crop needs no new quad, only an upload.
    unsigned int uUploads = yuv->PlaneUploads();
    yuv->Update(bars.pic.Data({8, 8, 0, 0}));
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    EXPECT_EQ(yuv->QuadBuilds(), 2u);
    EXPECT_EQ(yuv->PlaneUploads(), uUploads + 1);
    // No new picture: nothing goes up again.
    ASSERT_EQ(Draw(CRVRect(0, 0, 64, 16)), 1);
    EXPECT_EQ(yuv->PlaneUploads(), uUploads + 1);
}

// A 32 x 32 picture of four grey quadrants.
Picture Quadrants()
{
    Picture pic(32, 32, 32, 16);
    for (int yy = 0; yy < 32; yy++)
        for (int x = 0; x < 32; x++)
            pic.Set(x, yy, yy < 16 ? (x < 16 ? 40 : 100) : (x < 16 ? 160 : 220), 128, 128);
    return pic;
}

TEST_F(YUVRender, OrientationsTurnThePicture)
{
    const int TL = 40, TR = 100, BL = 160, BR = 220;
    struct Case
    {
        int orient;
        int corner[4];  // what shows at the destination's TL, TR, BL, BR
    } cases[] = {
        {0, {TL, TR, BL, BR}},
        {2, {BR, BL, TR, TL}},  // 180 degrees
        {3, {TL, BL, TR, BR}},  // transposed
        {4, {TR, BR, TL, BL}},  // 90 degrees counter-clockwise
        {1, {TR, BR, TL, BL}},  // the last orientation again
        {5, {TR, TL, BR, BL}},  // mirrored left to right
        {7, {TL, TR, BL, BR}},  // unknown: upright
    };
    Picture pic = Quadrants();
    yuv->Update(pic.Data());
    for (const Case& c : cases) {
        ASSERT_EQ(Draw(CRVRect(8, 8, 32, 32), c.orient), 1);
        const int probe[4][2] = {{10, 10}, {37, 10}, {10, 37}, {37, 37}};
        for (int i = 0; i < 4; i++)
            EXPECT_TRUE(ColorNear(gl.At(probe[i][0], probe[i][1]), Grey(c.corner[i]), 2))
                << "orientation " << c.orient << " corner " << i;
    }
}

TEST_F(YUVRender, ZoomShowsTheMiddleHalf)
{
    // A 4 x 4 grid of 8-pixel grey cells.
    Picture pic(32, 32, 32, 16);
    auto cell = [](int col, int row) { return 20 + 13 * (row * 4 + col); };
    for (int yy = 0; yy < 32; yy++)
        for (int x = 0; x < 32; x++)
            pic.Set(x, yy, cell(x / 8, yy / 8), 128, 128);
    yuv->Update(pic.Data());
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    EXPECT_TRUE(ColorNear(gl.At(1, 1), Grey(cell(0, 0)), 2));

    yuv->SetViewCoords(500, 500, 2000);
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    EXPECT_EQ(yuv->QuadBuilds(), 2u);
    EXPECT_TRUE(ColorNear(gl.At(2, 2), Grey(cell(1, 1)), 2));
    EXPECT_TRUE(ColorNear(gl.At(29, 2), Grey(cell(2, 1)), 2));
    EXPECT_TRUE(ColorNear(gl.At(2, 29), Grey(cell(1, 2)), 2));
    EXPECT_TRUE(ColorNear(gl.At(29, 29), Grey(cell(2, 2)), 2));

    // Centred on the top-left corner, the window stays inside the picture.
    yuv->SetViewCoords(0, 0, 2000);
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    EXPECT_TRUE(ColorNear(gl.At(2, 2), Grey(cell(0, 0)), 2));
    EXPECT_TRUE(ColorNear(gl.At(29, 29), Grey(cell(1, 1)), 2));
}

TEST_F(YUVRender, ASizeChangeMakesNewTexturesAndQuad)
{
    Picture big = Quadrants();
    yuv->Update(big.Data());
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);

    Picture small(6, 5, 7, 3);     // odd sizes and strides
    for (int yy = 0; yy < 5; yy++)
        for (int x = 0; x < 6; x++)
            small.Set(x, yy, 180, 128, 128);
    yuv->Update(small.Data());
    EXPECT_EQ(yuv->SourceSize().cx, 6);
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    EXPECT_EQ(yuv->QuadBuilds(), 2u);
    for (int p : {1, 16, 30})
        EXPECT_TRUE(ColorNear(gl.At(p, p), Grey(180), 2)) << p;
}

TEST_F(YUVRender, HostilePicturesAreDroppedWithoutReadingThem)
{
    Picture good(16, 8, 16, 8);
    for (int yy = 0; yy < 8; yy++)
        for (int x = 0; x < 16; x++)
            good.Set(x, yy, 90, 128, 128);
    yuv->Update(good.Data());
    unsigned int uUploads = (Draw(CRVRect(0, 0, 16, 8)), yuv->PlaneUploads());

    // Every case points at the small planes above: were it read as described,
    // it would run far past them.
    struct Case
    {
        const char* name;
        void (*change)(RVT_YUV_DATA*);
    } cases[] = {
        {"4096 x 2160", [](RVT_YUV_DATA* d) { d->iWidth = 4096; d->iHeight = 2160; d->iStrideY = 4096; }},
        {"width 0", [](RVT_YUV_DATA* d) { d->iWidth = 0; }},
        {"negative height", [](RVT_YUV_DATA* d) { d->iHeight = -8; }},
        {"height 2049", [](RVT_YUV_DATA* d) { d->iHeight = 2049; }},
        {"huge width", [](RVT_YUV_DATA* d) { d->iWidth = 0x7FFFFFFF; d->iStrideY = 0x7FFFFFFF; }},
        {"Y stride below the width", [](RVT_YUV_DATA* d) { d->iStrideY = 15; }},
        {"negative stride", [](RVT_YUV_DATA* d) { d->iStrideCb = -8; }},
        {"chroma stride below half the width", [](RVT_YUV_DATA* d) { d->iStrideCr = 7; }},
        {"stride beyond any texture", [](RVT_YUV_DATA* d) { d->iStrideY = CYUVDIB::MAX_STRIDE + 1; }},
        {"no Y plane", [](RVT_YUV_DATA* d) { d->pY = nullptr; }},
        {"no Cr plane", [](RVT_YUV_DATA* d) { d->pCr = nullptr; }},
    };
    for (const Case& c : cases) {
        RVT_YUV_DATA* d = good.Data();
        c.change(d);
        yuv->Update(d);
        EXPECT_EQ(yuv->SourceSize().cx, 16) << c.name;
        EXPECT_EQ(yuv->SourceSize().cy, 8) << c.name;
    }
    yuv->Update(nullptr);
    ASSERT_EQ(Draw(CRVRect(0, 0, 16, 8)), 1);
    EXPECT_EQ(yuv->PlaneUploads(), uUploads);

    // Insets beyond the picture are clamped: one column and row stay.
    yuv->Update(good.Data({-50, 100000, 0x7FFFFFFF, -1}));
    ASSERT_EQ(Draw(CRVRect(0, 0, 16, 8)), 1);
    EXPECT_TRUE(ColorNear(gl.At(8, 4), Grey(90), 2));
}

TEST_F(YUVRender, ContextLossForgetsTexturesAndTheNextUploadRestoresThem)
{
    Picture pic = Quadrants();
    yuv->Update(pic.Data());
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    const unsigned int uOld = yuv->Texture(0);
    yuv->OnGLContextLost();
    EXPECT_EQ(yuv->Render(CRVRect(0, 0, 32, 32), 0, nullptr, nullptr, nullptr), 0);
    EXPECT_EQ(GLTrashCount(), 0);   // forgotten, not deleted
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    EXPECT_TRUE(ColorNear(gl.At(30, 30), Grey(220), 2));
    glDeleteTextures(1, &uOld);     // what the lost context would have taken with it
}

TEST_F(YUVRender, GLNamesAreDeletedOnlyOnTheDrawingThread)
{
    Picture pic = Quadrants();
    yuv->Update(pic.Data());
    ASSERT_EQ(Draw(CRVRect(0, 0, 32, 32)), 1);
    const unsigned int uTextures[3] = {yuv->Texture(0), yuv->Texture(1), yuv->Texture(2)};
    const unsigned int uBuffer = (unsigned int)yuv->QuadBuffer();

    // The stream thread drops the last reference: no main window exists, so
    // the object goes at once, but its GL names wait for the drawing thread.
    std::thread stream([this] { yuv->Release(); });
    stream.join();
    yuv = nullptr;
    for (unsigned int t : uTextures)
        EXPECT_TRUE(glIsTexture(t));
    EXPECT_TRUE(glIsBuffer(uBuffer));
    EXPECT_EQ(GLTrashCount(), 4);
    EXPECT_EQ(GLFlushTrash(), 4);
    for (unsigned int t : uTextures)
        EXPECT_FALSE(glIsTexture(t));
    EXPECT_FALSE(glIsBuffer(uBuffer));
}

}  // namespace

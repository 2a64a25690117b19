// CSurfPanel on an offscreen context: the part of a screen-sized texture that
// lies under the panel, taken from another surface's render object (kind 28)
// or a graphic-store image (kind 25), the panel opacity, and the image's
// references.
#include <vector>

#include "DIBDC32.h"
#include "dibdc.h"
#include "drawn_fixture.h"
#include "msgids.h"
#include "renderobject.h"
#include "rvmsg.h"
#include "shaders.h"
#include "surf_panel.h"

namespace {

// Screen pixel (x, y) of the source picture: red by column, green by row.
unsigned int Texel(int x, int y)
{
    return (unsigned int)(x * 2) << 16 | (unsigned int)(y * 3) << 8 | 0x80;
}

class CTextureObject : public CRenderObject
{
public:
    explicit CTextureObject(int iTexture) : m_iTexture(iTexture) {}
    int GetTextureID() override { return m_iTexture; }
    void Update(RVT_YUV_DATA*) override {}
    void UpdateGL() override {}
    SIZE SourceSize() override { return SIZE{96, 64}; }
    int Render(CRVRect, RENDEROBJECT_ORIENTATION, RVT_MATRIX_CONFIG*, const float*, RVT_RENDER_PARAMS*) override
    {
        return 0;
    }

private:
    int m_iTexture;
};

// A surface whose picture is a render object, drawing nothing itself.
class CPictureSurf : public CSurf
{
public:
    CPictureSurf(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, CRenderObject* pObject)
        : CSurf(pParent, iID, rc0, rc1), m_pObject(pObject)
    {
    }
    CRenderObject* GetRenderObject() override { return m_pObject; }

private:
    CRenderObject* m_pObject;
};

void SetSource(CSurfPanel* p, int iID)
{
    CRVMSG msg(0, MSG_SURFACE_PROPS, 4, 1);
    msg.PutInt(iID);
    msg.ResetRead();
    p->SetSurfaceProps(&msg, 0);
}

CDIBDC32* g_pStoreImage = nullptr;
CDIBDC32* StoreLookup(int iID)
{
    return iID == 42 ? g_pStoreImage : nullptr;
}

class SurfPanelGL : public DrawnGL
{
protected:
    void SetUp() override
    {
        DrawnGL::SetUp();
        if (IsSkipped())
            return;
        m_iPanelAlphaBefore = CShaderPanel::g_iPanelAlpha;
        CShaderPanel::g_iPanelAlpha = 255;
    }
    void TearDown() override
    {
        CShaderPanel::g_iPanelAlpha = m_iPanelAlphaBefore;
        CSurfPanel::g_pfnSourceByID = nullptr;
        DrawnGL::TearDown();
    }
    static std::vector<unsigned int> Picture()
    {
        std::vector<unsigned int> argb;
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 96; x++)
                argb.push_back(0xFF000000u | Texel(x, y));
        return argb;
    }
    // The panel at (40, 20, 20, 20) shows the picture's own pixels there.
    void ExpectPicture()
    {
        EXPECT_TRUE(Near(41, 21, Texel(41, 21)));
        EXPECT_TRUE(Near(58, 38, Texel(58, 38)));
        EXPECT_TRUE(Near(50, 30, Texel(50, 30)));
        EXPECT_TRUE(Near(39, 30, kBack));
        EXPECT_TRUE(Near(60, 30, kBack));
    }
    int m_iPanelAlphaBefore = 0;
};

TEST_F(SurfPanelGL, SurfacePanelFindsItsSourceOnceItExists)
{
    CSurfPanel* panel = Add<CSurfPanel>(wnd.get(), 1, CRVRect(40, 20, 20, 20), (int)CSurfPanel::KIND_SURFACE);
    SetSource(panel, 9);
    Frame();
    EXPECT_EQ(panel->TextureID(), -1);
    EXPECT_TRUE(Near(50, 30, kBack));

    const GLuint tex = MakeTexture(96, 64, Picture());
    CTextureObject* object = new CTextureObject((int)tex);
    Add<CPictureSurf>(wnd.get(), 9, CRVRect(0, 0, 0, 0), (CRenderObject*)object);
    Frame();
    EXPECT_EQ(panel->TextureID(), (int)tex);
    ExpectPicture();

    // Translucent by the panel opacity and the surface alpha together.
    CShaderPanel::g_iPanelAlpha = 255;
    panel->SetAlpha(128);
    Frame();
    const double a = 128 / 255.0;
    EXPECT_TRUE(Near(50, 30, Mix(Texel(50, 30), a, kBack, 1 - a), 3));

    delete wnd->RemoveSubSurf(1);
    object->Release();
    glDeleteTextures(1, &tex);
}

TEST_F(SurfPanelGL, PanelOpacityZeroHidesItUnlessTheAttributeForcesIt)
{
    const GLuint tex = MakeTexture(96, 64, Picture());
    CTextureObject* object = new CTextureObject((int)tex);
    Add<CPictureSurf>(wnd.get(), 9, CRVRect(0, 0, 0, 0), (CRenderObject*)object);
    CSurfPanel* panel = Add<CSurfPanel>(wnd.get(), 1, CRVRect(40, 20, 20, 20), (int)CSurfPanel::KIND_SURFACE);
    SetSource(panel, 9);

    CShaderPanel::g_iPanelAlpha = 0;
    Frame();
    EXPECT_TRUE(Near(50, 30, kBack));

    panel->Attribs(CSurfPanel::SA_OPAQUE);
    Frame();
    ExpectPicture();
    EXPECT_EQ(CShaderPanel::g_iPanelAlpha, 0);      // given back after the draw

    delete wnd->RemoveSubSurf(1);
    object->Release();
    glDeleteTextures(1, &tex);
}

TEST_F(SurfPanelGL, ImagePanelHoldsTheStoreImageWithAReference)
{
    CRVDibDC* dc = new CRVDibDC(96, 64);
    ASSERT_TRUE(dc->IsValid());
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 96; x++) {
            const unsigned int c = Texel(x, y);   // canvas bytes: red, green, blue, alpha
            *dc->Pixel(x, y) = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
        }
    g_pStoreImage = new CDIBDC32(dc);

    // Without a graphic store the panel holds nothing and draws nothing.
    CSurfPanel* panel = Add<CSurfPanel>(wnd.get(), 1, CRVRect(40, 20, 20, 20), (int)CSurfPanel::KIND_IMAGE);
    SetSource(panel, 42);
    EXPECT_EQ(panel->Image(), nullptr);
    Frame();
    EXPECT_TRUE(Near(50, 30, kBack));

    CSurfPanel::g_pfnSourceByID = StoreLookup;
    SetSource(panel, 7);
    SetSource(panel, 42);
    EXPECT_EQ(panel->Image(), g_pStoreImage);
    EXPECT_EQ(g_pStoreImage->RefCount(), 2);
    Frame();
    ExpectPicture();

    // Another source drops the reference; so does the panel's end.
    SetSource(panel, 7);
    EXPECT_EQ(panel->Image(), nullptr);
    EXPECT_EQ(g_pStoreImage->RefCount(), 1);
    Frame();
    EXPECT_TRUE(Near(50, 30, kBack));
    SetSource(panel, 42);
    EXPECT_EQ(g_pStoreImage->RefCount(), 2);
    delete wnd->RemoveSubSurf(1);
    EXPECT_EQ(g_pStoreImage->RefCount(), 1);
    g_pStoreImage->Release();
    g_pStoreImage = nullptr;
}

}  // namespace

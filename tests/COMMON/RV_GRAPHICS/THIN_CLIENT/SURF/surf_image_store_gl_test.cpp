// CSurfImageStore on an offscreen context: the store's image drawn over the
// surface, found once it arrives, chosen by orientation, confined to its
// aspect ratio, desaturated, blended premultiplied, and let go of when the
// store clears.
#include <memory>
#include <vector>

#include "DIBDC32.h"
#include "drawn_fixture.h"
#include "graphstore.h"
#include "msgids.h"
#include "png_encode.h"
#include "rvmsg.h"
#include "surf_image_store.h"

namespace {

const unsigned int kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

// w x h pixels: the left half one colour, the right half another (0x00RRGGBB),
// all with the same alpha.
std::vector<unsigned char> Halves(int w, int h, unsigned int left, unsigned int right, unsigned char a = 255)
{
    std::vector<unsigned char> px;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const unsigned int c = x < w / 2 ? left : right;
            px.insert(px.end(), {(unsigned char)(c >> 16), (unsigned char)(c >> 8), (unsigned char)c, a});
        }
    return px;
}

void SetIDs(CSurfImageStore* p, int id0, int id1)
{
    CRVMSG msg(0, MSG_SURFACE_PROPS, 8, 1);
    msg.PutInt(id0);
    msg.PutInt(id1);
    msg.ResetRead();
    p->SetSurfaceProps(&msg, 0);
}

class SurfImageStoreGL : public DrawnGL
{
protected:
    void SetUp() override
    {
        DrawnGL::SetUp();
        if (IsSkipped())
            return;
        m_pStoreBefore = g_pGraphicStore;
        g_pGraphicStore = &store;
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            wnd->DeleteAllSubSurf();
            wnd->CleanupGarbage();
        }
        g_pGraphicStore = m_pStoreBefore;
        DrawnGL::TearDown();
    }
    void AddImage(int iID, const std::vector<unsigned char>& rgba, int w, int h)
    {
        const std::vector<unsigned char> png = EncodePNG(rgba, w, h);
        ASSERT_TRUE(store.AddCanvas(LoadRVPNG32(png.data(), (int)png.size()), iID, 0, 0, 0));
    }
    CSurfImageStore* AddSurf(int iID, CRVRect rc, int iImage)
    {
        CSurfImageStore* p = Add<CSurfImageStore>(wnd.get(), iID, rc);
        SetIDs(p, iImage, iImage);
        return p;
    }

    CGraphicStore store;
    CGraphicStore* m_pStoreBefore = nullptr;
};

TEST_F(SurfImageStoreGL, DrawsTheImageOverItsRectangle)
{
    AddImage(7, Halves(4, 2, kRed, kBlue), 4, 2);
    CSurfImageStore* surf = AddSurf(1, CRVRect(20, 10, 40, 20), 7);
    Frame();
    EXPECT_TRUE(Near(22, 12, kRed));
    EXPECT_TRUE(Near(30, 25, kRed));
    EXPECT_TRUE(Near(50, 15, kBlue));
    EXPECT_TRUE(Near(58, 28, kBlue));
    EXPECT_TRUE(Near(18, 20, kBack));
    EXPECT_TRUE(Near(62, 20, kBack));
    EXPECT_TRUE(Near(40, 32, kBack));
    EXPECT_EQ(surf->Canvas(), store.SourceByID(7));
    EXPECT_EQ(surf->Canvas()->RefCount(), 2);
}

TEST_F(SurfImageStoreGL, AnImageThatArrivesLaterIsFound)
{
    AddSurf(1, CRVRect(20, 10, 40, 20), 9);
    Frame();
    EXPECT_TRUE(Near(40, 20, kBack));
    AddImage(8, Halves(2, 2, kGreen, kGreen), 2, 2);     // another ID: still nothing
    Frame();
    EXPECT_TRUE(Near(40, 20, kBack));
    AddImage(9, Halves(2, 2, kRed, kRed), 2, 2);
    Frame();
    EXPECT_TRUE(Near(40, 20, kRed));
}

TEST_F(SurfImageStoreGL, EachOrientationShowsItsOwnImage)
{
    AddImage(1, Halves(2, 2, kRed, kRed), 2, 2);
    AddImage(2, Halves(2, 2, kBlue, kBlue), 2, 2);
    CSurfImageStore* surf = Add<CSurfImageStore>(wnd.get(), 1, CRVRect(10, 10, 30, 30));
    SetIDs(surf, 1, 2);
    Frame();
    EXPECT_TRUE(Near(25, 25, kRed));
    CMainWnd::m_eOrientation = ORIENT_1;
    Frame();
    EXPECT_TRUE(Near(25, 25, kBlue));
    CMainWnd::m_eOrientation = ORIENT_0;

    // New IDs take effect at the next draw; variant 0x2 sends one ID for both.
    CRVMSG msg(0, MSG_SURFACE_PROPS, 4, 1);
    msg.PutInt(2);
    msg.ResetRead();
    surf->SetSurfaceProps(&msg, CSurfImageStore::VARIANT_ONE_ID);
    EXPECT_EQ(surf->ImageID(ORIENT_1), 2);
    Frame();
    EXPECT_TRUE(Near(25, 25, kBlue));
}

TEST_F(SurfImageStoreGL, AspectConfinedImageIsCentred)
{
    AddImage(3, Halves(2, 2, kRed, kRed), 2, 2);
    CSurfImageStore* surf = AddSurf(1, CRVRect(10, 10, 60, 20), 3);
    surf->Attribs(CSurfImageStore::SA_CONFINE_ASPECT);
    Frame();
    EXPECT_EQ(surf->DrawnRect(), CRVRect(20, 0, 20, 20));
    EXPECT_TRUE(Near(40, 20, kRed));
    EXPECT_TRUE(Near(25, 20, kBack));
    EXPECT_TRUE(Near(55, 20, kBack));

    surf->Attribs(0);
    Frame();
    EXPECT_EQ(surf->DrawnRect(), CRVRect(0, 0, 60, 20));
    EXPECT_TRUE(Near(15, 20, kRed));
}

TEST_F(SurfImageStoreGL, SaturationGreysTheImage)
{
    AddImage(4, Halves(2, 2, kRed, kRed), 2, 2);
    CSurfImageStore* surf = AddSurf(1, CRVRect(10, 10, 40, 40), 4);
    surf->SetAttribute(CSurfImageStore::ATTR_SATURATION, 0, 0);
    EXPECT_EQ(surf->Saturation(), 0);
    Frame();
    EXPECT_TRUE(Near(30, 30, 0x555555));
    surf->SetAttribute(CSurfImageStore::ATTR_SATURATION, 128, 0);
    Frame();
    const double s = 128 / 255.0;
    EXPECT_TRUE(Near(30, 30, Mix(0xFF0000, s, 0x555555, 1 - s), 3));
    surf->SetAttribute(CSurfImageStore::ATTR_SATURATION, 300, 0);      // clamped
    EXPECT_EQ(surf->Saturation(), 255);
    Frame();
    EXPECT_TRUE(Near(30, 30, kRed));
}

TEST_F(SurfImageStoreGL, TranslucentImageBlendsPremultiplied)
{
    AddImage(5, Halves(2, 2, kRed, kRed, 128), 2, 2);
    AddSurf(1, CRVRect(10, 10, 40, 40), 5);
    Frame();
    // The decoder premultiplies red 255 at alpha 128 to 127.
    const double a = 128 / 255.0;
    EXPECT_TRUE(Near(30, 30, Mix(0x7F0000, 1, kBack, 1 - a), 3));

    // The surface alpha fades all of it.
    wnd->FirstChild()->SetAlpha(128);
    Frame();
    EXPECT_TRUE(Near(30, 30, Mix(0x7F0000, a, kBack, 1 - a * a), 3));
}

TEST_F(SurfImageStoreGL, ClearingTheStoreEmptiesTheSurface)
{
    AddImage(6, Halves(2, 2, kBlue, kBlue), 2, 2);
    CSurfImageStore* surf = AddSurf(1, CRVRect(10, 10, 40, 40), 6);
    Frame();
    EXPECT_TRUE(Near(30, 30, kBlue));
    CRVMSG clear(0, MSG_GRAPHIC_CLEAR, 0, 1);
    store.ProcessMessage(&clear);
    EXPECT_EQ(surf->Canvas(), nullptr);
    Frame();
    EXPECT_TRUE(Near(30, 30, kBack));

    // Replaced by ID: the garbage release makes the surface look again.
    AddImage(6, Halves(2, 2, kBlue, kBlue), 2, 2);
    Frame();
    EXPECT_TRUE(Near(30, 30, kBlue));
    AddImage(6, Halves(2, 2, kGreen, kGreen), 2, 2);
    Frame();    // releasing the old image makes the surface look again
    EXPECT_TRUE(Near(30, 30, kGreen));
}

}  // namespace

// CSurfImageLocal on an offscreen context: PNG updates drawn, replaced and
// dropped, updates kept in and taken from the resource cache, records that
// do not hold their length, encodings not built yet, the picture another
// surface lends, the aspect and fill geometry, and the panel opacity handed
// to the subtree.
#include <memory>
#include <string>
#include <vector>

#include "drawn_fixture.h"
#include "png_encode.h"
#include "renderobject.h"
#include "resource_mgr.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"
#include "shaders.h"
#include "surf_image_local.h"

namespace {

const unsigned int kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;
const unsigned char kKey[16] = {0xA0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xAF};

std::vector<unsigned char> SolidPNG(int w, int h, unsigned int c)
{
    std::vector<unsigned char> px;
    for (int i = 0; i < w * h; i++)
        px.insert(px.end(), {(unsigned char)(c >> 16), (unsigned char)(c >> 8), (unsigned char)c, 255});
    return EncodePNG(px, w, h, PNG_FORMAT_RGB);
}

// The part of a 20125 record the surface reads: the length, the bytes, and
// optionally a cache key after them.
std::unique_ptr<CRVMSG> Update(const std::vector<unsigned char>& bytes, const unsigned char* pKey = nullptr)
{
    std::unique_ptr<CRVMSG> msg(new CRVMSG(0, 20125, 0, 1));
    msg->PutInt((int)bytes.size());
    msg->PutData(bytes.data(), (int)bytes.size());
    if (pKey)
        msg->PutData(pKey, 16);
    msg->ResetRead();
    return msg;
}

// Records the panel opacity in force while it is drawn.
class CPanelAlphaProbe : public CSurf
{
public:
    CPanelAlphaProbe(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1) : CSurf(pParent, iID, rc0, rc1) {}
    int RenderThis(int, CClipStack*, float*, RVT_MATRIX_CONFIG*) override
    {
        seen = CShaderPanel::g_iPanelAlpha;
        return 0;
    }
    int seen = -1;
};

class SurfImageLocalGL : public DrawnGL
{
protected:
    void SetUp() override
    {
        DrawnGL::SetUp();
        if (IsSkipped())
            return;
        m_pCacheBefore = CMainWnd::g_pResourceManager;
        CMainWnd::g_pResourceManager = &m_cache;
        m_eLevel = RVGetLogLevel();
        RVSetLogLevel(RV_LOG_WARN);
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            wnd->DeleteAllSubSurf();
            wnd->CleanupGarbage();
            CMainWnd::g_pResourceManager = m_pCacheBefore;
            RVSetLogLevel(m_eLevel);
        }
        DrawnGL::TearDown();
    }
    CSurfImageLocal* AddLocal(int iID, CRVRect rc) { return Add<CSurfImageLocal>(wnd.get(), iID, rc); }
    // What the surface logs while taking the update.
    static std::string Logged(CSurfImageLocal* p, int iFlags, CRVMSG* pMsg)
    {
        testing::internal::CaptureStderr();
        p->UpdateImageData(iFlags, pMsg);
        return testing::internal::GetCapturedStderr();
    }

    ScopedTempDir m_dir;
    CResourceManager m_cache{m_dir.path().c_str()};
    CResourceManager* m_pCacheBefore = nullptr;
    RV_LOG_LEVEL m_eLevel = RV_LOG_WARN;
};

TEST_F(SurfImageLocalGL, PNGUpdatesAreDrawnReplacedAndDropped)
{
    CSurfImageLocal* surf = AddLocal(1, CRVRect(20, 10, 40, 30));
    Frame();
    EXPECT_TRUE(Near(40, 25, kBack));

    surf->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(8, 6, kRed)).get());
    EXPECT_EQ(surf->Encoding(), CSurfImageLocal::ENCODING_PNG);
    CRenderObject* object = surf->GetRenderObject();
    ASSERT_NE(object, nullptr);
    Frame();
    EXPECT_TRUE(Near(22, 12, kRed));
    EXPECT_TRUE(Near(58, 38, kRed));
    EXPECT_TRUE(Near(18, 25, kBack));
    EXPECT_TRUE(Near(40, 42, kBack));

    // The next picture goes through the same render object.
    surf->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(3, 3, kBlue)).get());
    EXPECT_EQ(surf->GetRenderObject(), object);
    Frame();
    EXPECT_TRUE(Near(40, 25, kBlue));

    // A file that does not decode leaves the picture.
    const std::vector<unsigned char> junk = {0x89, 'P', 'N', 'G', 1, 2, 3};
    surf->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(junk).get());
    Frame();
    EXPECT_TRUE(Near(40, 25, kBlue));

    surf->UpdateImageData(CSurfImageLocal::ENCODING_DROP, Update({}).get());
    EXPECT_EQ(surf->GetRenderObject(), nullptr);
    Frame();
    EXPECT_TRUE(Near(40, 25, kBack));
}

TEST_F(SurfImageLocalGL, RecordsThatDoNotHoldTheirLengthChangeNothing)
{
    CSurfImageLocal* surf = AddLocal(1, CRVRect(20, 10, 40, 30));
    surf->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(2, 2, kGreen)).get());
    const std::vector<unsigned char> png = SolidPNG(2, 2, kRed);
    const struct
    {
        const char* what;
        int iLength;        // announced
        size_t nBytes;      // present; 0 and no length at all when iLength is 0
    } cases[] = {
        {"one byte more than sent", (int)png.size() + 1, png.size()},
        {"negative", -1, png.size()},
        {"far beyond", 0x7FFFFFF0, png.size()},
        {"no length", 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CRVMSG msg(0, 20125, 0, 1);
        if (c.nBytes) {
            msg.PutInt(c.iLength);
            msg.PutDataNoAlign(png.data(), (int)c.nBytes);
        }
        msg.ResetRead();
        for (int flags : {(int)CSurfImageLocal::ENCODING_PNG, (int)CSurfImageLocal::ENCODING_DROP,
                          CSurfImageLocal::ENCODING_PNG | CSurfImageLocal::UPDATE_FROM_CACHE}) {
            msg.ResetRead();
            EXPECT_NE(Logged(surf, flags, &msg).find("cut short"), std::string::npos);
        }
        ASSERT_NE(surf->GetRenderObject(), nullptr);
        Frame();
        EXPECT_TRUE(Near(40, 25, kGreen));
    }
}

TEST_F(SurfImageLocalGL, EncodingsNotBuiltLeaveThePictureAndAreReportedOnce)
{
    CSurfImageLocal* surf = AddLocal(1, CRVRect(20, 10, 40, 30));
    surf->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(2, 2, kGreen)).get());
    const std::vector<unsigned char> bytes(2000, 0x5A);
    for (int enc : {1, 2, 7, 8, 9, 42}) {
        SCOPED_TRACE(enc);
        const std::string first = Logged(surf, enc, Update(bytes).get());
        EXPECT_NE(first.find("not available yet"), std::string::npos) << first;
        EXPECT_EQ(Logged(surf, enc, Update(bytes).get()), "");
        EXPECT_EQ(surf->Encoding(), CSurfImageLocal::ENCODING_PNG);
    }
    CRVMSG chunk(0, 20140, 0, 1);
    chunk.PutInt(0);
    chunk.ResetRead();
    surf->UpdateImageDataSub(&chunk);
    Frame();
    EXPECT_TRUE(Near(40, 25, kGreen));
}

TEST_F(SurfImageLocalGL, PicturesKeptInAndTakenFromTheCache)
{
    CSurfImageLocal* a = AddLocal(1, CRVRect(0, 0, 40, 30));
    CSurfImageLocal* b = AddLocal(2, CRVRect(50, 0, 40, 30));
    const std::vector<unsigned char> png = SolidPNG(4, 4, kBlue);
    a->UpdateImageData(CSurfImageLocal::ENCODING_PNG | CSurfImageLocal::UPDATE_TO_CACHE, Update(png, kKey).get());
    CResourceData res;
    ASSERT_TRUE(m_cache.LoadResource(kKey, &res));
    EXPECT_EQ(res.m_iType, RESOURCE_TYPE_GRAPHIC);
    EXPECT_EQ(std::vector<unsigned char>(res.m_pData, res.m_pData + res.m_iLength), png);

    const std::vector<unsigned char> key(kKey, kKey + 16);
    b->UpdateImageData(CSurfImageLocal::ENCODING_PNG | CSurfImageLocal::UPDATE_FROM_CACHE, Update(key).get());
    Frame();
    EXPECT_TRUE(Near(20, 15, kBlue));
    EXPECT_TRUE(Near(70, 15, kBlue));

    // A key the cache does not hold, or a short one, changes nothing.
    std::vector<unsigned char> other = key;
    other[0] ^= 0xFF;
    b->UpdateImageData(CSurfImageLocal::ENCODING_DROP, Update({}).get());
    testing::internal::CaptureStderr();
    b->UpdateImageData(CSurfImageLocal::ENCODING_PNG | CSurfImageLocal::UPDATE_FROM_CACHE, Update(other).get());
    testing::internal::GetCapturedStderr();
    b->UpdateImageData(CSurfImageLocal::ENCODING_PNG | CSurfImageLocal::UPDATE_FROM_CACHE,
                       Update(std::vector<unsigned char>(key.begin(), key.begin() + 15)).get());
    EXPECT_EQ(b->GetRenderObject(), nullptr);

    // The key announced but not sent: the picture is shown, nothing cached.
    const std::string log = Logged(a, CSurfImageLocal::ENCODING_PNG | CSurfImageLocal::UPDATE_TO_CACHE,
                                   Update(SolidPNG(2, 2, kRed)).get());
    EXPECT_NE(log.find("no cache key"), std::string::npos) << log;
    Frame();
    EXPECT_TRUE(Near(20, 15, kRed));
    ASSERT_TRUE(m_cache.LoadResource(kKey, &res));
    EXPECT_EQ(std::vector<unsigned char>(res.m_pData, res.m_pData + res.m_iLength), png);
}

TEST_F(SurfImageLocalGL, ASurfaceWithoutAPictureShowsTheLentOne)
{
    CSurfImageLocal* lender = AddLocal(1, CRVRect(0, 0, 40, 30));
    CSurfImageLocal* borrower = AddLocal(2, CRVRect(50, 0, 40, 30));
    CRVMSG props(0, 20116, 0, 1);
    props.PutInt(1);
    props.PutBYTE(0);
    props.ResetRead();
    borrower->SetSurfaceProps(&props, 0);
    EXPECT_EQ(borrower->SourceID(), 1);

    Frame();    // nothing to lend yet
    EXPECT_TRUE(Near(70, 15, kBack));
    lender->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(2, 2, kRed)).get());
    Frame();
    EXPECT_TRUE(Near(70, 15, kRed));
    EXPECT_EQ(borrower->SharedObject(), lender->GetRenderObject());
    // New pictures of the lender show through the same object.
    lender->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(2, 2, kGreen)).get());
    Frame();
    EXPECT_TRUE(Near(70, 15, kGreen));

    // A picture of its own replaces the lent one, which is let go.
    borrower->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(2, 2, kBlue)).get());
    Frame();
    EXPECT_TRUE(Near(70, 15, kBlue));
    EXPECT_EQ(borrower->SharedObject(), nullptr);
}

TEST_F(SurfImageLocalGL, AspectConfinedPictureIsCentred)
{
    CSurfImageLocal* surf = AddLocal(1, CRVRect(10, 10, 60, 20));
    surf->Attribs(CSurfImageLocal::SA_CONFINE_ASPECT);
    surf->UpdateImageData(CSurfImageLocal::ENCODING_PNG, Update(SolidPNG(4, 4, kRed)).get());
    Frame();
    EXPECT_EQ(surf->DrawnRect(), CRVRect(20, 0, 20, 20));
    EXPECT_TRUE(Near(40, 20, kRed));
    EXPECT_TRUE(Near(25, 20, kBack));
    EXPECT_TRUE(Near(55, 20, kBack));
}

TEST(SurfImageLocalGeometry, ContentRectFollowsAspectAndFill)
{
    CSurfImageLocal surf(nullptr, 1, CRVRect(0, 0, 100, 50), CRVRect(0, 0, 100, 50));
    const struct
    {
        int attribs, fill, w, h, sw, sh;
        CRVRect expected;
    } cases[] = {
        {0, 0, 100, 50, 10, 10, CRVRect(0, 0, 100, 50)},                 // fills the surface
        {0, 1000, 100, 50, 10, 10, CRVRect(0, 0, 100, 50)},              // fill needs the aspect bit
        {0x20000, 0, 100, 50, 10, 10, CRVRect(25, 0, 50, 50)},           // square in a wide surface
        {0x20000, 0, 100, 50, 40, 10, CRVRect(0, 13, 100, 25)},          // wide picture
        {0x20000, 1000, 100, 50, 10, 10, CRVRect(0, -25, 100, 100)},     // filled to the width
        {0x20000, 500, 100, 50, 10, 10, CRVRect(12, -12, 75, 75)},       // half way
        {0x20000, 0, 100, 50, 0, 10, CRVRect(0, 0, 100, 50)},            // no picture size
    };
    for (const auto& c : cases) {
        surf.Attribs(c.attribs);
        surf.SetAttribute(CSurfImageLocal::ATTR_FILL_LEVEL, c.fill, 0);
        EXPECT_EQ(surf.ContentRect(c.w, c.h, c.sw, c.sh), c.expected)
            << "attribs " << c.attribs << " fill " << c.fill << " picture " << c.sw << "x" << c.sh;
    }
    surf.SetAttribute(CSurfImageLocal::ATTR_FILL_LEVEL, 5000, 0);
    EXPECT_EQ(surf.FillLevel(), 1000);
    surf.SetAttribute(CSurfImageLocal::ATTR_FILL_LEVEL, -5, 0);
    EXPECT_EQ(surf.FillLevel(), 0);

    const struct
    {
        int width, expected;
    } dy[] = {{100, 50}, {50, 25}, {200, 50}, {0, 0}};
    for (const auto& c : dy)
        EXPECT_EQ(surf.PreferredDY(ORIENT_0, c.width), c.expected) << c.width;
}

TEST_F(SurfImageLocalGL, PanelOpacityFollowsTheSurfaceForItsSubtree)
{
    CSurfImageLocal* surf = AddLocal(1, CRVRect(0, 0, 40, 30));
    CPanelAlphaProbe* probe = new CPanelAlphaProbe(surf, 2, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10));
    surf->AddChildTail(probe);
    const int before = CShaderPanel::g_iPanelAlpha;
    surf->SetAlpha(100);
    Frame();
    EXPECT_EQ(probe->seen, before);     // without the attribute nothing changes

    surf->Attribs(CSurfImageLocal::SA_SETS_PANEL_ALPHA);
    Frame();
    EXPECT_EQ(probe->seen, 100);
    EXPECT_EQ(CShaderPanel::g_iPanelAlpha, before);     // given back after the subtree
}

}  // namespace

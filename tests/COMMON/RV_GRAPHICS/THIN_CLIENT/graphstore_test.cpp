// CGraphicStore: images added in both formats and from the resource cache,
// replaced by ID, refused when the store is full, removed through the main
// window's garbage, and messages that do not hold what they announce.
#include "graphstore.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>

#include <memory>
#include <string>
#include <vector>

#include "DIBDC32.h"
#include "dibdc.h"
#include "gl_trash.h"
#include "mainwnd.h"
#include "msgids.h"
#include "png_encode.h"
#include "resource_mgr.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"
#include "surf_image_store.h"
#include "tcf.h"

namespace {

const unsigned char kKey[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};

// w x h pixels of one colour (bytes R, G, B, A).
std::vector<unsigned char> Solid(int w, int h, unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    std::vector<unsigned char> px;
    for (int i = 0; i < w * h; i++)
        px.insert(px.end(), {r, g, b, a});
    return px;
}

std::vector<unsigned char> OwnFormat(const std::vector<unsigned char>& rgba, int w, int h)
{
    std::vector<unsigned char> out;
    EXPECT_TRUE(CompressRGBA(rgba.data(), w, h, 0, &out));
    return out;
}

struct ADD
{
    int iID = 1;
    int iFlags = 0;
    int iMargin1 = 0, iMargin2 = 0;
    int iFormat = 5;
    std::vector<unsigned char> bytes;
};

// 20110 and 20167 (with the key after the format), or 20166 (the key and no
// bytes).
std::unique_ptr<CRVMSG> AddMessage(short sID, const ADD& a)
{
    std::unique_ptr<CRVMSG> msg(new CRVMSG(0, sID, 0, 1));
    msg->PutInt(a.iID);
    msg->PutInt(a.iFlags);
    if (a.iFlags & 1) {
        msg->PutInt(a.iMargin1);
        msg->PutInt(a.iMargin2);
    }
    msg->PutInt(a.iFormat);
    if (sID != MSG_GRAPHIC_ADD)
        msg->PutData(kKey, 16);
    if (sID != MSG_GRAPHIC_ADD_CACHED) {
        msg->PutInt((int)a.bytes.size());
        msg->PutData(a.bytes.data(), (int)a.bytes.size());
    }
    return msg;
}

std::unique_ptr<CRVMSG> IntMessage(short sID, std::vector<int> values)
{
    std::unique_ptr<CRVMSG> msg(new CRVMSG(0, sID, 0, 1));
    for (int v : values)
        msg->PutInt(v);
    return msg;
}

// The canvas pixel (x, y) of a stored image, bytes R, G, B, A packed low first.
uint32_t PixelOf(CDIBDC32* pDib, int x, int y)
{
    return pDib && pDib->DibDC() ? *pDib->DibDC()->Pixel(x, y) : 0xDEADBEEF;
}

uint32_t Px(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | g << 8 | b << 16 | a << 24; }

class GraphicStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_eLevel = RVGetLogLevel();
        RVSetLogLevel(RV_LOG_WARN);
        ASSERT_TRUE(m_dir.ok());
        m_pCacheBefore = CMainWnd::g_pResourceManager;
        CMainWnd::g_pResourceManager = &m_cache;
    }
    void TearDown() override
    {
        CMainWnd::g_pResourceManager = m_pCacheBefore;
        RVSetLogLevel(m_eLevel);
    }
    void Send(short sID, const ADD& a) { store.ProcessMessage(AddMessage(sID, a).get()); }
    // What the store logs while handling the message.
    std::string Logged(CRVMSG* pMsg)
    {
        testing::internal::CaptureStderr();
        store.ProcessMessage(pMsg);
        return testing::internal::GetCapturedStderr();
    }

    ScopedTempDir m_dir;
    CResourceManager m_cache{m_dir.path().c_str()};
    CGraphicStore store;
    CResourceManager* m_pCacheBefore = nullptr;
    RV_LOG_LEVEL m_eLevel = RV_LOG_WARN;
};

TEST_F(GraphicStore, ImagesOfBothFormatsWithFlagsAndMargins)
{
    ADD own;
    own.iID = 0x10;
    own.iFlags = 1;
    own.iMargin1 = 7;
    own.iMargin2 = -3;
    own.iFormat = CGraphicStore::FORMAT_OWN;
    own.bytes = OwnFormat(Solid(3, 2, 200, 100, 50, 128), 3, 2);
    Send(MSG_GRAPHIC_ADD, own);

    ADD png;
    png.iID = 0x20;
    png.bytes = EncodePNG(Solid(4, 4, 10, 20, 30, 255), 4, 4, PNG_FORMAT_RGB);
    Send(MSG_GRAPHIC_ADD, png);

    ASSERT_EQ(store.Count(), 2);
    CDIBDC32* a = store.SourceByID(0x10);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->StoreFlags(), 1u);
    EXPECT_EQ(CGraphicStore::Margin1(a), 7);
    EXPECT_EQ(CGraphicStore::Margin2(a), -3);
    EXPECT_EQ(a->DibDC()->Width(), 3);
    EXPECT_EQ(PixelOf(a, 2, 1), Px(100, 50, 25, 128));     // premultiplied

    CDIBDC32* b = store.SourceByID(0x20);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->StoreFlags(), 0u);
    EXPECT_EQ(CGraphicStore::Margin1(b), 0);
    EXPECT_EQ(PixelOf(b, 3, 3), Px(10, 20, 30, 255));
    EXPECT_EQ(store.SourceByID(0x30), nullptr);
}

TEST_F(GraphicStore, SameIDReplacesTheImage)
{
    ADD first;
    first.iID = 5;
    first.bytes = EncodePNG(Solid(2, 2, 255, 0, 0, 255), 2, 2, PNG_FORMAT_RGB);
    ADD second = first;
    second.bytes = EncodePNG(Solid(2, 2, 0, 0, 255, 255), 2, 2, PNG_FORMAT_RGB);
    Send(MSG_GRAPHIC_ADD, first);
    const uint32_t gen = store.Generation();
    Send(MSG_GRAPHIC_ADD, second);
    EXPECT_NE(store.Generation(), gen);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(PixelOf(store.SourceByID(5), 0, 0), Px(0, 0, 255, 255));

    // An image that cannot be decoded still removes the one it replaces.
    ADD bad = first;
    bad.bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::string log = Logged(AddMessage(MSG_GRAPHIC_ADD, bad).get());
    EXPECT_NE(log.find("Load PNG failed: AddGraphcStore"), std::string::npos) << log;
    EXPECT_EQ(store.Count(), 0);
    bad.iFormat = CGraphicStore::FORMAT_OWN;
    EXPECT_NE(Logged(AddMessage(MSG_GRAPHIC_ADD, bad).get()).find("Error in LoadTCF1"), std::string::npos);
}

TEST_F(GraphicStore, The513thImageIsRefused)
{
    ADD a;
    a.iFormat = CGraphicStore::FORMAT_OWN;
    a.bytes = OwnFormat(Solid(1, 1, 1, 2, 3, 255), 1, 1);
    for (int i = 0; i < CGraphicStore::MAX_CANVASES; i++) {
        a.iID = 1000 + i;
        Send(MSG_GRAPHIC_ADD, a);
    }
    ASSERT_EQ(store.Count(), CGraphicStore::MAX_CANVASES);
    a.iID = 5000;
    const std::string log = Logged(AddMessage(MSG_GRAPHIC_ADD, a).get());
    EXPECT_NE(log.find("*********************\n"), std::string::npos) << log;
    EXPECT_NE(log.find("GraphicStore is FULL!"), std::string::npos);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
    EXPECT_EQ(store.SourceByID(5000), nullptr);
    EXPECT_EQ(store.Count(), CGraphicStore::MAX_CANVASES);

    // The order of adding is kept: deleting one makes room for one.
    store.ProcessMessage(IntMessage(MSG_GRAPHIC_DELETE, {1000}).get());
    Send(MSG_GRAPHIC_ADD, a);
    EXPECT_NE(store.SourceByID(5000), nullptr);
}

TEST_F(GraphicStore, RecordsThatDoNotHoldTheirLengthChangeNothing)
{
    ADD keep;
    keep.iID = 9;
    keep.bytes = EncodePNG(Solid(2, 2, 9, 9, 9, 255), 2, 2, PNG_FORMAT_RGB);
    Send(MSG_GRAPHIC_ADD, keep);
    CDIBDC32* before = store.SourceByID(9);

    const std::vector<unsigned char> png = keep.bytes;
    struct CASE
    {
        const char* what;
        short sID;
        std::vector<int> ints;      // the record up to the length
        int iLength;
        size_t nBytes;              // bytes that follow
    } cases[] = {
        {"length beyond the data", MSG_GRAPHIC_ADD, {9, 0, 5}, (int)png.size() + 1, png.size()},
        {"negative length", MSG_GRAPHIC_ADD, {9, 0, 5}, -4, png.size()},
        {"huge length", MSG_GRAPHIC_ADD, {9, 0, 5}, 0x7FFFFFFF, png.size()},
        {"no length", MSG_GRAPHIC_ADD, {9, 0, 5}, 0, 0},
        {"margins announced, not sent", MSG_GRAPHIC_ADD, {9, 1}, 0, 0},
        {"no format", MSG_GRAPHIC_ADD, {9, 0}, 0, 0},
        {"empty", MSG_GRAPHIC_ADD, {}, 0, 0},
        {"cache add without its key", MSG_GRAPHIC_ADD_STORE, {9, 0, 5, 1, 2}, 0, 0},
        {"cache load without its key", MSG_GRAPHIC_ADD_CACHED, {9, 0, 5, 1}, 0, 0},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.what);
        CRVMSG msg(0, c.sID, 0, 1);
        for (int v : c.ints)
            msg.PutInt(v);
        if (c.nBytes) {
            msg.PutInt(c.iLength);
            msg.PutData(png.data(), (int)c.nBytes);
        }
        const std::string log = Logged(&msg);
        EXPECT_NE(log.find("cut short"), std::string::npos) << log;
        EXPECT_EQ(store.Count(), 1);
        EXPECT_EQ(store.SourceByID(9), before);
    }
}

TEST_F(GraphicStore, ImagesKeptInAndTakenFromTheCache)
{
    ADD a;
    a.iID = 1;
    a.iFormat = CGraphicStore::FORMAT_OWN;
    a.bytes = OwnFormat(Solid(2, 2, 0, 255, 0, 255), 2, 2);
    Send(MSG_GRAPHIC_ADD_STORE, a);
    ASSERT_NE(store.SourceByID(1), nullptr);
    CResourceData res;
    ASSERT_TRUE(m_cache.LoadResource(kKey, &res));
    EXPECT_EQ(res.m_iType, RESOURCE_TYPE_GRAPHIC);
    EXPECT_EQ(std::vector<unsigned char>(res.m_pData, res.m_pData + res.m_iLength), a.bytes);

    // The cached bytes under another ID, decoded by the format the message
    // names.
    ADD c;
    c.iID = 2;
    c.iFlags = 1;
    c.iMargin1 = 4;
    c.iMargin2 = 6;
    c.iFormat = CGraphicStore::FORMAT_OWN;
    Send(MSG_GRAPHIC_ADD_CACHED, c);
    CDIBDC32* p = store.SourceByID(2);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(CGraphicStore::Margin2(p), 6);
    EXPECT_EQ(PixelOf(p, 1, 1), Px(0, 254, 0, 255));

    // A PNG from the cache.
    ADD png;
    png.iID = 3;
    png.bytes = EncodePNG(Solid(1, 1, 7, 8, 9, 255), 1, 1, PNG_FORMAT_RGB);
    Send(MSG_GRAPHIC_ADD_STORE, png);
    ADD cachedPng;
    cachedPng.iID = 4;
    Send(MSG_GRAPHIC_ADD_CACHED, cachedPng);
    EXPECT_EQ(PixelOf(store.SourceByID(4), 0, 0), Px(7, 8, 9, 255));

    // An image that fails to decode is not cached.
    ADD bad;
    bad.iID = 5;
    bad.bytes = {0x89, 'P', 'N', 'G'};
    unlink((m_dir / "0102030405060708090A0B0C0D0E0F10.res").c_str());
    Send(MSG_GRAPHIC_ADD_STORE, bad);
    EXPECT_FALSE(m_cache.LoadResource(kKey, &res));

    // A key the cache does not hold empties the ID it names.
    const std::string log = Logged(AddMessage(MSG_GRAPHIC_ADD_CACHED, cachedPng).get());
    EXPECT_NE(log.find("Could not load resource"), std::string::npos);
    EXPECT_EQ(store.SourceByID(4), nullptr);
}

TEST_F(GraphicStore, FormatElevenAndPrimitivesAreNotAvailable)
{
    // Reported at warn level the first time, at debug level after that.
    ADD a;
    a.iID = 8;
    a.iFormat = CGraphicStore::FORMAT_PRIMITIVE_IMAGE;
    a.bytes = std::vector<unsigned char>(20, 0);
    EXPECT_NE(Logged(AddMessage(MSG_GRAPHIC_ADD, a).get()).find("format 11) are not available yet"),
              std::string::npos);
    EXPECT_EQ(Logged(AddMessage(MSG_GRAPHIC_ADD, a).get()), "");
    EXPECT_EQ(store.Count(), 0);
    for (short sID : {MSG_PRIMITIVE_ADD, MSG_PRIMITIVE_DELETE, MSG_PRIMITIVE_CLEAR}) {
        const std::string log = Logged(IntMessage(sID, {8, 0, 10, 4, 0}).get());
        EXPECT_NE(log.find("(message " + std::to_string(sID) + ") are not available yet"), std::string::npos) << log;
        EXPECT_EQ(Logged(IntMessage(sID, {8}).get()), "");
    }
    RVSetLogLevel(RV_LOG_DEBUG);
    EXPECT_NE(Logged(IntMessage(MSG_PRIMITIVE_CLEAR, {}).get()).find("not available yet"), std::string::npos);
}

TEST_F(GraphicStore, LookupsAndReferences)
{
    ADD a;
    a.iID = 0x42;
    a.bytes = EncodePNG(Solid(1, 1, 1, 1, 1, 255), 1, 1, PNG_FORMAT_RGB);
    Send(MSG_GRAPHIC_ADD, a);
    CDIBDC32* p = store.RetainSourceByID(0x42);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->RefCount(), 2);
    // Without a main window a removed image is released at once; the
    // reference taken keeps it alive.
    store.ProcessMessage(IntMessage(MSG_GRAPHIC_DELETE, {0x42}).get());
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(p->RefCount(), 1);
    p->Release();

    RVSetLogLevel(RV_LOG_INFO);
    testing::internal::CaptureStderr();
    EXPECT_EQ(store.SourceByID(7), nullptr);
    EXPECT_EQ(store.SourceByID(0), nullptr);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("Error no item ID (0x00000007)"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);     // ID 0 asks for nothing
}

TEST(GraphicStoreTrash, NamesJoinTheGLTrash)
{
    GLForgetTrash();
    CGraphicStore store;
    store.DeleteBuffer(-1);
    store.DeleteTexture(-5);
    EXPECT_EQ(GLTrashCount(), 0);
    store.DeleteBuffer(3);
    store.DeleteTexture(4);
    EXPECT_EQ(GLTrashCount(), 2);
    GLForgetTrash();
}

// With a main window: removals go through its garbage, and a clear makes the
// image surfaces let go of what they held.
class GraphicStoreWithWindow : public GraphicStore
{
protected:
    void SetUp() override
    {
        GraphicStore::SetUp();
        m_bRenderGLBefore = CSurf::g_bRenderGL;
        CSurf::g_bRenderGL = 0;
        wnd.reset(new CMainWnd(nullptr, 1, 100, 100, 100, 100, 1));
    }
    void TearDown() override
    {
        wnd.reset();
        CSurf::g_bRenderGL = m_bRenderGLBefore;
        GraphicStore::TearDown();
    }
    std::unique_ptr<CMainWnd> wnd;
    int m_bRenderGLBefore = 0;
};

TEST_F(GraphicStoreWithWindow, RemovedImagesWaitInTheGarbage)
{
    ADD a;
    a.bytes = EncodePNG(Solid(1, 1, 1, 1, 1, 255), 1, 1, PNG_FORMAT_RGB);
    for (int id : {1, 2, 3}) {
        a.iID = id;
        Send(MSG_GRAPHIC_ADD, a);
    }
    CDIBDC32* one = store.RetainSourceByID(1);
    store.ProcessMessage(IntMessage(MSG_GRAPHIC_DELETE, {1}).get());
    EXPECT_EQ(store.Count(), 2);
    EXPECT_EQ(wnd->GarbageDIBs(), 1);
    EXPECT_EQ(one->RefCount(), 2);      // the garbage still holds the store's reference
    wnd->CleanupGarbage();
    EXPECT_EQ(wnd->GarbageDIBs(), 0);
    EXPECT_EQ(one->RefCount(), 1);
    one->Release();

    // Replacing an image throws the old one away the same way.
    Send(MSG_GRAPHIC_ADD, a);
    EXPECT_EQ(wnd->GarbageDIBs(), 1);

    store.ProcessMessage(IntMessage(MSG_GRAPHIC_CLEAR, {}).get());
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(wnd->GarbageDIBs(), 3);
    wnd->CleanupGarbage();
}

TEST_F(GraphicStoreWithWindow, ClearMakesImageSurfacesLookAgain)
{
    CSurfImageStore* surf = new CSurfImageStore(wnd.get(), 5, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10));
    wnd->AddChildTail(surf);
    surf->ClearStateFlags(CSurfImageStore::SS_IMAGE_RELOAD);
    store.ProcessMessage(IntMessage(MSG_GRAPHIC_CLEAR, {}).get());
    EXPECT_TRUE(surf->State() & CSurfImageStore::SS_IMAGE_RELOAD);
}

}  // namespace

// Text surfaces: where their text lands in the box (alignment, margin, the
// atlas and texture paths, a reflection), when they rasterise again, kinds 6
// and 24, the fallback to the platform's text engine, and text-limit groups.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "fake_fontserver.h"
#include "gl_fixture.h"
#include "mainwnd.h"
#include "pinned_fonts.h"
#include "rvmsg.h"
#include "shaders.h"
#include "surf_rect.h"
#include "surf_text.h"
#include "text_atlas.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

struct TEXT_PROPS
{
    const wchar_t* pszText = L"Text";
    unsigned int uColor = 0xFFFFFF;
    int iSize = 20;
    int iAlign = 0;
    int iStyle = 0;
    int iSpacing = 100;
    // Kind 24 only.
    int iEffect = 0;
    int iMargin = 0;
    unsigned int uColor2 = 0;
};

void SendProps(CSurfText* t, const TEXT_PROPS& p)
{
    CRVMSG msg(0, 20114, 0, 1);
    msg.PutString(CRVString(p.pszText));
    msg.PutColorBYTE(p.uColor);
    msg.PutBYTE((unsigned char)p.iSize);
    msg.PutBYTE((unsigned char)p.iAlign);
    msg.PutBYTE((unsigned char)p.iStyle);
    msg.PutBYTE((unsigned char)p.iSpacing);
    if (t->Kind() == 24) {
        msg.PutBYTE((unsigned char)p.iEffect);
        msg.PutBYTE(0);
        msg.PutBYTE((unsigned char)p.iMargin);
        msg.PutColorBYTE(p.uColor2);
    }
    msg.ResetRead();
    t->SetSurfaceProps(&msg, 0);
}

CSurfText* AddText(CSurf* pParent, int iID, CRVRect rc, const TEXT_PROPS& p, int iKind = 6, int iAttribs = 0)
{
    CSurfText* t = new CSurfText(pParent, iID, rc, rc, iKind);
    t->Attribs(iAttribs);
    if (!(iAttribs & CSurf::SA_TEXT_ATLAS))
        t->TextAtlasOwner(pParent->TextAtlasOwner());
    SendProps(t, p);
    pParent->AddChildTail(t);
    return t;
}

// ---- drawn on an offscreen context ----

class SurfTextGL : public GLFixture
{
protected:
    SurfTextGL() : GLFixture(200, 120) {}
    void SetUp() override
    {
        GLFixture::SetUp();
        if (!m_bOpen)
            return;
        ASSERT_EQ(CreateShaderPrograms(), 1);
        root.reset(new CSurf(nullptr, 0, R(0, 0, 200, 120), R(0, 0, 200, 120)));
    }
    void TearDown() override
    {
        if (m_bOpen) {
            root.reset();
            DeleteShaderPrograms();
        }
        GLFixture::TearDown();
    }
    // A parent at the origin that owns a text atlas (or not).
    CSurf* Parent(bool bAtlas)
    {
        CSurf* p = new CSurf(root.get(), 1, R(0, 0, 200, 120), R(0, 0, 200, 120));
        if (bAtlas)
            p->Attribs(CSurf::SA_TEXT_ATLAS);
        root->AddChildTail(p);
        return p;
    }
    void Frame(int iMirrorLevel = 0, int iMirrorLine = 0, ORIENT eOrient = ORIENT_0)
    {
        Clear(0);
        CClipStack clip(R(0, 0, 200, 120));
        clip.SetMirrorAlpha(iMirrorLevel, iMirrorLine);
        float m[16];
        m_gl.PixelMatrix(m);
        RVT_MATRIX_CONFIG config;
        config.eOrientation = eOrient;
        for (CSurf* p = root->FirstChild(); p; p = p->NextSibling())
            p->Render(255, &clip, m, &config);
        Read();
    }
    static bool Lit(unsigned int c) { return ((c >> 16) & 0xFF) > 40 || ((c >> 8) & 0xFF) > 40 || (c & 0xFF) > 40; }
    // The smallest rectangle holding every lit pixel; empty when none.
    // Within columns l .. r - 1 and rows t .. b - 1.
    CRVRect LitBounds(int l = 0, int t = 0, int r = 200, int b = 120)
    {
        int x0 = 200, x1 = -1, top = 120, bottom = -1;
        for (int y = t; y < b; y++)
            for (int x = l; x < r; x++)
                if (Lit(At(x, y))) {
                    x0 = std::min(x0, x);
                    x1 = std::max(x1, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return x1 < 0 ? CRVRect() : R(x0, top, x1 - x0 + 1, bottom - top + 1);
    }

    CFakeFontServer server;
    std::unique_ptr<CSurf> root;
};

TEST_F(SurfTextGL, AlignmentPlacesTheTextInItsBox)
{
    // Four characters at size 20: 40 x 20 pixels in a 100 x 40 box at (20, 10).
    struct CASE
    {
        const char* name;
        int iAlign;
        CRVRect expected;
    } cases[] = {
        {"left", 0, R(20, 10, 40, 20)},
        {"right", CSurfText::ALIGN_RIGHT, R(80, 10, 40, 20)},
        {"centred", CSurfText::ALIGN_CENTER, R(50, 10, 40, 20)},
        {"centred vertically", CSurfText::ALIGN_VCENTER, R(20, 20, 40, 20)},
        {"both", CSurfText::ALIGN_CENTER | CSurfText::ALIGN_VCENTER, R(50, 20, 40, 20)},
    };
    for (bool bAtlas : {false, true}) {
        for (const CASE& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (bAtlas ? " through the atlas" : " as a texture"));
            root.reset(new CSurf(nullptr, 0, R(0, 0, 200, 120), R(0, 0, 200, 120)));
            TEXT_PROPS p;
            p.pszText = L"Room";
            p.iAlign = c.iAlign;
            CSurfText* t = AddText(Parent(bAtlas), 5, R(20, 10, 100, 40), p);
            Frame();
            EXPECT_EQ(t->AtlasEntry() != nullptr, bAtlas);
            EXPECT_EQ(t->Texture() != nullptr, !bAtlas);
            EXPECT_EQ(LitBounds(), c.expected);
            EXPECT_TRUE(Near(c.expected.x + 5, c.expected.y + 5, 0xFFFFFF));
        }
    }
}

TEST_F(SurfTextGL, KindTwentyFourWidensTheBoxAndOutlinesBypassTheAtlas)
{
    CSurf* owner = Parent(true);
    TEXT_PROPS p;
    p.pszText = L"Room";
    p.iMargin = 5;
    p.uColor2 = 0x123456;
    // A margin without an effect: packed; the box is 5 wider on each side.
    CSurfText* plain = AddText(owner, 5, R(20, 10, 100, 40), p, 24);
    // The same text as kind 6 is packed too.
    p.pszText = L"Hall";
    CSurfText* six = AddText(owner, 7, R(140, 60, 50, 40), p, 6);
    // With an effect it is an outline, which only a texture of its own shows.
    p.iEffect = 200;
    CSurfText* outlined = AddText(owner, 6, R(20, 60, 100, 40), p, 24);
    Frame();
    ASSERT_NE(plain->AtlasEntry(), nullptr);
    ASSERT_NE(six->AtlasEntry(), nullptr);
    EXPECT_EQ(outlined->AtlasEntry(), nullptr);
    ASSERT_NE(outlined->Texture(), nullptr);
    EXPECT_EQ(server.m_LastParams.iStrokeWidth, 5);
    EXPECT_EQ(server.m_LastParams.iStrokeAlpha, 200);
    EXPECT_EQ(server.m_LastParams.uStrokeColor, 0x123456u);
    EXPECT_EQ(server.m_LastParams.iMaxWidth, 110);
    EXPECT_EQ(server.m_LastParams.iMaxHeight, 50);
    EXPECT_EQ(server.m_LastParams.iTextureID, -1);
    EXPECT_EQ(outlined->RenderedWidth(), 110);
    // A texture starts a margin to the left and above; an atlas entry does not.
    EXPECT_EQ(LitBounds(0, 0, 200, 50), R(20, 10, 40, 20));
    EXPECT_EQ(LitBounds(0, 50, 130, 120), R(15, 55, 40, 20));
    EXPECT_EQ(LitBounds(130, 50, 200, 120), R(140, 60, 40, 20));
}

TEST_F(SurfTextGL, AtlasTextsAreDrawnOverTheirWholeSubtree)
{
    for (bool bAtlas : {false, true}) {
        SCOPED_TRACE(bAtlas ? "through the atlas" : "as a texture");
        root.reset(new CSurf(nullptr, 0, R(0, 0, 200, 120), R(0, 0, 200, 120)));
        CSurf* parent = Parent(bAtlas);
        TEXT_PROPS p;
        p.pszText = L"Room";
        AddText(parent, 5, R(20, 10, 100, 40), p);
        // A red rectangle after the text, over it.
        parent->AddChildTail(new CSurfRect(parent, 6, R(0, 0, 200, 50), R(0, 0, 200, 50), 0xFF0000));
        Frame();
        EXPECT_TRUE(Near(30, 20, bAtlas ? 0xFFFFFF : 0xFF0000));
        EXPECT_TRUE(Near(150, 20, 0xFF0000));
    }
}

TEST_F(SurfTextGL, AMirrorDrawsAReflectionAtItsLevel)
{
    TEXT_PROPS p;
    p.pszText = L"Room";
    AddText(Parent(false), 5, R(20, 10, 100, 40), p);
    // Rows 10 .. 29 (y 10 to 30) reflected about y = 60 land on rows 90 .. 109.
    Frame(255, 60);
    EXPECT_EQ(LitBounds(0, 0, 200, 60), R(20, 10, 40, 20));
    EXPECT_EQ(LitBounds(0, 60, 200, 120), R(20, 90, 40, 20));
    Frame(128, 60);
    EXPECT_TRUE(Near(30, 100, 0x808080, 2));
    EXPECT_TRUE(Near(30, 20, 0xFFFFFF));
    Frame(0, 60);
    EXPECT_EQ(LitBounds(0, 60, 200, 120), CRVRect());
}

TEST_F(SurfTextGL, RasterisesAgainOnlyWhenWhatShapesTheTextChanged)
{
    TEXT_PROPS p;
    p.pszText = L"Room";
    CSurfText* t = AddText(Parent(false), 5, R(20, 10, 100, 40), p);
    Frame();
    ASSERT_EQ(server.m_iCreates, 1);
    EXPECT_EQ(t->RenderedWidth(), 100);

    struct STEP
    {
        const char* name;
        std::function<void()> change;
        ORIENT eOrient;
        int iCreates;   // after the next frame
    } steps[] = {
        {"the same props again", [&] { SendProps(t, p); }, ORIENT_0, 1},
        {"alignment alone is not applied",
         [&] {
             TEXT_PROPS q = p;
             q.iAlign = CSurfText::ALIGN_RIGHT;
             SendProps(t, q);
         },
         ORIENT_0, 1},
        {"a new colour", [&] { p.uColor = 0x00FF00; SendProps(t, p); }, ORIENT_0, 2},
        {"a wider box", [&] { t->SetPosition(ORIENT_0, R(20, 10, 150, 40)); }, ORIENT_0, 2},
        {"a box narrower than the rasterised one", [&] { t->SetPosition(ORIENT_0, R(20, 10, 80, 40)); }, ORIENT_0, 3},
        {"a taller box", [&] { t->SetPosition(ORIENT_0, R(20, 10, 80, 60)); }, ORIENT_0, 3},
        {"a new text", [&] { p.pszText = L"Hall"; SendProps(t, p); }, ORIENT_0, 4},
        {"the other orientation", [] {}, ORIENT_1, 5},
    };
    for (const STEP& s : steps) {
        SCOPED_TRACE(s.name);
        s.change();
        Frame(0, 0, s.eOrient);
        EXPECT_EQ(server.m_iCreates, s.iCreates);
    }
    EXPECT_EQ(t->Alignment(), 0);
    EXPECT_TRUE(Near(30, 20, 0x00FF00));
}

TEST_F(SurfTextGL, AnEmptyTextDrawsNothingAndKeepsItsBoxWidth)
{
    TEXT_PROPS p;
    p.pszText = L"";
    CSurfText* t = AddText(Parent(false), 5, R(20, 10, 100, 40), p);
    Frame();
    EXPECT_EQ(server.m_iCreates, 1);    // asked once, no fallback
    EXPECT_EQ(t->Texture(), nullptr);
    EXPECT_EQ(t->RenderedWidth(), 100);
    EXPECT_EQ(LitBounds(), CRVRect());
}

TEST_F(SurfTextGL, TheWholeGroupSharesOneAtlasTextureAndEachItsColour)
{
    CSurf* owner = Parent(true);
    const unsigned int colours[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
    for (int i = 0; i < 4; i++) {
        TEXT_PROPS p;
        p.pszText = i % 2 ? L"Odd" : L"Even";
        p.uColor = colours[i];
        AddText(owner, 10 + i, R(10 + 45 * i, 10, 45, 30), p);
    }
    Frame();
    ASSERT_NE(owner->TextAtlas(), nullptr);
    EXPECT_EQ(owner->TextAtlas()->EntryCount(), 2);     // two texts, two entries
    EXPECT_EQ(owner->TextAtlas()->QueuedCount(), 0);
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(Near(10 + 45 * i + 3, 15, colours[i])) << i;
}

TEST_F(SurfTextGL, AfterAFontChangeAtlasTextsAreRasterisedByTheNewServer)
{
    CSurf* owner = Parent(true);
    TEXT_PROPS p;
    p.pszText = L"Room";
    CSurfText* a = AddText(owner, 5, R(20, 10, 100, 40), p);
    CSurfText* b = AddText(owner, 6, R(20, 60, 100, 40), p);
    Frame();
    ASSERT_NE(a->AtlasEntry(), nullptr);
    EXPECT_EQ(a->AtlasEntry(), b->AtlasEntry());
    EXPECT_EQ(a->AtlasEntry()->ImageWidth(), 40);
    {
        // The main window swaps the server and lays the whole tree out again.
        CFakeFontServer wider;
        wider.m_iCharPercent = 100;
        root->SetStateFlags(CSurf::SS_APPEARANCE | CSurf::SS_FONT_CHANGED);
        Frame();
        ASSERT_NE(a->AtlasEntry(), nullptr);
        EXPECT_EQ(a->AtlasEntry()->ImageWidth(), 80);
        EXPECT_EQ(a->AtlasEntry(), b->AtlasEntry());   // shared again at once
        EXPECT_EQ(wider.m_iCreates, 1);
        EXPECT_EQ(LitBounds(0, 0, 200, 50), R(20, 10, 80, 20));
        // Nothing more to forget in the next frame.
        Frame();
        EXPECT_EQ(wider.m_iCreates, 1);
        root->SetStateFlags(CSurf::SS_APPEARANCE);
        Frame();
        EXPECT_EQ(wider.m_iCreates, 1);     // the new entry is reused
    }
}

// The platform's text engine with one pinned face.
class SurfTextSysFont : public SurfTextGL
{
protected:
    void SetUp() override
    {
        SurfTextGL::SetUp();
        if (!m_bOpen)
            return;
        if (!fonts.ok())
            GTEST_SKIP() << "the pinned face is not installed";
        sys.reset(CFontServer::CreateDefaultFontServer());
        ASSERT_NE(sys, nullptr);
        g_pFontServer = sys.get();
    }
    void TearDown() override
    {
        g_pFontServer = &server;
        sys.reset();
        SurfTextGL::TearDown();
    }
    CPinnedFonts fonts;
    std::unique_ptr<CFontServer> sys;
};

TEST_F(SurfTextSysFont, TextLightsPixelsInsideItsBoxAndNoneOutside)
{
    for (bool bAtlas : {false, true}) {
        for (int iAlign : {0, CSurfText::ALIGN_CENTER | CSurfText::ALIGN_VCENTER, (int)CSurfText::ALIGN_RIGHT}) {
            SCOPED_TRACE(std::string(bAtlas ? "atlas" : "texture") + " alignment " + std::to_string(iAlign));
            root.reset(new CSurf(nullptr, 0, R(0, 0, 200, 120), R(0, 0, 200, 120)));
            TEXT_PROPS p;
            p.pszText = L"Living room";
            p.iSize = 22;
            p.iAlign = iAlign;
            CSurfText* t = AddText(Parent(bAtlas), 5, R(20, 30, 160, 40), p);
            Frame();
            EXPECT_EQ(t->AtlasEntry() != nullptr, bAtlas);
            const CRVRect lit = LitBounds();
            ASSERT_FALSE(lit.IsEmpty());
            EXPECT_GE(lit.x, 20);
            EXPECT_GE(lit.y, 30);
            EXPECT_LE(lit.x + lit.width, 180);
            EXPECT_LE(lit.y + lit.height, 70);
            EXPECT_GT(lit.width, 60);     // eleven characters at 22 pixels
            EXPECT_GT(lit.height, 10);
        }
    }
}

TEST_F(SurfTextGL, AServerThatCannotDrawFallsBackToThePlatformTextEngine)
{
    server.m_bFail = true;
    TEXT_PROPS p;
    p.pszText = L"Room";
    CSurfText* t = AddText(Parent(false), 5, R(20, 10, 100, 40), p);
    Frame();
    EXPECT_EQ(server.m_iCreates, 1);
    ASSERT_NE(t->Texture(), nullptr);
    const CRVRect lit = LitBounds();
    EXPECT_FALSE(lit.IsEmpty());
    EXPECT_GE(lit.x, 20);
    EXPECT_LE(lit.x + lit.width, 120);
}

// ---- text-limit groups, no GL ----

class SurfTextGroups : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CSurf::g_bRenderGL = 0;
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 800, 600, 1));
        server.reset(new CFakeFontServer);
        server->m_iCharPercent = 100;   // "abcde" at size s is 5 s wide
    }
    void TearDown() override
    {
        server.reset();
        wnd.reset();
    }
    CSurfText* Member(int iID, int iWidth0, int iWidth1, int iAttribs, const wchar_t* pszText = L"abcde")
    {
        CSurfText* t = new CSurfText(wnd.get(), iID, R(0, 0, iWidth0, 30), R(0, 0, iWidth1, 30), 6);
        t->Attribs(iAttribs);
        TEXT_PROPS p;
        p.pszText = pszText;
        SendProps(t, p);
        wnd->AddChildTail(t);
        return t;
    }

    std::unique_ptr<CMainWnd> wnd;
    std::unique_ptr<CFakeFontServer> server;
};

TEST_F(SurfTextGroups, EveryMemberEndsAtTheLargestSizeAllOfThemFit)
{
    // Fitting sizes 18, 14 and 16 in orientation 0 (5 s < width); 20, 20 and
    // 12 in orientation 1.
    CSurfText* a = Member(1, 91, 200, 0x1010000);
    CSurfText* b = Member(2, 71, 200, 0x10000);
    EXPECT_EQ(wnd->GetTextGroup(0x10000)->iCount, 2);
    EXPECT_EQ(a->UsedFontSize(ORIENT_0), 20);   // nothing applied before the commit
    CSurfText* c = Member(3, 81, 61, 0x2010000);
    EXPECT_EQ(a->FontSizeThatFits(ORIENT_0), 18);
    EXPECT_EQ(c->FontSizeThatFits(ORIENT_1), 12);
    for (CSurfText* t : {a, b, c}) {
        EXPECT_EQ(t->UsedFontSize(ORIENT_0), 14);
        EXPECT_EQ(t->UsedFontSize(ORIENT_1), 12);
        EXPECT_EQ(t->FontSize(), 20);
        EXPECT_NE(t->State() & CSurf::SS_APPEARANCE, 0);
    }
    EXPECT_EQ(wnd->GetTextGroup(0x10000)->iCount, 0);
    // New props bring the requested size back until the group is committed again.
    TEXT_PROPS p;
    p.pszText = L"abcdef";
    SendProps(b, p);
    EXPECT_EQ(b->UsedFontSize(ORIENT_0), 20);
}

TEST_F(SurfTextGroups, ATextWiderThanItsBoxAtEverySizeFitsAtZero)
{
    CSurfText* t = Member(1, 4, 4, 0);
    EXPECT_EQ(t->FontSizeThatFits(ORIENT_0), 0);
    CSurfText* wide = Member(2, 500, 500, 0x1020000);
    Member(3, 4, 4, 0x2020000);
    EXPECT_EQ(wide->UsedFontSize(ORIENT_0), 0);
}

TEST_F(SurfTextGroups, MembersAreKeptOnceAndLeaveWhenDeleted)
{
    CSurfText* a = Member(1, 91, 200, 0x1030000);
    CSurfText* b = Member(2, 71, 200, 0x30000);
    // Sent again while the group is open: still one member.
    TEXT_PROPS p;
    p.pszText = L"abcdx";
    SendProps(b, p);
    EXPECT_EQ(wnd->GetTextGroup(0x30000)->iCount, 2);
    // A member deleted before the commit is no longer in the group.
    wnd->RemoveSubSurf(b);
    delete b;
    ASSERT_EQ(wnd->GetTextGroup(0x30000)->iCount, 1);
    EXPECT_EQ(wnd->GetTextGroup(0x30000)->pMembers[0], a);
    wnd->CommitTextLimitGroup(0x30000);
    EXPECT_EQ(a->UsedFontSize(ORIENT_0), 18);
    // Groups beyond the four keys are ignored.
    Member(3, 91, 200, 0x1050000);
    EXPECT_EQ(wnd->GetTextGroup(0x50000), nullptr);
}

}  // namespace

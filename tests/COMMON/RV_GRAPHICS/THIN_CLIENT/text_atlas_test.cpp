// The text atlas: first-fit packing, the cache of packed texts, reference
// counts and eviction, the draw queue, and on an offscreen context that the
// texture keeps the texels of live entries while others are evicted and their
// slots reused.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "fake_fontserver.h"
#include "gl_fixture.h"
#include "matrix.h"
#include "shaders.h"
#include "text_atlas.h"

namespace {

RVT_TEXT_RENDER_PARAMS Params(int iSize, int iMaxWidth = 512, int iMaxHeight = 512,
                              int iWrap = RVT_TEXT_RENDER_PARAMS::WRAP_TRUNCATE)
{
    RVT_TEXT_RENDER_PARAMS p;
    p.iSize = iSize;
    p.iMaxWidth = iMaxWidth;
    p.iMaxHeight = iMaxHeight;
    p.iWrapMode = iWrap;
    return p;
}

// A w x h request to a server in sized mode, never cut; the tag tells texts
// of one size apart.
CTextAtlasEntry* Box(CTextAtlas& atlas, int w, int h, int iTag = 0)
{
    const std::wstring s = std::to_wstring(w) + L"x" + std::to_wstring(h) + L"#" + std::to_wstring(iTag);
    RVT_TEXT_RENDER_PARAMS p = Params(10, 512, 512, 2);
    return atlas.GetTextAtlasEntry(CRVString(s.c_str()), &p);
}

CRVString Label(int i)
{
    return CRVString(("label " + std::to_string(i)).c_str());
}

class TextAtlas : public ::testing::Test
{
protected:
    CFakeFontServer server;
    CTextAtlas atlas;
};

TEST_F(TextAtlas, PacksFirstFitRowByRow)
{
    server.m_bSizedTexts = true;
    struct SLOT
    {
        int w, h;
        int x, y;       // expected slot; -1: no room
    };
    struct CASE
    {
        const char* name;
        std::vector<SLOT> slots;
    } cases[] = {
        {"a full-width entry fills its row", {{512, 1, 0, 0}, {10, 1, 0, 1}}},
        {"left to right, then below the row",
         {{100, 20, 0, 0}, {100, 20, 100, 0}, {300, 10, 200, 0}, {20, 5, 0, 20}, {12, 5, 500, 0}}},
        {"the next row starts at the lowest bottom of what was hit",
         {{100, 30, 0, 0}, {100, 10, 100, 0}, {312, 20, 200, 0}, {50, 10, 100, 10}}},
        {"the last texel row stays free",
         {{256, 511, 0, 0}, {256, 511, 256, 0}, {1, 1, -1, -1}}},
        {"too large for the atlas", {{513, 1, -1, -1}, {1, 512, -1, -1}, {512, 511, 0, 0}}},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.name);
        CTextAtlas a;
        for (const SLOT& s : c.slots) {
            CTextAtlasEntry* e = Box(a, s.w, s.h, (int)(&s - c.slots.data()));
            if (s.x < 0) {
                EXPECT_EQ(e, nullptr) << s.w << "x" << s.h;
                continue;
            }
            ASSERT_NE(e, nullptr) << s.w << "x" << s.h;
            EXPECT_EQ(e->SlotX(), s.x) << s.w << "x" << s.h;
            EXPECT_EQ(e->SlotY(), s.y) << s.w << "x" << s.h;
            e->Retain();    // held, so nothing is evicted to make room
        }
        // No two entries overlap.
        for (int i = 0; i < a.EntryCount(); i++)
            for (int j = i + 1; j < a.EntryCount(); j++) {
                const CTextAtlasEntry* e = a.Entry(j);
                EXPECT_FALSE(
                    a.Entry(i)->TestIntersect(e->SlotX(), e->SlotY(), e->ImageWidth(), e->ImageHeight()));
            }
        // Release what the test held; the atlas frees the rest.
        for (int i = 0; i < a.EntryCount(); i++)
            a.Entry(i)->Release();
    }
}

TEST_F(TextAtlas, SameTextAndSizeGiveTheSameEntry)
{
    RVT_TEXT_RENDER_PARAMS p = Params(12);
    CTextAtlasEntry* a = atlas.GetTextAtlasEntry(CRVString(L"Kitchen"), &p);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->RefCount(), 1);    // the atlas's own
    EXPECT_EQ(a->ImageWidth(), 7 * 6);
    EXPECT_EQ(a->ImageHeight(), 12);
    EXPECT_EQ(a->Flags(), 0);
    const int iCreates = server.m_iCreates;
    EXPECT_EQ(atlas.GetTextAtlasEntry(CRVString(L"Kitchen"), &p), a);
    EXPECT_EQ(server.m_iCreates, iCreates);     // not rendered again

    RVT_TEXT_RENDER_PARAMS q = Params(14);
    CTextAtlasEntry* b = atlas.GetTextAtlasEntry(CRVString(L"Kitchen"), &q);
    ASSERT_NE(b, nullptr);
    EXPECT_NE(b, a);
    EXPECT_EQ(b->FontSize(), 14);
    // Another layout of the same text is another entry too; a placement the
    // servers do not draw (right or vertical alignment) is not.
    RVT_TEXT_RENDER_PARAMS centred = p;
    centred.bFlags = RVT_TEXT_RENDER_PARAMS::TEXT_CENTER;
    EXPECT_NE(atlas.GetTextAtlasEntry(CRVString(L"Kitchen"), &centred), a);
    RVT_TEXT_RENDER_PARAMS wrapped = p;
    wrapped.iWrapMode = RVT_TEXT_RENDER_PARAMS::WRAP_LINES;
    EXPECT_NE(atlas.GetTextAtlasEntry(CRVString(L"Kitchen"), &wrapped), a);
    RVT_TEXT_RENDER_PARAMS right = p;
    right.bFlags = 0x4 | 0x10;
    EXPECT_EQ(atlas.GetTextAtlasEntry(CRVString(L"Kitchen"), &right), a);
    EXPECT_EQ(atlas.EntryCount(), 4);
    // Each render asked for a bitmap in memory.
    EXPECT_TRUE(server.m_LastParams.bOutputFlags & RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY);
}

TEST_F(TextAtlas, RefusesLongAndStrokedTexts)
{
    RVT_TEXT_RENDER_PARAMS p = Params(2);   // 1 pixel per character
    EXPECT_NE(atlas.GetTextAtlasEntry(CRVString(std::string(64, 'a').c_str()), &p), nullptr);
    EXPECT_EQ(atlas.GetTextAtlasEntry(CRVString(std::string(65, 'a').c_str()), &p), nullptr);
    RVT_TEXT_RENDER_PARAMS stroked = Params(12);
    stroked.iStrokeWidth = 2;
    stroked.iStrokeAlpha = 255;
    EXPECT_EQ(atlas.GetTextAtlasEntry(CRVString(L"Den"), &stroked), nullptr);
    // Only both together make an outline.
    stroked.iStrokeAlpha = 0;
    EXPECT_NE(atlas.GetTextAtlasEntry(CRVString(L"Den"), &stroked), nullptr);
    EXPECT_EQ(atlas.GetTextAtlasEntry(CRVString(L""), &p), nullptr);      // the server draws nothing
}

TEST_F(TextAtlas, ACutTextServesOnlyRequestsThatCutIt)
{
    // "ABCDEFGHIJ" at size 10 is 50 pixels wide.
    const CRVString text(L"ABCDEFGHIJ");
    RVT_TEXT_RENDER_PARAMS wide = Params(10, 100);
    CTextAtlasEntry* whole = atlas.GetTextAtlasEntry(text, &wide);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(whole->Flags() & CTextAtlasEntry::FLAG_CUT, 0);

    RVT_TEXT_RENDER_PARAMS narrow = Params(10, 30);
    CTextAtlasEntry* cut = atlas.GetTextAtlasEntry(text, &narrow);
    ASSERT_NE(cut, nullptr);
    EXPECT_NE(cut, whole);
    EXPECT_NE(cut->Flags() & CTextAtlasEntry::FLAG_CUT, 0);
    EXPECT_LE(cut->ImageWidth(), 30);
    EXPECT_EQ(cut->NaturalWidth(), 50);

    struct CASE
    {
        int iMaxWidth;
        CTextAtlasEntry* expected;
    } cases[] = {
        {100, whole},   // fits whole: the uncut entry
        {50, whole},
        {35, cut},      // would be cut: the cut one fits
        {30, cut},
    };
    for (const CASE& c : cases) {
        RVT_TEXT_RENDER_PARAMS p = Params(10, c.iMaxWidth);
        EXPECT_EQ(atlas.GetTextAtlasEntry(text, &p), c.expected) << c.iMaxWidth;
    }
    EXPECT_EQ(atlas.EntryCount(), 2);
}

TEST_F(TextAtlas, AFullAtlasEvictsOnlyEntriesNoOneHolds)
{
    RVT_TEXT_RENDER_PARAMS p = Params(8);
    std::vector<CTextAtlasEntry*> held;
    for (int i = 0; i < CTextAtlas::MAX_ENTRIES; i++) {
        CTextAtlasEntry* e = atlas.GetTextAtlasEntry(Label(i), &p);
        ASSERT_NE(e, nullptr) << i;
        e->Retain();
        held.push_back(e);
    }
    EXPECT_EQ(atlas.GetTextAtlasEntry(CRVString(L"one more"), &p), nullptr);
    EXPECT_EQ(atlas.EntryCount(), CTextAtlas::MAX_ENTRIES);

    // Release two; the next request evicts the first of them (lowest index).
    held[10]->Release();
    held[20]->Release();
    CTextAtlasEntry* e = atlas.GetTextAtlasEntry(CRVString(L"one more"), &p);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(atlas.EntryCount(), CTextAtlas::MAX_ENTRIES);
    for (int i = 0; i < atlas.EntryCount(); i++)
        EXPECT_NE(atlas.Entry(i)->Text(), Label(10));
    EXPECT_EQ(atlas.Entry(10), held[11]);       // the rest keep their order
    EXPECT_EQ(atlas.Entry(atlas.EntryCount() - 1), e);
    EXPECT_EQ(held[20]->RefCount(), 1);         // still cached
    EXPECT_EQ(atlas.GetTextAtlasEntry(Label(20), &p), held[20]);

    for (CTextAtlasEntry* h : held)
        if (h != held[10] && h != held[20])
            h->Release();
}

TEST_F(TextAtlas, NoRoomEvictsEveryUnheldEntryAndKeepsHeldTexels)
{
    server.m_bSizedTexts = true;
    server.m_bSolid = false;
    // Four rows of 4 x 100-pixel blocks: the atlas is full.
    std::vector<CTextAtlasEntry*> entries;
    for (int i = 0; i < 20; i++) {
        CTextAtlasEntry* e = Box(atlas, 128 - (i % 4 == 3), 100, i);
        if (!e)
            break;
        e->Retain();
        entries.push_back(e);
    }
    ASSERT_EQ(entries.size(), 20u);
    EXPECT_EQ(Box(atlas, 200, 200), nullptr) << "held entries are never evicted";
    const CTextAtlasEntry* kept = entries[5];
    const std::vector<unsigned char> before(
        static_cast<CTextAtlasRenderObjectDefault*>(atlas.RenderObject())->Texels(),
        static_cast<CTextAtlasRenderObjectDefault*>(atlas.RenderObject())->Texels() + 512 * 512);
    for (CTextAtlasEntry* e : entries)
        if (e != kept)
            e->Release();

    CTextAtlasEntry* big = Box(atlas, 300, 300);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(atlas.EntryCount(), 2);
    EXPECT_FALSE(big->TestIntersect(kept->SlotX(), kept->SlotY(), kept->ImageWidth(), kept->ImageHeight()));
    const unsigned char* texels = static_cast<CTextAtlasRenderObjectDefault*>(atlas.RenderObject())->Texels();
    for (int y = 0; y < kept->ImageHeight(); y++)
        for (int x = 0; x < kept->ImageWidth(); x++) {
            const size_t at = (size_t)(kept->SlotY() + y) * 512 + (size_t)(kept->SlotX() + x);
            ASSERT_EQ(texels[at], before[at]) << x << "," << y;
        }
    EXPECT_EQ(texels[(size_t)big->SlotY() * 512 + (size_t)big->SlotX()],
              CFakeFontServer::Pattern(CRVString(L"300x300#0"), 0, 0));
    const_cast<CTextAtlasEntry*>(kept)->Release();
}

TEST_F(TextAtlas, QueuedDrawsHoldTheirEntriesAndA65thFlushes)
{
    RVT_TEXT_RENDER_PARAMS p = Params(8);
    CTextAtlasEntry* e = atlas.GetTextAtlasEntry(CRVString(L"queued"), &p);
    ASSERT_NE(e, nullptr);
    float m[16];
    MatrixSetIdentity(m);
    for (int i = 0; i < CTextAtlas::MAX_QUEUED; i++)
        atlas.AddTextAtlasRenderRef(e, m, 255, 0xFFFFFF);
    EXPECT_EQ(atlas.QueuedCount(), CTextAtlas::MAX_QUEUED);
    EXPECT_EQ(e->RefCount(), 1 + CTextAtlas::MAX_QUEUED);
    EXPECT_EQ(atlas.FreeBlocks(1), 0);      // queued: not evictable
    atlas.AddTextAtlasRenderRef(e, m, 255, 0xFFFFFF);
    EXPECT_EQ(atlas.QueuedCount(), 1);
    EXPECT_EQ(e->RefCount(), 2);
    atlas.Render();     // no GL here: the queue is only emptied
    EXPECT_EQ(atlas.QueuedCount(), 0);
    EXPECT_EQ(e->RefCount(), 1);
    EXPECT_EQ(atlas.FreeBlocks(0), 1);
    EXPECT_EQ(atlas.EntryCount(), 0);
}

TEST_F(TextAtlas, AnEntryOutlivesItsAtlas)
{
    CTextAtlas* a = new CTextAtlas;
    RVT_TEXT_RENDER_PARAMS p = Params(8);
    CTextAtlasEntry* e = a->GetTextAtlasEntry(CRVString(L"kept"), &p);
    ASSERT_NE(e, nullptr);
    e->Retain();
    delete a;
    EXPECT_EQ(e->RefCount(), 1);
    EXPECT_EQ(e->Text(), CRVString(L"kept"));
    e->Release();
}

// ---- on an offscreen context ----

class TextAtlasGL : public GLFixture
{
protected:
    TextAtlasGL() : GLFixture(256, 128) {}
    void SetUp() override
    {
        GLFixture::SetUp();
        if (!m_bOpen)
            return;
        ASSERT_EQ(CreateShaderPrograms(), 1);
        server.m_bSizedTexts = true;
        server.m_bSolid = false;
    }
    void TearDown() override
    {
        if (m_bOpen)
            DeleteShaderPrograms();
        GLFixture::TearDown();
    }
    // The whole texture as the GL holds it.
    std::vector<unsigned char> TextureTexels()
    {
        std::vector<unsigned char> v(512 * 512);
        glBindTexture(GL_TEXTURE_2D, (GLuint)atlas.RenderObject()->TextureID());
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_ALPHA, GL_UNSIGNED_BYTE, v.data());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        return v;
    }
    // Draws one entry in white at (x, y), one texel per pixel.
    void Draw(CTextAtlasEntry* e, int x, int y)
    {
        float m[16];
        m_gl.PixelMatrix(m);
        MatrixTranslate((float)x, (float)y, 0.0f, m);
        atlas.AddTextAtlasRenderRef(e, m, 255, 0xFFFFFF);
        atlas.Render();
    }

    CFakeFontServer server;
    CTextAtlas atlas;
};

TEST_F(TextAtlasGL, EvictionAfterTheTextureExistsKeepsLiveTexels)
{
    // Fill the atlas with 64 blocks and draw one, which makes the texture.
    std::vector<CTextAtlasEntry*> entries;
    for (int i = 0; i < CTextAtlas::MAX_ENTRIES; i++) {
        CTextAtlasEntry* e = Box(atlas, 30 + i % 7, 20 + i % 5, i);
        ASSERT_NE(e, nullptr) << i;
        e->Retain();
        entries.push_back(e);
    }
    Draw(entries[0], 0, 0);
    ASSERT_NE(atlas.RenderObject()->TextureID(), -1);

    // Every other entry is let go; new texts of other sizes take their places.
    std::vector<CTextAtlasEntry*> live;
    for (int i = 0; i < CTextAtlas::MAX_ENTRIES; i++) {
        if (i % 2)
            entries[i]->Release();
        else
            live.push_back(entries[i]);
    }
    for (int i = 0; i < 32; i++) {
        CTextAtlasEntry* e = Box(atlas, 25 + i % 9, 18 + i % 4, 100 + i);
        ASSERT_NE(e, nullptr) << i;
        e->Retain();
        live.push_back(e);
    }
    EXPECT_EQ(atlas.EntryCount(), CTextAtlas::MAX_ENTRIES);

    // The texture holds every live entry's pattern, as does the copy.
    const std::vector<unsigned char> tex = TextureTexels();
    const unsigned char* copy = static_cast<CTextAtlasRenderObjectDefault*>(atlas.RenderObject())->Texels();
    for (CTextAtlasEntry* e : live) {
        for (int y = 0; y < e->ImageHeight(); y++)
            for (int x = 0; x < e->ImageWidth(); x++) {
                const size_t at = (size_t)(e->SlotY() + y) * 512 + (size_t)(e->SlotX() + x);
                const unsigned char want = CFakeFontServer::Pattern(e->Text(), x, y);
                ASSERT_EQ(tex[at], want) << "entry " << (const char*)CRVString(e->Text()) << " at " << x << "," << y;
                ASSERT_EQ(copy[at], want);
            }
    }

    // And drawing one shows exactly its coverage, grey on black.
    CTextAtlasEntry* e = live.back();
    Clear(0);
    Draw(e, 10, 20);
    Read();
    for (int y = 0; y < e->ImageHeight(); y += 3)
        for (int x = 0; x < e->ImageWidth(); x += 3) {
            const unsigned int c = CFakeFontServer::Pattern(e->Text(), x, y);
            EXPECT_TRUE(Near(10 + x, 20 + y, c << 16 | c << 8 | c, 2));
        }
    EXPECT_TRUE(Near(9, 20, 0));
    EXPECT_TRUE(Near(10 + e->ImageWidth(), 20, 0));
    EXPECT_TRUE(Near(10, 20 + e->ImageHeight(), 0));
    for (CTextAtlasEntry* l : live)
        l->Release();
}

TEST_F(TextAtlasGL, TheTextureCatchesUpWithTheCopy)
{
    // Checks that the GL's texture holds each entry's pattern.
    auto Expect = [this](const std::vector<CTextAtlasEntry*>& entries) {
        const std::vector<unsigned char> tex = TextureTexels();
        for (CTextAtlasEntry* e : entries)
            for (int y = 0; y < e->ImageHeight(); y++)
                for (int x = 0; x < e->ImageWidth(); x++)
                    ASSERT_EQ(tex[(size_t)(e->SlotY() + y) * 512 + (size_t)(e->SlotX() + x)],
                              CFakeFontServer::Pattern(e->Text(), x, y));
    };
    CTextAtlasEntry* first = Box(atlas, 40, 12, 1);
    ASSERT_NE(first, nullptr);
    Draw(first, 0, 0);
    // Packed on a thread that may not touch the GL, after the texture exists.
    CTextAtlasEntry* late = nullptr;
    std::thread([&] { late = Box(atlas, 50, 14, 2); }).join();
    ASSERT_NE(late, nullptr);
    Draw(late, 0, 0);
    Expect({first, late});
    // A lost context: the texture and quads are made again from the copy.
    const int iOld = atlas.RenderObject()->TextureID();
    atlas.OnGLContextLost();
    EXPECT_EQ(atlas.RenderObject()->TextureID(), -1);
    Clear(0);
    Draw(late, 0, 0);
    ASSERT_NE(atlas.RenderObject()->TextureID(), -1);
    EXPECT_NE(atlas.RenderObject()->TextureID(), iOld);
    Expect({first, late});
    Read();
    const unsigned int c = CFakeFontServer::Pattern(late->Text(), 4, 4);
    EXPECT_TRUE(Near(4, 4, c << 16 | c << 8 | c, 2));
    GLuint uOld = (GLuint)iOld;
    glDeleteTextures(1, &uOld);     // what the lost context would have taken with it
}

TEST_F(TextAtlasGL, OneBatchTintsEachLabelInItsColourAndAlpha)
{
    server.m_bSolid = true;
    CTextAtlasEntry* a = Box(atlas, 20, 10);
    CTextAtlasEntry* b = Box(atlas, 20, 10);    // the same text: the same entry
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    Clear(0);
    float m[16];
    struct DRAW
    {
        int x;
        int iAlpha;
        unsigned int uColor;
        unsigned int uExpected;
    } draws[] = {
        {0, 255, 0xFF0000, 0xFF0000},
        {30, 255, 0x00FF00, 0x00FF00},
        {60, 128, 0x0000FF, 0x000080},
        {90, 255, 0x0000FF, 0x0000FF},
    };
    for (const DRAW& d : draws) {
        m_gl.PixelMatrix(m);
        MatrixTranslate((float)d.x, 0.0f, 0.0f, m);
        atlas.AddTextAtlasRenderRef(a, m, d.iAlpha, d.uColor);
    }
    atlas.Render();
    // The text program uploads its colour again after the atlas.
    EXPECT_EQ(atlas.QueuedCount(), 0);
    Read();
    for (const DRAW& d : draws) {
        EXPECT_TRUE(Near(d.x + 5, 5, d.uExpected, 2));
        EXPECT_TRUE(Near(d.x + 25, 5, 0));
    }
}

}  // namespace

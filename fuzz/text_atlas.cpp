// The text atlas under arbitrary sequences of requests, releases and queued
// draws (no GL: the texels live in the atlas's copy). A server of fixed
// sizes stands in for the font server: the text "W H T" is drawn as a W x H
// bitmap whose bytes depend on the whole text.
//
// Input: records of 4 bytes: op, a, b, c.
//   op % 5 == 0  request a text of w x h pixels (from a and b, see below),
//                tag c, kept while there is room in the held list (c & 0x80
//                pads the text past the atlas's length limit)
//   op % 5 == 1  release held entry a
//   op % 5 == 2  queue a draw of held entry a
//   op % 5 == 3  draw the queue (empties it without GL)
//   op % 5 == 4  the font server was replaced: forget what was packed
// Traps when two entries overlap, a held entry was evicted, or a held
// entry's texels changed; the sanitizers catch the rest.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FontServer.h"
#include "gl_es.h"
#include "text_atlas.h"

namespace {

void Check(bool ok)
{
    if (!ok)
        abort();
}

unsigned int Seed(const CRVString& sText)
{
    CRVString s(sText);
    unsigned int seed = 0;
    for (const wchar_t* p = (wchar_t*)s; p && *p; p++)
        seed = seed * 31u + (unsigned int)*p;
    return seed;
}

unsigned char Texel(unsigned int seed, int x, int y)
{
    return (unsigned char)(1 + (seed + (unsigned int)x * 7u + (unsigned int)y * 13u) % 255u);
}

class CSizedServer : public CFontServer
{
public:
    using CFontServer::GetTextExtent;
    SIZE GetTextExtent(int, const wchar_t* pText, int iCount, THREAD_CTX) override
    {
        int w = 0, h = 0;
        std::wstring s(pText, (size_t)(iCount > 0 ? iCount : 0));
        return swscanf(s.c_str(), L"%d %d", &w, &h) == 2 ? SIZE{w, h} : SIZE{0, 0};
    }
    CGLDIB* CreateGLDIB(const CRVString& sText, RVT_TEXT_RENDER_PARAMS* pParams) override
    {
        const SIZE e = GetTextExtent(pParams->iSize, sText);
        if (e.cx <= 0 || e.cy <= 0)
            return nullptr;
        CGLDIB* pDib = new CGLDIBMem(e.cx, e.cy, (e.cx + 3) & ~3, e.cy);
        unsigned char* p = pDib->Image();
        Check(p != nullptr);
        const unsigned int seed = Seed(sText);
        for (int y = 0; y < e.cy; y++)
            for (int x = 0; x < e.cx; x++)
                p[y * ((e.cx + 3) & ~3) + x] = Texel(seed, x, y);
        return pDib;
    }
};

void CheckAtlas(CTextAtlas& atlas, const std::vector<CTextAtlasEntry*>& held)
{
    for (int i = 0; i < atlas.EntryCount(); i++) {
        const CTextAtlasEntry* a = atlas.Entry(i);
        Check(a->SlotX() >= 0 && a->SlotY() >= 0 && a->SlotX() + a->ImageWidth() <= 512 &&
              a->SlotY() + a->ImageHeight() <= 512);
        for (int j = i + 1; j < atlas.EntryCount(); j++) {
            const CTextAtlasEntry* b = atlas.Entry(j);
            Check(!a->TestIntersect(b->SlotX(), b->SlotY(), b->ImageWidth(), b->ImageHeight()));
        }
    }
    const unsigned char* texels = static_cast<CTextAtlasRenderObjectDefault*>(atlas.RenderObject())->Texels();
    for (CTextAtlasEntry* e : held) {
        bool bFound = false;
        for (int i = 0; i < atlas.EntryCount(); i++)
            bFound |= atlas.Entry(i) == e;
        Check(bFound);
        // A grid of samples and the far corner: an overwrite by another
        // entry reaches at least one of them.
        const int w = e->ImageWidth(), h = e->ImageHeight();
        const unsigned int seed = Seed(e->Text());
        for (int y = 0; y < h; y += h / 4 + 1)
            for (int x = 0; x < w; x += w / 4 + 1)
                Check(texels[(e->SlotY() + y) * 512 + e->SlotX() + x] == Texel(seed, x, y));
        Check(texels[(e->SlotY() + h - 1) * 512 + e->SlotX() + w - 1] == Texel(seed, w - 1, h - 1));
    }
}

}   // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CSizedServer server;
    g_pFontServer = &server;
    {
        CTextAtlas atlas;
        std::vector<CTextAtlasEntry*> held;
        float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        for (size_t i = 0; i + 4 <= size && i < 4 * 256; i += 4) {
            const int op = data[i] % 5, a = data[i + 1], b = data[i + 2], c = data[i + 3];
            if (op == 0) {
                char text[96];
                // Mostly small labels; now and then a block that fills much
                // of the atlas or does not fit at all.
                const int w = (a & 0x7F) + 1 + ((a & 0x80) ? 400 : 0);
                const int h = (b & 0x3F) + 1 + ((b & 0xC0) == 0xC0 ? 460 : 0);
                snprintf(text, sizeof text, "%d %d %d%s", w, h, c,
                         (c & 0x80) ? " ...................................................." : "");
                RVT_TEXT_RENDER_PARAMS p;
                p.iSize = 10;
                p.iMaxWidth = 512;
                p.iMaxHeight = 512;
                p.iWrapMode = 2;
                CTextAtlasEntry* e = atlas.GetTextAtlasEntry(CRVString(text), &p);
                if (e && held.size() < 48) {
                    e->Retain();
                    held.push_back(e);
                }
            } else if (op == 1 && !held.empty()) {
                const size_t k = (size_t)a % held.size();
                held[k]->Release();
                held.erase(held.begin() + (long)k);
            } else if (op == 2 && !held.empty()) {
                atlas.AddTextAtlasRenderRef(held[(size_t)a % held.size()], m, b, (unsigned int)c * 0x10101u);
            } else if (op == 3) {
                atlas.Render();
            } else if (op == 4) {
                atlas.ForgetEntries();
            }
            CheckAtlas(atlas, held);
        }
        for (CTextAtlasEntry* e : held)
            e->Release();
    }
    g_pFontServer = nullptr;
    return 0;
}

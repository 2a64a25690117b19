// The text atlas's cache: 1,000 distinct labels of 8 to 20 characters at 20
// pixels, spread over 20 atlases of 50 labels (an atlas holds at most 64),
// asked for again the way a text surface does when it rasterises once more:
// the entry is found and retained, and later released. The reference is what
// the same request costs without the cache: a fresh rasterisation of the
// label by the system font server into a memory bitmap, which is what the
// atlas packs on a miss. A third case is the miss itself (measure, render,
// pack into an empty slot). No GL is needed: until an atlas is drawn its
// texels live only in memory. Figures are labels/s.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "FontServer.h"
#include "gl_es.h"
#include "text_atlas.h"

namespace {

enum { LABELS = 1000, PER_ATLAS = 50, SIZE_PX = 20, MAX_WIDTH = 400 };

// Distinct labels of 8 to 20 characters: a device and a room with a number.
std::vector<CRVString> Labels()
{
    const char* const devices[] = { "Lamp", "Shade", "Fan", "Heat", "Lock", "Cam", "Zone", "Pump", "Vent", "TV" };
    const char* const rooms[] = { "den", "hall", "porch", "loft", "yard", "study", "bath", "deck", "shed", "gym" };
    std::vector<CRVString> v;
    for (int i = 0; i < LABELS; i++) {
        std::string s = std::string(devices[i % 10]) + " " + rooms[(i / 10) % 10] + " #" + std::to_string(i);
        s.resize(s.size() < 8 ? 8 : (s.size() > 20 ? 20 : s.size()), '.');
        v.emplace_back(s.c_str());
    }
    return v;
}

RVT_TEXT_RENDER_PARAMS Params()
{
    RVT_TEXT_RENDER_PARAMS p;
    p.iSize = SIZE_PX;
    p.iWrapMode = RVT_TEXT_RENDER_PARAMS::WRAP_TRUNCATE;
    p.iMaxWidth = MAX_WIDTH;
    p.iMaxHeight = SIZE_PX * 2;
    return p;
}

struct SERVER
{
    SERVER() : pServer(CFontServer::CreateDefaultFontServer()) { g_pFontServer = pServer.get(); }
    ~SERVER() { g_pFontServer = nullptr; }
    std::unique_ptr<CFontServer> pServer;
};

// Packs every label into its atlas; false when one did not go in.
bool Fill(std::vector<std::unique_ptr<CTextAtlas>>* pAtlases, const std::vector<CRVString>& labels)
{
    pAtlases->clear();
    for (int i = 0; i < LABELS; i += PER_ATLAS)
        pAtlases->emplace_back(new CTextAtlas);
    const RVT_TEXT_RENDER_PARAMS p = Params();
    for (int i = 0; i < LABELS; i++)
        if (!(*pAtlases)[i / PER_ATLAS]->GetTextAtlasEntry(labels[i], &p))
            return false;
    return true;
}

void BM_AtlasCacheHit(benchmark::State& state)
{
    SERVER server;
    const std::vector<CRVString> labels = Labels();
    std::vector<std::unique_ptr<CTextAtlas>> atlases;
    if (!Fill(&atlases, labels)) {
        state.SkipWithError("a label did not go into its atlas");
        return;
    }
    const RVT_TEXT_RENDER_PARAMS p = Params();
    for (auto _ : state) {
        for (int i = 0; i < LABELS; i++) {
            CTextAtlasEntry* e = atlases[i / PER_ATLAS]->GetTextAtlasEntry(labels[i], &p);
            e->Retain();
            benchmark::DoNotOptimize(e->SlotX());
            e->Release();
        }
    }
    state.SetItemsProcessed(state.iterations() * LABELS);
}
BENCHMARK(BM_AtlasCacheHit)->Unit(benchmark::kMicrosecond);

void BM_FreshRasterisation(benchmark::State& state)
{
    SERVER server;
    const std::vector<CRVString> labels = Labels();
    for (auto _ : state) {
        for (const CRVString& s : labels) {
            RVT_TEXT_RENDER_PARAMS p = Params();
            p.bOutputFlags = RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY;
            CGLDIB* pDib = g_pFontServer->CreateGLDIB(s, &p);
            if (!pDib) {
                state.SkipWithError("a label did not render");
                return;
            }
            benchmark::DoNotOptimize(pDib->Image());
            pDib->Release();
        }
    }
    state.SetItemsProcessed(state.iterations() * LABELS);
}
BENCHMARK(BM_FreshRasterisation)->Unit(benchmark::kMicrosecond);

void BM_AtlasMiss(benchmark::State& state)
{
    SERVER server;
    const std::vector<CRVString> labels = Labels();
    std::vector<std::unique_ptr<CTextAtlas>> atlases;
    for (auto _ : state) {
        if (!Fill(&atlases, labels)) {
            state.SkipWithError("a label did not go into its atlas");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * LABELS);
}
BENCHMARK(BM_AtlasMiss)->Unit(benchmark::kMicrosecond);

}  // namespace

// Rasterising short labels through the system font server: 1,000 distinct
// labels of 8 to 20 characters at 20 pixels, cut to 400 pixels, each into a
// coverage bitmap in memory (what the text atlas packs) and into a GL_ALPHA
// texture on an offscreen context (what a text surface draws). The reference
// is bare Pango and Cairo doing the same measuring and drawing for each label
// with nothing of the engine around it. Figures are labels/s.
#include <benchmark/benchmark.h>

#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

#include "gl_es.h"
#include "gl_thread.h"
#include "lx_eglcontext.h"
#include "lx_fontserver.h"

namespace {

enum { LABELS = 1000, SIZE_PX = 20, MAX_WIDTH = 400 };

// Distinct labels of 8 to 20 characters, as a room/device list would have.
const std::vector<std::wstring>& Labels()
{
    static std::vector<std::wstring> labels = [] {
        const wchar_t* const rooms[] = { L"Kitchen", L"Hall", L"Garage", L"Bedroom", L"Patio", L"Office",
                                         L"Lounge", L"Cellar", L"Attic", L"Bath" };
        const wchar_t* const things[] = { L"Light", L"Blind", L"Fan", L"Heater", L"Door", L"Lamp", L"Camera",
                                          L"Scene", L"Speaker", L"Shade" };
        std::vector<std::wstring> v;
        for (int i = 0; (int)v.size() < LABELS; i++) {
            std::wstring s = std::wstring(rooms[i % 10]) + L" " + things[(i / 10) % 10] + L" " +
                             std::to_wstring(i / 100 + 1);
            if (s.size() < 8)
                s += L" on";
            if (s.size() > 20)
                s.resize(20);
            v.push_back(s);
        }
        return v;
    }();
    return labels;
}

RVT_TEXT_RENDER_PARAMS Params(int bMemory)
{
    RVT_TEXT_RENDER_PARAMS p;
    p.iSize = SIZE_PX;
    p.iWrapMode = RVT_TEXT_RENDER_PARAMS::WRAP_TRUNCATE;
    p.iMaxWidth = MAX_WIDTH;
    p.iMaxHeight = SIZE_PX * 2;
    p.bOutputFlags = bMemory ? RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY : 0;
    return p;
}

void RenderAll(benchmark::State& state, CSysFontServer& server, int bMemory)
{
    std::vector<CRVString> labels;
    for (const std::wstring& s : Labels())
        labels.emplace_back(s.c_str());
    for (auto _ : state) {
        for (const CRVString& s : labels) {
            RVT_TEXT_RENDER_PARAMS p = Params(bMemory);
            CGLDIB* pDIB = server.CreateGLDIB(s, &p);
            if (!pDIB) {
                state.SkipWithError("a label did not render");
                return;
            }
            benchmark::DoNotOptimize(pDIB->ImageWidth());
            pDIB->Release();
        }
    }
    state.SetItemsProcessed(state.iterations() * LABELS);
}

void BM_FontServerToMemory(benchmark::State& state)
{
    CSysFontServer server;
    RenderAll(state, server, 1);
}
BENCHMARK(BM_FontServerToMemory)->Unit(benchmark::kMillisecond);

void BM_FontServerToTexture(benchmark::State& state)
{
    std::string why;
    std::unique_ptr<CLxEGLContext> ctx(CLxEGLContext::Create(16, 16, &why));
    if (!ctx) {
        state.SkipWithError(("no offscreen GL context: " + why).c_str());
        return;
    }
    CGLDrawingScope drawing;
    CSysFontServer server;
    RenderAll(state, server, 0);
}
BENCHMARK(BM_FontServerToTexture)->Unit(benchmark::kMillisecond);

// The same labels measured and drawn by Pango and Cairo directly: one layout,
// the font set once, a padded A8 surface per label.
void BM_BarePangoCairo(benchmark::State& state)
{
    std::vector<std::string> labels;
    for (const std::wstring& s : Labels())
        labels.emplace_back(s.begin(), s.end());
    PangoFontMap* pMap = pango_cairo_font_map_new();
    PangoContext* pContext = pango_font_map_create_context(pMap);
    PangoLayout* pLayout = pango_layout_new(pContext);
    PangoFontDescription* pFont = pango_font_description_from_string("Arial");
    pango_font_description_set_absolute_size(pFont, 17 * PANGO_SCALE);  // the corrected size of 20
    pango_layout_set_font_description(pLayout, pFont);
    for (auto _ : state) {
        for (const std::string& s : labels) {
            pango_layout_set_text(pLayout, s.data(), (int)s.size());
            PangoRectangle logical;
            pango_layout_get_extents(pLayout, nullptr, &logical);
            int w = (int)(logical.width / PANGO_SCALE + 2.5), h = (int)(logical.height / PANGO_SCALE + 2.5);
            int pw = (w + 3) & ~3, ph = (h + 3) & ~3;
            std::vector<unsigned char> bits((size_t)pw * ph);
            cairo_surface_t* pSurface =
                cairo_image_surface_create_for_data(bits.data(), CAIRO_FORMAT_A8, pw, ph, pw);
            cairo_t* cr = cairo_create(pSurface);
            cairo_move_to(cr, 1, 0);
            pango_cairo_show_layout(cr, pLayout);
            cairo_destroy(cr);
            cairo_surface_destroy(pSurface);
            benchmark::DoNotOptimize(bits.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * LABELS);
    pango_font_description_free(pFont);
    g_object_unref(pLayout);
    g_object_unref(pContext);
    g_object_unref(pMap);
}
BENCHMARK(BM_BarePangoCairo)->Unit(benchmark::kMillisecond);

} // namespace

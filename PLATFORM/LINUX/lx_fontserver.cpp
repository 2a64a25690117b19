// CSysFontServer: measuring, line breaking and coverage bitmaps with Pango
// and Cairo.
#include "lx_fontserver.h"

#include "gl_es.h"
#include "rvlog.h"
#include "rvutf8.h"
#include "textcoverage.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <climits>
#include <string>

const char* const CSysFontServer::FACE = "Arial";

CFontServer* CreateSysFontServer()
{
    return new CSysFontServer();
}

// Leak-checked builds: fontconfig loses a few hundred bytes parsing the
// system's configuration files once per process (Pango loads them on first
// use). That is not the viewer's memory to free; the checker is told so.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZV_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(ZV_LEAK_CHECKED)
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}
#endif

namespace {

// The layout's text as UTF-8. Code points UTF-8 cannot carry and NUL (which
// Pango refuses inside a text) become U+FFFD.
void ToUtf8(const wchar_t* pText, int iCount, std::string* pOut, std::vector<int>* pOffsets)
{
    pOut->clear();
    pOut->reserve((size_t)iCount);
    if (pOffsets)
        pOffsets->resize((size_t)iCount + 1);
    for (int i = 0; i < iCount; i++) {
        if (pOffsets)
            (*pOffsets)[(size_t)i] = (int)pOut->size();
        char32_t c = (char32_t)pText[i];
        RVAppendUtf8(pOut, c == 0 ? 0xFFFD : c);
    }
    if (pOffsets)
        (*pOffsets)[(size_t)iCount] = (int)pOut->size();
}

double ToPixels(int iPangoUnits)
{
    return (double)iPangoUnits / PANGO_SCALE;
}

} // namespace

CSysFontServer::CSysFontServer()
    : CFontServer(FONTSERVER_TYPE_DEFAULT), m_pFontMap(nullptr), m_pContext(nullptr), m_pLayout(nullptr),
      m_pFont(nullptr), m_bFailed(0), m_aCorrected{}, m_iLayoutSize(0)
{
}

CSysFontServer::~CSysFontServer()
{
    if (m_pLayout)
        g_object_unref(m_pLayout);
    if (m_pContext)
        g_object_unref(m_pContext);
    if (m_pFontMap)
        g_object_unref(m_pFontMap);
    if (m_pFont)
        pango_font_description_free(m_pFont);
}

int CSysFontServer::Ready()
{
    if (m_pLayout)
        return 1;
    if (m_bFailed)
        return 0;
    // A font map of its own: Pango's default one belongs to a thread.
    m_pFontMap = pango_cairo_font_map_new();
    m_pContext = m_pFontMap ? pango_font_map_create_context(m_pFontMap) : nullptr;
    if (!m_pContext) {
        RVLog(RV_LOG_ERROR, "font server: the system text engine cannot be started");
        m_bFailed = 1;
        return 0;
    }
    // Grey coverage; unhinted advances, so a text measures the same at any
    // position and the measured width is the drawn width.
    cairo_font_options_t* pOptions = cairo_font_options_create();
    cairo_font_options_set_antialias(pOptions, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(pOptions, CAIRO_HINT_STYLE_SLIGHT);
    cairo_font_options_set_hint_metrics(pOptions, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(m_pContext, pOptions);
    cairo_font_options_destroy(pOptions);

    m_pFont = pango_font_description_new();
    pango_font_description_set_family(m_pFont, FACE);
    m_pLayout = pango_layout_new(m_pContext);
    return 1;
}

int CSysFontServer::PixelSize(int iCorrected)
{
    return std::min(std::max(iCorrected, (int)MIN_PIXEL_SIZE), (int)MAX_PIXEL_SIZE);
}

int CSysFontServer::LineHeight(int iPixelSize)
{
    pango_font_description_set_absolute_size(m_pFont, (double)iPixelSize * PANGO_SCALE);
    PangoFontMetrics* pMetrics = pango_context_get_metrics(m_pContext, m_pFont, nullptr);
    if (!pMetrics)
        return iPixelSize;
    double h = ToPixels(pango_font_metrics_get_ascent(pMetrics) + pango_font_metrics_get_descent(pMetrics));
    pango_font_metrics_unref(pMetrics);
    return (int)(h + 1.5);
}

int CSysFontServer::GetCorrectedFontSize(int iSize)
{
    if (iSize < 1 || iSize >= SIZE_TABLE)
        return (int)((long long)iSize * 8 / 10);
    std::lock_guard<std::recursive_mutex> hold(m_Lock);
    if (m_aCorrected[iSize])
        return m_aCorrected[iSize];
    if (!Ready())
        return iSize;
    int s = iSize;
    while (s > 0 && LineHeight(s) > iSize)
        s--;
    // 0 is not kept: too small a size for any line, asked again next time.
    if (s > 0)
        m_aCorrected[iSize] = s;
    return s;
}

void CSysFontServer::SetLayout(int iPixelSize, const wchar_t* pText, int iCount, std::vector<int>* pOffsets)
{
    std::string sUtf8;
    ToUtf8(pText, iCount, &sUtf8, pOffsets);
    pango_layout_set_width(m_pLayout, -1);
    pango_layout_set_alignment(m_pLayout, PANGO_ALIGN_LEFT);
    // A text is usually measured, fitted and drawn in a row: the layout Pango
    // made for it the first time is kept.
    if (iPixelSize == m_iLayoutSize && sUtf8 == m_sLayoutText)
        return;
    pango_font_description_set_absolute_size(m_pFont, (double)iPixelSize * PANGO_SCALE);
    pango_layout_set_font_description(m_pLayout, m_pFont);
    pango_layout_set_text(m_pLayout, sUtf8.data(), (int)sUtf8.size());
    m_iLayoutSize = iPixelSize;
    m_sLayoutText.swap(sUtf8);
}

SIZE CSysFontServer::GetTextExtent(int iSize, const wchar_t* pText, int iCount, THREAD_CTX)
{
    SIZE size = { 0, 0 };
    if (!pText || iCount <= 0 || iSize < 1)
        return size;
    std::lock_guard<std::recursive_mutex> hold(m_Lock);
    if (!Ready())
        return size;
    SetLayout(PixelSize(GetCorrectedFontSize(iSize)), pText, iCount, nullptr);
    PangoRectangle logical;
    pango_layout_get_extents(m_pLayout, nullptr, &logical);
    size.cx = (int)(ToPixels(logical.width) + 2.5);
    size.cy = (int)(ToPixels(logical.height) + 2.5);
    return size;
}

int CSysFontServer::MaxCharsInLine(int iSize, const wchar_t* pText, int iCount, int iWidth, int, int)
{
    if (!pText || iCount <= 0 || iSize < 1)
        return 0;
    std::lock_guard<std::recursive_mutex> hold(m_Lock);
    if (!Ready())
        return 0;
    std::vector<int> offsets;
    SetLayout(PixelSize(GetCorrectedFontSize(iSize)), pText, iCount, &offsets);
    // A line of logical width w measures w + 2.5, truncated: it fits iWidth
    // while w is at most iWidth - 2.
    int iLine = std::max(iWidth - 2, 1);
    pango_layout_set_width(m_pLayout, iLine * PANGO_SCALE);
    pango_layout_set_wrap(m_pLayout, PANGO_WRAP_WORD_CHAR);
    PangoLayoutLine* pLine = pango_layout_get_line_readonly(m_pLayout, 0);
    int iEndByte = pLine ? pLine->start_index + pLine->length : offsets.back();
    pango_layout_set_width(m_pLayout, -1);
    int n = (int)(std::lower_bound(offsets.begin(), offsets.end(), iEndByte) - offsets.begin());
    n = std::min(n, iCount);
    if (n < iCount && pText[n] == L'\r')
        n++;
    if (n < iCount && pText[n] == L'\n')
        n++;
    return n;
}

int CSysFontServer::GetTextLines(int iSize, int iWidth, int iMaxLines, const CRVString& sText)
{
    CRVString s = SplitText(sText, iSize, iWidth, iMaxLines, INT_MAX);
    int iLines = 1;
    for (int i = s.Find(L'\n'); i >= 0; i = s.Find(L'\n', i + 1))
        iLines++;
    return iLines;
}

int CSysFontServer::DrawText(const CRVString& sText, int iSize, int bCenter, unsigned char* pBits, int iStride,
                             int iRows, int iWidth)
{
    if (!pBits || iStride < 1 || iRows < 1 || (iStride & 3) || iSize < 1)
        return 0;
    CRVString s(sText);
    s.ConvertTowchar_t();
    std::lock_guard<std::recursive_mutex> hold(m_Lock);
    if (!Ready())
        return 0;
    SetLayout(PixelSize(GetCorrectedFontSize(iSize)), static_cast<const wchar_t*>(s.GetData()), s.GetLength(),
              nullptr);
    // Without a width Pango aligns the lines against the widest one; the
    // block as a whole is then placed in the box.
    pango_layout_set_alignment(m_pLayout, bCenter ? PANGO_ALIGN_CENTER : PANGO_ALIGN_LEFT);
    PangoRectangle logical;
    pango_layout_get_extents(m_pLayout, nullptr, &logical);
    double x = bCenter ? (iWidth - ToPixels(logical.width)) / 2.0 : (double)LEFT_INSET;

    cairo_surface_t* pSurface = cairo_image_surface_create_for_data(pBits, CAIRO_FORMAT_A8, iStride, iRows, iStride);
    if (cairo_surface_status(pSurface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(pSurface);
        return 0;
    }
    cairo_t* cr = cairo_create(pSurface);
    cairo_set_source_rgba(cr, 1.0, 1.0, 1.0, 1.0);
    cairo_move_to(cr, x - ToPixels(logical.x), -ToPixels(logical.y));
    pango_cairo_show_layout(cr, m_pLayout);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_flush(pSurface);
    cairo_surface_destroy(pSurface);
    return status == CAIRO_STATUS_SUCCESS;
}

CGLDIB* CSysFontServer::CreateGLDIB(const CRVString& sText, RVT_TEXT_RENDER_PARAMS* pParams)
{
    if (!pParams || sText.IsEmpty())
        return nullptr;
    CRVString s = LayoutText(sText, *pParams);
    if (s.IsEmpty())
        return nullptr;
    SIZE extent = GetTextExtent(pParams->iSize, s);
    if (extent.cx <= 0 || extent.cy <= 0)
        return nullptr;
    CTextCoverage coverage(extent.cx, extent.cy, pParams->bOutputFlags & RVT_TEXT_RENDER_PARAMS::OUTPUT_MEMORY);
    if (!coverage.Bits()) {
        RVLog(RV_LOG_INFO, "font server: a text of %d x %d pixels is too large to draw", extent.cx, extent.cy);
        return nullptr;
    }
    if (!DrawText(s, pParams->iSize, pParams->bFlags & RVT_TEXT_RENDER_PARAMS::TEXT_CENTER, coverage.Bits(),
                  coverage.Stride(), coverage.PaddedHeight(), coverage.Width()))
        return nullptr;
    return coverage.Finish();
}

CRVString CSysFontServer::ResolveFamily(const char* pszFace)
{
    std::lock_guard<std::recursive_mutex> hold(m_Lock);
    if (!pszFace || !Ready())
        return CRVString();
    PangoFontDescription* pWanted = pango_font_description_new();
    pango_font_description_set_family(pWanted, pszFace);
    pango_font_description_set_absolute_size(pWanted, 16.0 * PANGO_SCALE);
    PangoFont* pFont = pango_font_map_load_font(m_pFontMap, m_pContext, pWanted);
    pango_font_description_free(pWanted);
    if (!pFont)
        return CRVString();
    PangoFontDescription* pGot = pango_font_describe(pFont);
    const char* pszFamily = pango_font_description_get_family(pGot);
    std::wstring sFamily = pszFamily ? RVUtf8ToWide(pszFamily, strlen(pszFamily)) : std::wstring();
    pango_font_description_free(pGot);
    g_object_unref(pFont);
    return CRVString(sFamily.c_str());
}

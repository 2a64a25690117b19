// CRVDibDC: fills, rounded rectangles and the alpha blend fill.
#include "dibdc.h"

#include "dibdc_rows.h"
#include "rvalloc.h"
#include "rvdebug.h"
#include "rvrectmath.h"
#include "shadepoly.h"

void CRVDibDC::Fill(uint32_t uColor)
{
    if (m_pBits)
        dibrows::FillRow(m_pBits, static_cast<long>(m_iDX) * m_iDY, uColor);
}

void CRVDibDC::FillRect(uint32_t uColor, int x, int y, int dx, int dy)
{
    CRVRect r = ClipToCanvas(x, y, dx, dy);
    for (int row = 0; row < r.height; row++)
        dibrows::FillRow(Pixel(r.x, r.y + row), r.width, uColor);
}

void CRVDibDC::FillHZ(uint32_t uColor, int x1, int x2, int y)
{
    if (y < 0 || y >= m_iDY)
        return;
    if (x1 < 0)
        x1 = 0;
    if (x2 > m_iDX - 1)
        x2 = m_iDX - 1;
    if (x2 >= x1)
        dibrows::FillRow(Pixel(x1, y), static_cast<long>(x2) - x1 + 1, uColor);
}

void CRVDibDC::FillRectList(uint32_t uColor, const CRectList* pList)
{
    if (!pList)
        return;
    for (int i = 0; i < pList->Count(); i++)
        FillRect(uColor, pList->RectAtIndex(i));
}

void CRVDibDC::FillRectAlpha(const CRVRect& rect, uint32_t uColor, int iAlpha)
{
    if (iAlpha >= 255) {
        FillRect(uColor, rect);
        return;
    }
    CRVRect r = ClipToCanvas(rect.x, rect.y, rect.width, rect.height);
    const dibrows::AlphaBlend blend(uColor, iAlpha < 0 ? 0 : iAlpha);
    for (int row = 0; row < r.height; row++)
        blend.Row(Pixel(r.x, r.y + row), r.width);
}

void CRVDibDC::FillRoundRect(uint32_t uColor, int x, int y, int dx, int dy, int iRadius, int iFlags)
{
    if (iRadius < 1) {
        FillRect(uColor, x, y, dx, dy);
        return;
    }
    const CRVRect clip = LocalClipRect();
    if (dx < 1 || dy < 1 || clip.IsEmpty())
        return;
    int r = iRadius;
    if (r > dx / 2)
        r = dx / 2;
    if (r > dy / 2)
        r = dy / 2;
    // The arc walk takes time and memory in proportion to the radius; one larger
    // than any canvas can only come from a corrupt request.
    if (r > RV_MAX_CANVAS_SIDE) {
        AssertDlg(__FILE__, __LINE__, r);
        return;
    }
    CPointList arc;
    int bBuilt = (iFlags & 1) ? CalcArcPoints(&arc, r + 1, 1) : CalcArcPoints(&arc, r, 1);
    if (!bBuilt)
        return;
    if (iFlags & 1)
        InsetArcPoints(&arc);

    const long long clipRight = static_cast<long long>(clip.x) + clip.width - 1;
    const long long clipBottom = static_cast<long long>(clip.y) + clip.height - 1;
    // Arc centres in canvas pixels.
    const long long left = static_cast<long long>(x) + m_ptOrigin.x + r;
    const long long right = static_cast<long long>(x) + m_ptOrigin.x + dx - 1 - r;
    const long long top = static_cast<long long>(y) + m_ptOrigin.y + r;
    const long long bottom = static_cast<long long>(y) + m_ptOrigin.y + dy - 1 - r;
    for (int i = 0; i < arc.NPoints(); i++) {
        long long x1 = left - arc.X(i);
        long long x2 = right + arc.X(i);
        if (x1 < clip.x)
            x1 = clip.x;
        if (x2 > clipRight)
            x2 = clipRight;
        if (x2 < x1)
            continue;
        long long rows[2] = {bottom + arc.Y(i), top - arc.Y(i)};
        for (long long row : rows) {
            if (row >= clip.y && row <= clipBottom)
                FillHZ(uColor, static_cast<int>(x1), static_cast<int>(x2), static_cast<int>(row));
        }
    }
    FillRect(uColor, x, rvrect::Clamp32(static_cast<long long>(y) + r), dx, dy - 2 * r);
}

// CRVDibDC: copying pixels between canvases and within one canvas.
#include "dibdc.h"

#include "rvrectmath.h"

#include <string.h>

namespace
{
// Cut the span [*a, *a + *n) to [0, limit) and move *b by as much as *a rose.
// 64-bit throughout: coordinates may come from anywhere in the int range.
void ClipSpan(long long* a, long long* b, long long* n, long long limit)
{
    if (*a < 0) {
        *b -= *a;
        *n += *a;
        *a = 0;
    }
    if (*a + *n > limit)
        *n = limit - *a;
}
}  // namespace

int CRVDibDC::GetSafeDims(int& x, int& y, int& dx, int& dy, int& sx, int& sy, const CRVDibDC* pSource) const
{
    if (!pSource)
        return 0;
    long long X = x, Y = y, DXs = dx, DYs = dy, SX = sx, SY = sy;
    ClipSpan(&X, &SX, &DXs, m_iWidth);
    ClipSpan(&Y, &SY, &DYs, m_iDY);
    ClipSpan(&SX, &X, &DXs, pSource->m_iWidth);
    ClipSpan(&SY, &Y, &DYs, pSource->m_iDY);
    if (DXs < 1 || DYs < 1)
        return 0;
    // Every value now lies within one of the two canvases.
    x = static_cast<int>(X);
    y = static_cast<int>(Y);
    dx = static_cast<int>(DXs);
    dy = static_cast<int>(DYs);
    sx = static_cast<int>(SX);
    sy = static_cast<int>(SY);
    return 1;
}

void CRVDibDC::BltFromDibDC(int x, int y, CRVDibDC* pSource, int sx, int sy, int dx, int dy, int)
{
    if (!pSource || !m_pBits || !pSource->m_pBits)
        return;
    x = rvrect::Clamp32(static_cast<long long>(x) + m_ptOrigin.x);
    y = rvrect::Clamp32(static_cast<long long>(y) + m_ptOrigin.y);
    if (!GetSafeDims(x, y, dx, dy, sx, sy, pSource))
        return;
    if (m_iAttribs & ATTR_RECORD_UPDATES)
        AddUpdateRect(CRVRect(x, y, dx, dy));

    CRVRect r = CRVRect(x, y, dx, dy).IntersectWith(LocalClipRect());
    if (r.IsEmpty())
        return;
    sx += r.x - x;
    sy += r.y - y;

    const size_t rowBytes = static_cast<size_t>(r.width) * sizeof(uint32_t);
    // Within one canvas, copying downward must start at the bottom row so that
    // no source row is overwritten before it is read; memmove handles a row
    // overlapping itself.
    if (pSource == this && sy < r.y) {
        for (int row = r.height - 1; row >= 0; row--)
            memmove(Pixel(r.x, r.y + row), pSource->Pixel(sx, sy + row), rowBytes);
    } else {
        for (int row = 0; row < r.height; row++)
            memmove(Pixel(r.x, r.y + row), pSource->Pixel(sx, sy + row), rowBytes);
    }
}

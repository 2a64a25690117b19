// CSurfRect: rounded corners from a corner image stretched as a nine-slice
// frame.
#include "surf_rect.h"

#include "dibdc.h"
#include "gl_es.h"
#include "gl_vbo.h"

namespace {

int Min(int a, int b)
{
    return a < b ? a : b;
}

}  // namespace

RVT_ROUNDED_SHAPE CSurfRect::RoundedShape(int iWidth, int iHeight, int iRadius)
{
    // A narrow bar whose radius does not fit across becomes a circle as wide
    // as the bar, in the middle of its height.
    if (iWidth < 2LL * iRadius && iWidth <= iHeight)
        return RVT_ROUNDED_SHAPE{iWidth / 2, iHeight / 2 - iWidth / 2, iWidth, iWidth};
    // Otherwise the corners never overlap: the frame's bands stay in order
    // and inside the rectangle.
    return RVT_ROUNDED_SHAPE{Min(iRadius, Min(iWidth / 2, iHeight / 2)), 0, iWidth, iHeight};
}

int CSurfRect::CornerImageSide(int iRadius)
{
    return (2 * iRadius + 32 + 3) & ~3;
}

int CSurfRect::PrepareRounded(const RVT_ROUNDED_SHAPE& shape, unsigned int uColor)
{
    // A radius cut to fit gets its own image: the caps show the image's
    // corners pixel for pixel, so the arc must have the radius drawn.
    const int r = shape.iRadius;
    if (r < 1 || r > MAX_CORNER_RADIUS)
        return 0;
    if (!m_pCornerImage || r != m_iCornerRadius || uColor != m_uCornerColor) {
        if (m_pCornerImage)
            m_pCornerImage->Release();
        m_pCornerImage = nullptr;
        const int s = CornerImageSide(r);
        CRVDibDC dc(s, s);
        if (!dc.IsValid())
            return 0;
        dc.Fill(0);
        // Canvas pixels are the bytes red, green, blue, alpha.
        const uint32_t uPixel = 0xFF000000u | ((uColor & 0xFF) << 16) | (uColor & 0xFF00) | ((uColor >> 16) & 0xFF);
        dc.FillRoundRect(uPixel, 0, 0, s, s, r, 0);
        m_pCornerImage = new CGLDIB(&dc, CGLDIB::GLDIB_ALPHA);
        m_iCornerRadius = r;
        m_uCornerColor = uColor;
    }
    if (!m_pCornerImage->HasTexture())
        return 0;
    if (!m_pNineSlice)
        m_pNineSlice = new CROIVBO;
    const SIZE source{m_pCornerImage->ImageWidth(), m_pCornerImage->ImageHeight()};
    m_pNineSlice->Set(SIZE{shape.iWidth, shape.iHeight}, source, r, r);
    return 1;
}

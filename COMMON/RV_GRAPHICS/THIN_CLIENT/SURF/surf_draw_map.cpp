// CAlphaMAP: the drawing pad's coverage bytes and the soft-edged stroke
// segment drawn into them.
#include "surf_draw.h"

#include "rvalloc.h"
#include "rvisqrt.h"

#include <string.h>

CAlphaMAP::CAlphaMAP(int iWidth, int iHeight) : m_iWidth(0), m_iHeight(0), m_pBits(nullptr)
{
    // The size is a surface's, chosen by the controller.
    if (iWidth < 1 || iHeight < 1 || iWidth > RV_MAX_CANVAS_SIDE || iHeight > RV_MAX_CANVAS_SIDE ||
        static_cast<long long>(iWidth) * iHeight > RV_MAX_CANVAS_PIXELS)
        return;
    m_pBits = static_cast<unsigned char*>(RVAlloc(static_cast<size_t>(iWidth) * iHeight, 1));
    if (!m_pBits)
        return;
    m_iWidth = iWidth;
    m_iHeight = iHeight;
}

CAlphaMAP::~CAlphaMAP()
{
    RVFree(m_pBits);
}

void CAlphaMAP::Clear()
{
    if (m_pBits)
        memset(m_pBits, 0, static_cast<size_t>(m_iWidth) * m_iHeight);
}

void CAlphaMAP::Cover(long long x, long long y, int iCoverage)
{
    if (x < 0 || y < 0 || x >= m_iWidth || y >= m_iHeight)
        return;
    unsigned char* p = Pixel(static_cast<int>(x), static_cast<int>(y));
    if (iCoverage > *p)
        *p = static_cast<unsigned char>(iCoverage);
}

namespace
{
// Coverage at a distance d from the line, in 1/100000 pixel: full on the line
// (and on its near side), none from 1.5 pixels away.
int Coverage(long long d)
{
    if (d < 0)
        return 255;
    long long c = 255 - (d / 100) * 255 / 1500;
    return c < 0 ? 0 : static_cast<int>(c);
}

// One pixel up and left, then held within [m, size - m]; when the two bounds
// cross (a map narrower than two margins) the lower one wins.
long long Hold(long long v, long long m, long long size)
{
    v -= 1;
    if (v > size - m)
        v = size - m;
    if (v <= m)
        v = m;
    return v;
}
}  // namespace

void CAlphaMAP::DrawSegment(POINT p1, POINT p2, int iMargin)
{
    if (!m_pBits)
        return;
    // A negative margin would let the ends, and the walk between them, run
    // far outside the map.
    const long long m = iMargin < 0 ? 0 : iMargin;
    long long x = Hold(p1.x, m, m_iWidth), y = Hold(p1.y, m, m_iHeight);
    const long long x2 = Hold(p2.x, m, m_iWidth), y2 = Hold(p2.y, m, m_iHeight);

    // A line walk along the major axis; D tracks how far the walk is from the
    // ideal line, in units that s turns into 1/100000 pixel.
    const bool bMajorX = (x2 >= x ? x2 - x : x - x2) >= (y2 >= y ? y2 - y : y - y2);
    const long long sx = x2 >= x ? 1 : -1, sy = y2 >= y ? 1 : -1;
    long long r = bMajorX ? (x2 - x) * sx : (y2 - y) * sy;
    const long long minor = bMajorX ? (y2 - y) * sy : (x2 - x) * sx;
    if (r < 1)
        r = 1;
    const long long len = static_cast<long long>(RVISqrt(static_cast<unsigned __int128>(r * r + minor * minor)));
    const long long s = 100000 / (2 * len);
    const long long n = 2 * r * s;
    // The minor-axis neighbour in the step direction, as a coordinate offset.
    const long long nx = bMajorX ? 0 : sx, ny = bMajorX ? sy : 0;

    long long a = 2 * minor - r;
    long long d = 0;
    for (long long i = 0; i <= r; i++) {
        Cover(x, y, Coverage(d * s));
        Cover(x + nx, y + ny, Coverage(n - d * s));
        Cover(x - nx, y - ny, Coverage(n + d * s));
        if (a < 0) {
            if (bMajorX)
                x += sx;
            else
                y += sy;
            d = a + r;
            a += 2 * minor;
        } else {
            x += sx;
            y += sy;
            d = a - r;
            a += 2 * minor - 2 * r;
        }
    }
}

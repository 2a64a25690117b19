// CRVDibDC: copies, mirrored copies and scaled copies. Each returns a new
// canvas of the source's kind (CreateCanvas) that the caller owns, or null when
// the size is unusable or memory is short.
#include "dibdc.h"

#include <string.h>

namespace
{
inline uint32_t Channel(uint32_t p, int shift) { return (p >> shift) & 0xFF; }
}  // namespace

CRVDibDC* CRVDibDC::CreateCopy(int iAttribs)
{
    if (!m_pBits)
        return nullptr;
    CRVDibDC* p = CreateCanvas(m_iWidth, m_iDY, iAttribs == -1 ? m_iAttribs : iAttribs);
    if (!p)
        return nullptr;
    const size_t rowBytes = static_cast<size_t>(m_iWidth) * sizeof(uint32_t);
    for (int row = 0; row < m_iDY; row++)
        memcpy(p->Pixel(0, row), Pixel(0, row), rowBytes);
    return p;
}

CRVDibDC* CRVDibDC::CreateFlip(int bHorizontal, int bVertical)
{
    if (!m_pBits)
        return nullptr;
    CRVDibDC* p = CreateCanvas(m_iWidth, m_iDY, m_iAttribs | ATTR_MEMORY_MARK);
    if (!p)
        return nullptr;
    for (int row = 0; row < m_iDY; row++) {
        const uint32_t* src = Pixel(0, bVertical ? m_iDY - 1 - row : row);
        uint32_t* dst = p->Pixel(0, row);
        if (bHorizontal) {
            for (int i = 0; i < m_iWidth; i++)
                dst[i] = src[m_iWidth - 1 - i];
        } else {
            memcpy(dst, src, static_cast<size_t>(m_iWidth) * sizeof(uint32_t));
        }
    }
    return p;
}

CRVDibDC* CRVDibDC::CreateScaledCopy(int dx, int dy, int iAttribs, int)
{
    if (!m_pBits || dx < 1 || dy < 1)
        return nullptr;
    if (dx == m_iWidth && dy == m_iDY)
        return CreateCopy(-1);
    CRVDibDC* p = CreateCanvas(dx, dy, iAttribs == -1 ? m_iAttribs : iAttribs);
    if (!p || m_iWidth < 1)
        return p;
    for (int j = 0; j < dy; j++) {
        const uint32_t* src = Pixel(0, static_cast<int>(static_cast<long long>(j) * m_iDY / dy));
        uint32_t* dst = p->Pixel(0, j);
        for (int i = 0; i < dx; i++)
            dst[i] = src[static_cast<long long>(i) * m_iWidth / dx];
    }
    return p;
}

CRVDibDC* CRVDibDC::CreateSmoothScaledCopy(int dx, int dy, int iAttribs)
{
    if (!m_pBits || dx < 1 || dy < 1)
        return nullptr;
    if (m_iWidth / dx > 1 || m_iDY / dy > 1)
        return CreateBicubicScale(dx, dy, iAttribs);
    return CreateBilinearScale(dx, dy, iAttribs, 100);
}

CRVDibDC* CRVDibDC::CreateBilinearScale(int dx, int dy, int iAttribs, int iUnit) const
{
    if (!m_pBits || dx < 1 || dy < 1 || iUnit < 1)
        return nullptr;
    CRVDibDC* p = CreateCanvas(dx, dy, iAttribs == -1 ? m_iAttribs : iAttribs);
    if (!p || m_iWidth < 1)
        return p;
    // Each output pixel mixes a 2 x 2 block of source pixels, the right (lower)
    // neighbour repeating the last column (row); weights in 1/iUnit steps.
    const long long unit = iUnit;
    for (int j = 0; j < dy; j++) {
        long long v = static_cast<long long>(j) * m_iDY / dy;
        long long fy = static_cast<long long>(j) * m_iDY * unit / dy - unit * v;
        const uint32_t* row0 = Pixel(0, static_cast<int>(v));
        const uint32_t* row1 = Pixel(0, static_cast<int>(v + 1 < m_iDY ? v + 1 : v));
        uint32_t* dst = p->Pixel(0, j);
        for (int i = 0; i < dx; i++) {
            long long u = static_cast<long long>(i) * m_iWidth / dx;
            long long fx = static_cast<long long>(i) * m_iWidth * unit / dx - unit * u;
            long long u1 = u + 1 < m_iWidth ? u + 1 : u;
            uint32_t out = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                long long top = Channel(row0[u], shift) * (unit - fx) + Channel(row0[u1], shift) * fx;
                long long bottom = Channel(row1[u], shift) * (unit - fx) + Channel(row1[u1], shift) * fx;
                out |= static_cast<uint32_t>((top * (unit - fy) + bottom * fy) / (unit * unit)) << shift;
            }
            dst[i] = out;
        }
    }
    return p;
}

namespace
{
// The source pixels under destination index i of n along a side of length
// `side`, in 1/256 pixel units: [start, end). The first and last pixel weigh
// the part they cover (1 to 256), the ones between 256.
struct Span
{
    long long start;
    long long end;

    Span(int i, int n, int side)
        : start(static_cast<long long>(i) * 256 * side / n), end((static_cast<long long>(i) + 1) * 256 * side / n) {}
    int First() const { return static_cast<int>(start >> 8); }
    int Last() const { return static_cast<int>((end - 1) >> 8); }
    long long Weight(int k) const
    {
        long long lo = static_cast<long long>(k) * 256;
        long long hi = lo + 256;
        return (end < hi ? end : hi) - (start > lo ? start : lo);
    }
};
}  // namespace

uint32_t CRVDibDC::GetBicubicRGB(int i, int j, int dx, int dy) const
{
    if (!m_pBits || dx < 1 || dy < 1 || m_iWidth < 1 || i < 0 || i >= dx || j < 0 || j >= dy)
        return 0;
    const Span sx(i, dx, m_iWidth);
    const Span sy(j, dy, m_iDY);
    if (sx.end <= sx.start || sy.end <= sy.start)
        return 0;
    long long sum[4] = {0, 0, 0, 0};
    long long total = 0;
    for (int row = sy.First(); row <= sy.Last(); row++) {
        const long long wy = sy.Weight(row);
        const uint32_t* src = Pixel(0, row);
        for (int col = sx.First(); col <= sx.Last(); col++) {
            // Interior 256 x 256 / 256 = 256; edges keep their fraction,
            // corners the product of the two over 256.
            const long long w = sx.Weight(col) * wy / 256;
            const uint32_t px = src[col];
            for (int c = 0; c < 4; c++)
                sum[c] += Channel(px, 8 * c) * w;
            total += w;
        }
    }
    if (total == 0)
        return 0;
    uint32_t out = 0;
    for (int c = 0; c < 4; c++)
        out |= static_cast<uint32_t>(sum[c] / total) << (8 * c);
    return out;
}

CRVDibDC* CRVDibDC::CreateBicubicScale(int dx, int dy, int iAttribs)
{
    if (!m_pBits || dx < 1 || dy < 1)
        return nullptr;
    CRVDibDC* p = CreateCanvas(dx, dy, iAttribs == -1 ? m_iAttribs : iAttribs);
    if (!p)
        return nullptr;
    for (int j = 0; j < dy; j++) {
        uint32_t* dst = p->Pixel(0, j);
        for (int i = 0; i < dx; i++)
            dst[i] = GetBicubicRGB(i, j, dx, dy);
    }
    return p;
}

CRVDibDC* CRVDibDC::CreateScaleDIV(int n)
{
    if (!m_pBits || n < 1)
        return nullptr;
    const int w = m_iWidth / n;
    const int h = m_iDY / n;
    CRVDibDC* p = CreateCanvas(w, h, m_iAttribs);
    if (!p)
        return nullptr;
    const long long area = static_cast<long long>(n) * n;
    for (int j = 0; j < h; j++) {
        uint32_t* dst = p->Pixel(0, j);
        for (int i = 0; i < w; i++) {
            long long sum[4] = {0, 0, 0, 0};
            for (int row = 0; row < n; row++) {
                const uint32_t* src = Pixel(i * n, j * n + row);
                for (int col = 0; col < n; col++)
                    for (int c = 0; c < 4; c++)
                        sum[c] += Channel(src[col], 8 * c);
            }
            uint32_t out = 0;
            for (int c = 0; c < 4; c++)
                out |= static_cast<uint32_t>(sum[c] / area) << (8 * c);
            dst[i] = out;
        }
    }
    return p;
}

// CAlphaDIB::CreateHalo: the soft frame the focus cursor is drawn with.
//
// Halo width and corner extra follow the controller's cursor commands, so any
// int may arrive: loops are bounded by the canvas, and distances are computed
// wide enough that no value overflows.
#include "dibdc.h"

#include "dibdc_rows.h"
#include "rvisqrt.h"

namespace
{
// Colour channels of uRGB with alpha ao + k (ai - ao) / g, held to a byte. The
// product is taken in 128 bits: every factor may be any int.
uint32_t Fade(uint32_t uRGB, long long k, long long ai, long long ao, long long g)
{
    __int128 alpha = ao + static_cast<__int128>(k) * (ai - ao) / g;
    if (alpha < 0)
        alpha = 0;
    if (alpha > 255)
        alpha = 255;
    return uRGB | (static_cast<uint32_t>(alpha) << 24);
}
}  // namespace

void CAlphaDIB::CreateHalo(int iHaloWidth, int iCornerExtra, uint32_t, uint32_t uColor2, int iCornerFlags,
                           int iInnerAlpha, int iOuterAlpha, int bFill)
{
    if (!IsValid())
        return;
    const int w = Width();
    const int h = DY();
    const long long g = iHaloWidth;
    const long long x = iCornerExtra;
    const long long ai = iInnerAlpha;
    const long long ao = iOuterAlpha;
    const uint32_t rgb = uColor2 & 0x00FFFFFF;
    if (bFill)
        Fill(uColor2 | 0xFF000000);

    // Rings: the border of the rectangle inset by u, from the outside in, for
    // as long as that rectangle is not empty.
    for (long long u = 0; u < g && 2 * u < w && 2 * u < h; u++) {
        const uint32_t px = Fade(rgb, u, ai, ao, g);
        const int x0 = static_cast<int>(u), x1 = w - 1 - x0;
        const int y0 = x0, y1 = h - 1 - x0;
        dibrows::FillRow(Pixel(x0, y0), x1 - x0 + 1, px);
        dibrows::FillRow(Pixel(x0, y1), x1 - x0 + 1, px);
        for (int y = y0; y <= y1; y++) {
            *Pixel(x0, y) = px;
            *Pixel(x1, y) = px;
        }
    }

    // Corners: an n x n square per chosen corner, centred on the far corner of
    // the square. Inside radius x the pixel stays; from radius n it is cleared;
    // between, it fades like the rings.
    const long long n = g + x;
    if (n <= 0)
        return;
    const int iSide = static_cast<int>(n < w ? n : w);
    const int jSide = static_cast<int>(n < h ? n : h);
    static const int kCorners[4] = {1, 2, 4, 8};   // bottom left, top left, top right, bottom right
    for (int c : kCorners) {
        if (!(iCornerFlags & c))
            continue;
        const bool bRight = c == 4 || c == 8;
        const bool bBottom = c == 1 || c == 8;
        for (int j = 0; j < jSide; j++) {
            const int py = bBottom ? h - 1 - j : j;
            const unsigned __int128 dj = static_cast<unsigned __int128>(n - j) * static_cast<uint64_t>(n - j);
            for (int i = 0; i < iSide; i++) {
                const unsigned __int128 di = static_cast<unsigned __int128>(n - i) * static_cast<uint64_t>(n - i);
                const long long r = static_cast<long long>(RVISqrt(di + dj));
                if (r <= x)
                    continue;
                uint32_t* p = Pixel(bRight ? w - 1 - i : i, py);
                // Here x < r < n, so g = n - x is at least 2.
                *p = r >= n ? 0 : Fade(rgb, n - r, ai, ao, g);
            }
        }
    }
}

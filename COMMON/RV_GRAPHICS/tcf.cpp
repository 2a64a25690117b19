// Decoder of the compressed image format: one pass, each destination pixel
// written once, no allocation. Palette entries are copied verbatim from the
// encoded bytes (they are already in canvas byte order), so the decoder never
// interprets pixel values: shade maps decode as well as colour images.
#include "tcf.h"

#include "tcf_bitstream.h"

#include <string.h>

namespace
{
unsigned Get16(const uint8_t* p) { return p[0] | (static_cast<unsigned>(p[1]) << 8); }

struct TCF_HEADER
{
    int width;
    int height;
    unsigned colours;  // palette entries
};

// The header and palette checks that need no destination: enough bytes for
// the header and the whole palette, both sides in range.
int ParseHeader(const RVT_COMPRESSED_IMAGE* pImage, TCF_HEADER* pHeader)
{
    if (!pImage || !pImage->data || pImage->size < TCF_HEADER_SIZE)
        return 0;
    const uint8_t* p = pImage->data;
    pHeader->width = static_cast<int>(Get16(p));
    pHeader->height = static_cast<int>(Get16(p + 2));
    pHeader->colours = Get16(p + 6);
    if (pHeader->width < 1 || pHeader->width > TCF_MAX_SIDE || pHeader->height < 1 ||
        pHeader->height > TCF_MAX_SIDE)
        return 0;
    return TCF_HEADER_SIZE + 4 * static_cast<uint64_t>(pHeader->colours) <= pImage->size;
}

// Nibbles that follow each operation nibble, not counting the n deltas of ops
// 9 to 11 (checked once n is known).
const uint8_t kOperandNibbles[16] = {2, 3, 4, 3, 5, 1, 2, 2, 4, 1, 1, 2, 0, 2, 3, 0};

// Where decoded pixels go: raster order over width x height, rows iPitch apart.
class CPixelSink
{
public:
    CPixelSink(uint32_t* pBits, int iWidth, int iHeight, int iPitch, const uint8_t* pPalette, unsigned uColours)
        : m_pRow(pBits), m_iWidth(iWidth), m_iPitch(iPitch), m_iColumn(0),
          m_lLeft(static_cast<long>(iWidth) * iHeight), m_pPalette(pPalette), m_uColours(uColours)
    {
    }

    // Room for n more pixels before the end of the last row; claims them.
    bool Claim(long n)
    {
        if (n > m_lLeft)
            return false;
        m_lLeft -= n;
        return true;
    }

    bool Valid(unsigned uIndex) const { return uIndex < m_uColours; }

    uint32_t Colour(unsigned uIndex) const
    {
        uint32_t c;
        memcpy(&c, m_pPalette + 4 * static_cast<size_t>(uIndex), 4);
        return c;
    }

    // Run of n claimed pixels, row by row.
    void Fill(uint32_t c, int n)
    {
        while (n > 0) {
            int k;
            uint32_t* p = Span(n, &k);
            for (int i = 0; i < k; i++)
                p[i] = c;
            Advance(k);
            n -= k;
        }
    }

    // Where the next claimed pixels go, and how many of n fit in this row.
    uint32_t* Span(int n, int* pFit) const
    {
        int k = m_iWidth - m_iColumn;
        *pFit = k < n ? k : n;
        return m_pRow + m_iColumn;
    }

    // Moves past k pixels of the current row.
    void Advance(int k)
    {
        m_iColumn += k;
        if (m_iColumn == m_iWidth) {
            m_iColumn = 0;
            m_pRow += m_iPitch;
        }
    }

private:
    uint32_t* m_pRow;
    int m_iWidth;
    int m_iPitch;
    int m_iColumn;
    long m_lLeft;
    const uint8_t* m_pPalette;
    unsigned m_uColours;
};

// n literal pixels of iBits-wide deltas from the base; false on a bad index,
// a short stream or no room (the last two checked before anything is written).
template <int iBits>
bool Literals(CBitStreamReader& rd, CPixelSink& out, unsigned uBase, unsigned n)
{
    if (rd.NibblesLeft() < static_cast<size_t>(n) * (iBits / 4) || !out.Claim(n))
        return false;
    // Only a group whose largest possible index leaves the palette needs a
    // check per pixel.
    const bool bCheck = !out.Valid(uBase + (1u << iBits) - 1);
    for (int left = static_cast<int>(n); left > 0;) {
        int k;
        uint32_t* p = out.Span(left, &k);
        for (int i = 0; i < k; i++) {
            unsigned uIndex = (uBase + (iBits == 4 ? rd.Next4() : rd.Next8())) & 0xFFFF;
            if (bCheck && !out.Valid(uIndex))
                return false;
            p[i] = out.Colour(uIndex);
        }
        out.Advance(k);
        left -= k;
    }
    return true;
}

bool Run(CPixelSink& out, unsigned uCount, unsigned uIndex)
{
    if (!out.Valid(uIndex) || !out.Claim(uCount))
        return false;
    out.Fill(out.Colour(uIndex), static_cast<int>(uCount));
    return true;
}
}  // namespace

SIZE CTAVOImageFormat::ExtractImageSize(const RVT_COMPRESSED_IMAGE* pImage)
{
    TCF_HEADER h;
    if (!ParseHeader(pImage, &h))
        return SIZE{0, 0};
    return SIZE{h.width, h.height};
}

int CTAVOImageFormat::DecompressImage(uint32_t* pBits, int iPitch, const RVT_COMPRESSED_IMAGE* pImage)
{
    TCF_HEADER h;
    if (!pBits || !ParseHeader(pImage, &h) || h.width > iPitch)
        return 0;
    const uint32_t uStart = TCF_HEADER_SIZE + 4 * h.colours;
    CBitStreamReader rd(pImage->data + uStart, pImage->size - uStart);
    CPixelSink out(pBits, h.width, h.height, iPitch, pImage->data + TCF_HEADER_SIZE, h.colours);
    unsigned uBase = 0;

    for (;;) {
        unsigned op = rd.ReadBits4();
        if (rd.Overrun() || rd.NibblesLeft() < kOperandNibbles[op])
            return 0;  // also the missing end code
        bool ok = true;
        // Operands are known to be there: unchecked reads from here on.
        switch (op) {
        case 0: { unsigned n = rd.Next4(); ok = Run(out, n, rd.Next4()); break; }
        case 1: { unsigned n = rd.Next4(); ok = Run(out, n, rd.Next8()); break; }
        case 2: { unsigned n = rd.Next4(); ok = Run(out, n, rd.Next12()); break; }
        case 3: { unsigned n = rd.Next8(); ok = Run(out, n, rd.Next4()); break; }
        case 4: { unsigned n = rd.Next8(); ok = Run(out, n, rd.Next12()); break; }
        case 5: ok = Literals<4>(rd, out, uBase, 1); break;
        case 6: ok = Literals<4>(rd, out, uBase, 2); break;
        case 7: ok = Literals<8>(rd, out, uBase, 1); break;
        case 8: ok = Literals<8>(rd, out, uBase, 2); break;
        case 9: ok = Literals<4>(rd, out, uBase, rd.Next4()); break;
        case 10: ok = Literals<8>(rd, out, uBase, rd.Next4()); break;
        case 11: ok = Literals<8>(rd, out, uBase, rd.Next8()); break;
        case 12: uBase = 0; break;
        case 13: uBase = rd.Next8(); break;
        case 14: uBase = rd.Next12(); break;
        default: return 1;  // 15: end of image
        }
        if (!ok)
            return 0;
    }
}

// Encoder of the compressed image format.
//
// The image is cut into runs of equal pixels (crossing row ends, at most 255
// long); the palette holds each distinct value, ordered by the number of runs
// that carry it so that frequent values get short indexes. Runs of two or more
// pixels become run codes; one-pixel runs become literal groups relative to a
// base. A run whose index is beyond the 12 bits of a run code (the rarest
// values of an image with more than 4096) is coded as literals, which reach
// further through the base.
#include "tcf.h"

#include "rvalloc.h"
#include "rvdebug.h"
#include "tcf_bitstream.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <utility>

namespace
{
struct TCF_RUN
{
    uint32_t value;  // pixel value, then palette index once the palette exists
    uint32_t count;
};

enum
{
    MAX_NIBBLE_GROUP = 15,  // literals of ops 9 and 10 (4-bit n)
    MAX_BYTE_GROUP = 255,   // literals of op 11 (8-bit n)
    // A stretch of this many 4-bit deltas inside 8-bit literals is cheaper as
    // its own op 9: it saves one nibble a pixel and costs at most five nibbles
    // of headers (op 9 and n, then a new op 10 or 11 header).
    MIN_NIBBLE_STRETCH = 6,
};

class CCodeWriter
{
public:
    explicit CCodeWriter(CBitStreamWriter& w) : m_w(w), m_uBase(0) {}

    // Shortest run code for count (2 to 255) and index (up to 4095).
    void Run(unsigned uCount, unsigned uIndex)
    {
        if (uCount <= 15) {
            if (uIndex <= 15) {
                m_w.WriteBits4(0), m_w.WriteBits4(uCount), m_w.WriteBits4(uIndex);
            } else if (uIndex <= 255) {
                m_w.WriteBits4(1), m_w.WriteBits4(uCount), m_w.WriteBits8(uIndex);
            } else {
                m_w.WriteBits4(2), m_w.WriteBits4(uCount), m_w.WriteBits12(uIndex);
            }
        } else if (uIndex <= 15) {
            m_w.WriteBits4(3), m_w.WriteBits8(uCount), m_w.WriteBits4(uIndex);
        } else {
            m_w.WriteBits4(4), m_w.WriteBits8(uCount), m_w.WriteBits12(uIndex);
        }
    }

    // Literal pixels of the given palette indexes (each below TCF_MAX_COLOURS).
    void Literals(const uint16_t* pIndex, size_t n)
    {
        size_t i = 0;
        while (i < n) {
            size_t j = GroupEnd(pIndex, i, n);
            const auto range = std::minmax_element(pIndex + i, pIndex + j);
            if (*range.first < m_uBase || *range.second - m_uBase > 255)
                SetBase(std::min<unsigned>(*range.first, TCF_MAX_BASE));
            // Every delta of [i, j) now fits in 8 bits.
            while (i < j) {
                size_t k = NibbleStretch(pIndex, i, j);
                if (k == j - i || k >= MIN_NIBBLE_STRETCH) {
                    NibbleDeltas(pIndex + i, k);
                    i += k;
                    continue;
                }
                size_t e = i + 1;
                while (e < j && NibbleStretch(pIndex, e, j) < MIN_NIBBLE_STRETCH)
                    e++;
                ByteDeltas(pIndex + i, e - i);
                i = e;
            }
        }
    }

    void End() { m_w.WriteBits4(15); }

private:
    // End of the literal group that starts at i: at most 255 pixels whose
    // indexes one base (at most 4095) can reach with 8-bit deltas.
    static size_t GroupEnd(const uint16_t* pIndex, size_t i, size_t n)
    {
        unsigned lo = pIndex[i], hi = pIndex[i];
        size_t j = i + 1;
        for (; j < n && j - i < MAX_BYTE_GROUP; j++) {
            unsigned l = std::min<unsigned>(lo, pIndex[j]), h = std::max<unsigned>(hi, pIndex[j]);
            if (h - std::min<unsigned>(l, TCF_MAX_BASE) > 255)
                break;
            lo = l, hi = h;
        }
        return j;
    }

    // How many pixels from i (before j, at most 15) have deltas below 16.
    size_t NibbleStretch(const uint16_t* pIndex, size_t i, size_t j) const
    {
        size_t k = 0;
        while (i + k < j && k < MAX_NIBBLE_GROUP && pIndex[i + k] - m_uBase <= 15)
            k++;
        return k;
    }

    void SetBase(unsigned uBase)
    {
        if (uBase == 0) {
            m_w.WriteBits4(12);
        } else if (uBase <= 255) {
            m_w.WriteBits4(13), m_w.WriteBits8(uBase);
        } else {
            m_w.WriteBits4(14), m_w.WriteBits12(uBase);
        }
        m_uBase = uBase;
    }

    // 1 to 15 pixels.
    void NibbleDeltas(const uint16_t* pIndex, size_t n)
    {
        if (n == 1) {
            m_w.WriteBits4(5);
        } else if (n == 2) {
            m_w.WriteBits4(6);
        } else {
            m_w.WriteBits4(9), m_w.WriteBits4(static_cast<unsigned>(n));
        }
        for (size_t i = 0; i < n; i++)
            m_w.WriteBits4(pIndex[i] - m_uBase);
    }

    // 1 to 255 pixels.
    void ByteDeltas(const uint16_t* pIndex, size_t n)
    {
        if (n == 1) {
            m_w.WriteBits4(7);
        } else if (n == 2) {
            m_w.WriteBits4(8);
        } else if (n <= MAX_NIBBLE_GROUP) {
            m_w.WriteBits4(10), m_w.WriteBits4(static_cast<unsigned>(n));
        } else {
            m_w.WriteBits4(11), m_w.WriteBits8(static_cast<unsigned>(n));
        }
        for (size_t i = 0; i < n; i++)
            m_w.WriteBits8(pIndex[i] - m_uBase);
    }

    CBitStreamWriter& m_w;
    unsigned m_uBase;
};

// Runs over the rows as one sequence, at most 255 pixels each.
std::vector<TCF_RUN> CollectRuns(const uint32_t* pBits, int iWidth, int iHeight, int iPitch, int bClear)
{
    std::vector<TCF_RUN> runs;
    for (int y = 0; y < iHeight; y++) {
        const uint32_t* pRow = pBits + static_cast<size_t>(y) * iPitch;
        for (int x = 0; x < iWidth; x++) {
            uint32_t v = pRow[x];
            if (bClear && (v >> 24) == 0)
                v = 0;
            if (!runs.empty() && runs.back().value == v && runs.back().count < TCF_MAX_RUN)
                runs.back().count++;
            else
                runs.push_back(TCF_RUN{v, 1});
        }
    }
    return runs;
}

// The palette in code order; empty when the image has too many values.
std::vector<TCF_PALETTE_ENTRY> BuildPalette(const std::vector<TCF_RUN>& runs)
{
    std::vector<uint32_t> values(runs.size());
    for (size_t i = 0; i < runs.size(); i++)
        values[i] = runs[i].value;
    std::sort(values.begin(), values.end());
    std::vector<TCF_PALETTE_ENTRY> palette;
    for (auto it = values.begin(); it != values.end();) {
        auto end = std::upper_bound(it, values.end(), *it);
        if (palette.size() == TCF_MAX_COLOURS)
            return {};
        palette.push_back(TCF_PALETTE_ENTRY{*it, static_cast<uint32_t>(end - it)});
        it = end;
    }
    qsort(palette.data(), palette.size(), sizeof(TCF_PALETTE_ENTRY), CTAVOImageFormat::PaletteSort);
    return palette;
}

// Replaces each run's value by its palette index.
void IndexRuns(std::vector<TCF_RUN>* pRuns, const std::vector<TCF_PALETTE_ENTRY>& palette)
{
    std::vector<std::pair<uint32_t, uint32_t>> byValue(palette.size());  // (value, index)
    for (size_t i = 0; i < palette.size(); i++)
        byValue[i] = {palette[i].value, static_cast<uint32_t>(i)};
    std::sort(byValue.begin(), byValue.end());
    for (TCF_RUN& r : *pRuns)
        r.value = std::lower_bound(byValue.begin(), byValue.end(), std::make_pair(r.value, 0u))->second;
}

void Put16(uint8_t* p, unsigned v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

// Bytes of code stream that the runs can need at most: a run code is at most
// 6 nibbles (op 4); a literal pixel costs at most 2 nibbles plus, once per group
// (never more groups than literal pixels), a base change and a group header of
// 7 nibbles; then the end code.
size_t StreamBound(const std::vector<TCF_RUN>& runs)
{
    size_t nibbles = 1;
    for (const TCF_RUN& r : runs)
        nibbles += (r.count >= 2 && r.value <= TCF_MAX_RUN_INDEX) ? 6 : 9 * static_cast<size_t>(r.count);
    return (nibbles + 1) / 2;
}
}  // namespace

int CTAVOImageFormat::PaletteSort(const void* a, const void* b)
{
    const auto* pa = static_cast<const TCF_PALETTE_ENTRY*>(a);
    const auto* pb = static_cast<const TCF_PALETTE_ENTRY*>(b);
    if (pa->runs != pb->runs)
        return pa->runs > pb->runs ? -1 : 1;
    if (pa->value != pb->value)
        return pa->value < pb->value ? -1 : 1;
    return 0;
}

int CTAVOImageFormat::CompressImage(const uint32_t* pBits, int iWidth, int iHeight, int iPitch,
                                    int bClearTransparent, RVT_COMPRESSED_IMAGE* pResult)
{
    if (!pResult)
        return 0;
    pResult->data = nullptr;
    pResult->size = 0;
    if (!pBits || iWidth < 1 || iWidth > TCF_MAX_SIDE || iHeight < 1 || iHeight > TCF_MAX_SIDE || iPitch < iWidth) {
        AssertDlg(__FILE__, __LINE__, 0);
        return 0;
    }

    std::vector<TCF_RUN> runs = CollectRuns(pBits, iWidth, iHeight, iPitch, bClearTransparent);
    std::vector<TCF_PALETTE_ENTRY> palette = BuildPalette(runs);
    if (palette.empty()) {
        RVLog(RV_LOG_WARN, "image of %d x %d has more than %d colours, not encoded", iWidth, iHeight,
              TCF_MAX_COLOURS);
        return 0;
    }
    IndexRuns(&runs, palette);

    // Code the stream into a work buffer, then size the result exactly.
    std::vector<uint8_t> work(StreamBound(runs));
    CBitStreamWriter w(work.data(), static_cast<uint32_t>(work.size()));
    CCodeWriter codes(w);
    std::vector<uint16_t> literals;
    for (const TCF_RUN& r : runs) {
        if (r.count >= 2 && r.value <= TCF_MAX_RUN_INDEX) {
            codes.Literals(literals.data(), literals.size());
            literals.clear();
            codes.Run(r.count, r.value);
        } else {
            literals.insert(literals.end(), r.count, static_cast<uint16_t>(r.value));
        }
    }
    codes.Literals(literals.data(), literals.size());
    codes.End();
    w.Close();
    if (w.Overflow()) {
        AssertDlg(__FILE__, __LINE__, 0);
        return 0;
    }

    const size_t uPalette = 4 * palette.size();
    const size_t uTotal = TCF_HEADER_SIZE + uPalette + w.Size();
    auto* p = static_cast<uint8_t*>(RVAlloc(uTotal, 1));
    if (!p)
        return 0;
    Put16(p, static_cast<unsigned>(iWidth));
    Put16(p + 2, static_cast<unsigned>(iHeight));
    Put16(p + 4, 1);
    Put16(p + 6, static_cast<unsigned>(palette.size()));
    for (size_t i = 0; i < palette.size(); i++) {
        // The pixel's bytes as they lie in the canvas (R, G, B, A), verbatim.
        memcpy(p + TCF_HEADER_SIZE + 4 * i, &palette[i].value, 4);
    }
    memcpy(p + TCF_HEADER_SIZE + uPalette, work.data(), w.Size());
    pResult->data = p;
    pResult->size = static_cast<uint32_t>(uTotal);
    return 1;
}

void CTAVOImageFormat::FreeImage(RVT_COMPRESSED_IMAGE* pImage)
{
    if (!pImage)
        return;
    RVFree(const_cast<uint8_t*>(pImage->data));
    pImage->data = nullptr;
    pImage->size = 0;
}

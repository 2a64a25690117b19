// CAlphaDIB: construction, premultiplication, the four-channel blend fill and
// the copies that keep or drop the premultiplied mark.
#include "dibdc.h"

#include "dibdc_rows.h"

#include <algorithm>
#include <new>

namespace
{
using dibrows::V4U32;
using dibrows::V8U16;

// (r a / 256, g a / 256, b a / 256, a) for each pixel of a row. Red and blue
// sit in the 16-bit halves of the 32-bit lanes, so one 16-bit multiply by the
// alpha (repeated in both halves) scales both, and green takes a second one;
// every product fits 16 bits, and no 32-bit multiply (slow on SSE2) is needed.
void PreMultRow(uint32_t* p, long n)
{
    long i = 0;
    for (; i + 4 <= n; i += 4) {
        V4U32 v = dibrows::Load(p + i);
        V4U32 a = v >> 24;
        V8U16 rb = ((V8U16)(v & 0x00FF00FF) * (V8U16)(a | (a << 16))) >> 8;
        V8U16 g = ((V8U16)((v >> 8) & 0xFF) * (V8U16)a) >> 8;
        dibrows::Store(p + i, (V4U32)rb | ((V4U32)g << 8) | (a << 24));
    }
    for (; i < n; i++) {
        uint32_t v = p[i];
        uint32_t a = v >> 24;
        uint32_t rb = (((v & 0x00FF00FF) * a) >> 8) & 0x00FF00FF;
        uint32_t g = (((v >> 8) & 0xFF) * a) >> 8;
        p[i] = rb | (g << 8) | (a << 24);
    }
}

// c m / 256 + p (255 - m) / 256 on all four channels. The colour's share is
// the same for every pixel; the two shares never add past 254.
struct Blend256
{
    uint32_t uKeep;     // 255 - m
    uint32_t uAdd;      // the colour's share, every channel in place

    Blend256(uint32_t uColor, int m) : uKeep(255 - static_cast<uint32_t>(m)), uAdd(0)
    {
        for (int shift = 0; shift < 32; shift += 8)
            uAdd |= ((((uColor >> shift) & 0xFF) * static_cast<uint32_t>(m)) >> 8) << shift;
    }

    void Row(uint32_t* p, long n) const
    {
        const V8U16 keep = {(uint16_t)uKeep, (uint16_t)uKeep, (uint16_t)uKeep, (uint16_t)uKeep,
                            (uint16_t)uKeep, (uint16_t)uKeep, (uint16_t)uKeep, (uint16_t)uKeep};
        const V4U32 add = {uAdd, uAdd, uAdd, uAdd};
        long i = 0;
        for (; i + 4 <= n; i += 4) {
            V4U32 v = dibrows::Load(p + i);
            V8U16 rb = ((V8U16)(v & 0x00FF00FF) * keep) >> 8;
            V8U16 ga = ((V8U16)((v >> 8) & 0x00FF00FF) * keep) >> 8;
            dibrows::Store(p + i, ((V4U32)rb | ((V4U32)ga << 8)) + add);
        }
        for (; i < n; i++) {
            uint32_t v = p[i];
            uint32_t rb = (((v & 0x00FF00FF) * uKeep) >> 8) & 0x00FF00FF;
            uint32_t ga = ((((v >> 8) & 0x00FF00FF) * uKeep) >> 8) & 0x00FF00FF;
            p[i] = (rb | (ga << 8)) + uAdd;
        }
    }
};

CAlphaDIB* WithFlags(CRVDibDC* p, int iFlags)
{
    // Every canvas an alpha canvas makes is an alpha canvas (CreateCanvas).
    CAlphaDIB* pAlpha = static_cast<CAlphaDIB*>(p);
    if (pAlpha)
        pAlpha->SetAlphaFlags(iFlags);
    return pAlpha;
}
}  // namespace

CAlphaDIB::CAlphaDIB(int iWidth, int iHeight, int x, int y, int, int iAlphaFlags)
    : CRVDibDC(iWidth, iHeight, x, y, 0, 0), m_iAlphaFlags(iAlphaFlags)
{
    if (iAlphaFlags & ALPHA_PREMULTIPLIED)
        Fill(0);
}

CAlphaDIB::CAlphaDIB(int iWidth, int iHeight, int iAttribs, int iAlphaFlags, int bClear)
    : CRVDibDC(iWidth, iHeight, 0, 0, 0, iAttribs), m_iAlphaFlags(iAlphaFlags)
{
    if (bClear)
        Fill(0);
}

CRVDibDC* CAlphaDIB::CreateCanvas(int iWidth, int iHeight, int iAttribs) const
{
    CAlphaDIB* p = new (std::nothrow) CAlphaDIB(iWidth, iHeight, iAttribs, 0, 0);
    if (p && !p->IsValid()) {
        delete p;
        p = nullptr;
    }
    return p;
}

int CAlphaDIB::MakePreMult()
{
    if (m_iAlphaFlags & ALPHA_PREMULTIPLIED)
        return 1;
    if (IsValid()) {
        for (int row = 0; row < Height(); row++)
            PreMultRow(Pixel(0, row), Width());
    }
    m_iAlphaFlags |= ALPHA_PREMULTIPLIED;
    return 1;
}

void CAlphaDIB::FillRectAlpha(const CRVRect& rect, uint32_t uColor, int iAlpha)
{
    if (!IsValid())
        return;
    const int m = std::clamp(iAlpha, 0, 255);
    const CRVRect r = ClipToCanvas(rect.x, rect.y, rect.width, rect.height);
    const Blend256 blend(uColor, m);
    for (int row = 0; row < r.height; row++)
        blend.Row(Pixel(r.x, r.y + row), r.width);
}

// ---- copies ----

CRVDibDC* CAlphaDIB::CreateCopy(int iAttribs)
{
    return WithFlags(CRVDibDC::CreateCopy(iAttribs), m_iAlphaFlags);
}

CRVDibDC* CAlphaDIB::CreateFlip(int bHorizontal, int bVertical)
{
    return WithFlags(CRVDibDC::CreateFlip(bHorizontal, bVertical), bHorizontal && bVertical ? 0 : m_iAlphaFlags);
}

CRVDibDC* CAlphaDIB::CreateScaledCopy(int dx, int dy, int iAttribs, int iUnused)
{
    return WithFlags(CRVDibDC::CreateScaledCopy(dx, dy, iAttribs, iUnused), 0);
}

CRVDibDC* CAlphaDIB::CreateSmoothScaledCopy(int dx, int dy, int iAttribs)
{
    if (!IsValid() || dx < 1 || dy < 1)
        return nullptr;
    CRVDibDC* p = (Width() / dx > 1 || DY() / dy > 1) ? CreateBicubicScale(dx, dy, iAttribs)
                                                      : CreateBilinearScale(dx, dy, iAttribs, 128);
    return WithFlags(p, m_iAlphaFlags);
}

CRVDibDC* CAlphaDIB::CreateScaleDIV(int n)
{
    return WithFlags(CRVDibDC::CreateScaleDIV(n), 0);
}

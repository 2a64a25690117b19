#include "rvdc.h"

#include "dibdc.h"
#include "rvrectmath.h"

#include <new>

CRVDC::CRVDC() : m_uColor(0), m_ptOrigin{0, 0}, m_iFont(0), m_iAttribs(0), m_iLostClips(0), m_bGlobalClip(0) {}

CRVDC::~CRVDC()
{
    while (!m_ClipStack.IsEmpty())
        delete static_cast<CRVRect*>(m_ClipStack.RemoveHead());
}

POINT CRVDC::GetOrigin() { return m_ptOrigin; }

POINT CRVDC::GetOriginAbs() { return m_ptOrigin; }

void CRVDC::SetOrigin(int x, int y) { m_ptOrigin = POINT{x, y}; }

void CRVDC::FillRect(uint32_t, int, int, int, int) {}

void CRVDC::FillRoundRect(uint32_t, int, int, int, int, int, int) {}

void CRVDC::DrawLine(uint32_t, int, int, int, int, int) {}

void CRVDC::BltFromDibDC(int, int, CRVDibDC*, int, int, int, int, int) {}

void CRVDC::BltFromDibDC(CRVDibDC* pSource, int x, int y)
{
    if (pSource)
        BltFromDibDC(x, y, pSource, 0, 0, pSource->Width(), pSource->DY(), 0);
}

void CRVDC::BltFromDibDC(CRVDibDC* pSource, int x, int y, const CRectList* pList)
{
    if (!pSource || !pList)
        return;
    for (int i = 0; i < pList->Count(); i++) {
        CRVRect r = pList->RectAtIndex(i);
        BltFromDibDC(rvrect::Clamp32(static_cast<long long>(x) + r.x), rvrect::Clamp32(static_cast<long long>(y) + r.y),
                     pSource, r.x, r.y, r.width, r.height, 0);
    }
}

int CRVDC::TestClip(const CRVRect& rect)
{
    if (!m_bGlobalClip)
        return 1;
    POINT abs = GetOriginAbs();
    CRVRect r(rect);
    r.Translate(abs.x, abs.y);
    return r.IntersectsWith(m_GlobalClip);
}

int CRVDC::PushClip(const CRVRect* pRect)
{
    if (m_iLostClips) {
        m_iLostClips++;
        return 0;
    }
    CRVRect* pEntry = nullptr;
    if (pRect) {
        pEntry = new (std::nothrow) CRVRect(*pRect);
        if (!pEntry) {
            m_iLostClips++;
            return 0;
        }
        pEntry->Translate(m_ptOrigin.x, m_ptOrigin.y);
    }
    if (!m_ClipStack.AddHead(pEntry)) {
        delete pEntry;
        m_iLostClips++;
        return 0;
    }
    return 1;
}

void CRVDC::PopClip()
{
    if (m_iLostClips) {
        m_iLostClips--;
        return;
    }
    delete static_cast<CRVRect*>(m_ClipStack.RemoveHead());
}

const CRVRect* CRVDC::TopClip() const
{
    return static_cast<const CRVRect*>(m_ClipStack.GetHead());
}

void CRVDC::SetGlobalClip(const CRVRect* pRect)
{
    m_bGlobalClip = pRect != nullptr;
    m_GlobalClip = pRect ? *pRect : CRVRect();
}

uint32_t CRVDC::BlendPCT(uint32_t a, uint32_t b, int iPercent)
{
    uint32_t p = iPercent < 0 ? 0 : (iPercent > 100 ? 100 : static_cast<uint32_t>(iPercent));
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t ca = (a >> shift) & 0xFF;
        uint32_t cb = (b >> shift) & 0xFF;
        out |= ((ca * (100 - p) + cb * p) / 100) << shift;
    }
    return out;
}

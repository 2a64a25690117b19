// CRVDibDC: construction, origin, the clip chain and the update list.
#include "dibdc.h"

#include "rvalloc.h"
#include "rvdebug.h"
#include "rvrectmath.h"

#include <new>

using rvrect::Clamp32;

CRVDibDC::CRVDibDC(int iWidth, int iHeight, int x, int y, int iMemoryType, int iAttribs)
    : m_iX(x), m_iY(y), m_pUpdateList(nullptr)
{
    uint32_t uAttribs = static_cast<uint32_t>(iAttribs);
    if (iMemoryType == 1)
        uAttribs |= ATTR_MEMORY_TYPE1;
    else if (iMemoryType == 2)
        uAttribs &= ~static_cast<uint32_t>(ATTR_MEMORY_MARK);
    Init(iWidth, iHeight, static_cast<int>(uAttribs), (uAttribs & ATTR_GUARD) != 0);
    CRVRect clip(x, y, m_iWidth, m_iDY);
    SetGlobalClip(&clip);
}

CRVDibDC::CRVDibDC(int iWidth, int iHeight) : m_iX(0), m_iY(0), m_pUpdateList(nullptr)
{
    Init(iWidth, iHeight, 0, 0);
}

void CRVDibDC::Init(int iWidth, int iHeight, int iAttribs, int bGuard)
{
    m_iAttribs = iAttribs;
    // A negative size is a caller's error; it makes an empty canvas.
    RV_ASSERT(iWidth >= 0 && iHeight >= 0);
    long long w = iWidth < 0 ? 0 : iWidth;
    long long h = iHeight < 0 ? 0 : iHeight;
    long long dx = ((w + (bGuard ? 1 : 0) + 3) / 4) * 4;
    long long dy = h + (bGuard ? 1 : 0);
    if (dx < 1)
        dx = 1;
    if (dy < 1)
        dy = 1;
    m_pBits = RVAllocPixels(dx, dy);
    if (!m_pBits) {
        m_iWidth = m_iHeight = m_iDX = m_iDY = 0;
        return;
    }
    m_iWidth = static_cast<int>(w);
    m_iHeight = static_cast<int>(h);
    m_iDX = static_cast<int>(dx);
    m_iDY = static_cast<int>(dy);
}

CRVDibDC::~CRVDibDC()
{
    RVFree(m_pBits);
    delete m_pUpdateList;
}

void CRVDibDC::Attribs(int iAttribs)
{
    uint32_t keep = static_cast<uint32_t>(m_iAttribs) & ATTR_MEMORY_TYPE1;
    m_iAttribs = static_cast<int>((static_cast<uint32_t>(iAttribs) & ~static_cast<uint32_t>(ATTR_MEMORY_TYPE1)) | keep);
}

CRVDibDC* CRVDibDC::CreateCanvas(int iWidth, int iHeight, int iAttribs) const
{
    CRVDibDC* p = new (std::nothrow) CRVDibDC(iWidth, iHeight, 0, 0, 0, iAttribs);
    if (p && !p->IsValid()) {
        delete p;
        p = nullptr;
    }
    return p;
}

// ---- origin ----

POINT CRVDibDC::GetOriginAbs()
{
    return POINT{Clamp32(static_cast<long long>(m_ptOrigin.x) + m_iX), Clamp32(static_cast<long long>(m_ptOrigin.y) + m_iY)};
}

void CRVDibDC::SetOrigin(int x, int y)
{
    m_ptOrigin = POINT{Clamp32(static_cast<long long>(x) - m_iX), Clamp32(static_cast<long long>(y) - m_iY)};
}

// ---- clips ----

CRVRect CRVDibDC::LocalClipRect()
{
    CRVRect bounds(0, 0, m_iWidth, m_iDY);
    const CRVRect* pGlobal = GlobalClip();
    CRVRect global;
    if (pGlobal) {
        // In 64 bits: a position of INT_MIN has no int negation.
        global = *pGlobal;
        global.x = Clamp32(static_cast<long long>(pGlobal->x) - m_iX);
        global.y = Clamp32(static_cast<long long>(pGlobal->y) - m_iY);
    }
    if (const CRVRect* pTop = TopClip()) {
        CRVRect active = *pTop;
        if (pGlobal)
            active = active.IntersectWith(global);
        return bounds.IntersectWith(active);
    }
    return pGlobal ? bounds.IntersectWith(global) : bounds;
}

CRVRect CRVDibDC::ClipToCanvas(long long x, long long y, long long dx, long long dy)
{
    CRVRect clip = LocalClipRect();
    long long x0 = x + m_ptOrigin.x;
    long long y0 = y + m_ptOrigin.y;
    long long x1 = x0 + dx;
    long long y1 = y0 + dy;
    if (x0 < clip.x)
        x0 = clip.x;
    if (y0 < clip.y)
        y0 = clip.y;
    if (x1 > static_cast<long long>(clip.x) + clip.width)
        x1 = static_cast<long long>(clip.x) + clip.width;
    if (y1 > static_cast<long long>(clip.y) + clip.height)
        y1 = static_cast<long long>(clip.y) + clip.height;
    if (x1 <= x0 || y1 <= y0)
        return CRVRect();
    return CRVRect(static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1 - x0), static_cast<int>(y1 - y0));
}

// ---- update list ----

void CRVDibDC::AddUpdateRect(const CRVRect& rect)
{
    if (!m_pUpdateList) {
        m_pUpdateList = new (std::nothrow) CRectList;
        if (!m_pUpdateList)
            return;
    }
    m_pUpdateList->AddRectDirectRef(rect);
}

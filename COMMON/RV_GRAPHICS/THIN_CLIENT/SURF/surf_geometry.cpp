// CSurf: positions, screen and client coordinates, orientation blending,
// visibility.
//
// A position is relative to the parent's client area, whose origin moves by
// the parent's content offset; a surface's own content offset moves its own
// position only with attribute 0x80000000.
#include "surf.h"

#include <algorithm>

#include "rvdebug.h"
#include "rvrectmath.h"

// Positions and offsets come from the controller: every sum of them is taken
// in 64 bits and saturated, so a surface near the int limits cannot wrap
// around onto the screen.
static inline int Sat(long long v)
{
    return rvrect::Clamp32(v);
}

// The blend factor (per mille towards orientation 1) of an orientation turn.
static int TurnFactor(const RVT_MATRIX_CONFIG* pConfig)
{
    return pConfig->iOrientMode == 1 ? 1000 - pConfig->iOrientProgress : pConfig->iOrientProgress;
}

CRVRect CSurf::Position(ORIENT eOrient) const
{
    return m_rcPos[OrientIndex(eOrient)];
}

CRVRect CSurf::Position(RVT_MATRIX_CONFIG* pConfig)
{
    if (pConfig->iOrientMode == 0)
        return Position(pConfig->eOrientation);
    if (m_iAttribs & SA_HIDE_ORIENT_0)
        return m_rcPos[1];
    if (m_iAttribs & SA_HIDE_ORIENT_1)
        return m_rcPos[0];
    CRVRect rc = m_rcPos[0];
    rc.BlendWith(m_rcPos[1], TurnFactor(pConfig));
    return rc;
}

CRVRect CSurf::ClientRect(ORIENT eOrient) const
{
    const CRVRect& rc = m_rcPos[OrientIndex(eOrient)];
    return CRVRect(0, 0, rc.width, rc.height);
}

CRVRect CSurf::ScreenRect(RVT_MATRIX_CONFIG* pConfig)
{
    if (pConfig->iOrientMode == 0)
        return ScreenRect(pConfig->eOrientation);
    if (m_iAttribs & SA_HIDE_ORIENT_0)
        return ScreenRect(ORIENT_1);
    if (m_iAttribs & SA_HIDE_ORIENT_1)
        return ScreenRect(ORIENT_0);
    CRVRect rc = ScreenRect(ORIENT_0);
    rc.BlendWith(ScreenRect(ORIENT_1), TurnFactor(pConfig));
    return rc;
}

CRVRect CSurf::ScreenRect(ORIENT eOrient, POSITION_CTX ctx)
{
    const CRVRect& rc = m_rcPos[OrientIndex(eOrient)];
    int x = rc.x;
    int y = rc.y;
    if (m_iAttribs & SA_OWN_CONTENT_OFFSET) {
        x = Sat((long long)x - m_iContentX);
        y = Sat((long long)y - m_iContentY);
    }
    if (m_pParent) {
        x = m_pParent->XScreenClient(eOrient, x, ctx);
        y = m_pParent->YScreenClient(eOrient, y, ctx);
    }
    return CRVRect(x, y, rc.width, rc.height);
}

int CSurf::XScreenClient(ORIENT eOrient, int v, POSITION_CTX ctx)
{
    if (!m_pParent)
        return v;
    return m_pParent->XScreenClient(eOrient, Sat((long long)v + m_rcPos[OrientIndex(eOrient)].x - m_iContentX), ctx);
}

int CSurf::YScreenClient(ORIENT eOrient, int v, POSITION_CTX ctx)
{
    if (!m_pParent)
        return v;
    return m_pParent->YScreenClient(eOrient, Sat((long long)v + m_rcPos[OrientIndex(eOrient)].y - m_iContentY), ctx);
}

int CSurf::XScreen(ORIENT eOrient, int v, POSITION_CTX ctx)
{
    if (!m_pParent)
        return v;
    long long x = (long long)m_rcPos[OrientIndex(eOrient)].x - ((m_iAttribs & SA_OWN_CONTENT_OFFSET) ? m_iContentX : 0);
    return m_pParent->XScreenClient(eOrient, Sat(v + x), ctx);
}

int CSurf::YScreen(ORIENT eOrient, int v, POSITION_CTX ctx)
{
    if (!m_pParent)
        return v;
    long long y = (long long)m_rcPos[OrientIndex(eOrient)].y - ((m_iAttribs & SA_OWN_CONTENT_OFFSET) ? m_iContentY : 0);
    return m_pParent->YScreenClient(eOrient, Sat(v + y), ctx);
}

int CSurf::SetPosition(ORIENT eOrient, CRVRect rc, MODIFY_CONTEXT ctx)
{
    CRVRect& pos = m_rcPos[OrientIndex(eOrient)];
    if (pos == rc)
        return 0;
    if (pos.width != rc.width || pos.height != rc.height)
        m_iState |= SS_SIZE_CHANGED;
    pos = rc;
    if (!ctx)
        Invalidate();
    return 1;
}

int CSurf::SetAlpha(int iAlpha, MODIFY_CONTEXT ctx)
{
    RV_ASSERT(iAlpha >= 0 && iAlpha <= 255);
    iAlpha = std::clamp(iAlpha, 0, 255);
    if (iAlpha == m_iAlpha)
        return 0;
    m_iAlpha = iAlpha;
    if (!ctx)
        Invalidate();
    if (m_pCacheOwner)
        m_pCacheOwner->m_iState |= SS_APPEARANCE;
    return 1;
}

CRVRect CSurf::ClipRect(ORIENT eOrient, CRVRect rc)
{
    if (!m_pParent) {
        const CRVRect& screen = m_rcPos[OrientIndex(eOrient)];
        return CRVRect(-rc.x, -rc.y, screen.width, screen.height);
    }
    const CRVRect& pos = m_rcPos[OrientIndex(eOrient)];
    int dx = pos.x - m_iContentX;
    int dy = pos.y - m_iContentY;
    return m_pParent->ClipRect(eOrient, CRVRect(rc.x + dx, rc.y + dy, rc.width, rc.height));
}

int CSurf::IsVisible(ORIENT eOrient)
{
    if (eOrient != ORIENT_0 && eOrient != ORIENT_1)
        return 1;
    int iHidden = eOrient == ORIENT_0 ? SA_HIDE_ORIENT_0 : SA_HIDE_ORIENT_1;
    for (CSurf* p = this; p; p = p->m_pParent) {
        if ((p->m_iAttribs & iHidden) || p->m_iAlpha < 1)
            return 0;
    }
    return 1;
}

POINT CSurf::ToChild(CSurf* pChild, ORIENT eOrient, POINT pt) const
{
    const CRVRect& pos = pChild->m_rcPos[OrientIndex(eOrient)];
    long long x = pos.x;
    long long y = pos.y;
    if (pChild->m_iAttribs & SA_OWN_CONTENT_OFFSET) {
        x -= pChild->m_iContentX;
        y -= pChild->m_iContentY;
    }
    return POINT{Sat((long long)pt.x + m_iContentX - x), Sat((long long)pt.y + m_iContentY - y)};
}

int CSurf::PushLocalClip(ORIENT eOrient, CClipStack* pClip, CRVRect* pLocal)
{
    CRVRect screen = ScreenRect(eOrient);
    if (!pClip->PushClip(screen))
        return 0;
    CRVRect rc = pClip->Clip();
    rc.x = Sat((long long)rc.x - screen.x);
    rc.y = Sat((long long)rc.y - screen.y);
    *pLocal = rc;
    return 1;
}

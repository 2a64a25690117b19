// CSurfXAlign: properties and the row layout.
#include "surf_xalign.h"

#include "rvmsg.h"

CSurfXAlign::CSurfXAlign(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_iAnchorX{0, 0}, m_iLastOrient(-1)
{
    // A row is never itself marked as a row member.
    m_iState = SS_ROW;
}

void CSurfXAlign::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_iAnchorX[0] = pMsg->GetShort();
    m_iAnchorX[1] = pMsg->GetShort();
    m_iState |= SS_FONT_CHANGED;
    Invalidate();
}

int CSurfXAlign::Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    if ((int)pConfig->eOrientation != m_iLastOrient) {
        m_iState |= SS_FONT_CHANGED;
        m_iLastOrient = (int)pConfig->eOrientation;
    }
    if (m_iState & SS_FONT_CHANGED) {
        XAlignChildren(pConfig->eOrientation);
        m_iState &= ~SS_FONT_CHANGED;
    }
    return CSurf::Render(iAlpha, pClip, pMatrix, pConfig);
}

void CSurfXAlign::XAlignChildren(ORIENT eOrient)
{
    if (!m_pFirstChild)
        return;
    // 64-bit sums: the widths come from the controller.
    long long S = 0;
    for (CSurf* p = m_pFirstChild; p; p = p->NextSibling())
        S += p->PreferredSize(eOrient).cx;
    const long long W = Position(eOrient).width;
    const long long a = m_iAnchorX[OrientIndex(eOrient)];
    long long x;
    if (a >= S / 2 && W - a >= S / 2)
        x = a - S / 2;          // centred on the anchor
    else if (S <= W)
        x = W / 2 - S / 2;      // centred in the row
    else
        x = 0;                  // from the left, overflowing at the right
    for (CSurf* p = m_pFirstChild; p; p = p->NextSibling()) {
        CRVRect rc = p->Position(eOrient);
        rc.x = (int)x;
        rc.width = p->PreferredSize(eOrient).cx;
        p->SetPosition(eOrient, rc, 1);
        x += rc.width;
    }
}

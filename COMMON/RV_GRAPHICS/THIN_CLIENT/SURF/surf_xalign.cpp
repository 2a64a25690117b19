// CSurfXAlign: properties.
#include "surf_xalign.h"

#include "rvmsg.h"

CSurfXAlign::CSurfXAlign(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_iAnchorX{0, 0}
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

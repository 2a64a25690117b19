// CSurfMirror: properties.
#include "surf_mirror.h"

#include "rvmsg.h"

CSurfMirror::CSurfMirror(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_iOffset{0, 0}, m_iLevel{0, 0}, m_uColor(0)
{
}

void CSurfMirror::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_iLevel[0] = pMsg->GetBYTE();
    m_iLevel[1] = pMsg->GetBYTE();
    m_iOffset[0] = pMsg->GetShort();
    m_iOffset[1] = pMsg->GetShort();
    m_uColor = pMsg->GetColorBYTE();
    Invalidate();
}

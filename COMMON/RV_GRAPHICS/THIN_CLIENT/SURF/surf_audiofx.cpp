// CSurfAudioFX: properties.
#include "surf_audiofx.h"

#include "rvdebug.h"
#include "rvmsg.h"

CSurfAudioFX::CSurfAudioFX(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_uColor(0x0FFFFFFF), m_iValue{0, 0}, m_iPoints(DEFAULT_POINTS), m_bDirty(0),
      m_iBuffer(-1)
{
}

void CSurfAudioFX::SetSurfaceProps(CRVMSG* pMsg, int)
{
    m_uColor = pMsg->GetColorBYTE();
    m_iValue[0] = pMsg->GetInt();
    m_iValue[1] = pMsg->GetInt();
    int iPoints = pMsg->GetInt();
    pMsg->GetInt();
    // The count sizes an allocation: an unchecked one from the network could
    // ask for gigabytes.
    RV_ASSERT(iPoints >= 0 && iPoints <= MAX_POINTS);
    m_iPoints = iPoints < 0 ? 0 : (iPoints > MAX_POINTS ? MAX_POINTS : iPoints);
    m_bDirty = 1;
    Invalidate();
}

// CSurfWaitGraphic: construction and properties.
#include "surf_waitgraphic.h"

#include "mainwnd.h"
#include "rvmsg.h"

CSurfWaitGraphic::CSurfWaitGraphic(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iVariant)
    : CSurf(pParent, iID, rc0, rc1),
      m_iTicks(0),
      m_iAngle(0),
      m_iSpeed(iVariant ? 0 : 18),
      m_iCos{},
      m_iSin{},
      m_pDot(nullptr),
      m_pQuad(nullptr),
      m_iVariant(iVariant),
      m_bTimerRunning(0),
      m_bInitialised(0),
      m_uDotColor(0x6464FF),
      m_iDotCount(10),
      m_iFirstAlpha(0),
      m_iLastAlpha(255),
      m_iDiameter(m_rcPos[OrientIndex(CMainWnd::m_eOrientation)].width / 4)
{
}

void CSurfWaitGraphic::SetSurfaceProps(CRVMSG* pMsg, int)
{
    // The look is the wait graphic's own variant's, not the record's.
    if (m_iVariant != 1)
        return;
    m_uDotColor = pMsg->GetColorBYTE();
    m_iDotCount = pMsg->GetBYTE();
    m_iFirstAlpha = pMsg->GetBYTE();
    m_iLastAlpha = pMsg->GetBYTE();
    m_iDiameter = pMsg->GetBYTE();
    m_bInitialised = 0;     // the dot image follows the new look
}

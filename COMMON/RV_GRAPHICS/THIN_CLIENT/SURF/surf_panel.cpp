// CSurfPanel: properties.
#include "surf_panel.h"

#include "rvmsg.h"

CSurfPanel::CSurfPanel(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind)
    : CSurf(pParent, iID, rc0, rc1),
      m_iKind(iKind),
      m_iSourceID(NO_SOURCE),
      m_iTexture(-1),
      m_pImage(nullptr),
      m_iBuffer(-1),
      m_BuiltSize{0, 0}
{
}

// The image is never taken until the graphic-store lookup is built.
CSurfPanel::~CSurfPanel() = default;

void CSurfPanel::SetSurfaceProps(CRVMSG* pMsg, int)
{
    int iSource = pMsg->GetInt();
    if (iSource == m_iSourceID)
        return;
    m_iSourceID = iSource;
    m_iTexture = -1;
    m_iState |= SS_APPEARANCE;
}

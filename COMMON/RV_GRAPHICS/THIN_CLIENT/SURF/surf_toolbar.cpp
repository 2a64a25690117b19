// CSurfToolBarButton: properties.
#include "surf_toolbar.h"

#include "rvmsg.h"

#include <string.h>

CSurfToolBarButton::CSurfToolBarButton(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iRecordKind)
    : CSurfButton(pParent, iID, rc0, rc1, 4),
      m_iRecordKind(iRecordKind),
      m_uColor{},
      m_iFillAlpha{255, 255, 255},
      m_iEdgeAlpha{255, 255, 255},
      m_pToolImages{}
{
}

void CSurfToolBarButton::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[TOOLBAR_STATES][TOOLBAR_COLORS];
    int iFill[TOOLBAR_STATES], iEdge[TOOLBAR_STATES];
    for (int s = 0; s < TOOLBAR_STATES; ++s) {
        for (unsigned int& c : uColor[s])
            c = pMsg->GetColorBYTE();
        iFill[s] = iEdge[s] = 255;
        if (m_iRecordKind == 23) {
            iFill[s] = pMsg->GetBYTE();
            iEdge[s] = pMsg->GetBYTE();
        }
    }
    if (!memcmp(uColor, m_uColor, sizeof uColor) && !memcmp(iFill, m_iFillAlpha, sizeof iFill) &&
        !memcmp(iEdge, m_iEdgeAlpha, sizeof iEdge))
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    memcpy(m_iFillAlpha, iFill, sizeof iFill);
    memcpy(m_iEdgeAlpha, iEdge, sizeof iEdge);
    // The gradient images are made from these colours: make them again.
    m_iState |= SS_APPEARANCE | SS_NEEDS_REDRAW;
}

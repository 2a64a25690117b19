// CSurfBorderBox: properties.
#include "surf_borderbox.h"

#include "rvmsg.h"

#include <string.h>

CSurfBorderBox::CSurfBorderBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_uColor{}, m_iAlphaOf{}, m_iBorder(1), m_iBuffer(-1)
{
}

void CSurfBorderBox::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[COLORS];
    int iAlpha[COLORS];
    for (int i = 0; i < COLORS; ++i) {
        uColor[i] = pMsg->GetColorBYTE();
        iAlpha[i] = pMsg->GetBYTE();
    }
    int iBorder = pMsg->GetBYTE();
    if (!memcmp(uColor, m_uColor, sizeof uColor) && !memcmp(iAlpha, m_iAlphaOf, sizeof iAlpha) && iBorder == m_iBorder)
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    memcpy(m_iAlphaOf, iAlpha, sizeof iAlpha);
    m_iBorder = iBorder;
    m_iState |= SS_APPEARANCE;
}

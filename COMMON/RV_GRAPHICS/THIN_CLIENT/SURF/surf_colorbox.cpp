// CSurfColorBox: properties.
#include "surf_colorbox.h"

#include "rvmsg.h"

#include <string.h>

CSurfColorBox::CSurfColorBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_uColor{}, m_iAlphaOf{}, m_eBuiltOrient(ORIENT_0), m_iBuffer(-1)
{
}

void CSurfColorBox::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[COLORS];
    int iAlpha[COLORS];
    for (int i = 0; i < COLORS; ++i) {
        uColor[i] = pMsg->GetColorBYTE();
        iAlpha[i] = pMsg->GetBYTE();
    }
    if (!memcmp(uColor, m_uColor, sizeof uColor) && !memcmp(iAlpha, m_iAlphaOf, sizeof iAlpha))
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    memcpy(m_iAlphaOf, iAlpha, sizeof iAlpha);
    m_iState |= SS_APPEARANCE;
}

// CSurfButtonBar and CSurfButtonBarButton: creation and properties.
#include "surf_buttonbar.h"

#include "rvmsg.h"

CSurfButtonBar::CSurfButtonBar(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurf(pParent, iID, rc0, rc1), m_iImageID{}
{
}

CSurf* CSurfButtonBar::CreateSubSurface(int iKind, int iID, CRVRect rc0, CRVRect rc1)
{
    if (iKind != KIND_BAR_BUTTON)
        return nullptr;
    return new CSurfButtonBarButton(this, iID, rc0, rc1);
}

void CSurfButtonBar::SetSurfaceProps(CRVMSG* pMsg, int iVariant)
{
    ReadButtonImageIDs(pMsg, iVariant, (m_iAttribs & CSurfButton::SA_BUTTON_FOURTH_IMAGE) != 0, m_iImageID);
    m_iState |= SS_NEEDS_REDRAW | CSurfButton::SS_BUTTON_RELOAD;
}

CSurfButtonBarButton::CSurfButtonBarButton(CSurfButtonBar* pBar, int iID, CRVRect rc0, CRVRect rc1)
    : CSurfButton(pBar, iID, rc0, rc1, 4), m_pBar(pBar)
{
}

void CSurfButtonBarButton::SetSurfaceProps(CRVMSG*, int)
{
    // Attribute 0x40000 means the normal image is never drawn.
    const int bNoNormal = (m_iAttribs & 0x40000) != 0;
    for (int i = 0; i < BUTTON_IMAGES; ++i) {
        for (int o = 0; o < 2; ++o)
            m_iImageID[i][o] = (i == BUTTON_IMAGE_NORMAL && bNoNormal) ? 0 : m_pBar->ImageID((BUTTON_IMAGE)i, (ORIENT)o);
    }
    m_iState |= SS_NEEDS_REDRAW | SS_BUTTON_RELOAD;
}

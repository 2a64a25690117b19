// CSurfButton: properties.
#include "surf_button.h"

#include "rvmsg.h"

void ReadButtonImageIDs(CRVMSG* pMsg, int iVariant, int bFourth, int iIDs[BUTTON_IMAGES][2])
{
    if (iVariant & 0x8) {
        for (int i = BUTTON_IMAGE_NORMAL; i <= BUTTON_IMAGE_ON; ++i)
            iIDs[i][1] = pMsg->GetInt();
        return;
    }
    const int iLast = bFourth ? BUTTON_IMAGE_FOURTH : BUTTON_IMAGE_ON;
    for (int i = BUTTON_IMAGE_NORMAL; i <= iLast; ++i)
        iIDs[i][0] = iIDs[i][1] = pMsg->GetInt();
    if (iVariant & 0x6)
        return;
    for (int i = BUTTON_IMAGE_NORMAL; i <= iLast; ++i)
        iIDs[i][1] = pMsg->GetInt();
}

CSurfButton::CSurfButton(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind)
    : CSurf(pParent, iID, rc0, rc1),
      m_iKind(iKind),
      m_iImageID{},
      m_iOverlayID(0),
      m_iOverlayLevel(0),
      m_pOverlay(nullptr),
      m_pImages{},
      m_pVBO(nullptr),
      m_iPressedLevel(0),
      m_iOnLevel(0),
      m_iThirdLevel(0),
      m_bPressed(0),
      m_iSliderX(0),
      m_iSliderY(0),
      m_ptSliderTouch{0, 0},
      m_uBlendBits(0)
{
}

// The canvases and the vertex buffer are never taken until the drawing is built.
CSurfButton::~CSurfButton() = default;

void CSurfButton::SetSurfaceProps(CRVMSG* pMsg, int iVariant)
{
    ReadButtonImageIDs(pMsg, iVariant, (m_iAttribs & SA_BUTTON_FOURTH_IMAGE) != 0, m_iImageID);
    if (m_iKind == 26) {
        // The overlay canvas is looked up by this ID when the images are fetched.
        m_iOverlayID = pMsg->GetInt();
        m_iOverlayLevel = pMsg->GetBYTE();
    } else if (m_iKind == 27) {
        m_uBlendBits = (unsigned int)pMsg->GetInt();
        pMsg->GetInt();     // carried by the controller, without meaning here
    }
    // New IDs are only fetched on a reload; redraw with them.
    m_iState |= SS_NEEDS_REDRAW | SS_BUTTON_RELOAD;
}

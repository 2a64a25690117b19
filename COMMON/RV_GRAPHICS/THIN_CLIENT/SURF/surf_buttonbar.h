// CSurfButtonBar (kind 12) and its buttons, CSurfButtonBarButton (kind 13).
//
// The bar holds one set of button images for a row of bar buttons; each bar
// button shows its own section of them. The bar creates its buttons and they
// take their image IDs from it. Drawing the sections and the buttons'
// behaviour are not built yet.
#pragma once

#include "surf_button.h"

class CSurfButtonBar : public CSurf
{
public:
    enum { KIND_BAR_BUTTON = 13 };

    CSurfButtonBar(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Kind 13 gives a bar button; anything else null.
    CSurf* CreateSubSurface(int iKind, int iID, CRVRect rc0, CRVRect rc1) override;
    // The button's image-ID payload, without the kind extras.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int ImageID(BUTTON_IMAGE eImage, ORIENT eOrient) const { return m_iImageID[eImage][OrientIndex(eOrient)]; }

protected:
    int m_iImageID[BUTTON_IMAGES][2];
};

class CSurfButtonBarButton : public CSurfButton
{
public:
    CSurfButtonBarButton(CSurfButtonBar* pBar, int iID, CRVRect rc0, CRVRect rc1);

    // Reads nothing: copies the bar's image IDs (without the normal images
    // when the button has attribute 0x40000).
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

protected:
    CSurfButtonBar* m_pBar;
};

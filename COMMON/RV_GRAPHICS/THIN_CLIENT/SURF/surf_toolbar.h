// CSurfToolBarButton: a button drawn from colour gradients instead of images
// (record kinds 8 and 23).
//
// Only the properties are built so far: three colour sets, for the states
// normal, on and pressed. The gradient images (CToolBarImage) and the drawing
// are not built yet.
#pragma once

#include "surf_button.h"

class CToolBarImage;

// The states a toolbar button has a colour set for, in payload order.
enum TOOLBAR_STATE
{
    TOOLBAR_NORMAL = 0,
    TOOLBAR_ON = 1,
    TOOLBAR_PRESSED = 2,
    TOOLBAR_STATES = 3,
};

// The colours of one state, in payload order.
enum TOOLBAR_COLOR
{
    TOOLBAR_FILL_TOP = 0,
    TOOLBAR_FILL_BOTTOM = 1,
    TOOLBAR_EDGE_TOP = 2,
    TOOLBAR_EDGE_BOTTOM = 3,
    TOOLBAR_COLORS = 4,
};

class CSurfToolBarButton : public CSurfButton
{
public:
    // iRecordKind: 8 (opaque colours) or 23 (with alphas).
    CSurfToolBarButton(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iRecordKind);

    // Per state: four colour-byte triples and, for kind 23, a byte fill alpha
    // and a byte edge alpha (255 for kind 8). A change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int RecordKind() const { return m_iRecordKind; }
    unsigned int Color(TOOLBAR_STATE eState, TOOLBAR_COLOR eColor) const { return m_uColor[eState][eColor]; }
    int FillAlpha(TOOLBAR_STATE eState) const { return m_iFillAlpha[eState]; }
    int EdgeAlpha(TOOLBAR_STATE eState) const { return m_iEdgeAlpha[eState]; }

protected:
    int m_iRecordKind;
    unsigned int m_uColor[TOOLBAR_STATES][TOOLBAR_COLORS];
    int m_iFillAlpha[TOOLBAR_STATES];
    int m_iEdgeAlpha[TOOLBAR_STATES];
    CToolBarImage* m_pToolImages[TOOLBAR_STATES];   // made when drawn; none yet
};

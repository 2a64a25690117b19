// CSurfRect: a filled rectangle with optional rounded corners (kind 1), and
// the base of the main window.
//
// It holds the rectangle's colours per orientation and its corner radius as
// the controller sets them, and draws the orientation's colour over its
// client area through the fill program. The main window itself (ID 0) draws
// nothing here: its colour is the screen's clear colour.
#pragma once

#include "surf.h"

class CFillRectVBO;
class CGLDIB;
class CROIVBO;

class CSurfRect : public CSurf
{
public:
    // Drawn additively (blend factors GL_ONE, GL_ONE).
    enum { SA_ADDITIVE = 0x40000 };

    // Both orientations start with uColor (0x00RRGGBB).
    CSurfRect(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, unsigned int uColor);
    // The GL buffers go to the GL trash.
    ~CSurfRect() override;

    // Colour bytes for orientation 0 and 1, then the corner radius as a byte;
    // any change sets state 0x10001.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;

    unsigned int Color(ORIENT eOrient) const { return m_uColor[eOrient == ORIENT_1 ? 1 : 0]; }
    void SetColor(ORIENT eOrient, unsigned int uColor);
    int Radius() const { return m_iRadius; }
    void SetRadius(int iRadius);

protected:
    // Rounded corners (radius 1 or more) from a corner image and a nine-slice
    // buffer; 1 when drawn. Not built yet: answers 0 and the rectangle is
    // drawn with square corners.
    int RenderRounded(int iAlpha, float* pMatrix, RVT_MATRIX_CONFIG* pConfig, const CRVRect& rc);

    unsigned int m_uColor[2];
    int m_iRadius;
    // GL objects of the drawing, built on the drawing thread.
    CFillRectVBO* m_pFill;
    CGLDIB* m_pCornerImage;
    CROIVBO* m_pNineSlice;
};

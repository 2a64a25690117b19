// CSurfRect: a filled rectangle with optional rounded corners (kind 1), and
// the base of the main window.
//
// This holds the rectangle's colours per orientation and its corner radius
// as the controller sets them; how it draws lives with the renderer.
#pragma once

#include "surf.h"

class CFillRectVBO;
class CGLDIB;
class CROIVBO;

class CSurfRect : public CSurf
{
public:
    // Both orientations start with uColor (0x00RRGGBB).
    CSurfRect(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, unsigned int uColor);
    ~CSurfRect() override;

    // Colour bytes for orientation 0 and 1, then the corner radius as a byte;
    // any change sets state 0x10001.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    unsigned int Color(ORIENT eOrient) const { return m_uColor[eOrient == ORIENT_1 ? 1 : 0]; }
    void SetColor(ORIENT eOrient, unsigned int uColor);
    int Radius() const { return m_iRadius; }
    void SetRadius(int iRadius);

protected:
    unsigned int m_uColor[2];
    int m_iRadius;
    // GL objects of the drawing, built on the drawing thread; none yet.
    CFillRectVBO* m_pFill;
    CGLDIB* m_pCornerImage;
    CROIVBO* m_pNineSlice;
};

// CSurfXAlign: a row that lays its children out side by side (kind 10):
// centred on an anchor x when they fit around it, else centred in the row,
// else from its left edge, overflowing at the right.
#pragma once

#include "surf.h"

class CSurfXAlign : public CSurf
{
public:
    // The row's own state 0x80 makes its children carry 0x100, and a child
    // added or a child's new text sets 0x200 here: lay out again.
    enum { SS_ROW = 0x80 };

    CSurfXAlign(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Short anchor x for orientation 0, then for orientation 1; asks for a layout.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // Lays the children out when asked to (or in a new orientation), then
    // draws as any surface.
    int Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;
    // Places every child, left to right at its preferred width, in one
    // orientation; y and height stay. No redraw request.
    void XAlignChildren(ORIENT eOrient);

    int AnchorX(ORIENT eOrient) const { return m_iAnchorX[OrientIndex(eOrient)]; }

protected:
    int m_iAnchorX[2];
    int m_iLastOrient;              // of the last draw; -1 before the first
};

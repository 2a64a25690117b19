// CSurfXAlign: a row that lays its children out side by side (kind 10).
//
// Built so far: the properties and the state bits that ask for a layout.
// The layout itself (XAlignChildren) and the drawing are not built yet.
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

    int AnchorX(ORIENT eOrient) const { return m_iAnchorX[OrientIndex(eOrient)]; }

protected:
    int m_iAnchorX[2];
};

// CSurfMirror: makes its children draw a faded reflection below a line (kind 9).
//
// Built so far: the properties. Handing the mirror level and line to the
// subtree's drawing is not built yet.
#pragma once

#include "surf.h"

class CSurfMirror : public CSurf
{
public:
    CSurfMirror(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Byte level for orientation 0 and 1, short offset for orientation 0 and
    // 1 (pixels below the mirror's top), colour bytes.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    int MirrorOffset(ORIENT eOrient) const { return m_iOffset[OrientIndex(eOrient)]; }
    int MirrorLevel(ORIENT eOrient) const { return m_iLevel[OrientIndex(eOrient)]; }
    unsigned int Color() const { return m_uColor; }

protected:
    int m_iOffset[2];
    int m_iLevel[2];            // 0 .. 255; 0: no reflection
    unsigned int m_uColor;      // kept; not drawn
};

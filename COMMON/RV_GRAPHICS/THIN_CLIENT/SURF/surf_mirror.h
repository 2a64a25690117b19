// CSurfMirror: makes its children draw a faded, upside-down reflection of
// themselves below a horizontal line (kind 9), like objects on a glossy floor.
//
// The mirror draws nothing of its own and pushes no clip: while its subtree
// draws, the clip stack carries the mirror level and the line (a screen y),
// and the surface kinds that reflect draw their copy from those.
#pragma once

#include "surf.h"

class CSurfMirror : public CSurf
{
public:
    CSurfMirror(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Byte level for orientation 0 and 1, short offset for orientation 0 and
    // 1 (pixels below the mirror's top), colour bytes.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // The children with the mirror's level and line on the clip stack; 1
    // when drawn.
    int Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;

    int MirrorOffset(ORIENT eOrient) const { return m_iOffset[OrientIndex(eOrient)]; }
    int MirrorLevel(ORIENT eOrient) const { return m_iLevel[OrientIndex(eOrient)]; }
    unsigned int Color() const { return m_uColor; }

protected:
    int m_iOffset[2];
    int m_iLevel[2];            // 0 .. 255; 0: no reflection
    unsigned int m_uColor;      // kept; not drawn
};

// CSurfGradient: a two-colour vertical gradient (kind 7).
//
// Built so far: the properties. The gradient buffer and the drawing are not
// built yet.
#pragma once

#include "surf.h"

class CGradientVBO;

class CSurfGradient : public CSurf
{
public:
    enum { COLORS = 3 };

    CSurfGradient(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Six colour-byte triples (three per orientation, orientation 0 first),
    // then a byte. A change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // Both orientations become (a, b, b), the byte value 1.
    void SetColors(unsigned int uA, unsigned int uB);

    unsigned int Color(ORIENT eOrient, int i) const { return (i >= 0 && i < COLORS) ? m_uColor[OrientIndex(eOrient)][i] : 0; }
    int Value() const { return m_iValue; }

protected:
    unsigned int m_uColor[2][COLORS];   // the first two are drawn
    int m_iValue;                       // 1 at creation
    ORIENT m_eBuiltOrient;
    CGradientVBO* m_pVBO;               // made when drawn; none yet
};

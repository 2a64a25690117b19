// CSurfColorBox: a rectangle shaded between four corner colours (kind 22).
//
// Built so far: the properties. The buffer and the drawing are not built yet.
#pragma once

#include "surf.h"

class CSurfColorBox : public CSurf
{
public:
    // Corners: top left, top right, bottom left, bottom right.
    enum { COLORS = 4 };

    CSurfColorBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Four times colour bytes and a byte alpha. A change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    unsigned int Color(int i) const { return (i >= 0 && i < COLORS) ? m_uColor[i] : 0; }
    int ColorAlpha(int i) const { return (i >= 0 && i < COLORS) ? m_iAlphaOf[i] : 0; }

protected:
    unsigned int m_uColor[COLORS];
    int m_iAlphaOf[COLORS];
    ORIENT m_eBuiltOrient;
    int m_iBuffer;                  // -1: none
};

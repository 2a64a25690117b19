// CSurfBorderBox: a bevelled frame with gradient sides and centre (kind 20).
//
// Built so far: the properties. The frame's buffer and the drawing are not
// built yet.
#pragma once

#include "surf.h"

class CSurfBorderBox : public CSurf
{
public:
    // Colour slots: outer top, outer bottom, inner top, inner bottom, centre
    // top, centre bottom.
    enum { COLORS = 6 };

    CSurfBorderBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);

    // Six times colour bytes and a byte alpha, then a byte border width. A
    // change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;

    unsigned int Color(int i) const { return (i >= 0 && i < COLORS) ? m_uColor[i] : 0; }
    int ColorAlpha(int i) const { return (i >= 0 && i < COLORS) ? m_iAlphaOf[i] : 0; }
    int BorderWidth() const { return m_iBorder; }

protected:
    unsigned int m_uColor[COLORS];
    int m_iAlphaOf[COLORS];
    int m_iBorder;                  // 1 at creation
    int m_iBuffer;                  // -1: none
};

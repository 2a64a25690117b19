// CSurfGradient: a two-colour vertical gradient (kind 7): the orientation's
// first colour along the top, its second along the bottom, interpolated by
// the GL. Below a mirror it draws its reflection.
#pragma once

#include "surf_drawn.h"

class CGradientVBO;

class CSurfGradient : public CSurfDrawn
{
public:
    enum { COLORS = 3 };

    CSurfGradient(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    // The buffer goes to the GL trash.
    ~CSurfGradient() override;

    // Six colour-byte triples (three per orientation, orientation 0 first),
    // then a byte. A change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    // Both orientations become (a, b, b), the byte value 1.
    void SetColors(unsigned int uA, unsigned int uB);
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;

    unsigned int Color(ORIENT eOrient, int i) const { return (i >= 0 && i < COLORS) ? m_uColor[OrientIndex(eOrient)][i] : 0; }
    int Value() const { return m_iValue; }

protected:
    void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) override;

    // The third colour and the byte value are kept as sent; the drawing
    // does not use them.
    unsigned int m_uColor[2][COLORS];
    int m_iValue;                       // 1 at creation
    ORIENT m_eBuiltOrient;
    CGradientVBO* m_pVBO;               // made when drawn
};

// CSurfColorBox: a rectangle shaded between four corner colours (kind 22),
// each with its own alpha; attribute 0x10000 mirrors it left to right. Two
// triangles of coloured vertices. Below a mirror it draws its reflection.
#pragma once

#include "surf_drawn.h"

class CColorVBO;
struct RVT_COLOR_VERTEX;

class CSurfColorBox : public CSurfDrawn
{
public:
    // Corners: top left, top right, bottom left, bottom right.
    enum { COLORS = 4 };
    enum { VERTICES = 6 };
    enum { SA_MIRRORED = 0x10000 };

    CSurfColorBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    // The buffer goes to the GL trash.
    ~CSurfColorBox() override;

    // Four times colour bytes and a byte alpha. A change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;

    unsigned int Color(int i) const { return (i >= 0 && i < COLORS) ? m_uColor[i] : 0; }
    int ColorAlpha(int i) const { return (i >= 0 && i < COLORS) ? m_iAlphaOf[i] : 0; }

    // The two triangles for a W x H box into v[VERTICES].
    void BuildVertices(int iWidth, int iHeight, RVT_COLOR_VERTEX* v) const;

protected:
    void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) override;

    unsigned int m_uColor[COLORS];
    int m_iAlphaOf[COLORS];
    ORIENT m_eBuiltOrient;
    CColorVBO* m_pVBO;              // made when drawn
    SIZE m_BuiltSize;
    int m_bBuiltMirrored;
};

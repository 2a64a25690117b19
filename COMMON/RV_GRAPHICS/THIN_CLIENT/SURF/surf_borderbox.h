// CSurfBorderBox: a bevelled frame with gradient sides and centre (kind 20).
//
// Nine quads of coloured vertices: four corners, four sides b pixels wide
// and the centre. The top half of the frame shades from the outer top colour
// to the inner top colour, the bottom half from the outer bottom to the inner
// bottom colour, and the centre from its top colour to its bottom colour;
// each colour carries its own alpha. Below a mirror it draws its reflection.
#pragma once

#include "surf_drawn.h"

class CColorVBO;
struct RVT_COLOR_VERTEX;

class CSurfBorderBox : public CSurfDrawn
{
public:
    // Colour slots: outer top, outer bottom, inner top, inner bottom, centre
    // top, centre bottom.
    enum { COLORS = 6 };
    // Nine quads of two triangles.
    enum { VERTICES = 54 };

    CSurfBorderBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1);
    // The buffer goes to the GL trash.
    ~CSurfBorderBox() override;

    // Six times colour bytes and a byte alpha, then a byte border width. A
    // change sets state 0x10000.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override;
    int RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override;

    unsigned int Color(int i) const { return (i >= 0 && i < COLORS) ? m_uColor[i] : 0; }
    int ColorAlpha(int i) const { return (i >= 0 && i < COLORS) ? m_iAlphaOf[i] : 0; }
    int BorderWidth() const { return m_iBorder; }

    // The border drawn in a W x H box: the width asked for, at most half of
    // either side less one, and never below 0.
    static int DrawnBorder(int iBorder, int iWidth, int iHeight);
    // The frame's triangles for a W x H box into v[VERTICES].
    void BuildVertices(int iWidth, int iHeight, RVT_COLOR_VERTEX* v) const;

protected:
    void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) override;

    unsigned int m_uColor[COLORS];
    int m_iAlphaOf[COLORS];
    int m_iBorder;                  // 1 at creation
    CColorVBO* m_pVBO;              // made when drawn
    SIZE m_BuiltSize;
};

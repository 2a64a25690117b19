// CSurfDrawn: the base of the surfaces that draw themselves from a few
// colours (rectangles, gradients, bevelled frames, colour boxes, panels).
//
// Their vertex buffers hold the shape from (0, 0) to its size, so a surface
// that only moves keeps its buffers; the shape is put in place by the
// matrix. Below a mirror the same buffers draw the reflection: the matrix is
// turned upside down about the mirror line and the copy fades by the mirror
// level.
#pragma once

#include "surf.h"

class CSurfDrawn : public CSurf
{
public:
    CSurfDrawn(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1) : CSurf(pParent, iID, rc0, rc1) {}

protected:
    // Draws the shape at the configuration's offset, iOffsetY lower, and, when
    // a mirror above asks for reflections (level x alpha above 254), once more
    // upside down at level x alpha / 255. The surface's own matrix is used for
    // the drawing and given back as it was (children draw with it).
    void DrawWithReflection(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig,
                            int iOffsetY = 0);
    // The shape from (0, 0) under pMatrix; bReflection for the mirrored copy.
    virtual void DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection) = 0;
};

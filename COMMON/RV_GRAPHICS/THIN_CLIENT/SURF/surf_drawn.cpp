// CSurfDrawn: the shape's matrix and its reflection.
#include "surf_drawn.h"

#include "matrix.h"

#include <string.h>

void CSurfDrawn::DrawWithReflection(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig,
                                    int iOffsetY)
{
    // pMatrix may be m_fMatrix itself (a surface with a transform): keep it
    // for the children.
    float fSaved[16];
    memcpy(fSaved, m_fMatrix, sizeof fSaved);
    MatrixTranslate((float)pConfig->iOffsetX, (float)(pConfig->iOffsetY + iOffsetY), 0.0f, pMatrix, m_fMatrix);
    DrawShape(pConfig, m_fMatrix, iAlpha, 0);
    const int iMirror = pClip->MirrorAlpha();
    if (iMirror > 0 && iMirror * iAlpha > 254) {
        UpdateMirrorMatrix(pConfig->eOrientation, pClip, 0, iOffsetY);
        DrawShape(pConfig, m_fMatrix, iMirror * iAlpha / 255, 1);
    }
    memcpy(m_fMatrix, fSaved, sizeof fSaved);
}

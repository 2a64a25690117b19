// CSurfColorBox: properties, vertices and drawing.
#include "surf_colorbox.h"

#include "rvmsg.h"
#include "shaders.h"
#include "surf_color_vbo.h"

#include <GL/gl.h>

#include <string.h>

CSurfColorBox::CSurfColorBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurfDrawn(pParent, iID, rc0, rc1),
      m_uColor{},
      m_iAlphaOf{},
      m_eBuiltOrient(ORIENT_0),
      m_pVBO(nullptr),
      m_BuiltSize{0, 0},
      m_bBuiltMirrored(0)
{
}

CSurfColorBox::~CSurfColorBox()
{
    delete m_pVBO;
}

void CSurfColorBox::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[COLORS];
    int iAlpha[COLORS];
    for (int i = 0; i < COLORS; ++i) {
        uColor[i] = pMsg->GetColorBYTE();
        iAlpha[i] = pMsg->GetBYTE();
    }
    if (!memcmp(uColor, m_uColor, sizeof uColor) && !memcmp(iAlpha, m_iAlphaOf, sizeof iAlpha))
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    memcpy(m_iAlphaOf, iAlpha, sizeof iAlpha);
    m_iState |= SS_APPEARANCE;
}

void CSurfColorBox::BuildVertices(int W, int H, RVT_COLOR_VERTEX* v) const
{
    const int bMirrored = (m_iAttribs & SA_MIRRORED) != 0;
    const int xl = bMirrored ? W : 0, xr = bMirrored ? 0 : W;
    auto At = [&](int x, int y, int i) { return RVT_COLOR_VERTEX::At(x, y, m_uColor[i], m_iAlphaOf[i]); };
    v[0] = At(xl, 0, 0);
    v[1] = At(xl, H, 2);
    v[2] = At(xr, 0, 1);
    v[3] = At(xr, 0, 1);
    v[4] = At(xl, H, 2);
    v[5] = At(xr, H, 3);
}

int CSurfColorBox::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    const CRVRect pos = Position(pConfig);
    if (iAlpha <= 0 || pos.width < 1 || pos.height < 1 || !g_bRenderGL || !g_pShaderRGBA)
        return 0;
    if (m_iState & SS_SIZE_CHANGED)
        m_iState |= SS_APPEARANCE;
    const int bMirrored = (m_iAttribs & SA_MIRRORED) != 0;
    if (!m_pVBO || m_pVBO->BufferID() == -1 || (m_iState & SS_APPEARANCE) || pConfig->eOrientation != m_eBuiltOrient ||
        pos.width != m_BuiltSize.cx || pos.height != m_BuiltSize.cy || bMirrored != m_bBuiltMirrored) {
        RVT_COLOR_VERTEX v[VERTICES];
        BuildVertices(pos.width, pos.height, v);
        if (!m_pVBO)
            m_pVBO = new CColorVBO;
        m_pVBO->Set(v, VERTICES);
        m_eBuiltOrient = pConfig->eOrientation;
        m_BuiltSize = SIZE{pos.width, pos.height};
        m_bBuiltMirrored = bMirrored;
    }
    m_iState &= ~(SS_APPEARANCE | SS_SIZE_CHANGED);
    if (m_pVBO->BufferID() == -1)
        return 0;
    DrawWithReflection(iAlpha, pClip, pMatrix, pConfig);
    return 1;
}

void CSurfColorBox::DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int)
{
    g_pShaderRGBA->Render(pConfig, pMatrix, iAlpha, m_pVBO->BufferID(), GL_TRIANGLES, VERTICES);
}

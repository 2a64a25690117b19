// CSurfBorderBox: properties, the frame's vertices and the drawing.
#include "surf_borderbox.h"

#include "rvmsg.h"
#include "shaders.h"
#include "surf_color_vbo.h"

#include <GL/gl.h>

#include <string.h>

namespace {

// A corner of a quad: position and colour slot.
struct CORNER
{
    int x, y, iSlot;
};

}  // namespace

CSurfBorderBox::CSurfBorderBox(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurfDrawn(pParent, iID, rc0, rc1), m_uColor{}, m_iAlphaOf{}, m_iBorder(1), m_pVBO(nullptr), m_BuiltSize{0, 0}
{
}

CSurfBorderBox::~CSurfBorderBox()
{
    delete m_pVBO;
}

void CSurfBorderBox::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[COLORS];
    int iAlpha[COLORS];
    for (int i = 0; i < COLORS; ++i) {
        uColor[i] = pMsg->GetColorBYTE();
        iAlpha[i] = pMsg->GetBYTE();
    }
    int iBorder = pMsg->GetBYTE();
    if (!memcmp(uColor, m_uColor, sizeof uColor) && !memcmp(iAlpha, m_iAlphaOf, sizeof iAlpha) && iBorder == m_iBorder)
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    memcpy(m_iAlphaOf, iAlpha, sizeof iAlpha);
    m_iBorder = iBorder;
    m_iState |= SS_APPEARANCE;
}

int CSurfBorderBox::DrawnBorder(int iBorder, int iWidth, int iHeight)
{
    int b = iBorder;
    if (b > iWidth / 2 - 1)
        b = iWidth / 2 - 1;
    if (b > iHeight / 2 - 1)
        b = iHeight / 2 - 1;
    return b < 0 ? 0 : b;
}

void CSurfBorderBox::BuildVertices(int W, int H, RVT_COLOR_VERTEX* v) const
{
    const int b = DrawnBorder(m_iBorder, W, H);
    int n = 0;
    auto Vertex = [&](const CORNER& c) { v[n++] = RVT_COLOR_VERTEX::At(c.x, c.y, m_uColor[c.iSlot], m_iAlphaOf[c.iSlot]); };
    // Two triangles split along the diagonal from tl to br, or from tr to bl.
    auto Quad = [&](CORNER tl, CORNER tr, CORNER bl, CORNER br, int bDiagonalTLtoBR) {
        if (bDiagonalTLtoBR) {
            Vertex(tl), Vertex(tr), Vertex(br);
            Vertex(tl), Vertex(br), Vertex(bl);
        } else {
            Vertex(tr), Vertex(br), Vertex(bl);
            Vertex(tr), Vertex(bl), Vertex(tl);
        }
    };
    enum { OUTER_TOP, OUTER_BOTTOM, INNER_TOP, INNER_BOTTOM, CENTRE_TOP, CENTRE_BOTTOM };
    const int x1 = b, x2 = W - b, y1 = b, y2 = H - b;
    // Corners, each split from its outer corner to its inner one.
    Quad({0, 0, OUTER_TOP}, {x1, 0, OUTER_TOP}, {0, y1, OUTER_TOP}, {x1, y1, INNER_TOP}, 1);
    Quad({x2, 0, OUTER_TOP}, {W, 0, OUTER_TOP}, {x2, y1, INNER_TOP}, {W, y1, OUTER_TOP}, 0);
    Quad({0, y2, OUTER_BOTTOM}, {x1, y2, INNER_BOTTOM}, {0, H, OUTER_BOTTOM}, {x1, H, OUTER_BOTTOM}, 0);
    Quad({x2, y2, INNER_BOTTOM}, {W, y2, OUTER_BOTTOM}, {x2, H, OUTER_BOTTOM}, {W, H, OUTER_BOTTOM}, 1);
    // Sides.
    Quad({x1, 0, OUTER_TOP}, {x2, 0, OUTER_TOP}, {x1, y1, INNER_TOP}, {x2, y1, INNER_TOP}, 1);
    Quad({x1, y2, INNER_BOTTOM}, {x2, y2, INNER_BOTTOM}, {x1, H, OUTER_BOTTOM}, {x2, H, OUTER_BOTTOM}, 1);
    Quad({0, y1, OUTER_TOP}, {x1, y1, INNER_TOP}, {0, y2, OUTER_BOTTOM}, {x1, y2, INNER_BOTTOM}, 1);
    Quad({x2, y1, INNER_TOP}, {W, y1, OUTER_TOP}, {x2, y2, INNER_BOTTOM}, {W, y2, OUTER_BOTTOM}, 1);
    // Centre.
    Quad({x1, y1, CENTRE_TOP}, {x2, y1, CENTRE_TOP}, {x1, y2, CENTRE_BOTTOM}, {x2, y2, CENTRE_BOTTOM}, 1);
}

int CSurfBorderBox::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    const CRVRect pos = Position(pConfig);
    if (iAlpha <= 0 || pos.width < 1 || pos.height < 1 || !g_bRenderGL || !g_pShaderRGBA)
        return 0;
    // A new size (state 0x800, or another orientation) rebuilds like new
    // properties do.
    if (m_iState & SS_SIZE_CHANGED)
        m_iState |= SS_APPEARANCE;
    if (!m_pVBO || m_pVBO->BufferID() == -1 || (m_iState & SS_APPEARANCE) || pos.width != m_BuiltSize.cx ||
        pos.height != m_BuiltSize.cy) {
        RVT_COLOR_VERTEX v[VERTICES];
        BuildVertices(pos.width, pos.height, v);
        if (!m_pVBO)
            m_pVBO = new CColorVBO;
        m_pVBO->Set(v, VERTICES);
        m_BuiltSize = SIZE{pos.width, pos.height};
    }
    m_iState &= ~(SS_APPEARANCE | SS_SIZE_CHANGED);
    if (m_pVBO->BufferID() == -1)
        return 0;
    DrawWithReflection(iAlpha, pClip, pMatrix, pConfig);
    return 1;
}

void CSurfBorderBox::DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int)
{
    g_pShaderRGBA->Render(pConfig, pMatrix, iAlpha, m_pVBO->BufferID(), GL_TRIANGLES, VERTICES);
}

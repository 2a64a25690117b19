// CSurfRect: colours per orientation, the corner radius, and the fill.
#include "surf_rect.h"

#include "gl_vbo.h"
#include "rvmsg.h"
#include "shaders.h"

#include <GL/gl.h>

CSurfRect::CSurfRect(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, unsigned int uColor)
    : CSurf(pParent, iID, rc0, rc1), m_uColor{uColor, uColor}, m_iRadius(0), m_pFill(nullptr),
      m_pCornerImage(nullptr), m_pNineSlice(nullptr)
{
}

CSurfRect::~CSurfRect()
{
    delete m_pFill;
    delete m_pNineSlice;
}

void CSurfRect::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor0 = pMsg->GetColorBYTE();
    unsigned int uColor1 = pMsg->GetColorBYTE();
    int iRadius = pMsg->GetBYTE();
    if (uColor0 == m_uColor[0] && uColor1 == m_uColor[1] && iRadius == m_iRadius)
        return;
    m_uColor[0] = uColor0;
    m_uColor[1] = uColor1;
    m_iRadius = iRadius;
    StateFlags(StateFlags() | SS_APPEARANCE | SS_NEEDS_REDRAW);
}

void CSurfRect::SetColor(ORIENT eOrient, unsigned int uColor)
{
    unsigned int& uMine = m_uColor[OrientIndex(eOrient)];
    if (uMine == uColor)
        return;
    uMine = uColor;
    m_iState |= SS_APPEARANCE;
    Invalidate();
}

void CSurfRect::SetRadius(int iRadius)
{
    if (iRadius == m_iRadius)
        return;
    m_iRadius = iRadius;
    m_iState |= SS_APPEARANCE;
    Invalidate();
}

int CSurfRect::RenderRounded(int, float*, RVT_MATRIX_CONFIG*, const CRVRect&)
{
    return 0;
}

int CSurfRect::RenderThis(int iAlpha, CClipStack*, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    // The root's colour is the clear colour the main window applies.
    if (m_iID == 0)
        return 0;
    const CRVRect pos = Position(pConfig);
    if (iAlpha <= 0 || pos.width < 1 || pos.height < 1 || !g_bRenderGL || !g_pShaderFill)
        return 0;
    m_iState &= ~SS_APPEARANCE;
    const CRVRect rc(pConfig->iOffsetX, pConfig->iOffsetY, pos.width, pos.height);
    if (m_iRadius >= 1 && RenderRounded(iAlpha, pMatrix, pConfig, rc))
        return 1;
    if (!m_pFill)
        m_pFill = new CFillRectVBO;
    m_pFill->Init(rc);
    const int bAdditive = (m_iAttribs & SA_ADDITIVE) != 0;
    g_pShaderFill->Render1(pConfig, pMatrix, iAlpha, m_uColor[OrientIndex(pConfig->eOrientation)], m_pFill->BufferID(),
                           12, bAdditive ? GL_ONE : GL_SRC_ALPHA, bAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
    return 1;
}

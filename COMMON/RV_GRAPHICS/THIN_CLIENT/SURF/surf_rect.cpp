// CSurfRect: colours per orientation, the corner radius, and the drawing.
#include "surf_rect.h"

#include "gl_es.h"
#include "gl_vbo.h"
#include "rvmsg.h"
#include "shaders.h"

#include <GL/gl.h>

CSurfRect::CSurfRect(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, unsigned int uColor)
    : CSurfDrawn(pParent, iID, rc0, rc1),
      m_uColor{uColor, uColor},
      m_iRadius(0),
      m_pFill(nullptr),
      m_pCornerImage(nullptr),
      m_iCornerRadius(0),
      m_uCornerColor(0),
      m_pNineSlice(nullptr),
      m_bRounded(0),
      m_uDrawColor(uColor),
      m_bMeterTimer(0)
{
}

CSurfRect::~CSurfRect()
{
    delete m_pFill;
    delete m_pNineSlice;
    if (m_pCornerImage)
        m_pCornerImage->Release();
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

int CSurfRect::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    // The root's colour is the clear colour the main window applies.
    if (m_iID == 0)
        return 0;
    const CRVRect pos = Position(pConfig);
    if (iAlpha <= 0 || pos.width < 1 || pos.height < 1 || !g_bRenderGL || !g_pShaderFill)
        return 0;
    m_iState &= ~SS_APPEARANCE;
    m_uDrawColor = m_uColor[OrientIndex(pConfig->eOrientation)];

    // The buffers change only with the size, radius or colour, never with
    // the place: they are built from (0, 0).
    m_bRounded = 0;
    int iOffsetY = 0;
    if (m_iRadius >= 1 && g_pShaderTexture) {
        const RVT_ROUNDED_SHAPE shape = RoundedShape(pos.width, pos.height, m_iRadius);
        m_bRounded = PrepareRounded(shape, m_uDrawColor);
        if (m_bRounded)
            iOffsetY = shape.iOffsetY;
    }
    if (!m_bRounded) {
        if (!m_pFill)
            m_pFill = new CFillRectVBO;
        m_pFill->Init(CRVRect(0, 0, pos.width, pos.height));
    }
    DrawWithReflection(iAlpha, pClip, pMatrix, pConfig, iOffsetY);
    return 1;
}

void CSurfRect::DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bReflection)
{
    const int bAdditive = !bReflection && (m_iAttribs & SA_ADDITIVE);
    if (!m_bRounded) {
        g_pShaderFill->Render1(pConfig, pMatrix, iAlpha, m_uDrawColor, m_pFill->BufferID(), 12,
                               bAdditive ? GL_ONE : GL_SRC_ALPHA, bAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
        return;
    }
    // The corner image is opaque colour on transparent black, so it counts as
    // premultiplied: the alpha program scales all four channels and the
    // blend must not apply the alpha a second time.
    g_pShaderTexture->Render(pConfig, pMatrix, iAlpha, m_pNineSlice->BufferID(), (int)m_pCornerImage->TextureID(),
                             m_pNineSlice->Mode(), m_pNineSlice->Count(), GL_ONE,
                             bAdditive ? GL_ONE : GL_ONE_MINUS_SRC_ALPHA);
}

// CSurfGradient: properties and drawing.
#include "surf_gradient.h"

#include "gl_vbo.h"
#include "rvmsg.h"
#include "shaders.h"

#include <GL/gl.h>

#include <string.h>

CSurfGradient::CSurfGradient(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurfDrawn(pParent, iID, rc0, rc1), m_uColor{}, m_iValue(1), m_eBuiltOrient(ORIENT_0), m_pVBO(nullptr)
{
}

CSurfGradient::~CSurfGradient()
{
    delete m_pVBO;
}

void CSurfGradient::SetSurfaceProps(CRVMSG* pMsg, int)
{
    unsigned int uColor[2][COLORS];
    for (auto& orient : uColor) {
        for (unsigned int& c : orient)
            c = pMsg->GetColorBYTE();
    }
    int iValue = pMsg->GetBYTE();
    if (!memcmp(uColor, m_uColor, sizeof uColor) && iValue == m_iValue)
        return;
    memcpy(m_uColor, uColor, sizeof uColor);
    m_iValue = iValue;
    m_iState |= SS_APPEARANCE;
}

void CSurfGradient::SetColors(unsigned int uA, unsigned int uB)
{
    for (auto& orient : m_uColor) {
        orient[0] = uA;
        orient[1] = orient[2] = uB;
    }
    m_iValue = 1;
    m_iState |= SS_APPEARANCE;
    Invalidate();
}

int CSurfGradient::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    const CRVRect pos = Position(pConfig);
    if (iAlpha <= 0 || pos.width < 1 || pos.height < 1 || !g_bRenderGL || !g_pShaderColor)
        return 0;
    // The buffer compares its inputs: it is rewritten only when the size or
    // the colours (new properties, another orientation) differ.
    const unsigned int* c = m_uColor[OrientIndex(pConfig->eOrientation)];
    if (!m_pVBO)
        m_pVBO = new CGradientVBO;
    m_pVBO->Init(CRVRect(0, 0, pos.width, pos.height), c[0], c[0], c[1], c[1]);
    m_eBuiltOrient = pConfig->eOrientation;
    m_iState &= ~SS_APPEARANCE;
    DrawWithReflection(iAlpha, pClip, pMatrix, pConfig);
    return 1;
}

void CSurfGradient::DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int)
{
    g_pShaderColor->Render(pConfig, pMatrix, iAlpha, m_pVBO->BufferID(), GL_TRIANGLE_STRIP, 4);
}

// CSurfImageStore: properties, saturation, the canvas from the store and the
// drawing.
#include "surf_image_store.h"

#include "DIBDC32.h"
#include "gl_es.h"
#include "gl_thread.h"
#include "gl_vbo.h"
#include "graphstore.h"
#include "mainwnd.h"
#include "rvmsg.h"
#include "shaders.h"
#include "surf_animation.h"

#include <GL/gl.h>

#include <algorithm>

CSurfImageStore::CSurfImageStore(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1)
    : CSurfDrawn(pParent, iID, rc0, rc1),
      m_iImageID{0, 0},
      m_pCanvas(nullptr),
      m_pVBO(nullptr),
      m_iSaturation(255),
      m_eDrawnOrient(ORIENT_0),
      m_bLookedUp(0),
      m_uLookupGeneration(0),
      m_pTexture(nullptr)
{
}

CSurfImageStore::~CSurfImageStore()
{
    DropCanvas();
    delete m_pVBO;
}

void CSurfImageStore::DropCanvas()
{
    CDIBDC32* pCanvas = m_pCanvas;
    m_pCanvas = nullptr;
    m_bLookedUp = 0;
    CMainWnd::ReleaseCanvas(pCanvas);
}

void CSurfImageStore::SetSurfaceProps(CRVMSG* pMsg, int iVariant)
{
    int iID0 = pMsg->GetInt();
    int iID1 = (iVariant & VARIANT_ONE_ID) ? iID0 : pMsg->GetInt();
    if (iID0 != m_iImageID[0] || iID1 != m_iImageID[1])
        m_iState |= SS_SIZE_CHANGED;     // the vertex buffer is made again too
    m_iImageID[0] = iID0;
    m_iImageID[1] = iID1;
    m_iState |= SS_IMAGE_RELOAD | SS_NEEDS_REDRAW;
}

void CSurfImageStore::SetAttribute(int iKind, int iValue, int iTime)
{
    if (iKind != ATTR_SATURATION) {
        CSurf::SetAttribute(iKind, iValue, iTime);
        return;
    }
    const int iLevel = std::clamp(iValue, 0, 255);
    if (iTime > 0) {
        Animate(AK_SATURATION, m_iSaturation, iLevel, (unsigned int)iTime, 0, ACCEL_LINEAR, 0);
        return;
    }
    // Now means now: no running animation may overwrite the value later.
    StopAnimation(AK_SATURATION, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    if (iLevel == m_iSaturation)
        return;
    m_iSaturation = iLevel;
    if (m_pCacheOwner)
        m_pCacheOwner->StateFlags(m_pCacheOwner->StateFlags() | SS_APPEARANCE);
    Invalidate();
}

void CSurfImageStore::ProcessAnimationUpdate(CSurfAnimation* pAnimation)
{
    if (pAnimation->Key() == AK_SATURATION) {
        const int v = pAnimation->Value();
        m_iSaturation = std::clamp(v, 0, 255);
        Invalidate();
    }
    // Every step also marks the cache owner.
    CSurf::ProcessAnimationUpdate(pAnimation);
}

void CSurfImageStore::InvalidateGraphStorePointers()
{
    DropCanvas();
    m_iState |= SS_IMAGE_RELOAD;
    CSurf::InvalidateGraphStorePointers();
}

int CSurfImageStore::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    // Textures are made and drawn on the drawing thread only.
    if (!g_bRenderGL || !g_pShaderTexture || !GLIsDrawingThread())
        return 0;
    const ORIENT eOrient = pConfig->eOrientation;
    if (eOrient != m_eDrawnOrient || (m_iState & SS_IMAGE_RELOAD)) {
        DropCanvas();
        delete m_pVBO;
        m_pVBO = nullptr;
        m_iState &= ~SS_IMAGE_RELOAD;
        m_eDrawnOrient = eOrient;
    }
    if (!m_pCanvas && g_pGraphicStore &&
        (!m_bLookedUp || m_uLookupGeneration != g_pGraphicStore->Generation())) {
        m_uLookupGeneration = g_pGraphicStore->Generation();
        m_bLookedUp = 1;
        m_pCanvas = g_pGraphicStore->RetainSourceByID(ImageID(eOrient));
    }
    CGLDIB* pTexture = m_pCanvas ? m_pCanvas->GetGLDIB() : nullptr;
    const CRVRect pos = Position(pConfig);
    if (!pTexture || iAlpha <= 0 || pos.width < 1 || pos.height < 1)
        return 0;

    CRVRect rc(0, 0, pos.width, pos.height);
    if (m_iAttribs & SA_CONFINE_ASPECT)
        rc = rc.ConfineToAspect(pTexture->ImageWidth(), pTexture->ImageHeight());
    if (!m_pVBO)
        m_pVBO = new CVBO;
    m_pVBO->Init(rc.x, rc.y, rc.width, rc.height, pTexture, 0);
    m_iState &= ~SS_SIZE_CHANGED;
    m_rcDrawn = rc;
    m_pTexture = pTexture;
    DrawWithReflection(iAlpha, pClip, pMatrix, pConfig);
    m_pTexture = nullptr;
    return 1;
}

void CSurfImageStore::DrawShape(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int)
{
    const int iVBO = m_pVBO->BufferID();
    if (iVBO == -1)
        return;
    // Store images are premultiplied.
    const int iTexture = (int)m_pTexture->TextureID();
    if (m_iSaturation < 255 && g_pShaderColorSat)
        g_pShaderColorSat->Render(pConfig, pMatrix, iAlpha, m_iSaturation, iVBO, iTexture, m_pVBO->Mode(),
                                  m_pVBO->Count(), GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    else
        g_pShaderTexture->Render(pConfig, pMatrix, iAlpha, iVBO, iTexture, m_pVBO->Mode(), m_pVBO->Count(), GL_ONE,
                                 GL_ONE_MINUS_SRC_ALPHA);
}

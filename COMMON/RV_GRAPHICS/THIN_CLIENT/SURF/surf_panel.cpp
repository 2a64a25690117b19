// CSurfPanel: the source, its texture and the drawing.
#include "surf_panel.h"

#include "DIBDC32.h"
#include "gl_es.h"
#include "gl_vbo.h"
#include "graphstore.h"
#include "mainwnd.h"
#include "matrix.h"
#include "renderobject.h"
#include "rvmsg.h"
#include "shaders.h"

namespace {
// Kind 25 looks its image up in the process's graphic store, when there is one.
CDIBDC32* StoreSourceByID(int iID)
{
    return g_pGraphicStore ? g_pGraphicStore->SourceByID(iID) : nullptr;
}
}  // namespace

CDIBDC32* (*CSurfPanel::g_pfnSourceByID)(int iID) = StoreSourceByID;

CSurfPanel::CSurfPanel(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, int iKind)
    : CSurf(pParent, iID, rc0, rc1),
      m_iKind(iKind),
      m_iSourceID(NO_SOURCE),
      m_iTexture(-1),
      m_pImage(nullptr),
      m_pQuad(nullptr)
{
}

CSurfPanel::~CSurfPanel()
{
    DropImage();
    delete m_pQuad;
}

void CSurfPanel::DropImage()
{
    CDIBDC32* pImage = m_pImage;
    m_pImage = nullptr;
    CMainWnd::ReleaseCanvas(pImage);
}

void CSurfPanel::SetSurfaceProps(CRVMSG* pMsg, int)
{
    int iSource = pMsg->GetInt();
    if (iSource == m_iSourceID)
        return;
    m_iSourceID = iSource;
    m_iTexture = -1;
    m_iState |= SS_APPEARANCE;
    if (m_iKind != KIND_IMAGE)
        return;
    DropImage();
    m_pImage = g_pfnSourceByID ? g_pfnSourceByID(iSource) : nullptr;
    if (m_pImage)
        m_pImage->Retain();
}

int CSurfPanel::FindTexture()
{
    if (m_iKind == KIND_IMAGE) {
        CGLDIB* pTexture = m_pImage ? m_pImage->GetGLDIB() : nullptr;
        return pTexture && pTexture->HasTexture() ? (int)pTexture->TextureID() : -1;
    }
    // Kind 28: the source surface may come later; look again each draw until
    // it is found.
    if (m_iTexture == -1) {
        CSurf* pSource = Root()->FindSurface(m_iSourceID);
        CRenderObject* pObject = pSource ? pSource->GetRenderObject() : nullptr;
        m_iTexture = pObject ? pObject->GetTextureID() : -1;
    }
    return m_iTexture;
}

int CSurfPanel::RenderThis(int iAlpha, CClipStack*, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    const CRVRect pos = Position(pConfig);
    if (iAlpha <= 0 || pos.width < 1 || pos.height < 1 || !g_bRenderGL || !g_pShaderPanel)
        return 0;
    m_iState &= ~SS_APPEARANCE;
    const int iTexture = FindTexture();
    if (iTexture == -1)
        return 0;
    if (!m_pQuad)
        m_pQuad = new CFillRectVBO;
    m_pQuad->Init(CRVRect(0, 0, pos.width, pos.height));
    float fMatrix[16];
    MatrixTranslate((float)pConfig->iOffsetX, (float)pConfig->iOffsetY, 0.0f, pMatrix, fMatrix);
    const int iSaved = CShaderPanel::g_iPanelAlpha;
    if (m_iAttribs & SA_OPAQUE)
        CShaderPanel::g_iPanelAlpha = 255;
    g_pShaderPanel->Render(pConfig, fMatrix, iAlpha, m_pQuad->BufferID(), iTexture);
    CShaderPanel::g_iPanelAlpha = iSaved;
    return 1;
}

// CSurfText: rasterising through the font server or the text atlas, and
// drawing. Drawing thread, under the tree lock.
#include "surf_text.h"

#include "gl_es.h"
#include "gl_thread.h"
#include "matrix.h"
#include "shaders.h"
#include "text_atlas.h"

#include <GL/gl.h>
#include <string.h>

RVT_TEXT_RENDER_PARAMS CSurfText::RenderParams(ORIENT eOrient)
{
    const CRVRect pos = Position(eOrient);
    RVT_TEXT_RENDER_PARAMS p;
    p.iSize = m_iUsedSize[OrientIndex(eOrient)];
    p.bFlags = (uint8_t)m_iAlign;
    p.uColor = m_uColor;
    p.iWrapMode = m_iLayoutStyle;
    p.iMaxLines = LineLimit();
    p.iMaxWidth = pos.width + 2 * m_iMargin;
    p.iMaxHeight = pos.height + 2 * m_iMargin;
    // Kind 24: the margin is the outline's width, the effect its alpha.
    p.iStrokeWidth = m_iMargin;
    p.uStrokeColor = m_uColor2;
    p.iStrokeAlpha = m_iEffect;
    // The old texture is released before the new one is made, so its name
    // is never offered for reuse: it may already be on its way to deletion.
    p.iTextureID = -1;
    p.iTextureWidth = 0;
    p.iTextureHeight = 0;
    return p;
}

void CSurfText::ReleaseRenderObjects()
{
    if (m_pTexture) {
        m_pTexture->Release();
        m_pTexture = nullptr;
    }
    if (m_pAtlasEntry) {
        m_pAtlasEntry->Release();
        m_pAtlasEntry = nullptr;
    }
}

void CSurfText::InitRenderObjects(ORIENT eOrient)
{
    ReleaseRenderObjects();
    RVT_TEXT_RENDER_PARAMS params = RenderParams(eOrient);
    const int iBoxWidth = params.iMaxWidth;
    if (m_pTextAtlasOwner) {
        m_pAtlasEntry = m_pTextAtlasOwner->GetTextAtlasEntry(m_sText, &params);
        if (m_pAtlasEntry) {
            m_pAtlasEntry->Retain();
            return;
        }
    }
    m_pTexture = g_pFontServer ? g_pFontServer->CreateGLDIB(m_sText, &params) : nullptr;
    if (!m_pTexture && !m_sText.IsEmpty()) {
        // What the current server cannot draw, the platform's text engine may.
        CFontServer* pServer = CFontServer::CreateDefaultFontServer();
        if (pServer) {
            params = RenderParams(eOrient);
            m_pTexture = pServer->CreateGLDIB(m_sText, &params);
            delete pServer;
        }
    }
    m_iRenderedWidth = iBoxWidth;
    if (!m_pTexture)
        return;
    if (!m_pTexture->HasTexture()) {
        // A bitmap in memory cannot be drawn: nothing to show.
        m_pTexture->Release();
        m_pTexture = nullptr;
        return;
    }
    if (!m_pVBO)
        m_pVBO = new CVBO;
    m_pVBO->Init(0, 0, m_pTexture->ImageWidth(), m_pTexture->ImageHeight(), m_pTexture, 0);
}

int CSurfText::TextOffsetX(int iBoxWidth, int w, int bAtlas) const
{
    if (m_iAlign & ALIGN_CENTER)
        return (iBoxWidth - w) / 2;
    if (m_iAlign & ALIGN_RIGHT)
        return iBoxWidth - w;
    return bAtlas ? 0 : -m_iMargin;
}

int CSurfText::TextOffsetY(int iHeight, int h, int iCenterLine, int bAtlas) const
{
    if (!(m_iAlign & ALIGN_VCENTER))
        return bAtlas ? 0 : -m_iMargin;
    const int iCentred = iHeight / 2 - h / 2 - m_iMargin;
    const int iByLine = iHeight - h < iHeight / 2 - iCenterLine ? iHeight - h : iHeight / 2 - iCenterLine;
    return iCentred > iByLine ? iCentred : iByLine;
}

void CSurfText::DrawTexture(RVT_MATRIX_CONFIG* pConfig, const float* pMatrix, int iAlpha, int bTextProgram)
{
    const int iVBO = m_pVBO->BufferID();
    if (iVBO == -1)
        return;
    if (bTextProgram) {
        if (g_pShaderText)
            g_pShaderText->Render(pConfig, pMatrix, iAlpha, m_uColor, iVBO, (int)m_pTexture->TextureID());
    } else if (g_pShaderTexture) {
        g_pShaderTexture->Render(pConfig, pMatrix, iAlpha, iVBO, (int)m_pTexture->TextureID(), m_pVBO->Mode(),
                                 m_pVBO->Count(), GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
}

int CSurfText::RenderThis(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    // Rasterising needs the drawing thread; without GL the state waits.
    if (!g_bRenderGL || !GLIsDrawingThread())
        return 0;
    const ORIENT eOrient = pConfig->eOrientation;
    if (m_iState & SS_FONT_CHANGED) {
        // The font server was replaced: what the atlas packed before is the
        // old font's.
        m_iState = (m_iState & ~SS_FONT_CHANGED) | SS_APPEARANCE;
        if (m_pTextAtlasOwner && m_pTextAtlasOwner->TextAtlas())
            m_pTextAtlasOwner->TextAtlas()->ForgetEntries();
    }
    if (eOrient != m_eLastOrient) {
        m_iState |= SS_APPEARANCE;
        m_eLastOrient = eOrient;
    }
    if (m_iState & SS_APPEARANCE) {
        InitRenderObjects(eOrient);
        m_iState &= ~SS_APPEARANCE;
    }
    const int bAtlas = m_pAtlasEntry != nullptr;
    if (!bAtlas && !m_pTexture)
        return 0;

    const CRVRect pos = Position(pConfig);
    const int w = bAtlas ? m_pAtlasEntry->ImageWidth() : m_pTexture->ImageWidth();
    const int h = bAtlas ? m_pAtlasEntry->ImageHeight() : m_pTexture->ImageHeight();
    const int iLine = bAtlas ? m_pAtlasEntry->TextCenterLine() : m_pTexture->TextCenterLine();
    const int dx = TextOffsetX(pos.width + 2 * m_iMargin, w, bAtlas);
    const int dy = TextOffsetY(pos.height, h, iLine, bAtlas);

    // The text's matrix lives in the surface's own one while it is drawn;
    // the children get the surface's matrix back.
    float fSaved[16];
    memcpy(fSaved, m_fMatrix, sizeof(fSaved));
    MatrixTranslate((float)(pConfig->iOffsetX + dx), (float)(pConfig->iOffsetY + dy), 0.0f, pMatrix, m_fMatrix);
    if (bAtlas) {
        m_pTextAtlasOwner->AddTextAtlasRenderRef(m_pAtlasEntry, m_fMatrix, iAlpha, m_uColor);
    } else {
        const int bCoverage = (m_pTexture->Flags() & CGLDIB::GLDIB_ALPHA) != 0;
        DrawTexture(pConfig, m_fMatrix, iAlpha, bCoverage);
        const int iMirror = pClip->MirrorAlpha();
        if (iMirror > 0 && iMirror * iAlpha >= 255) {
            UpdateMirrorMatrix(eOrient, pClip, 0, dy);
            DrawTexture(pConfig, m_fMatrix, iMirror * iAlpha / 255, 1);
        }
    }
    memcpy(m_fMatrix, fSaved, sizeof(fSaved));
    return 1;
}

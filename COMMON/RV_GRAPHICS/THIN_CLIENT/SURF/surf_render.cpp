// CSurf: the drawing traversal, the surface's own matrix, the stencil clip
// and the mirror matrix. Runs on the drawing thread under the tree lock.
#include "surf.h"

#include "matrix.h"
#include "surf_stencil.h"
#include "text_atlas.h"

#include <string.h>

int CSurf::Render(int iAlpha, CClipStack* pClip, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    // Orientation: skip what the current orientation hides; while the screen
    // turns, fade such surfaces in or out instead.
    if (pConfig->iOrientMode == 0) {
        ORIENT o = pConfig->eOrientation;
        if (o != ORIENT_0 && o != ORIENT_1)
            return 0;
        if ((o == ORIENT_1 && (m_iAttribs & SA_HIDE_ORIENT_1)) || (o == ORIENT_0 && (m_iAttribs & SA_HIDE_ORIENT_0)))
            return 0;
    } else {
        int t = pConfig->iOrientMode == 1 ? 1000 - pConfig->iOrientProgress : pConfig->iOrientProgress;
        if (m_iAttribs & SA_HIDE_ORIENT_0)
            iAlpha = iAlpha * t / 1000;
        else if (m_iAttribs & SA_HIDE_ORIENT_1)
            iAlpha = iAlpha * (1000 - t) / 1000;
    }

    CRVRect screen = ScreenRect(pConfig);
    // A full clip stack (a tree deeper than it holds) draws nothing below.
    if (!pClip->PushClip(screen))
        return 0;
    CRVRect visible = pClip->Clip();
    if (visible.width < 1 || visible.height < 1) {
        pClip->PopClip();
        return 0;
    }
    m_iState = (m_iState & ~SS_NEEDS_REDRAW) | SS_DRAWN;
    if ((m_iState & SS_HIDDEN) || iAlpha * m_iAlpha <= 254) {
        pClip->PopClip();
        return 0;
    }
    if (m_iState & SS_TRANSFORM_CHANGED) {
        pConfig->bStencilValid = 0;
        m_iState &= ~SS_TRANSFORM_CHANGED;
    }
    if (screen.IsEmpty()) {
        pClip->PopClip();
        return 0;
    }

    int iSavedX = pConfig->iOffsetX;
    int iSavedY = pConfig->iOffsetY;
    float* pDrawMatrix = pMatrix;
    if ((m_iState & SS_HAS_TRANSFORM) || m_iRotation[0] || m_iRotation[1] || m_iRotation[2]) {
        InitMatrix(pMatrix, pConfig);
        pDrawMatrix = m_fMatrix;
    } else {
        CRVRect pos = Position(pConfig);
        pConfig->iOffsetX += pos.x;
        pConfig->iOffsetY += pos.y;
    }

    int bClip = (m_iAttribs & SA_STENCIL_CLIP) && m_pFirstChild;
    if (bClip)
        SetClip(pDrawMatrix, pConfig, 0);

    int iEffective = iAlpha * m_iAlpha / 255;
    RenderThis(iEffective, pClip, pDrawMatrix, pConfig);

    pConfig->iDepth++;
    for (CSurf* p = m_pFirstChild; p; p = p->m_pNext)
        p->Render(iEffective, pClip, pDrawMatrix, pConfig);
    pConfig->iDepth--;

    pClip->PopClip();
    pConfig->iOffsetX = iSavedX;
    pConfig->iOffsetY = iSavedY;
    // The subtree's texts, in one batch, over everything else of the subtree.
    if (m_pTextAtlas)
        m_pTextAtlas->Render();
    if (bClip)
        ReleaseClip(pConfig);
    return 1;
}

void CSurf::InitMatrix(float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    CRVRect pos = Position(pConfig);
    float fHalfW = pos.width / 2.0f;
    float fHalfH = pos.height / 2.0f;
    MatrixTranslate((float)(pConfig->iOffsetX + pos.x + m_rcTransform.x) + fHalfW,
                    (float)(pConfig->iOffsetY + pos.y + m_rcTransform.y) + fHalfH, 0.0f, pMatrix, m_fMatrix);
    if (m_rcTransform.width != 1000 || m_rcTransform.height != 1000)
        MatrixScale(m_rcTransform.width / 1000.0f, m_rcTransform.height / 1000.0f, 1.0f, m_fMatrix, m_fMatrix);
    if (m_iRotation[0])
        MatrixRotateX((float)m_iRotation[0], m_fMatrix, m_fMatrix);
    if (m_iRotation[1])
        MatrixRotateY((float)m_iRotation[1], m_fMatrix, m_fMatrix);
    if (m_iRotation[2])
        MatrixRotateZ((float)m_iRotation[2], m_fMatrix, m_fMatrix);
    MatrixTranslate(-fHalfW, -fHalfH, 0.0f, m_fMatrix);
    pConfig->iOffsetX = 0;
    pConfig->iOffsetY = 0;
}

void CSurf::SetClip(float* pMatrix, RVT_MATRIX_CONFIG* pConfig, int iFlags)
{
    // Only the outermost clip is written; nested ones lie inside it anyway.
    if (pConfig->iClipCount++ > 0)
        return;
    CRVRect rc;
    if (iFlags) {
        rc = ScreenRect(pConfig);
    } else {
        CRVRect pos = Position(pConfig);
        rc = CRVRect(pConfig->iOffsetX, pConfig->iOffsetY, pos.width, pos.height);
    }
    int bSame = pConfig->bStencilValid && rc == pConfig->rcStencil &&
                memcmp(pMatrix, pConfig->fStencilMatrix, sizeof(pConfig->fStencilMatrix)) == 0;
    if (!bSame) {
        if (g_bRenderGL)
            StencilWriteRect(pMatrix, rc, pConfig->bStencilUsed);
        pConfig->rcStencil = rc;
        memcpy(pConfig->fStencilMatrix, pMatrix, sizeof(pConfig->fStencilMatrix));
        pConfig->bStencilValid = 1;
        pConfig->bStencilUsed = 1;
    }
    if (g_bRenderGL)
        StencilUseClip();
}

void CSurf::ReleaseClip(RVT_MATRIX_CONFIG* pConfig)
{
    if (pConfig->iClipCount <= 0)
        return;
    if (--pConfig->iClipCount == 0 && g_bRenderGL)
        StencilEndClip();
}

void CSurf::UpdateMirrorMatrix(ORIENT eOrient, CClipStack* pClip, int, int iOffsetY)
{
    int s = 0;
    if (m_pParent) {
        int y = m_rcPos[OrientIndex(eOrient)].y;
        if (m_iAttribs & SA_OWN_CONTENT_OFFSET)
            y -= m_iContentY;
        s = m_pParent->YScreenClient(eOrient, y);
    }
    MatrixScale(1.0f, -1.0f, 1.0f, m_fMatrix, m_fMatrix);
    MatrixTranslate(0.0f, (float)(2 * (s + iOffsetY - pClip->MirrorLine())), 0.0f, m_fMatrix);
}

// CRGBDIB: pending pictures and canvases, their upload, and the quad.
#include "rgbdib.h"

#include "dibdc.h"
#include "gl_es.h"
#include "gl_trash.h"
#include "rgb.h"
#include "rvdebug.h"
#include "shaders.h"

#include <GL/gl.h>
#include <string.h>

namespace
{
const unsigned int NO_TEXTURE = CGLDIB::NO_TEXTURE;

// A window of fraction 1000 / zoom of [0, fMax] centred at c thousandths of
// it, moved back inside so the quad never shows what lies past the image.
void ZoomRange(float fMax, int c, int iZoom, float* pLo, float* pHi)
{
    const float fHalf = fMax * 1000.0f / (float)iZoom / 2.0f;
    float fCentre = (float)c * fMax / 1000.0f;
    if (fCentre < fHalf)
        fCentre = fHalf;
    if (fCentre > fMax - fHalf)
        fCentre = fMax - fHalf;
    *pLo = fCentre - fHalf;
    *pHi = fCentre + fHalf;
}

// Linear filtering at the right edge of a magnified image reads one texel
// past it: make that the edge pixel rather than padding.
void RepeatLastColumn(unsigned char* pRow, int iRows, size_t nRowBytes, int iWidth, int iBytesPerPixel)
{
    for (int y = 0; y < iRows; y++, pRow += nRowBytes)
        memcpy(pRow + (size_t)iWidth * iBytesPerPixel, pRow + (size_t)(iWidth - 1) * iBytesPerPixel,
               (size_t)iBytesPerPixel);
}
}  // namespace

CRGBDIB::CRGBDIB()
    : m_pPendingFrame(nullptr), m_pPendingDib(nullptr), m_Source{0, 0}, m_uTexture(NO_TEXTURE), m_iOrientBuilt(0),
      m_fWindowBuilt{0, 0, 0, 0}, m_iFrameBytesPerPixel(0), m_iFrameStride(0), m_iFrameHeight(0), m_fUMax(1.0f),
      m_fVMax(1.0f), m_iFlags(0), m_uTextureUploads(0), m_uTexturesMade(0)
{
}

CRGBDIB::~CRGBDIB()
{
    delete m_pPendingFrame;
    delete m_pPendingDib;
    GLTrashTexture(m_uTexture);
}

// ---- producers ----

void CRGBDIB::Update(RVT_YUV_DATA*) {}

void CRGBDIB::Update(CRGBBuf* pBuf)
{
    if (pBuf && !pBuf->IsValid()) {
        delete pBuf;
        return;
    }
    if (!pBuf)
        return;
    m_Lock.RVLock();
    delete m_pPendingFrame;
    delete m_pPendingDib;
    m_pPendingDib = nullptr;
    m_pPendingFrame = pBuf;
    m_Lock.RVUnlock();
}

void CRGBDIB::Update(CRVDibDC* pDib)
{
    if (pDib && !pDib->IsValid()) {
        delete pDib;
        return;
    }
    if (!pDib)
        return;
    m_Lock.RVLock();
    delete m_pPendingFrame;
    delete m_pPendingDib;
    m_pPendingFrame = nullptr;
    m_pPendingDib = pDib;
    m_Lock.RVUnlock();
}

SIZE CRGBDIB::SourceSize()
{
    m_Lock.RVLock();
    SIZE size = m_Source;
    m_Lock.RVUnlock();
    return size;
}

// ---- drawing thread ----

void CRGBDIB::DropTexture()
{
    GLTrashTexture(m_uTexture);
    m_uTexture = NO_TEXTURE;
    m_Quad.Drop();
    m_iFrameBytesPerPixel = m_iFrameStride = m_iFrameHeight = 0;
}

void CRGBDIB::UpdateGL()
{
    m_Lock.RVLock();
    if (m_pPendingFrame) {
        UploadFrame(m_pPendingFrame);
        delete m_pPendingFrame;
        m_pPendingFrame = nullptr;
    } else if (m_pPendingDib) {
        UploadCanvas(m_pPendingDib);
        delete m_pPendingDib;
        m_pPendingDib = nullptr;
    }
    m_Lock.RVUnlock();
}

int CRGBDIB::UploadFrame(CRGBBuf* pBuf)
{
    const int iBytes = pBuf->BytesPerPixel();
    const int iFormat = iBytes == 4 ? GL_RGBA : (iBytes == 3 ? GL_RGB : GL_LUMINANCE);
    if (pBuf->Stride() > GLMaxTextureSide() || pBuf->Height() > GLMaxTextureSide()) {
        AssertDlg(__FILE__, __LINE__, pBuf->Stride());
        return 0;
    }
    if (pBuf->Width() < pBuf->Stride())
        RepeatLastColumn(pBuf->Data(), pBuf->Height(), (size_t)pBuf->RowBytes(), pBuf->Width(), iBytes);

    int bSame = m_uTexture != NO_TEXTURE && iBytes == m_iFrameBytesPerPixel && pBuf->Stride() == m_iFrameStride &&
                pBuf->Height() == m_iFrameHeight;
    if (bSame) {
        glBindTexture(GL_TEXTURE_2D, m_uTexture);
        GLTexWrite(iFormat, 0, 0, pBuf->Stride(), pBuf->Height(), pBuf->Stride(), pBuf->Data());
    } else {
        DropTexture();
        m_uTexture = GLNewTexture(0);
        if (m_uTexture == NO_TEXTURE)
            return 0;
        m_uTexturesMade++;
        GLTexAllocate(iFormat, iFormat, pBuf->Stride(), pBuf->Height(), pBuf->Stride(), pBuf->Data());
        m_iFrameBytesPerPixel = iBytes;
        m_iFrameStride = pBuf->Stride();
        m_iFrameHeight = pBuf->Height();
    }
    m_uTextureUploads++;
    m_fUMax = (float)pBuf->Width() / (float)pBuf->Stride();
    m_fVMax = 1.0f;
    m_iFlags = 0;
    m_Source = SIZE{pBuf->Width(), pBuf->Height()};
    return 1;
}

int CRGBDIB::UploadCanvas(CRVDibDC* pDib)
{
    // A canvas always gets a texture of its own.
    DropTexture();
    if (pDib->DX() > GLMaxTextureSide() || pDib->DY() > GLMaxTextureSide() || pDib->Width() < 1) {
        AssertDlg(__FILE__, __LINE__, pDib->DX());
        return 0;
    }
    m_uTexture = GLNewTexture(0);
    if (m_uTexture == NO_TEXTURE)
        return 0;
    m_uTexturesMade++;
    if (pDib->Width() < pDib->DX())
        RepeatLastColumn(reinterpret_cast<unsigned char*>(pDib->Bits()), pDib->DY(), (size_t)pDib->DX() * 4,
                         pDib->Width(), 4);
    GLTexAllocate(GL_RGBA, GL_RGBA, pDib->DX(), pDib->DY(), pDib->DX(), pDib->Bits());
    m_uTextureUploads++;
    m_fUMax = (float)pDib->Width() / (float)pDib->DX();
    m_fVMax = 1.0f;
    m_iFlags = pDib->AlphaDIB() ? FLAG_ALPHA_CANVAS : 0;
    m_Source = SIZE{pDib->Width(), pDib->DY()};
    return 1;
}

void CRGBDIB::OnGLContextLost()
{
    m_uTexture = NO_TEXTURE;
    m_Quad.OnGLContextLost();
    m_iFrameBytesPerPixel = m_iFrameStride = m_iFrameHeight = 0;
}

int CRGBDIB::GetTextureID()
{
    return m_uTexture == NO_TEXTURE ? -1 : (int)m_uTexture;
}

void CRGBDIB::TextureWindow(float fUMax, float fVMax, int cx, int cy, int iZoom, float pWindow[4])
{
    if (iZoom > 1000) {
        ZoomRange(fUMax, cx, iZoom, &pWindow[0], &pWindow[1]);
        ZoomRange(fVMax, cy, iZoom, &pWindow[2], &pWindow[3]);
    } else {
        pWindow[0] = 0.0f;
        pWindow[1] = fUMax;
        pWindow[2] = 0.0f;
        pWindow[3] = fVMax;
    }
}

void CRGBDIB::BuildQuad(const CRVRect& rc, int iOrient, const float pWindow[4], float pVertices[QUAD_FLOATS])
{
    const float fX0 = (float)rc.x, fY0 = (float)rc.y;
    const float fX1 = fX0 + (float)rc.width, fY1 = fY0 + (float)rc.height;
    // Top left, bottom left, top right, bottom right; reversed for a half turn.
    float fPos[4][2] = {{fX0, fY0}, {fX0, fY1}, {fX1, fY0}, {fX1, fY1}};
    if (iOrient == ORIENT_180) {
        for (int i = 0; i < 2; i++) {
            for (int k = 0; k < 2; k++) {
                float t = fPos[i][k];
                fPos[i][k] = fPos[3 - i][k];
                fPos[3 - i][k] = t;
            }
        }
    }
    const float fU[4] = {pWindow[0], pWindow[0], pWindow[1], pWindow[1]};
    const float fV[4] = {pWindow[2], pWindow[3], pWindow[2], pWindow[3]};
    for (int i = 0; i < 4; i++) {
        float* p = pVertices + i * 5;
        p[0] = fPos[i][0];
        p[1] = fPos[i][1];
        p[2] = 0.0f;
        p[3] = fU[i];
        p[4] = fV[i];
    }
}

int CRGBDIB::Render(CRVRect rcDest, RENDEROBJECT_ORIENTATION eOrient, RVT_MATRIX_CONFIG* pConfig,
                    const float* pMatrix, RVT_RENDER_PARAMS* pParams)
{
    if (m_uTexture == NO_TEXTURE || !g_pShaderTexture)
        return 0;
    const int iOrient = eOrient == ORIENT_LAST ? m_iOrientBuilt : eOrient;
    float fWindow[4];
    TextureWindow(m_fUMax, m_fVMax, ViewCoord(0), ViewCoord(1), ViewCoord(2), fWindow);
    if (m_Quad.BufferID() == -1 || rcDest != m_rcBuilt || iOrient != m_iOrientBuilt || ViewChanged() ||
        memcmp(fWindow, m_fWindowBuilt, sizeof(fWindow)) != 0) {
        float fVertices[QUAD_FLOATS];
        BuildQuad(rcDest, iOrient, fWindow, fVertices);
        m_Quad.Write(fVertices);
        m_rcBuilt = rcDest;
        m_iOrientBuilt = iOrient;
        memcpy(m_fWindowBuilt, fWindow, sizeof(fWindow));
        ClearViewChanged();
    }
    if (m_Quad.BufferID() == -1)
        return 0;
    const int iAlpha = pParams ? (int)(pParams->uAlpha > 255 ? 255 : pParams->uAlpha) : 255;
    if (pParams && pParams->uMode == 1)
        g_pShaderTexture->RenderBlend(pConfig, pMatrix, iAlpha, m_Quad.BufferID(), (int)m_uTexture,
                                      GL_TRIANGLE_STRIP, 4, pParams->uColor);
    else if (m_iFlags & FLAG_ALPHA_CANVAS)
        g_pShaderTexture->Render(pConfig, pMatrix, iAlpha, m_Quad.BufferID(), (int)m_uTexture, GL_TRIANGLE_STRIP, 4,
                                 GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    else
        g_pShaderTexture->Render(pConfig, pMatrix, iAlpha, m_Quad.BufferID(), (int)m_uTexture, GL_TRIANGLE_STRIP, 4,
                                 -1, 0);
    return 1;
}

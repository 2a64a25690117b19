// CYUVDIB: picture copies on the stream thread, three-plane upload, and the
// cropped, zoomed and rotated quad on the drawing thread.
#include "yuv.h"

#include "gl_es.h"
#include "gl_thread.h"
#include "gl_trash.h"
#include "rvdebug.h"
#include "shaders.h"

#include <GL/gl.h>
#include <stdlib.h>
#include <string.h>

namespace {

const unsigned int NO_TEXTURE = CGLDIB::NO_TEXTURE;

// 4:2:0 chroma covers two luma samples each way, rounding up.
int Half(int i)
{
    return (i + 1) / 2;
}

int SameInsets(const RVT_INSETS& a, const RVT_INSETS& b)
{
    return a.left == b.left && a.right == b.right && a.top == b.top && a.bottom == b.bottom;
}

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}

// Insets that leave at least one column and one row.
RVT_INSETS ClampInsets(RVT_INSETS crop, int iWidth, int iHeight)
{
    crop.left = Clamp(crop.left, 0, iWidth - 1);
    crop.right = Clamp(crop.right, 0, iWidth - 1 - crop.left);
    crop.top = Clamp(crop.top, 0, iHeight - 1);
    crop.bottom = Clamp(crop.bottom, 0, iHeight - 1 - crop.top);
    return crop;
}

// Bytes a plane of iRows rows, iStride apart, of which each holds iBytes,
// really spans: the last row need not be padded to the stride.
size_t PlaneSpan(int iRows, int iStride, int iBytes)
{
    return (size_t)(iRows - 1) * (size_t)iStride + (size_t)iBytes;
}

// A window of fraction w (of [lo, hi]) centred at c thousandths, moved back
// inside [lo, hi].
void ZoomRange(float lo, float hi, int c, int iZoom, float* pLo, float* pHi)
{
    const float fSpan = hi - lo;
    const float fHalf = fSpan * 1000.0f / (float)iZoom / 2.0f;
    float fCentre = lo + (float)c * fSpan / 1000.0f;
    if (fCentre < lo + fHalf)
        fCentre = lo + fHalf;
    if (fCentre > hi - fHalf)
        fCentre = hi - fHalf;
    *pLo = fCentre - fHalf;
    *pHi = fCentre + fHalf;
}

}  // namespace

CYUVDIB::CYUVDIB()
    : m_pPlane{nullptr, nullptr, nullptr}, m_nCapacity{0, 0, 0}, m_bHavePicture(0), m_bPictureUploaded(0),
      m_uTexture{NO_TEXTURE, NO_TEXTURE, NO_TEXTURE}, m_iOrientBuilt(0), m_iLastOrient(ORIENT_UPRIGHT),
      m_uPlaneUploads(0)
{
}

CYUVDIB::~CYUVDIB()
{
    for (int i = 0; i < 3; i++) {
        GLTrashTexture(m_uTexture[i]);
        free(m_pPlane[i]);
    }
}

// ---- stream thread ----

void CYUVDIB::Update(RVT_YUV_DATA* pData)
{
    if (pData == nullptr)
        return;
    const int iWidth = pData->iWidth, iHeight = pData->iHeight;
    if (iWidth < 1 || iWidth > MAX_SIDE) {
        AssertDlg(__FILE__, __LINE__, iWidth);
        return;
    }
    if (iHeight < 1 || iHeight > MAX_SIDE) {
        AssertDlg(__FILE__, __LINE__, iHeight);
        return;
    }
    const unsigned char* pSource[3] = {pData->pY, pData->pCb, pData->pCr};
    const int iStride[3] = {pData->iStrideY, pData->iStrideCb, pData->iStrideCr};
    const int iPlaneWidth[3] = {iWidth, Half(iWidth), Half(iWidth)};
    for (int i = 0; i < 3; i++) {
        if (pSource[i] == nullptr || iStride[i] < iPlaneWidth[i] || iStride[i] > MAX_STRIDE) {
            AssertDlg(__FILE__, __LINE__, i);
            return;
        }
    }

    PICTURE pic;
    pic.iWidth = iWidth;
    pic.iHeight = iHeight;
    for (int i = 0; i < 3; i++)
        pic.iStride[i] = iStride[i];
    pic.crop = ClampInsets(pData->crop, iWidth, iHeight);

    m_Lock.RVLock();
    if (!Reserve(pic)) {
        m_bHavePicture = 0;
        m_Lock.RVUnlock();
        return;
    }
    const int iRows[3] = {iHeight, Half(iHeight), Half(iHeight)};
    for (int i = 0; i < 3; i++) {
        memcpy(m_pPlane[i], pSource[i], PlaneSpan(iRows[i], iStride[i], iPlaneWidth[i]));
        // Linear filtering at the right edge of a magnified picture reads one
        // sample past it: make that the edge sample, not the decoder's padding.
        if (iPlaneWidth[i] < iStride[i]) {
            unsigned char* pRow = m_pPlane[i] + iPlaneWidth[i];
            for (int y = 0; y < iRows[i]; y++, pRow += iStride[i])
                pRow[0] = pRow[-1];
        }
    }
    m_Picture = pic;
    m_bHavePicture = 1;
    m_bPictureUploaded = 0;
    m_Lock.RVUnlock();
}

int CYUVDIB::Reserve(const PICTURE& pic)
{
    const int iRows[3] = {pic.iHeight, Half(pic.iHeight), Half(pic.iHeight)};
    for (int i = 0; i < 3; i++) {
        // Whole rows, so the upload may read every stride byte of the last one.
        size_t nBytes = (size_t)iRows[i] * (size_t)pic.iStride[i];
        if (nBytes <= m_nCapacity[i])
            continue;
        free(m_pPlane[i]);
        m_pPlane[i] = (unsigned char*)calloc(nBytes, 1);
        m_nCapacity[i] = m_pPlane[i] ? nBytes : 0;
        if (!m_pPlane[i]) {
            RV_ASSERT(0);
            return 0;
        }
    }
    return 1;
}

SIZE CYUVDIB::SourceSize()
{
    m_Lock.RVLock();
    SIZE size = {m_Picture.iWidth, m_Picture.iHeight};
    m_Lock.RVUnlock();
    return size;
}

// ---- drawing thread ----

void CYUVDIB::ForgetTextures()
{
    for (int i = 0; i < 3; i++) {
        GLTrashTexture(m_uTexture[i]);
        m_uTexture[i] = NO_TEXTURE;
    }
}

void CYUVDIB::UpdateGL()
{
    RV_ASSERT(GLIsDrawingThread());
    m_Lock.RVLock();
    if (m_bHavePicture) {
        const PICTURE& pic = m_Picture;
        int bNew = m_uTexture[0] == NO_TEXTURE;
        if (!bNew && (pic.iStride[0] != m_Shown.iStride[0] || pic.iHeight != m_Shown.iHeight)) {
            ForgetTextures();
            bNew = 1;
        }
        if ((bNew || !m_bPictureUploaded) && UploadPlanes(bNew)) {
            m_Shown = pic;
            m_bPictureUploaded = 1;
        }
    }
    m_Lock.RVUnlock();
}

int CYUVDIB::UploadPlanes(int bNew)
{
    const PICTURE& pic = m_Picture;
    // Textures as wide as the Y stride; the chroma ones half of that, each
    // filled from its own plane's rows (strides of decoders need not halve).
    const int iTexWidth[3] = {pic.iStride[0], Half(pic.iStride[0]), Half(pic.iStride[0])};
    const int iTexHeight[3] = {pic.iHeight, Half(pic.iHeight), Half(pic.iHeight)};
    if (iTexWidth[0] > GLMaxTextureSide()) {
        RV_ASSERT(0);
        return 0;
    }
    if (bNew) {
        for (int i = 0; i < 3; i++) {
            m_uTexture[i] = GLNewTexture(0);
            if (m_uTexture[i] == NO_TEXTURE) {
                ForgetTextures();
                return 0;
            }
            GLTexAllocate(GL_LUMINANCE, GL_LUMINANCE, iTexWidth[i], iTexHeight[i], iTexWidth[i], nullptr);
        }
    }
    for (int i = 0; i < 3; i++) {
        int iColumns = iTexWidth[i] < pic.iStride[i] ? iTexWidth[i] : pic.iStride[i];
        glBindTexture(GL_TEXTURE_2D, m_uTexture[i]);
        GLTexWrite(GL_LUMINANCE, 0, 0, iColumns, iTexHeight[i], pic.iStride[i], m_pPlane[i]);
        // A chroma plane narrower than its texture: its last column also
        // fills the next one, which filtering at the edge reads.
        if (iColumns < iTexWidth[i])
            GLTexWrite(GL_LUMINANCE, iColumns, 0, 1, iTexHeight[i], pic.iStride[i], m_pPlane[i] + iColumns - 1);
    }
    m_uPlaneUploads++;
    return 1;
}

void CYUVDIB::OnGLContextLost()
{
    for (int i = 0; i < 3; i++)
        m_uTexture[i] = NO_TEXTURE;
    m_Quad.OnGLContextLost();
}

int CYUVDIB::GetTextureID()
{
    return m_uTexture[0] == NO_TEXTURE ? -1 : (int)m_uTexture[0];
}

void CYUVDIB::TextureWindow(int iWidth, int iHeight, int iStrideY, RVT_INSETS crop, int cx, int cy, int iZoom,
                            float pWindow[4])
{
    // In floating point: callers may pass any ints, and none may overflow.
    const float fS = (float)(iStrideY > 0 ? iStrideY : 1);
    const float fH = (float)(iHeight > 0 ? iHeight : 1);
    float uL = (float)crop.left / fS;
    float uR = ((float)iWidth - (float)crop.right) / fS;
    float vT = (float)crop.top / fH;
    float vB = ((float)iHeight - (float)crop.bottom) / fH;
    if (iZoom > 1000) {
        ZoomRange(uL, uR, cx, iZoom, &uL, &uR);
        ZoomRange(vT, vB, cy, iZoom, &vT, &vB);
    }
    pWindow[0] = uL;
    pWindow[1] = uR;
    pWindow[2] = vT;
    pWindow[3] = vB;
}

void CYUVDIB::BuildQuad(const CRVRect& rc, int iOrient, const float pWindow[4], float pVertices[QUAD_FLOATS])
{
    enum { TL, BL, TR, BR };
    const float fX0 = (float)rc.x, fY0 = (float)rc.y;
    const float fX1 = fX0 + (float)rc.width, fY1 = fY0 + (float)rc.height;
    const float fCorner[4][2] = {{fX0, fY0}, {fX0, fY1}, {fX1, fY0}, {fX1, fY1}};
    // Where the texture corners (uL, vT), (uL, vB), (uR, vT), (uR, vB) go.
    static const int kPlace[6][4] = {
        {TL, BL, TR, BR},   // upright
        {TL, BL, TR, BR},   // (1 is resolved by the caller)
        {BR, TR, BL, TL},   // 180 degrees
        {TL, TR, BL, BR},   // transposed
        {BL, BR, TL, TR},   // 90 degrees counter-clockwise
        {TR, BR, TL, BL},   // mirrored left to right
    };
    const int* pPlace = kPlace[(iOrient >= 0 && iOrient < 6) ? iOrient : 0];
    const float fU[4] = {pWindow[0], pWindow[0], pWindow[1], pWindow[1]};
    const float fV[4] = {pWindow[2], pWindow[3], pWindow[2], pWindow[3]};
    for (int i = 0; i < 4; i++) {
        float* p = pVertices + i * 5;
        p[0] = fCorner[pPlace[i]][0];
        p[1] = fCorner[pPlace[i]][1];
        p[2] = 0.0f;
        p[3] = fU[i];
        p[4] = fV[i];
    }
}

int CYUVDIB::Render(CRVRect rcDest, RENDEROBJECT_ORIENTATION eOrient, RVT_MATRIX_CONFIG* pConfig,
                    const float* pMatrix, RVT_RENDER_PARAMS* pParams)
{
    if (m_uTexture[0] == NO_TEXTURE || g_pShaderYUV422 == nullptr)
        return 0;
    RV_ASSERT(GLIsDrawingThread());
    int iOrient = eOrient;
    if (iOrient == ORIENT_LAST)
        iOrient = m_iLastOrient;
    else if (iOrient < 0 || iOrient > ORIENT_MIRRORED)
        iOrient = ORIENT_UPRIGHT;
    m_iLastOrient = iOrient;

    const PICTURE& pic = m_Shown;
    int bCrop = !SameInsets(pic.crop, m_Built.crop);
    int bOrient = iOrient != m_iOrientBuilt;
    int bPicture = pic.iWidth != m_Built.iWidth || pic.iHeight != m_Built.iHeight || pic.iStride[0] != m_Built.iStride[0];
    if (m_Quad.BufferID() == -1 || rcDest != m_rcBuilt || bCrop || bOrient || bPicture || ViewChanged()) {
        if (bCrop)
            RVLog(RV_LOG_DEBUG, "Crop Changed %d %d %d %d", pic.crop.left, pic.crop.right, pic.crop.top,
                  pic.crop.bottom);
        if (bOrient)
            RVLog(RV_LOG_DEBUG, "Orientation Changed");
        float fWindow[4], fVertices[QUAD_FLOATS];
        TextureWindow(pic.iWidth, pic.iHeight, pic.iStride[0], pic.crop, ViewCoord(0), ViewCoord(1), ViewCoord(2),
                      fWindow);
        BuildQuad(rcDest, iOrient, fWindow, fVertices);
        m_Quad.Write(fVertices);
        m_rcBuilt = rcDest;
        m_iOrientBuilt = iOrient;
        m_Built = pic;
        ClearViewChanged();
        RVLog(RV_LOG_DEBUG, "Vtx Buf Created %d %d %dx%d %.3fx%.3f", rcDest.x, rcDest.y, rcDest.width,
              rcDest.height, (double)(fWindow[1] - fWindow[0]), (double)(fWindow[3] - fWindow[2]));
    }
    if (m_Quad.BufferID() == -1)
        return 0;
    int iAlpha = pParams ? (int)(pParams->uAlpha > 255 ? 255 : pParams->uAlpha) : 255;
    g_pShaderYUV422->Render(pConfig, pMatrix, iAlpha, m_Quad.BufferID(), (int)m_uTexture[0], (int)m_uTexture[1],
                            (int)m_uTexture[2]);
    return 1;
}

// CRGBBuf: a zeroed pixel buffer with 4-pixel row alignment and slack rows,
// and its upload into a CGLDIB (defined here, beside the buffer, because the
// texture code sits below the video code and does not see this class).
#include "rgb.h"

#include "gl_es.h"
#include "rvdebug.h"

#include <GL/gl.h>
#include <stdlib.h>

CRGBBuf::CRGBBuf(int iBytesPerPixel, int iWidth, int iHeight)
{
    int bDepth = iBytesPerPixel == 1 || iBytesPerPixel == 3 || iBytesPerPixel == 4;
    int bSize = iWidth >= 1 && iWidth <= MAX_SIDE && iHeight >= 1 && iHeight <= MAX_SIDE;
    RV_ASSERT(bDepth && bSize);
    if (!bDepth || !bSize)
        return;
    // Sides are bounded, so the product fits easily in size_t.
    int iStride = (iWidth + 3) & ~3;
    size_t nBytes = (size_t)iBytesPerPixel * (size_t)iStride * (size_t)(iHeight + SLACK_ROWS);
    m_pData = (unsigned char*)calloc(nBytes, 1);
    RV_ASSERT(m_pData);
    if (!m_pData)
        return;
    m_iBytesPerPixel = iBytesPerPixel;
    m_iWidth = iWidth;
    m_iStride = iStride;
    m_iHeight = iHeight;
    m_nBytes = nBytes;
}

CRGBBuf::~CRGBBuf()
{
    free(m_pData);
}

// ---- CGLDIB from an RGB picture ----

namespace {

int GLFormatOf(int iBytesPerPixel)
{
    return iBytesPerPixel == 1 ? GL_LUMINANCE : iBytesPerPixel == 3 ? GL_RGB : GL_RGBA;
}

}  // namespace

CGLDIB::CGLDIB(CRGBBuf* pBuf, int iFlags) : CGLDIB()
{
    m_iFlags = iFlags & ~GLDIB_NOT_OWNED;
    Update(pBuf);
}

int CGLDIB::Update(CRGBBuf* pBuf)
{
    if (pBuf == nullptr || !pBuf->IsValid()) {
        RV_ASSERT(0);
        return 0;
    }
    const int iFormat = GLFormatOf(pBuf->BytesPerPixel());
    // The whole stride goes up so rows need no repacking; the image is the
    // width inside it (the padding columns are zeroes, never shown).
    if (!UploadPixels(pBuf->Data(), iFormat, iFormat, pBuf->Stride(), pBuf->Height(), pBuf->Stride()))
        return 0;
    SetExtents(pBuf->Width(), pBuf->Height(), pBuf->Stride(), pBuf->Height());
    return 1;
}

// CGLDIB and CGLDIBMem: textures from canvases and coverage bitmaps; the
// texture helpers shared with the video objects.
#define GL_GLEXT_PROTOTYPES 1
#include "gl_es.h"

#include "dibdc.h"
#include "gl_thread.h"
#include "gl_trash.h"
#include "rvdebug.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <stdlib.h>

// ---- texture helpers ----

unsigned int GLNewTexture(int bNearest)
{
    RV_ASSERT(GLIsDrawingThread());
    // Creating textures is where names pile up: recycle what waits first.
    GLFlushTrash();
    GLuint uTexture = 0;
    glGenTextures(1, &uTexture);
    if (uTexture == 0) {
        AssertDlg(__FILE__, __LINE__, 0);
        return CGLDIB::NO_TEXTURE;
    }
    const GLint iFilter = bNearest ? GL_NEAREST : GL_LINEAR;
    glBindTexture(GL_TEXTURE_2D, uTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, iFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, iFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return uTexture;
}

int GLMaxTextureSide()
{
    GLint iMax = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &iMax);
    return iMax < CGLDIB::MAX_SIDE ? iMax : (int)CGLDIB::MAX_SIDE;
}

namespace {

// Rows of any width and pitch, for the one call that follows.
void SetUnpack(int iWidth, int iRowPixels)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, iRowPixels == iWidth ? 0 : iRowPixels);
}

void RestoreUnpack()
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

}  // namespace

void GLTexAllocate(int iInternalFormat, int iFormat, int iWidth, int iHeight, int iRowPixels, const void* pPixels)
{
    SetUnpack(iWidth, iRowPixels);
    glTexImage2D(GL_TEXTURE_2D, 0, iInternalFormat, iWidth, iHeight, 0, (GLenum)iFormat, GL_UNSIGNED_BYTE, pPixels);
    RestoreUnpack();
}

void GLTexWrite(int iFormat, int x, int y, int iWidth, int iHeight, int iRowPixels, const void* pPixels)
{
    SetUnpack(iWidth, iRowPixels);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, iWidth, iHeight, (GLenum)iFormat, GL_UNSIGNED_BYTE, pPixels);
    RestoreUnpack();
}

// ---- CGLDIB ----

CGLDIB::CGLDIB()
    : m_iRefCount(1), m_iFlags(0), m_iImageWidth(0), m_iImageHeight(0), m_iTextureWidth(0), m_iTextureHeight(0),
      m_uTexture(NO_TEXTURE), m_iInternalFormat(0), m_fUMax(0), m_fVMax(0), m_iTextCenterLine(0)
{
}

CGLDIB::CGLDIB(CRVDibDC* pDC, int iFlags) : CGLDIB()
{
    // A texture made here is always ours to delete.
    m_iFlags = iFlags & ~GLDIB_NOT_OWNED;
    Update(pDC);
}

CGLDIB::CGLDIB(unsigned int uTexture, int iImageWidth, int iImageHeight, int iTextureWidth, int iTextureHeight)
    : CGLDIB()
{
    m_uTexture = uTexture == 0 ? NO_TEXTURE : uTexture;
    SetExtents(iImageWidth, iImageHeight, iTextureWidth, iTextureHeight);
}

CGLDIB::CGLDIB(unsigned int uTexture, int iImageWidth, int iImageHeight, float fUMax, float fVMax) : CGLDIB()
{
    m_uTexture = uTexture == 0 ? NO_TEXTURE : uTexture;
    m_iImageWidth = m_iTextureWidth = iImageWidth;
    m_iImageHeight = m_iTextureHeight = iImageHeight;
    m_fUMax = fUMax;
    m_fVMax = fVMax;
}

CGLDIB::~CGLDIB()
{
    if (!(m_iFlags & GLDIB_NOT_OWNED))
        GLTrashTexture(m_uTexture);
}

void CGLDIB::Retain()
{
    __atomic_add_fetch(&m_iRefCount, 1, __ATOMIC_RELAXED);
}

void CGLDIB::Release()
{
    if (__atomic_fetch_sub(&m_iRefCount, 1, __ATOMIC_ACQ_REL) <= 1)
        delete this;
}

int CGLDIB::RefCount() const
{
    return __atomic_load_n(&m_iRefCount, __ATOMIC_RELAXED);
}

unsigned char* CGLDIB::Image()
{
    return nullptr;
}

void CGLDIB::OnGLContextLost()
{
    m_iFlags |= GLDIB_NOT_OWNED;
    m_uTexture = NO_TEXTURE;
    m_iInternalFormat = 0;
    m_VBO.OnGLContextLost();
}

void CGLDIB::SetExtents(int iImageWidth, int iImageHeight, int iTextureWidth, int iTextureHeight)
{
    m_iImageWidth = iImageWidth;
    m_iImageHeight = iImageHeight;
    m_iTextureWidth = iTextureWidth;
    m_iTextureHeight = iTextureHeight;
    m_fUMax = iTextureWidth > 0 ? (float)iImageWidth / (float)iTextureWidth : 0.0f;
    m_fVMax = iTextureHeight > 0 ? (float)iImageHeight / (float)iTextureHeight : 0.0f;
}

int CGLDIB::UploadPixels(const void* pPixels, int iFormat, int iInternalFormat, int iWidth, int iHeight,
                         int iRowPixels)
{
    if (pPixels == nullptr || iWidth < 1 || iHeight < 1 || iRowPixels < iWidth || iWidth > GLMaxTextureSide() ||
        iHeight > GLMaxTextureSide()) {
        RV_ASSERT(0);
        return 0;
    }
    int bNew = m_uTexture == NO_TEXTURE;
    if (bNew) {
        m_uTexture = GLNewTexture(m_iFlags & GLDIB_NEAREST);
        if (m_uTexture == NO_TEXTURE)
            return 0;
        m_iFlags &= ~GLDIB_NOT_OWNED;
    } else {
        glBindTexture(GL_TEXTURE_2D, m_uTexture);
    }
    if (!bNew && iWidth == m_iTextureWidth && iHeight == m_iTextureHeight && iInternalFormat == m_iInternalFormat) {
        GLTexWrite(iFormat, 0, 0, iWidth, iHeight, iRowPixels, pPixels);
        return 1;
    }
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; i++) {
    }
    GLTexAllocate(iInternalFormat, iFormat, iWidth, iHeight, iRowPixels, pPixels);
    if (glGetError() != GL_NO_ERROR) {
        // Out of memory or refused: keep no half-made texture.
        RV_ASSERT(0);
        m_iInternalFormat = 0;
        SetExtents(0, 0, 0, 0);
        return 0;
    }
    m_iInternalFormat = iInternalFormat;
    m_iTextureWidth = iWidth;
    m_iTextureHeight = iHeight;
    return 1;
}

int CGLDIB::Update(CRVDibDC* pDC)
{
    if (pDC == nullptr || !pDC->IsValid()) {
        RV_ASSERT(0);
        return 0;
    }
    const int iDX = pDC->DX(), iDY = pDC->DY(), iWidth = pDC->Width();
    const int iInternal = (m_iFlags & GLDIB_RGB) ? GL_RGB : GL_RGBA;
    if (!UploadPixels(pDC->Bits(), GL_RGBA, iInternal, iDX, iDY, iDX))
        return 0;
    // Linear filtering at the right edge reads one texel past the image: make
    // that pitch column a copy of the last image column, not leftover bytes.
    if (iWidth > 0 && iWidth < iDX)
        GLTexWrite(GL_RGBA, iWidth, 0, 1, iDY, iDX, pDC->Pixel(iWidth - 1, 0));
    SetExtents(iWidth, iDY, iDX, iDY);
    if (pDC->AlphaDIB())
        m_iFlags |= GLDIB_ALPHA;
    else
        m_iFlags &= ~GLDIB_ALPHA;
    return 1;
}

float CGLDIB::XInterp(POINT a, POINT b, float f)
{
    return (float)a.x + (float)(b.x - a.x) * f;
}

float CGLDIB::YInterp(POINT a, POINT b, float f)
{
    return (float)a.y + (float)(b.y - a.y) * f;
}

// ---- CGLDIBMem ----

CGLDIBMem::CGLDIBMem(int iImageWidth, int iImageHeight, int iTextureWidth, int iTextureHeight)
    : CGLDIB(), m_pImage(nullptr)
{
    m_iFlags = GLDIB_NOT_OWNED;
    int bSides = iTextureWidth >= 1 && iTextureWidth <= MAX_SIDE && iTextureHeight >= 1 &&
                 iTextureHeight <= MAX_SIDE && iImageWidth >= 0 && iImageWidth <= iTextureWidth &&
                 iImageHeight >= 0 && iImageHeight <= iTextureHeight;
    RV_ASSERT(bSides);
    if (!bSides)
        return;
    m_pImage = (unsigned char*)calloc((size_t)iTextureWidth * (size_t)iTextureHeight, 1);
    RV_ASSERT(m_pImage);
    if (m_pImage)
        SetExtents(iImageWidth, iImageHeight, iTextureWidth, iTextureHeight);
}

CGLDIBMem::~CGLDIBMem()
{
    free(m_pImage);
}

unsigned char* CGLDIBMem::Image()
{
    return m_pImage;
}

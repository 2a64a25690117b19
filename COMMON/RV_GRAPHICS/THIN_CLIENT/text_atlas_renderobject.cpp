// The atlas texture: a GL_ALPHA texture of 512 x 512 and its byte copy.
#define GL_GLEXT_PROTOTYPES 1
#include "text_atlas.h"

#include "gl_es.h"
#include "gl_thread.h"
#include "gl_trash.h"
#include "rvdebug.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <stdlib.h>
#include <string.h>

void CTextAtlasRenderObject::Release()
{
    if (--m_iRefCount <= 0)
        delete this;
}

CTextAtlasRenderObjectDefault::CTextAtlasRenderObjectDefault()
    : m_pTexels((unsigned char*)calloc((size_t)SIDE * SIDE, 1)), m_bStale(0)
{
    RV_ASSERT(m_pTexels);
}

CTextAtlasRenderObjectDefault::~CTextAtlasRenderObjectDefault()
{
    // May run on any thread: the trash deletes the name on the drawing thread.
    if (m_iTexture != -1)
        GLTrashTexture((unsigned int)m_iTexture);
    free(m_pTexels);
}

int CTextAtlasRenderObjectDefault::InitTexture()
{
    if (!m_pTexels || !GLIsDrawingThread())
        return 0;
    glActiveTexture(GL_TEXTURE0);
    if (m_iTexture == -1) {
        const unsigned int uTexture = GLNewTexture(0);
        if (uTexture == CGLDIB::NO_TEXTURE)
            return 0;
        GLTexAllocate(GL_ALPHA, GL_ALPHA, SIDE, SIDE, SIDE, m_pTexels);
        m_iTexture = (int)uTexture;
        m_bStale = 0;
        return 1;
    }
    glBindTexture(GL_TEXTURE_2D, (GLuint)m_iTexture);
    if (m_bStale) {
        GLTexWrite(GL_ALPHA, 0, 0, SIDE, SIDE, SIDE, m_pTexels);
        m_bStale = 0;
    }
    return 1;
}

int CTextAtlasRenderObjectDefault::Blt(int x, int y, CGLDIB* pBitmap)
{
    const unsigned char* pSrc = pBitmap ? pBitmap->Image() : nullptr;
    if (!pSrc || !m_pTexels)
        return 0;
    const int w = pBitmap->ImageWidth(), h = pBitmap->ImageHeight(), iStride = pBitmap->TextureWidth();
    if (w < 1 || h < 1 || iStride < w || x < 0 || y < 0 || x > SIDE - w || y > SIDE - h) {
        RV_ASSERT(0);
        return 0;
    }
    // The copy always gets every entry, so the texture can be rebuilt from it.
    for (int r = 0; r < h; r++)
        memcpy(m_pTexels + (size_t)(y + r) * SIDE + x, pSrc + (size_t)r * iStride, (size_t)w);
    if (m_iTexture != -1) {
        if (GLIsDrawingThread()) {
            glActiveTexture(GL_TEXTURE0);
            glBindTexture(GL_TEXTURE_2D, (GLuint)m_iTexture);
            GLTexWrite(GL_ALPHA, x, y, w, h, iStride, pSrc);
        } else {
            m_bStale = 1;   // uploaded whole at the next InitTexture
        }
    }
    return 1;
}

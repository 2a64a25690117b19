// CSurfDraw::RenderThis: the stroke map as an alpha texture, drawn with the
// coverage program in the pad's colour.
#include "surf_draw.h"

#include "gl_es.h"
#include "gl_trash.h"
#include "gl_vbo.h"
#include "shaders.h"

#include <GL/gl.h>

#include <new>

int CSurfDraw::RenderThis(int iAlpha, CClipStack*, float* pMatrix, RVT_MATRIX_CONFIG* pConfig)
{
    if (!m_pMap || !g_bRenderGL || !g_pShaderText)
        return 0;
    const int w = m_pMap->Width();
    const int h = m_pMap->Height();
    if (w < 4 || h < 4)
        return 0;
    const unsigned char* pBits = m_pMap->Pixel(0, 0);
    if (w != m_TextureSize.cx || h != m_TextureSize.cy) {
        // A map of a new size: a new texture (the quad follows below).
        GLTrashTexture((unsigned int)m_iTexture);
        m_iTexture = -1;
        m_TextureSize = SIZE{0, 0};
        if (w > GLMaxTextureSide() || h > GLMaxTextureSide())
            return 0;
        const unsigned int uTexture = GLNewTexture(0);
        if (uTexture == CGLDIB::NO_TEXTURE)
            return 0;
        GLTexAllocate(GL_ALPHA, GL_ALPHA, w, h, w, pBits);
        m_iTexture = (int)uTexture;
        m_TextureSize = SIZE{w, h};
        m_bDirty = 0;
    } else if (m_bDirty) {
        glBindTexture(GL_TEXTURE_2D, (GLuint)m_iTexture);
        GLTexWrite(GL_ALPHA, 0, 0, w, h, w, pBits);
        m_bDirty = 0;
    }
    if (!m_pVBO)
        m_pVBO = new (std::nothrow) CVBO;
    if (!m_pVBO)
        return 0;
    // The map's size; its extents stretch the map over the pad should the pad
    // have changed size since the map was made. Rebuilt only when that changes.
    const CRVRect pos = Position(pConfig);
    m_pVBO->Init(pConfig->iOffsetX, pConfig->iOffsetY, w, h, (float)(pos.width - 1) / (float)(w - 1),
                 (float)(pos.height - 1) / (float)(h - 1), 0);
    g_pShaderText->Render(pConfig, pMatrix, iAlpha, m_uColor, m_pVBO->BufferID(), m_iTexture);
    return 1;
}

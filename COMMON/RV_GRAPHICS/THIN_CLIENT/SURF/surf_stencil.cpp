#include "surf_stencil.h"

#include "gl_vbo.h"
#include "mainwnd.h"
#include "rvdebug.h"
#include "shaders.h"

#include <GL/gl.h>

// The rectangle goes through the fill program, in a vertex buffer the main
// window keeps for clips; colour writes are off meanwhile, so only the
// stencil changes.
static void DrawRect(const float* pMatrix, const CRVRect& rc)
{
    if (!g_pMainWindow || !g_pShaderFill) {
        RV_ASSERT(!"stencil clip without a main window's programs");
        return;
    }
    CFillRectVBO* pFill = g_pMainWindow->StencilFill();
    pFill->Init(rc);
    g_pShaderFill->Render1(nullptr, pMatrix, 255, 0xFFFFFF, pFill->BufferID(), 12, GL_SRC_ALPHA,
                           GL_ONE_MINUS_SRC_ALPHA);
}

void StencilWriteRect(const float* pMatrix, const CRVRect& rc, int bClearFirst)
{
    glEnable(GL_STENCIL_TEST);
    glStencilMask(1);
    if (bClearFirst) {
        glClearStencil(0);
        glClear(GL_STENCIL_BUFFER_BIT);
    }
    glStencilFunc(GL_ALWAYS, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    DrawRect(pMatrix, rc);
}

void StencilUseClip()
{
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_EQUAL, 1, 1);
    glStencilOp(GL_KEEP, GL_KEEP, GL_KEEP);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glStencilMask(0);
}

void StencilEndClip()
{
    glDisable(GL_STENCIL_TEST);
    // Writable again, or the next frame's stencil clear would do nothing.
    glStencilMask(~0u);
}

#include "surf_stencil.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

// The rectangle itself is drawn with the fixed-function pipeline, so the clip
// needs no shader of its own; whatever program is bound is restored after.
static void DrawRect(const float* pMatrix, const CRVRect& rc)
{
    GLint iProgram = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &iProgram);
    glUseProgram(0);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadMatrixf(pMatrix);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    float x0 = (float)rc.x;
    float y0 = (float)rc.y;
    float x1 = (float)rc.x + (float)rc.width;
    float y1 = (float)rc.y + (float)rc.height;
    glBegin(GL_TRIANGLE_STRIP);
    glVertex3f(x0, y0, 0.0f);
    glVertex3f(x0, y1, 0.0f);
    glVertex3f(x1, y0, 0.0f);
    glVertex3f(x1, y1, 0.0f);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glUseProgram((GLuint)iProgram);
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

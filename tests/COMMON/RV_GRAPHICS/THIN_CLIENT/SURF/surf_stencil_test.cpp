// The stencil clip of attribute 0x2000 on a real (offscreen) GL context:
// children are cut to the surface's rectangle, and what is drawn after the
// clipped subtree is not.
#include <gtest/gtest.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <memory>

#include "mainwnd_gl_fixture.h"

namespace {

// Fills a rectangle (pixels, under the surface's matrix) with a colour.
class CFillSurf : public CSurf
{
public:
    CFillSurf(CSurf* pParent, int iID, CRVRect rc, CRVRect fill, unsigned int uColor)
        : CSurf(pParent, iID, rc, rc), m_rcFill(fill), m_uColor(uColor)
    {
    }
    int RenderThis(int, CClipStack*, float* pMatrix, RVT_MATRIX_CONFIG* pConfig) override
    {
        glUseProgram(0);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(pMatrix);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4ub((m_uColor >> 16) & 0xFF, (m_uColor >> 8) & 0xFF, m_uColor & 0xFF, 255);
        float x0 = (float)(pConfig->iOffsetX + m_rcFill.x), y0 = (float)(pConfig->iOffsetY + m_rcFill.y);
        float x1 = x0 + m_rcFill.width, y1 = y0 + m_rcFill.height;
        glBegin(GL_TRIANGLE_STRIP);
        glVertex3f(x0, y0, 0);
        glVertex3f(x0, y1, 0);
        glVertex3f(x1, y0, 0);
        glVertex3f(x1, y1, 0);
        glEnd();
        return 1;
    }

private:
    CRVRect m_rcFill;
    unsigned int m_uColor;
};

class SurfStencil : public MainWndGLFixture
{
};

TEST_F(SurfStencil, ChildrenAreCutToTheClippingSurface)
{
    // A clipping panel at (10, 10), 20 x 20, whose child paints far beyond
    // it; then a sibling drawn after the panel.
    CSurf* panel = new CSurf(wnd.get(), 1, CRVRect(10, 10, 20, 20), CRVRect(10, 10, 20, 20));
    panel->Attribs(CSurf::SA_STENCIL_CLIP);
    panel->AddChildTail(new CFillSurf(panel, 2, CRVRect(0, 0, 20, 20), CRVRect(-100, -100, 300, 300), 0xFF0000));
    wnd->AddChildTail(panel);
    wnd->AddChildTail(new CFillSurf(wnd.get(), 3, CRVRect(40, 40, 10, 10), CRVRect(0, 0, 10, 10), 0x00FF00));

    Frame();
    EXPECT_EQ(At(15, 15), 0xFF0000u);
    EXPECT_EQ(At(28, 28), 0xFF0000u);
    EXPECT_EQ(At(5, 5), 0u);
    EXPECT_EQ(At(35, 20), 0u);
    EXPECT_EQ(At(45, 45), 0x00FF00u);     // after the clip: not cut
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));

    // A second frame with the panel moved clips to the new place.
    panel->SetPosition(ORIENT_0, CRVRect(30, 0, 10, 10));
    Frame();
    EXPECT_EQ(At(15, 15), 0u);
    EXPECT_EQ(At(35, 5), 0xFF0000u);
}

TEST_F(SurfStencil, TwoClippingSiblingsEachGetTheirOwnClip)
{
    for (int i = 0; i < 2; i++) {
        CSurf* panel = new CSurf(wnd.get(), 1 + i, CRVRect(5 + 30 * i, 5, 10, 10), CRVRect(5 + 30 * i, 5, 10, 10));
        panel->Attribs(CSurf::SA_STENCIL_CLIP);
        panel->AddChildTail(new CFillSurf(panel, 10 + i, CRVRect(0, 0, 10, 10), CRVRect(-50, -50, 200, 200),
                                          i ? 0x0000FFu : 0xFF0000u));
        wnd->AddChildTail(panel);
    }
    Frame();
    EXPECT_EQ(At(8, 8), 0xFF0000u);
    EXPECT_EQ(At(38, 8), 0x0000FFu);
    EXPECT_EQ(At(25, 8), 0u);
    EXPECT_EQ(At(8, 30), 0u);
}

TEST_F(SurfStencil, RootColourClearsTheFrame)
{
    wnd->SetColor(ORIENT_0, 0x336699);
    Frame();
    EXPECT_EQ(At(0, 0), 0x336699u);
    EXPECT_EQ(At(63, 63), 0x336699u);
}

}  // namespace

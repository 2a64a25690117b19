// The main window drawing with real GL (offscreen): the programs it makes at
// its first frame and deletes with itself, the root colour, rectangles
// through the fill program (plain, translucent, additive, transformed) and
// children cut by a stencil clip.
#include "mainwnd_gl_fixture.h"
#include "shaders.h"
#include "surf_rect.h"

namespace {

const unsigned int kRoot = 0x204060;

class MainWndGL : public MainWndGLFixture
{
protected:
    MainWndGL() : MainWndGLFixture(96, 64) {}
    void SetUp() override
    {
        MainWndGLFixture::SetUp();
        if (IsSkipped())
            return;
        // The programs are made at the first frame, not with the window.
        ASSERT_EQ(g_pShaderFill, nullptr);
    }
    CSurfRect* AddRect(CSurf* pParent, int iID, CRVRect rc, unsigned int uColor)
    {
        CSurfRect* p = new CSurfRect(pParent, iID, rc, rc, uColor);
        pParent->AddChildTail(p);
        return p;
    }
};

TEST_F(MainWndGL, ProgramsAreMadeAtTheFirstFrameAndGoWithTheWindow)
{
    EXPECT_EQ(g_pShaderTexture, nullptr);   // none at construction
    wnd->RenderScreen();
    const CGLProgram* all[] = {g_pShaderAddMode, g_pShaderTexture, g_pShaderText,     g_pShaderColor, g_pShaderFill,
                               g_pShaderYUV422,  g_pShaderRGBA,    g_pShaderColorSat, g_pShaderPanel};
    std::vector<GLuint> programs;
    for (const CGLProgram* p : all) {
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(p->IsLinked());
        programs.push_back(p->Program());
    }
    wnd->RenderScreen();
    EXPECT_EQ(g_pShaderFill->Program(), programs[4]);   // made once

    wnd.reset();
    EXPECT_EQ(g_pShaderFill, nullptr);
    glUseProgram(0);    // a program in use is only flagged until it is not
    for (GLuint p : programs)
        EXPECT_FALSE(glIsProgram(p));
}

TEST_F(MainWndGL, WithoutGLNoProgramsAreMade)
{
    wnd.reset();
    CSurf::g_bRenderGL = 0;
    wnd.reset(new CMainWnd(nullptr, 1, 96, 64, 96, 64, 1));
    AddRect(wnd.get(), 1, CRVRect(0, 0, 10, 10), 0xFF0000);
    wnd->RenderScreen();
    EXPECT_EQ(g_pShaderFill, nullptr);
    wnd.reset();
    CSurf::g_bRenderGL = 1;
}

TEST_F(MainWndGL, RootColourAndRectangles)
{
    wnd->SetColor(ORIENT_0, kRoot);
    CSurfRect* opaque = AddRect(wnd.get(), 1, CRVRect(4, 4, 20, 20), 0xFF0000);
    AddRect(opaque, 2, CRVRect(5, 5, 6, 6), 0x00FF00);      // relative to its parent
    CSurfRect* half = AddRect(wnd.get(), 3, CRVRect(30, 4, 20, 20), 0x0000FF);
    half->SetAlpha(128);
    CSurfRect* additive = AddRect(wnd.get(), 4, CRVRect(56, 4, 20, 20), 0x804000);
    additive->Attribs(CSurfRect::SA_ADDITIVE);
    additive->SetAlpha(128);
    AddRect(wnd.get(), 5, CRVRect(4, 40, 20, 20), 0xFFFFFF)->SetColor(ORIENT_1, 0x000000);

    Frame();
    const double a = 128 / 255.0;
    auto mix = [](unsigned int s, double fs, unsigned int d, double fd) {
        unsigned int out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            double v = ((s >> shift) & 0xFF) * fs + ((d >> shift) & 0xFF) * fd;
            out |= (unsigned int)(v > 255 ? 255 : v + 0.5) << shift;
        }
        return out;
    };
    EXPECT_TRUE(Near(90, 60, kRoot));                               // the bare screen
    EXPECT_TRUE(Near(6, 6, 0xFF0000));
    EXPECT_TRUE(Near(12, 12, 0x00FF00));                            // (4 + 5, 4 + 5) to (15, 15)
    EXPECT_TRUE(Near(20, 20, 0xFF0000));
    EXPECT_TRUE(Near(40, 14, mix(0x0000FF, a, kRoot, 1 - a)));      // alpha blended
    EXPECT_TRUE(Near(66, 14, mix(0x804000, a, kRoot, 1)));         // added, colour scaled
    EXPECT_TRUE(Near(10, 50, 0xFFFFFF));                            // orientation 0's colour
    EXPECT_TRUE(Near(26, 26, kRoot));                               // just past the first rectangle
}

TEST_F(MainWndGL, TransformedRectangleFollowsItsMatrix)
{
    // 10 x 10 at (40, 20), scaled x2 about its centre: (35, 15) to (55, 35).
    CSurfRect* r = AddRect(wnd.get(), 1, CRVRect(40, 20, 10, 10), 0xFFFF00);
    r->SetTransform(CRVRect(0, 0, 2000, 2000));
    Frame();
    EXPECT_TRUE(Near(36, 16, 0xFFFF00));
    EXPECT_TRUE(Near(54, 34, 0xFFFF00));
    EXPECT_TRUE(Near(33, 25, 0));
    EXPECT_TRUE(Near(57, 25, 0));
}

TEST_F(MainWndGL, StencilClipCutsChildRectangles)
{
    CSurf* panel = new CSurf(wnd.get(), 1, CRVRect(20, 10, 30, 30), CRVRect(20, 10, 30, 30));
    panel->Attribs(CSurf::SA_STENCIL_CLIP);
    wnd->AddChildTail(panel);
    AddRect(panel, 2, CRVRect(-20, -20, 100, 100), 0xFF00FF);
    AddRect(wnd.get(), 3, CRVRect(60, 10, 20, 20), 0x00FFFF);     // drawn after the clip

    Frame();
    EXPECT_TRUE(Near(21, 11, 0xFF00FF));
    EXPECT_TRUE(Near(48, 38, 0xFF00FF));
    EXPECT_TRUE(Near(18, 20, 0));
    EXPECT_TRUE(Near(30, 42, 0));
    EXPECT_TRUE(Near(52, 20, 0));
    EXPECT_TRUE(Near(70, 20, 0x00FFFF));
    EXPECT_FALSE(glIsEnabled(GL_STENCIL_TEST));

    // The panel moves: the next frame clips to the new place.
    panel->SetPosition(ORIENT_0, CRVRect(0, 30, 10, 10));
    Frame();
    EXPECT_TRUE(Near(30, 20, 0));
    EXPECT_TRUE(Near(5, 35, 0xFF00FF));
}

TEST_F(MainWndGL, RemovedRectangleGivesUpItsBufferWithinAFrame)
{
    AddRect(wnd.get(), 1, CRVRect(0, 0, 10, 10), 0xFF0000);
    Frame();
    EXPECT_EQ(GLTrashCount(), 0);
    wnd->TreeLock()->RVLock();
    wnd->AddToGarbage(wnd->RemoveSubSurf(1));
    wnd->TreeLock()->RVUnlock();
    EXPECT_EQ(GLTrashCount(), 0);       // the surface waits for the drawing thread
    wnd->CleanupGarbage();
    EXPECT_EQ(GLTrashCount(), 1);       // deleted: its buffer waits for the frame's end
    Frame();
    EXPECT_EQ(GLTrashCount(), 0);
    EXPECT_TRUE(Near(5, 5, 0));
}

}  // namespace

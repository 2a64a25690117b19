// CDIBDC32: reference counting, the texture made on first use (which frees the
// canvas), context loss, and the release the main window's garbage calls.
#include "offscreen_gl.h"

#include "DIBDC32.h"
#include "dibdc.h"
#include "gl_es.h"
#include "mainwnd.h"

namespace
{
// A canvas that reports its destruction, so the test sees when its owner died.
class CWatchedCanvas : public CRVDibDC
{
public:
    CWatchedCanvas(int w, int h, int* pDeleted) : CRVDibDC(w, h, 0, 0, 0, 0), m_pDeleted(pDeleted) {}
    ~CWatchedCanvas() override { (*m_pDeleted)++; }

private:
    int* m_pDeleted;
};

TEST(DIBDC32, ReleaseOnAFreshObjectDeletesIt)
{
    int deleted = 0;
    CDIBDC32* dib = new CDIBDC32(new CWatchedCanvas(4, 4, &deleted));
    EXPECT_EQ(dib->RefCount(), 1);
    dib->Release();
    EXPECT_EQ(deleted, 1);
}

TEST(DIBDC32, EachRetainNeedsItsRelease)
{
    int deleted = 0;
    CDIBDC32* dib = new CDIBDC32(new CWatchedCanvas(4, 4, &deleted));
    dib->Retain();
    dib->Retain();
    EXPECT_EQ(dib->RefCount(), 3);
    dib->Release();
    dib->Release();
    EXPECT_EQ(deleted, 0);
    EXPECT_NE(dib->DibDC(), nullptr);
    dib->Release();
    EXPECT_EQ(deleted, 1);
}

TEST(DIBDC32, GarbageReleaseIsRegistered)
{
    // Linking this class in sets the main window's hook; the garbage drops one
    // reference per entry.
    ASSERT_NE(CMainWnd::g_pfnReleaseDIB, nullptr);
    int deleted = 0;
    CDIBDC32* dib = new CDIBDC32(new CWatchedCanvas(2, 2, &deleted));
    dib->Retain();
    CMainWnd::g_pfnReleaseDIB(dib);
    EXPECT_EQ(dib->RefCount(), 1);
    EXPECT_EQ(deleted, 0);
    CMainWnd::g_pfnReleaseDIB(dib);
    EXPECT_EQ(deleted, 1);
    CMainWnd::g_pfnReleaseDIB(nullptr);
}

TEST(DIBDC32, NoCanvasNoTexture)
{
    CDIBDC32* dib = new CDIBDC32(nullptr);
    EXPECT_EQ(dib->GetGLDIB(), nullptr);
    dib->OnGLContextLost();
    dib->Release();
}

class DIBDC32GL : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string why = gl.Open(16, 16);
        if (!why.empty())
            GTEST_SKIP() << why;
    }
    COffscreenGL gl;
};

TEST_F(DIBDC32GL, FirstUseMakesTheTextureAndFreesTheCanvas)
{
    int deleted = 0;
    CWatchedCanvas* canvas = new CWatchedCanvas(5, 3, &deleted);
    canvas->Fill(0xFF0000FF);
    CDIBDC32* dib = new CDIBDC32(canvas);
    CGLDIB* tex = dib->GetGLDIB();
    ASSERT_NE(tex, nullptr);
    EXPECT_TRUE(tex->HasTexture());
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(dib->DibDC(), nullptr);
    EXPECT_EQ(dib->GetGLDIB(), tex);   // made once

    // After a context loss the image is gone for good: the store reloads it.
    dib->OnGLContextLost();
    EXPECT_EQ(dib->GetGLDIB(), nullptr);
    dib->Release();
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(DIBDC32GL, ReleaseFreesTheTextureOnTheDrawingThread)
{
    CRVDibDC* canvas = new CRVDibDC(4, 4, 0, 0, 0, 0);
    canvas->Fill(0);
    CDIBDC32* dib = new CDIBDC32(canvas);
    ASSERT_NE(dib->GetGLDIB(), nullptr);
    int before = GLTrashCount();
    dib->Release();
    // The texture name waits in the GL trash for the drawing thread's flush.
    EXPECT_EQ(GLTrashCount(), before + 1);
}

TEST_F(DIBDC32GL, ACanvasWithoutPixelsGetsNoTextureAndIsKept)
{
    CDIBDC32* dib = new CDIBDC32(new CRVDibDC(1 << 20, 1 << 20, 0, 0, 0, 0));
    EXPECT_EQ(dib->GetGLDIB(), nullptr);
    EXPECT_NE(dib->DibDC(), nullptr);
    dib->Release();
}
}  // namespace

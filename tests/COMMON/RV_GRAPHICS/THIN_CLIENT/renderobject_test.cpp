// Render objects: reference counting, the view values, the base operations,
// and that the last reference dropped off the drawing thread never destroys
// the object there.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <memory>
#include <thread>
#include <type_traits>

#include "gl_thread.h"
#include "mainwnd.h"
#include "renderobject.h"
#include "rgb.h"

namespace {

// Nothing outside Release can destroy a render object.
static_assert(!std::is_destructible<CRenderObject>::value, "render objects die only through Release");

std::atomic<int> g_iDestroyed{0};
pthread_t g_destroyer;

class CTestObject : public CRenderObject
{
public:
    void Update(RVT_YUV_DATA*) override {}
    void UpdateGL() override {}
    SIZE SourceSize() override { return SIZE{4, 3}; }
    int Render(CRVRect, RENDEROBJECT_ORIENTATION, RVT_MATRIX_CONFIG*, const float*, RVT_RENDER_PARAMS*) override
    {
        return 0;
    }
    using CRenderObject::Update;

protected:
    ~CTestObject() override
    {
        g_destroyer = pthread_self();
        g_iDestroyed++;
    }
};
static_assert(!std::is_destructible<CTestObject>::value, "subclasses keep the destructor protected");

class CCountedBuf : public CRGBBuf
{
public:
    CCountedBuf() : CRGBBuf(3, 4, 4) {}
    ~CCountedBuf() override { s_iDeleted++; }
    static int s_iDeleted;
};
int CCountedBuf::s_iDeleted = 0;

class RenderObject : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_iDestroyed = 0;
        m_bRenderGLBefore = CSurf::g_bRenderGL;
        CSurf::g_bRenderGL = 0;
    }
    void TearDown() override { CSurf::g_bRenderGL = m_bRenderGLBefore; }
    int m_bRenderGLBefore = 0;
};

TEST_F(RenderObject, CountingAndTheBaseOperations)
{
    CGLDrawingScope drawing;
    CTestObject* p = new CTestObject;
    EXPECT_EQ(p->RefCount(), 1);
    EXPECT_EQ(p->GetTextureID(), -1);
    EXPECT_EQ(p->CanAcceptSize(640, 480), 1);
    EXPECT_EQ(p->GetWritePtrs(nullptr, 640, 480, nullptr), 0);

    // The base takes ownership of a buffer it is given and drops it.
    CCountedBuf::s_iDeleted = 0;
    p->Update(static_cast<CRGBBuf*>(new CCountedBuf));
    EXPECT_EQ(CCountedBuf::s_iDeleted, 1);

    p->Retain();
    p->Release();
    EXPECT_EQ(g_iDestroyed, 0);
    EXPECT_EQ(p->RefCount(), 1);
    p->Release();
    EXPECT_EQ(g_iDestroyed, 1);
}

TEST_F(RenderObject, ViewValuesFlagOnlyAChange)
{
    CGLDrawingScope drawing;
    CTestObject* p = new CTestObject;
    p->SetViewCoords(0, 0, 0);
    EXPECT_FALSE(p->ViewChanged());
    p->SetViewCoords(1, 2, 3);
    EXPECT_TRUE(p->ViewChanged());
    EXPECT_EQ(p->ViewCoord(2), 3);
    p->ClearViewChanged();
    p->SetViewCoords(1, 2, 3);
    EXPECT_FALSE(p->ViewChanged());
    p->Release();
}

TEST_F(RenderObject, LastReleaseOffTheDrawingThreadWaitsForTheNextFrame)
{
    std::unique_ptr<CMainWnd> wnd(new CMainWnd(nullptr, 1, 64, 64, 64, 64, 1));
    CTestObject* p = new CTestObject;
    p->Retain();
    std::thread producer([p] {
        p->Release();
        p->Release();   // the last one
    });
    producer.join();
    EXPECT_EQ(g_iDestroyed, 0);
    EXPECT_EQ(wnd->GarbageObjects(), 1);
    EXPECT_EQ(p->RefCount(), 1);    // the garbage's reference

    wnd->RenderScreen();
    EXPECT_EQ(g_iDestroyed, 1);
    EXPECT_TRUE(pthread_equal(g_destroyer, pthread_self()));
    EXPECT_EQ(wnd->GarbageObjects(), 0);

    // Handed to the garbage directly, it is released by the next frame too;
    // a reference still held elsewhere keeps it alive.
    CTestObject* q = new CTestObject;
    q->Retain();
    wnd->AddToGarbage(q);
    wnd->RenderScreen();
    EXPECT_EQ(g_iDestroyed, 1);
    EXPECT_EQ(q->RefCount(), 1);
    {
        CGLDrawingScope drawing;
        q->Release();
    }
    EXPECT_EQ(g_iDestroyed, 2);
}

TEST_F(RenderObject, WithoutAMainWindowNothingDrawsSoItGoesAtOnce)
{
    ASSERT_EQ(g_pMainWindow, nullptr);
    CTestObject* p = new CTestObject;
    std::thread([p] { p->Release(); }).join();
    EXPECT_EQ(g_iDestroyed, 1);
}

}  // namespace

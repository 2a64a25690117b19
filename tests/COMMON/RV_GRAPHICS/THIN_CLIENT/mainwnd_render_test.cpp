// Redraw requests, drawing the tree, and the garbage that only the drawing
// thread releases.
#include <gtest/gtest.h>

#include <pthread.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "engine_fixture.h"
#include "mainwnd.h"
#include "rvtick.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

std::atomic<int> g_iDeleted{ 0 };
pthread_t g_deleter;

class CTrackedSurf : public CSurf
{
public:
    CTrackedSurf(CSurf* pParent, int iID) : CSurf(pParent, iID, R(0, 0, 10, 10), R(0, 0, 10, 10)) {}
    ~CTrackedSurf() override
    {
        g_deleter = pthread_self();
        g_iDeleted++;
    }
};

class MainWndRender : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        g_iDeleted = 0;
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 800, 600, 1));
    }
    void TearDown() override
    {
        wnd.reset();
        EngineFixture::TearDown();
    }
    std::unique_ptr<CMainWnd> wnd;
};

TEST_F(MainWndRender, ValidateAsksTheViewOnlyWhenARedrawIsDue)
{
    RVT_MATRIX_CONFIG config;
    wnd->ValidateScreen(&config);
    EXPECT_EQ(g_GLDelegateHooks.iValidateCalls, 0);
    wnd->SetStateBits(CSurf::SS_NEEDS_REDRAW);
    wnd->ValidateScreen(&config);
    EXPECT_EQ(g_GLDelegateHooks.iValidateCalls, 1);
    EXPECT_FALSE(wnd->StateFlags() & CSurf::SS_NEEDS_REDRAW);
    wnd->ValidateScreen(&config);
    EXPECT_EQ(g_GLDelegateHooks.iValidateCalls, 1);
}

TEST_F(MainWndRender, TreeChangeIsRedrawnAgainHalfASecondLater)
{
    wnd->StartAnimationHandler();
    Sleep(50);
    uint32_t start = RVGetTickCount();
    wnd->SetTreeChanged();
    uint32_t firstAt = 0, secondAt = 0;
    while (RVTickSince(start) < 2000 && !secondAt) {
        int n = g_GLDelegateHooks.iValidateCalls;
        if (n >= 1 && !firstAt)
            firstAt = RVTickSince(start);
        if (n >= 2)
            secondAt = RVTickSince(start);
        Sleep(2);
    }
    // At once for the change itself, then once more after 500 ms of quiet.
    EXPECT_LT(firstAt, 200u);
    EXPECT_GE(secondAt, 495u);
    EXPECT_LT(secondAt, 900u);
    Sleep(300);
    EXPECT_EQ(g_GLDelegateHooks.iValidateCalls, 2);
    EXPECT_FALSE(wnd->StateFlags() & CSurf::SS_DEFERRED_REDRAW);
}

TEST_F(MainWndRender, SurfacesAreDeletedOnlyByTheDrawingThread)
{
    CSurf* page = new CTrackedSurf(wnd.get(), 1);
    CSurf* child = new CTrackedSurf(page, 2);
    page->AddChildTail(child);
    wnd->AddChildTail(page);
    wnd->SetDelayCallback(child, 10000, 0);
    ASSERT_TRUE(wnd->HasTimers());

    wnd->TreeLock()->RVLock();
    wnd->AddToGarbage(wnd->RemoveSubSurf(1));
    wnd->TreeLock()->RVUnlock();
    EXPECT_EQ(g_iDeleted, 0);
    EXPECT_EQ(wnd->GarbageSurfaces(), 1);
    EXPECT_FALSE(wnd->HasTimers());     // prepared: its timers are gone

    std::thread drawing([this] { wnd->RenderScreen(); });
    pthread_t drawer = drawing.native_handle();
    drawing.join();
    EXPECT_EQ(g_iDeleted, 2);
    EXPECT_TRUE(pthread_equal(g_deleter, drawer));
    EXPECT_EQ(wnd->GarbageSurfaces(), 0);
}

TEST_F(MainWndRender, ClearingASurfaceDefersEveryChild)
{
    CSurf* page = new CSurf(wnd.get(), 1, R(0, 0, 10, 10), R(0, 0, 10, 10));
    wnd->AddChildTail(page);
    for (int i = 0; i < 300; i++)   // more than a frame's worth
        page->AddChildTail(new CTrackedSurf(page, 10 + i));
    page->DeleteAllSubSurf();
    wnd->AddToGarbage((CSurf*)nullptr);     // refused
    EXPECT_EQ(page->FirstChild(), nullptr);
    EXPECT_EQ(g_iDeleted, 0);
    EXPECT_EQ(wnd->GarbageSurfaces(), 300);
    wnd->CleanupGarbage();
    EXPECT_EQ(g_iDeleted, 300);
}

TEST_F(MainWndRender, RootColourZeroKeepsTheLastClearColour)
{
    wnd->RenderScreen();
    EXPECT_EQ(wnd->ClearColor(), 0u);
    wnd->SetColor(ORIENT_0, 0x123456);
    wnd->RenderScreen();
    EXPECT_EQ(wnd->ClearColor(), 0x123456u);
    wnd->SetColor(ORIENT_0, 0);
    wnd->RenderScreen();
    EXPECT_EQ(wnd->ClearColor(), 0x123456u);
}

TEST_F(MainWndRender, ChildrenAreDrawnWithTheRootsAlpha)
{
    std::vector<RENDER_CALL> log;
    CRecordingSurf::AddTo(wnd.get(), 1, R(10, 20, 100, 100), &log);
    CRecordingSurf::AddTo(wnd.get(), 2, R(900, 0, 10, 10), &log);   // off the screen
    wnd->SetAlpha(200);
    wnd->RenderScreen();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].iID, 1);
    EXPECT_EQ(log[0].iAlpha, 200);
    EXPECT_EQ(log[0].iOffsetX, 10);
    EXPECT_EQ(log[0].iOffsetY, 20);
}

TEST_F(MainWndRender, CameraPutsPixelsOnTheScreen)
{
    // The combined matrix takes pixel (800, 600) to the bottom-right corner.
    const float* m = wnd->CombinedMatrix();
    float x = m[0] * 800 + m[4] * 600 + m[12];
    float y = m[1] * 800 + m[5] * 600 + m[13];
    float w = m[3] * 800 + m[7] * 600 + m[15];
    EXPECT_NEAR(x / w, 1.0f, 0.01f);
    EXPECT_NEAR(y / w, -1.0f, 0.01f);
}

}  // namespace

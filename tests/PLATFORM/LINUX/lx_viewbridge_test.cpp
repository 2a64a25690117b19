// The view bridge with a real main window, drawing offscreen, in a session
// with the simulated controller: redraw requests from engine threads, the
// save prompt's exchange, mouse input, and replacing the main window.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "controller_sim.h"
#include "gldelegate.h"
#include "lx_eglcontext.h"
#include "lx_glview.h"
#include "lx_mainthread.h"
#include "lx_mainwnd.h"
#include "mainwnd.h"
#include "rvserver.h"
#include "scoped_temp_dir.h"

namespace {

class ViewBridgeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.ok());
        m_sim.SetPassword("pw");
        ASSERT_EQ(1, m_sim.Start(0));
        g_pRVServer = new CRVServer((m_dir.path() + "/").c_str());
        g_pRVServer->SetLoginContext(LOGIN_CONTEXT_VIEWER, CRVString("pw"));
        sockaddr_in addr;
        memset(&addr, 0, sizeof addr);
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(m_sim.Port());
        ASSERT_EQ(1, g_pRVServer->CreateConnection(&addr, nullptr, 2000));
        const int iSession = CLxMainWnd::InitSession(0, 1024, 576);
        ASSERT_NE(-1, iSession);
        std::string why;
        CLxEGLContext* pContext = CLxEGLContext::Create(1024, 576, &why);
        ASSERT_NE(nullptr, pContext) << why;
        m_pView = new CLxGLView(pContext, &m_MainThread, iSession);
    }

    void TearDown() override
    {
        delete m_pView;
        delete g_pRVServer;
        g_pRVServer = nullptr;
        m_sim.Stop();
    }

    // Runs fn on an engine-like thread while this thread serves the interface
    // queue, as the program's loop does.
    template <typename F>
    auto OnEngineThread(F fn) -> decltype(fn())
    {
        auto result = std::async(std::launch::async, fn);
        while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
            m_MainThread.RunPending();
        return result.get();
    }

    ScopedTempDir m_dir;
    CControllerSim m_sim;
    CLxMainThread m_MainThread;
    CLxGLView* m_pView = nullptr;
};

// An engine thread's redraw request draws at once, on that thread, and leaves
// the context free for the next frame elsewhere.
TEST_F(ViewBridgeTest, RedrawRequestDrawsOnTheCallingThread)
{
    CLxMainWnd* pWnd = m_pView->MainWnd();
    const uint32_t before = pWnd->FrameCount();
    std::thread::id drewOn;
    OnEngineThread([&] {
        GLDelegateValidateScreen(pWnd);
        drewOn = std::this_thread::get_id();
        return m_pView->Context()->IsCurrent();
    });
    EXPECT_EQ(before + 1, pWnd->FrameCount());
    std::vector<unsigned char> rgba;
    ASSERT_TRUE(m_pView->RenderAndCapture(&rgba));
    EXPECT_EQ(1024u * 576u * 4u, rgba.size());
    EXPECT_FALSE(m_pView->Context()->IsCurrent());
}

TEST_F(ViewBridgeTest, SavePromptExchange)
{
    CLxMainWnd* pWnd = m_pView->MainWnd();
    std::string extSeen;
    bool bOnInterfaceThread = false;
    std::string answer;
    int bAnswer = 1;
    pWnd->SetSavePrompt([&](const std::string& ext, std::string* pPath) {
        extSeen = ext;
        bOnInterfaceThread = m_MainThread.IsMainThread() != 0;
        *pPath = answer;
        return bAnswer;
    });
    auto ask = [&](wchar_t* pBuf, int iSize) {
        return OnEngineThread([&] { return GLDelegateFileSavePrompt(pWnd, pBuf, iSize, L"txt"); });
    };

    // A choice: the whole buffer is zeroed, the URL copied in.
    wchar_t buf[64];
    wmemset(buf, L'X', 64);
    answer = "/tmp/d\xC3\xA9j\xC3\xA0/notes.txt";
    EXPECT_EQ(1, ask(buf, 64));
    EXPECT_EQ("txt", extSeen);
    EXPECT_TRUE(bOnInterfaceThread);
    EXPECT_EQ(std::wstring(L"file:///tmp/d\u00E9j\u00E0/notes.txt"), std::wstring(buf));
    for (int i = (int)wcslen(buf); i < 64; ++i)
        ASSERT_EQ(0, buf[i]) << i;

    // A location longer than the buffer is cut to size - 1 characters.
    wchar_t small[8];
    wmemset(small, L'X', 8);
    EXPECT_EQ(1, ask(small, 8));
    EXPECT_EQ(std::wstring(L"file://"), std::wstring(small));

    // Cancelled, or no interface loop any more: 0 and the buffer untouched.
    wmemset(buf, L'X', 64);
    bAnswer = 0;
    EXPECT_EQ(0, ask(buf, 64));
    EXPECT_EQ(std::wstring(64, L'X'), std::wstring(buf, 64));
    bAnswer = 1;
    m_MainThread.Close();
    EXPECT_EQ(0, ask(buf, 64));
    EXPECT_EQ(std::wstring(64, L'X'), std::wstring(buf, 64));
    EXPECT_EQ(0, ask(nullptr, 64));
    EXPECT_EQ(0, ask(buf, 0));
}

// Window coordinates come from the top left; the engine takes them from the
// bottom left. A drag on the bare background of more than a fifth of the
// width to the right is the swipe 20220 with 5, once per touch. Moves without
// a pressed button are no drag.
TEST_F(ViewBridgeTest, MouseDragBecomesASwipe)
{
    m_pView->MouseMove(900, 300);
    m_pView->MouseDown(100, 300);
    m_pView->MouseMove(200, 300);
    m_pView->MouseMove(400, 300);
    m_pView->MouseMove(600, 300);
    m_pView->MouseUp(600, 300);
    m_pView->MouseMove(1000, 300);
    std::unique_ptr<CRVMSG> swipe = m_sim.WaitFor(20220, 3000);
    ASSERT_NE(nullptr, swipe);
    EXPECT_EQ(5, swipe->GetInt());
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(1, m_sim.CountFrames(20220));

    m_pView->MouseDown(900, 100);
    m_pView->MouseMove(500, 100);
    swipe = m_sim.WaitFor(20220, 3000);
    ASSERT_NE(nullptr, swipe);
    EXPECT_EQ(4, swipe->GetInt());
    m_pView->MouseUp(500, 100);
}

TEST_F(ViewBridgeTest, OnlyTheViewerKeysAreTakenAsKeys)
{
    CLxMainWnd* pWnd = m_pView->MainWnd();
    EXPECT_EQ(1, pWnd->OnKey(40));    // SDL_SCANCODE_RETURN
    EXPECT_EQ(1, pWnd->OnKey(42));    // SDL_SCANCODE_BACKSPACE
    EXPECT_EQ(1, pWnd->OnKey(76));    // SDL_SCANCODE_DELETE
    EXPECT_EQ(1, pWnd->OnKey(80));    // SDL_SCANCODE_LEFT
    EXPECT_EQ(0, pWnd->OnKey(4));     // SDL_SCANCODE_A
}

// A second main window replaces the first after stopping its threads; the
// first link then does nothing.
TEST_F(ViewBridgeTest, SecondMainWindowReplacesTheFirst)
{
    CLxMainWnd* pFirst = m_pView->MainWnd();
    CMainWnd* pOld = pFirst->Engine();
    ASSERT_NE(nullptr, pOld);
    ASSERT_TRUE(m_pView->Context()->MakeCurrent());
    CLxMainWnd* pSecond = new CLxMainWnd(m_pView, &m_MainThread, 7, 1024, 576, 1);
    EXPECT_EQ(g_pMainWindow, pSecond->Engine());
    EXPECT_EQ(7, g_pMainWindow->SessionID());
    EXPECT_EQ(nullptr, pFirst->Engine());
    const uint32_t before = pFirst->FrameCount();
    pFirst->Render();
    pFirst->OnMouseDown(10, 10);
    EXPECT_EQ(before, pFirst->FrameCount());
    delete pSecond;
    EXPECT_EQ(nullptr, g_pMainWindow);
    m_pView->Context()->ReleaseCurrent();
}

}  // namespace

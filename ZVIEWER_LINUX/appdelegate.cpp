#include "appdelegate.h"

#include <SDL.h>
#include <stdio.h>
#include <string.h>

#include <chrono>

#include "demo_controller.h"
#include "lx_connectwindow.h"
#include "lx_directconnect.h"
#include "lx_glview.h"
#include "lx_interrupt.h"
#include "lx_mainwnd.h"
#include "lx_prefs.h"
#include "lx_runloop.h"
#include "lx_saveprompt.h"
#include "lx_sdlwindow.h"
#include "lx_sleepwatch.h"
#include "lx_sysinfo.h"
#include "rvcomm.h"
#include "rvlog.h"

namespace {

// The connect page's search timer, and the longest the loop sleeps while
// nothing animates.
const double kSearchInterval = 0.5;
enum { IDLE_SLICE_MS = 50, ANIMATION_SLICE_MS = 16 };

double Now()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

LX_EXIT_CODE CAppDelegate::Run(const LX_OPTIONS& options)
{
    if (options.bLogLevel)
        RVSetLogLevel(options.eLogLevel);
    CAppDelegate app(options);
    std::string why;
    const LX_EXIT_CODE eLaunch = app.ApplicationDidFinishLaunching(&why);
    if (eLaunch != LX_EXIT_OK) {
        fprintf(stderr, "zviewer: %s\n", why.c_str());
        return eLaunch;
    }
    CLxInterruptScope interrupts;
    SDL_StartTextInput();
    while (app.RunOnce()) {
    }
    SDL_StopTextInput();
    app.ApplicationWillTerminate();
    return LX_EXIT_OK;
}

CAppDelegate::CAppDelegate(const LX_OPTIONS& options) : m_Options(options)
{
}

CAppDelegate::~CAppDelegate()
{
    ApplicationWillTerminate();
}

LX_EXIT_CODE CAppDelegate::ApplicationDidFinishLaunching(std::string* pError)
{
    if (!LxPrepareCacheDir(m_Options.sCacheDir.empty() ? nullptr : m_Options.sCacheDir.c_str(), &m_sCacheDir,
                           pError))
        return LX_EXIT_FAILURE;
    if (!CRVComm::InitInstance(m_sCacheDir)) {
        *pError = "cannot create the client session";
        return LX_EXIT_FAILURE;
    }
    // Without a window there is no display, or no OpenGL for it.
    m_pWindow.reset(CLxConnectWindow::Create("Marlo", pError));
    if (!m_pWindow)
        return LX_EXIT_DISPLAY;
    // Calls posted from engine threads, and status texts from the connect
    // thread, wake the event wait.
    m_MainThread.SetWakeup([this] { Wake(); });

    // The page shows the window and starts searching as it is built.
    m_pConnectPage.reset(
        new CConnectPage(this, CLxPrefs::DefaultPath(), m_Options.dwLocatorIP, m_Options.wLocatorPort));
    m_dNextSearch = Now() + kSearchInterval;

    m_pSleepWatch.reset(new CLxSleepWatch);
    m_pSleepWatch->OnWillSleep = [this] { ReceiveSleepNote(); };
    m_pSleepWatch->OnDidWake = [this] { ReceiveWakeNote(); };
    if (!m_pSleepWatch->Open())
        m_pSleepWatch.reset();
    RVLog(RV_LOG_INFO, "App Finished Launching");
    return LX_EXIT_OK;
}

void CAppDelegate::ApplicationWillTerminate()
{
    if (m_bTerminated)
        return;
    m_bTerminated = true;
    RVLog(RV_LOG_INFO, "applicationWillTerminate");
    m_pSleepWatch.reset();
    CloseViewer();
    // A login still waiting for its controller gives up at once; only a TCP
    // connect can still take its few seconds, so the window goes first.
    if (m_pWindow)
        m_pWindow->Hide();
    if (m_pConnectPage && m_pConnectPage->ConnectionState() == CConnectPage::STATE_CONNECTING)
        RVLog(RV_LOG_INFO, "abandoning the connection attempt");
    CRVComm::AbortConnect();
    m_pConnectPage.reset();     // saves the settings, ends its connect thread
    m_pWindow.reset();
    m_MainThread.SetWakeup(nullptr);
    CRVComm::ReleaseInstance();
    if (m_pDemo)
        m_pDemo->Stop();
    m_pDemo.reset();
}

// Going to sleep ends the session as quitting would, so that no half-dead
// link survives; waking up starts a fresh one and shows the connect window.
void CAppDelegate::ReceiveSleepNote()
{
    RVLog(RV_LOG_INFO, "receiveSleepNote: PrepareForSleep");
    EndSession();
}

void CAppDelegate::ReceiveWakeNote()
{
    RVLog(RV_LOG_INFO, "receiveWakeNote: PrepareForSleep");
    EndSession();
    CRVComm::InitInstance(m_sCacheDir);
    BringToFront();
}

void CAppDelegate::EndSession()
{
    const bool bViewer = m_pView != nullptr;
    CloseViewer();
    if (bViewer)
        m_pConnectPage->OnViewerWindowClosed();
    CRVComm::AbortConnect();
    m_pConnectPage->FinishConnect();
    CRVComm::ReleaseInstance();
}

int CAppDelegate::RunOnce()
{
    // What was drawn last says whether the window animates: every change that
    // starts an animation (Connect, a status, a tick's result) asks for a frame.
    const bool bAnimating = m_pWindow->IsShown() && CLxConnectWindow::IsAnimating(m_LastDrawn);
    SDL_Event ev;
    bool bDrawNow = false;
    if (SDL_WaitEventTimeout(&ev, bAnimating ? ANIMATION_SLICE_MS : IDLE_SLICE_MS)) {
        do {
            if (!HandleEvent(ev, &bDrawNow))
                return 0;
            // This ImGui keeps only whether a key is down: a press and its
            // release in one batch would never be seen, so a frame goes between.
            if (bDrawNow)
                break;
        } while (SDL_PollEvent(&ev));
    }
    m_MainThread.RunPending();
    if (*CLxInterruptScope::Flag()) {
        RVLog(RV_LOG_INFO, "Terminating...");
        return 0;
    }
    if (m_pSleepWatch && m_pSleepWatch->Dispatch() < 0)
        m_pSleepWatch.reset();

    // A session the controller ended, or whose link dropped, is closed here;
    // the connect page sees it on its next tick and brings itself back.
    LX_RUN_END end;
    if (m_pView != nullptr && LxSessionOver(&end, false))
        CRVComm::Disconnect();

    const double dNow = Now();
    if (dNow >= m_dNextSearch) {
        m_dNextSearch = dNow + kSearchInterval;
        // A tick redraws the window only when it changed what is shown: the
        // list is polled twice a second while nothing else happens.
        if (m_pConnectPage->SearchTimerRunning()) {
            m_pConnectPage->OnSearchTimer();
            if (m_pConnectPage->Snapshot(dNow) != m_LastDrawn)
                m_bRedraw = true;
        }
    }
    if (m_pWindow->IsShown() && (m_bRedraw || bDrawNow || bAnimating))
        DrawConnectWindow();
    return 1;
}

int CAppDelegate::HandleEvent(const SDL_Event& ev, bool* pbDrawNow)
{
    if (ev.type == SDL_QUIT) {
        m_pConnectPage->OnConnectWindowClosed();
        return 0;
    }
    if (ev.type == SDL_USEREVENT) {
        m_bRedraw = true;
        return 1;
    }
    const uint32_t uConnectID = m_pWindow->WindowID();
    // Its close button, or Ctrl+Q as in the viewer window.
    if (LxIsCloseRequest(ev, uConnectID)) {
        m_pConnectPage->OnConnectWindowClosed();
        return 0;
    }
    if (m_pView != nullptr) {
        if (LxIsCloseRequest(ev, m_uViewerWindowID)) {
            CloseViewer();
            m_pConnectPage->OnViewerWindowClosed();
            return 1;
        }
        m_pView->HandleEvent(ev, m_uViewerWindowID);
    }
    // Events of other windows reach ImGui too, but only this window's
    // focus, mouse and keys matter to it.
    const uint32_t uEventWindow = ev.type == SDL_WINDOWEVENT ? ev.window.windowID
                                  : ev.type == SDL_KEYDOWN || ev.type == SDL_KEYUP ? ev.key.windowID
                                  : ev.type == SDL_TEXTINPUT ? ev.text.windowID
                                  : ev.type == SDL_MOUSEMOTION ? ev.motion.windowID
                                  : ev.type == SDL_MOUSEBUTTONDOWN || ev.type == SDL_MOUSEBUTTONUP ? ev.button.windowID
                                  : ev.type == SDL_MOUSEWHEEL ? ev.wheel.windowID
                                                              : uConnectID;
    if (uEventWindow == uConnectID) {
        m_pWindow->ProcessEvent(ev);
        m_bRedraw = true;
        if (ev.type == SDL_KEYDOWN || ev.type == SDL_MOUSEBUTTONDOWN)
            *pbDrawNow = true;
    }
    return 1;
}

void CAppDelegate::DrawConnectWindow()
{
    m_bRedraw = false;
    const double dNow = Now();
    m_LastDrawn = m_pConnectPage->Snapshot(dNow);
    const LX_CONNECT_INPUT in = m_pWindow->Draw(m_LastDrawn, dNow);
    CConnectPage& page = *m_pConnectPage;
    if (in.iRowChosen >= 0)
        page.OnRowSelected(in.iRowChosen);
    if (in.bNameEdited)
        page.OnNameEdited(in.sName);
    if (in.bPasswordEdited)
        page.OnPasswordEdited(in.sPassword);
    if (in.bDemo)
        page.TryDemo();
    else if (in.bConnect)
        page.Connect();
    if (in.iRowChosen >= 0 || in.bNameEdited || in.bPasswordEdited || in.bConnect || in.bDemo)
        m_bRedraw = true;
}

int CAppDelegate::OpenViewer(const std::string& sSystemName, int iSessionID)
{
    std::string why;
    const std::string sTitle = "Marlo : " + sSystemName;
    CLxSDLWindow* pWindow = CLxSDLWindow::Create(sTitle.c_str(), LX_SCREEN_WIDTH, LX_SCREEN_HEIGHT, &why);
    if (pWindow == nullptr) {
        RVLog(RV_LOG_ERROR, "cannot open the viewer window: %s", why.c_str());
        return 0;
    }
    m_uViewerWindowID = pWindow->WindowID();
    m_MainThread.Open();    // a closed view closed the queue
    m_pView = new CLxGLView(pWindow, &m_MainThread, iSessionID);
    m_pView->MainWnd()->SetSavePrompt(LxRunSavePrompt);
    m_pView->Render();
    return 1;
}

void CAppDelegate::CloseViewer()
{
    if (m_pView == nullptr)
        return;
    delete m_pView;     // shuts the main window down and closes the link
    m_pView = nullptr;
    m_uViewerWindowID = 0;
}

void CAppDelegate::BringToFront()
{
    m_pWindow->Show();
    m_bRedraw = true;
}

void CAppDelegate::HideWindow()
{
    m_pWindow->Hide();
}

void CAppDelegate::Wake()
{
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    ev.type = SDL_USEREVENT;
    SDL_PushEvent(&ev);
}

int CAppDelegate::StartDemo(uint16_t* pPort)
{
    if (!m_pDemo) {
        std::unique_ptr<CDemoController> pDemo(new CDemoController);
        if (!pDemo->Start(0)) {
            RVLog(RV_LOG_ERROR, "cannot start the demo controller on 127.0.0.1");
            return 0;
        }
        RVLog(RV_LOG_INFO, "demo controller on 127.0.0.1:%u", (unsigned)pDemo->Port());
        m_pDemo = std::move(pDemo);
    }
    *pPort = m_pDemo->Port();
    return 1;
}

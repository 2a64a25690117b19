// CAppDelegate: the viewer as a desktop application. It creates the client
// session for the application's life (and anew after a system sleep), shows
// the connect window, opens the viewer window for the session the connect
// page starts, and runs the one event loop that serves both windows.
//
// Closing the viewer window returns to the connect window; closing the
// connect window (or SIGINT/SIGTERM) ends the application.
#pragma once

#include <stdint.h>

#include <memory>
#include <string>

#include "connectpage.h"
#include "lx_args.h"
#include "lx_exitcodes.h"
#include "lx_mainthread.h"

class CDemoController;
class CLxConnectWindow;
class CLxGLView;
class CLxSleepWatch;
union SDL_Event;

class CAppDelegate : public CConnectPageHost
{
public:
    // Runs the application until the connect window closes. LX_EXIT_OK, or
    // LX_EXIT_DISPLAY without a display, LX_EXIT_FAILURE when the cache
    // directory or the session cannot be made.
    static LX_EXIT_CODE Run(const LX_OPTIONS& options);

    // ---- CConnectPageHost ----
    int OpenViewer(const std::string& sSystemName, int iSessionID) override;
    void CloseViewer() override;
    void BringToFront() override;
    void HideWindow() override;
    void Wake() override;
    int StartDemo(uint16_t* pPort) override;

private:
    explicit CAppDelegate(const LX_OPTIONS& options);
    ~CAppDelegate() override;

    // LX_EXIT_OK when running; otherwise the exit code, with the reason.
    LX_EXIT_CODE ApplicationDidFinishLaunching(std::string* pError);
    void ApplicationWillTerminate();
    void ReceiveSleepNote();
    void ReceiveWakeNote();
    // Closes the viewer (the page comes back) and releases the session.
    void EndSession();
    // One round of the loop: events, queued calls, timers, the session, a
    // frame of the connect window. 0 once the application is to end.
    int RunOnce();
    // 0 when the event ends the application.
    int HandleEvent(const SDL_Event& ev, bool* pbDrawNow);
    void DrawConnectWindow();

    LX_OPTIONS m_Options;
    std::string m_sCacheDir;
    CLxMainThread m_MainThread;
    std::unique_ptr<CLxConnectWindow> m_pWindow;
    std::unique_ptr<CConnectPage> m_pConnectPage;
    CLxGLView* m_pView = nullptr;
    uint32_t m_uViewerWindowID = 0;
    std::unique_ptr<CDemoController> m_pDemo;
    std::unique_ptr<CLxSleepWatch> m_pSleepWatch;
    CONNECT_PAGE_VIEW m_LastDrawn;      // what the connect window shows now
    double m_dNextSearch = 0;
    bool m_bRedraw = true;
    bool m_bTerminated = false;         // the teardown ran (it runs once, also after a failed start)
};

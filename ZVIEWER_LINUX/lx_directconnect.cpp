#include "lx_directconnect.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "lx_eglcontext.h"
#include "lx_glview.h"
#include "lx_interrupt.h"
#include "lx_mainthread.h"
#include "lx_mainwnd.h"
#include "lx_runloop.h"
#include "lx_saveprompt.h"
#include "lx_sdlwindow.h"
#include "lx_session.h"
#include "lx_sysinfo.h"
#include "rvlog.h"
#include "rvutf8.h"

namespace {

enum { CONNECT_TIMEOUT_MS = 5000 };

LX_EXIT_CODE Fail(LX_EXIT_CODE code, const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

LX_EXIT_CODE Fail(LX_EXIT_CODE code, const char* pszFormat, ...)
{
    char line[512];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(line, sizeof line, pszFormat, args);
    va_end(args);
    fprintf(stderr, "zviewer: %s\n", line);
    return code;
}

CLxGLContext* CreateContext(const LX_OPTIONS& o, const std::string& sTitle, std::string* pError)
{
    if (o.bHeadless)
        return CLxEGLContext::Create(LX_SCREEN_WIDTH, LX_SCREEN_HEIGHT, pError);
    return CLxSDLWindow::Create(sTitle.c_str(), LX_SCREEN_WIDTH, LX_SCREEN_HEIGHT, pError);
}

LX_EXIT_CODE RunSession(const LX_OPTIONS& o)
{
    std::string why;
    const LX_EXIT_CODE connected = LxConnectDirect(o.sHost, o.wPort, o.sPassword, CONNECT_TIMEOUT_MS, &why);
    if (connected == LX_EXIT_LOGIN)
        return Fail(connected, "login to %s:%u failed: %s", o.sHost.c_str(), (unsigned)o.wPort, why.c_str());
    if (connected != LX_EXIT_OK)
        return Fail(connected, "%s", why.c_str());

    // Both questions are asked before the main window's socket thread reads the link.
    const std::string sName = RVToUtf8(CLxMainWnd::GetSystemName());
    const int iSession = CLxMainWnd::InitSession(0, LX_SCREEN_WIDTH, LX_SCREEN_HEIGHT);
    if (iSession == -1)
        return Fail(LX_EXIT_SESSION, "session start failed: no answer from %s:%u", o.sHost.c_str(),
                    (unsigned)o.wPort);
    RVLog(RV_LOG_INFO, "session %d with \"%s\"", iSession, sName.c_str());

    const std::string sTitle = "Marlo : " + sName;
    CLxGLContext* pContext = CreateContext(o, sTitle, &why);
    if (pContext == nullptr)
        return Fail(LX_EXIT_DISPLAY, "%s", why.c_str());

    CLxMainThread mainThread;
    CLxGLView* pView = new CLxGLView(pContext, &mainThread, iSession);
    if (o.bHeadless)
        pView->MainWnd()->SetSavePrompt([](const std::string&, std::string*) {
            RVLog(RV_LOG_INFO, "no save dialog without a window: the file is not saved");
            return 0;
        });
    else
        pView->MainWnd()->SetSavePrompt(LxRunSavePrompt);

    LX_RUN_CONFIG config;
    config.uWindowID = o.bHeadless ? 0 : static_cast<CLxSDLWindow*>(pContext)->WindowID();
    config.sScreenshot = o.sScreenshot;
    config.iFrames = o.iFrames;
    config.iWaitMs = o.iWaitMs;
    config.pbInterrupt = CLxInterruptScope::Flag();
    const LX_RUN_END end = LxRunViewer(pView, &mainThread, config, &why);
    delete pView;   // shuts the main window down in order and closes the link

    switch (end) {
    case LX_RUN_CLOSED:
        RVLog(RV_LOG_INFO, "Viewer Window Closed...");
        return LX_EXIT_OK;
    case LX_RUN_INTERRUPTED:
        if (!o.sScreenshot.empty())
            return Fail(LX_EXIT_SCREENSHOT, "interrupted before the screenshot was taken");
        return LX_EXIT_OK;
    case LX_RUN_SESSION_ENDED:
        fprintf(stderr, "zviewer: the controller ended the session\n");
        return LX_EXIT_OK;
    case LX_RUN_CAPTURED:
        return LX_EXIT_OK;
    case LX_RUN_CAPTURE_FAILED:
        return Fail(LX_EXIT_SCREENSHOT, "screenshot failed: %s", why.c_str());
    case LX_RUN_CONNECTION_LOST:
    default:
        return Fail(LX_EXIT_CONNECTION_LOST, "Connection lost");
    }
}

}  // namespace

LX_EXIT_CODE LxRunDirectConnect(const LX_OPTIONS& o)
{
    if (o.bLogLevel)
        RVSetLogLevel(o.eLogLevel);
    std::string sCacheDir, why;
    if (!LxPrepareCacheDir(o.sCacheDir.empty() ? nullptr : o.sCacheDir.c_str(), &sCacheDir, &why))
        return Fail(LX_EXIT_FAILURE, "%s", why.c_str());
    if (!LxCreateSession(sCacheDir))
        return Fail(LX_EXIT_FAILURE, "a session exists already");
    CLxInterruptScope interrupts;
    const LX_EXIT_CODE code = RunSession(o);
    LxReleaseSession();
    return code;
}

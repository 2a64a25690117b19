#include "lx_runloop.h"

#include <SDL.h>
#include <string.h>

#include <chrono>
#include <vector>

#include "lx_glview.h"
#include "lx_mainthread.h"
#include "lx_mainwnd.h"
#include "lx_png.h"
#include "mainwnd.h"
#include "rvserver.h"

namespace {

enum { WAIT_SLICE_MS = 20, LINK_CHECK_MS = 250 };

typedef std::chrono::steady_clock CLOCK;

long long MsSince(CLOCK::time_point t)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(CLOCK::now() - t).count();
}

}  // namespace

int LxSessionOver(LX_RUN_END* pEnd, bool bCheckLink)
{
    CMainWnd* pWnd = g_pMainWindow;
    if (pWnd != nullptr && !(pWnd->RunFlags() & CMainWnd::RUN_SOCKET)) {
        *pEnd = (pWnd->RunFlags() & CMainWnd::RUN_SESSION_ENDED) ? LX_RUN_SESSION_ENDED : LX_RUN_CONNECTION_LOST;
        return 1;
    }
    if (bCheckLink && (g_pRVServer == nullptr || !g_pRVServer->IsConnected())) {
        *pEnd = LX_RUN_CONNECTION_LOST;
        return 1;
    }
    return 0;
}

int LxIsCloseRequest(const SDL_Event& ev, unsigned int uWindowID)
{
    if (ev.type == SDL_WINDOWEVENT && ev.window.windowID == uWindowID && ev.window.event == SDL_WINDOWEVENT_CLOSE)
        return 1;
    // Ctrl+Q closes the viewer too: kiosk panels run without a window manager
    // to offer a close button. It types no text, so the engine loses nothing.
    return ev.type == SDL_KEYDOWN && ev.key.windowID == uWindowID && ev.key.keysym.scancode == SDL_SCANCODE_Q &&
           (ev.key.keysym.mod & KMOD_CTRL);
}

namespace {

LX_RUN_END Capture(CLxGLView* pView, const std::string& sPath, std::string* pError)
{
    std::vector<unsigned char> rgba;
    if (!pView->RenderAndCapture(&rgba)) {
        *pError = "cannot read the frame back";
        return LX_RUN_CAPTURE_FAILED;
    }
    if (!LxWritePNG(sPath.c_str(), rgba.data(), pView->Width(), pView->Height(), pError))
        return LX_RUN_CAPTURE_FAILED;
    return LX_RUN_CAPTURED;
}

// Window mode: handles what arrived within uWaitMs; 1 when the window closed.
int PumpWindowEvents(CLxGLView* pView, unsigned int uWindowID, unsigned int uWaitMs)
{
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, (int)uWaitMs))
        return 0;
    do {
        if (ev.type == SDL_QUIT || LxIsCloseRequest(ev, uWindowID))
            return 1;
        pView->HandleEvent(ev, uWindowID);
    } while (SDL_PollEvent(&ev));
    return 0;
}

}  // namespace

LX_RUN_END LxRunViewer(CLxGLView* pView, CLxMainThread* pMainThread, const LX_RUN_CONFIG& config,
                       std::string* pError)
{
    const bool bWindow = config.uWindowID != 0;
    if (bWindow) {
        // Calls posted from engine threads wake the event wait.
        pMainThread->SetWakeup([] {
            SDL_Event ev;
            memset(&ev, 0, sizeof ev);
            ev.type = SDL_USEREVENT;
            SDL_PushEvent(&ev);
        });
        SDL_StartTextInput();
    }
    const CLOCK::time_point start = CLOCK::now();
    CLOCK::time_point lastLinkCheck = start;
    pView->Render();

    LX_RUN_END end = LX_RUN_CLOSED;
    for (;;) {
        if (bWindow) {
            if (PumpWindowEvents(pView, config.uWindowID, WAIT_SLICE_MS)) {
                end = LX_RUN_CLOSED;
                break;
            }
        } else {
            pMainThread->WaitForWork(WAIT_SLICE_MS);
        }
        pMainThread->RunPending();

        if (config.pbInterrupt && *config.pbInterrupt) {
            end = LX_RUN_INTERRUPTED;
            break;
        }
        const bool bCheckLink = MsSince(lastLinkCheck) >= LINK_CHECK_MS;
        if (bCheckLink)
            lastLinkCheck = CLOCK::now();
        if (LxSessionOver(&end, bCheckLink))
            break;
        if (!config.sScreenshot.empty()) {
            const bool bFrames = config.iFrames > 0 && pView->MainWnd()->FrameCount() >= (uint32_t)config.iFrames;
            const bool bTime = config.iWaitMs > 0 && MsSince(start) >= config.iWaitMs;
            if (bFrames || bTime) {
                end = Capture(pView, config.sScreenshot, pError);
                break;
            }
        }
    }
    if (bWindow) {
        SDL_StopTextInput();
        pMainThread->SetWakeup(nullptr);
    }
    return end;
}

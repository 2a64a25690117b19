// The viewer's interface loop once the session runs: window events (or, when
// headless, nothing but the engine's requests), calls posted to the
// interface thread, the end of the session, and the screenshot.
#pragma once

#include <signal.h>

#include <string>

class CLxGLView;
class CLxMainThread;
union SDL_Event;

enum LX_RUN_END
{
    LX_RUN_CLOSED = 0,          // the user closed the window
    LX_RUN_INTERRUPTED,         // SIGINT or SIGTERM
    LX_RUN_CONNECTION_LOST,     // the link dropped
    LX_RUN_SESSION_ENDED,       // the controller ended the session
    LX_RUN_CAPTURED,            // the screenshot was written
    LX_RUN_CAPTURE_FAILED,      // ... or could not be
};

struct LX_RUN_CONFIG
{
    unsigned int uWindowID = 0;             // the SDL window; 0 when headless
    std::string sScreenshot;                // empty: no screenshot
    int iFrames = 0;                        // capture once this many frames were drawn (0: not asked)
    int iWaitMs = 0;                        // ... or this long after the start
    volatile sig_atomic_t* pbInterrupt = nullptr;   // set by a signal handler
};

// Runs until one of the ends above; draws the first frame itself. With a
// screenshot the frame is drawn once more, read back and written as PNG.
// *pError gets a one-line reason for LX_RUN_CAPTURE_FAILED.
LX_RUN_END LxRunViewer(CLxGLView* pView, CLxMainThread* pMainThread, const LX_RUN_CONFIG& config,
                       std::string* pError);

// 1 when the viewer's session is over: the socket loop ended because the link
// dropped or the controller ended the session, or (with bCheckLink) the
// session's link is down although the loop has not seen it yet.
int LxSessionOver(LX_RUN_END* pEnd, bool bCheckLink);
// 1 when the event asks to close the viewer window: its close button or Ctrl+Q.
int LxIsCloseRequest(const SDL_Event& ev, unsigned int uWindowID);

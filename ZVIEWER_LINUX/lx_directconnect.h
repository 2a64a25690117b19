// zviewer --connect: one session with a controller at a known address, in a
// window or headless, from connecting to shutting down.
#pragma once

#include "lx_args.h"
#include "lx_exitcodes.h"

// Creates the session, connects and logs in (login context 0), asks the
// controller's name, starts the engine's session for a 1024 x 576 screen,
// opens the window "Marlo : <name>" (or an offscreen context), runs the
// viewer until the window closes, the link drops, the controller ends the
// session or the screenshot is written, and shuts everything down again.
// Failures are reported as one "zviewer: ..." line on stderr.
LX_EXIT_CODE LxRunDirectConnect(const LX_OPTIONS& options);

// The viewer's screen size.
enum { LX_SCREEN_WIDTH = 1024, LX_SCREEN_HEIGHT = 576 };

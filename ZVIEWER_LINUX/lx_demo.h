// zviewer --demo: the built-in demo controller on a loopback port, and the
// viewer connected to it, so that the viewer can be tried without a controller.
#pragma once

#include "lx_args.h"
#include "lx_exitcodes.h"

// Starts the demo controller, runs the session as --connect would (window or
// headless, screenshot options included) and stops the controller again.
LX_EXIT_CODE LxRunDemo(const LX_OPTIONS& options);

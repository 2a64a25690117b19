// Exit codes of the zviewer program, one per way a run can end, so that
// scripts and kiosk supervisors can tell a wrong password from a dead link.
#pragma once

enum LX_EXIT_CODE
{
    LX_EXIT_OK = 0,                 // window closed, screenshot written, or the controller ended the session
    LX_EXIT_FAILURE = 1,            // anything else (e.g. the cache directory cannot be made)
    LX_EXIT_USAGE = 2,              // bad command line
    LX_EXIT_CONNECT = 3,            // no TCP connection to the controller
    LX_EXIT_LOGIN = 4,              // login refused or unanswered
    LX_EXIT_SESSION = 5,            // the session start was not answered
    LX_EXIT_CONNECTION_LOST = 6,    // the link dropped while the session ran
    LX_EXIT_DISPLAY = 7,            // no window or OpenGL context
    LX_EXIT_SCREENSHOT = 8,         // the screenshot could not be taken or written
};

// The zviewer command line.
#pragma once

#include <stdint.h>

#include <string>

#include "rvlog.h"

enum LX_ACTION
{
    LX_ACTION_APP = 0,      // no session named: the connect window
    LX_ACTION_HELP,
    LX_ACTION_VERSION,
    LX_ACTION_CONNECT,      // --connect: run a session
    LX_ACTION_DEMO,         // --demo: run a session with the built-in demo controller
};

struct LX_OPTIONS
{
    LX_ACTION eAction = LX_ACTION_APP;
    std::string sHost;              // name or dotted IPv4 address
    unsigned short wPort = 0;
    std::string sPassword;
    bool bHeadless = false;         // offscreen context instead of a window
    std::string sScreenshot;        // PNG to write; the run ends once it is written
    int iFrames = 0;                // capture after this many frames (0: not asked)
    int iWaitMs = 0;                // ... or after this many ms (0: not asked)
    std::string sCacheDir;          // overrides the cache directory
    // Connect window: where discovery queries go (memory order, first octet
    // first); the local broadcast on the locator port unless --locator.
    uint32_t dwLocatorIP = 0xFFFFFFFFu;
    unsigned short wLocatorPort = 444;
    bool bLocator = false;
    bool bLogLevel = false;
    RV_LOG_LEVEL eLogLevel = RV_LOG_WARN;
};

// Without --frames or --wait-ms a screenshot is taken this long after the
// session started; with --frames alone the wait still ends after the ceiling.
enum { LX_DEFAULT_SCREENSHOT_WAIT_MS = 2000, LX_SCREENSHOT_CEILING_MS = 10000 };

// Parses argv[1..]. Options take their value as the next argument or after
// '='; a repeated option keeps its last value; --help and --version win over
// everything else. 1 on success; 0 with a one-line reason in *pError.
int LxParseArgs(int argc, const char* const* argv, LX_OPTIONS* pOptions, std::string* pError);

// The text of --help.
const char* LxUsageText();

// Options for the program's direct-connect path run headless against a
// simulated controller on loopback (password "pw"), writing one screenshot.
#pragma once

#include <string>

#include "lx_directconnect.h"

inline LX_OPTIONS HeadlessOptions(unsigned short wPort, const std::string& sCacheDir, const std::string& sScreenshot,
                                  int iWaitMs)
{
    LX_OPTIONS o;
    o.eAction = LX_ACTION_CONNECT;
    o.sHost = "127.0.0.1";
    o.wPort = wPort;
    o.sPassword = "pw";
    o.bHeadless = true;
    o.sCacheDir = sCacheDir;
    o.sScreenshot = sScreenshot;
    o.iWaitMs = iWaitMs;
    return o;
}

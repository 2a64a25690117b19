// Options for the program's direct-connect path run headless against a
// simulated controller on loopback (password "pw"), writing one screenshot.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "lx_directconnect.h"
#include "png_read.h"

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

// The screenshot such a run wrote: readable, and the whole 1024 x 576 screen.
inline ::testing::AssertionResult ReadScreenshot(const std::string& sPath, PNG_RGB* pPng)
{
    if (!ReadPNGFile(sPath, pPng))
        return ::testing::AssertionFailure() << "no readable screenshot at " << sPath;
    if (pPng->iWidth != 1024 || pPng->iHeight != 576)
        return ::testing::AssertionFailure() << "screenshot is " << pPng->iWidth << "x" << pPng->iHeight;
    return ::testing::AssertionSuccess();
}

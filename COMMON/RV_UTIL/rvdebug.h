// Assertion hook and log macros shared by the whole engine.
//
// AssertDlg only reports; every bound that matters is enforced by the code that
// calls it, which carries on with clamped values after a failed check. In debug
// logging (ZV_LOG=debug, or --log-level debug in the viewer) the report is printed.
#pragma once

#include "rvlog.h"

inline void AssertDlg(const char* file, int line, int flag)
{
    RVLog(RV_LOG_DEBUG, "assertion failed at %s:%d (%d)", file, line, flag);
}

#define RV_ASSERT(cond) \
    do { if (!(cond)) AssertDlg(__FILE__, __LINE__, 0); } while (0)

// Step-by-step debug lines of the connection and session code.
#define LOGI(...) RVLog(RV_LOG_DEBUG, __VA_ARGS__)
#define LOGE(...) RVLog(RV_LOG_DEBUG, __VA_ARGS__)

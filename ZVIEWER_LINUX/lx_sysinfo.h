// What the viewer tells the controller about the machine at login, and where
// it keeps its files.
#pragma once

#include <string>

#include "rvstring.h"

// The four login strings, in the order the session takes them: hardware
// identifier (/etc/machine-id), machine name, hardware identifier again, and
// the operating-system version "%d.%d.%d". Missing facts become empty texts
// (version "0.0.0").
void LxGetClientInfo(CRVString* pInfo4);

// "major.minor.patch" from a kernel release such as "6.1.0-18-amd64";
// numbers that are missing count as 0.
std::string LxFormatOSVersion(const char* pszRelease);

// The viewer's cache directory, with a trailing slash, created (mode 0700)
// when missing: pszOverride if given, else $XDG_CACHE_HOME/zviewer/, else
// $HOME/.cache/zviewer/. It holds the server list, the resource cache and
// fonts, which must survive restarts. 1 on success; 0 with a reason.
int LxPrepareCacheDir(const char* pszOverride, std::string* pDir, std::string* pError);

// The client session's life in the viewer program: create it with the
// machine's login facts, connect it directly to a controller and log in.
#pragma once

#include <string>

#include "lx_exitcodes.h"

// Creates g_pRVServer (platform type 22) for the cache directory, with the
// machine's client information. 1 on success, 0 when a session exists.
int LxCreateSession(const std::string& sCacheDir);
// Deletes g_pRVServer.
void LxReleaseSession();

// Resolves sHost (IPv4), connects within uTimeoutMs, logs in with login
// context 0 and the password. LX_EXIT_OK; LX_EXIT_CONNECT when no link could
// be made; LX_EXIT_LOGIN when the controller did not accept the login. On
// failure *pError holds a one-line reason: for LX_EXIT_LOGIN the login's own
// status text alone (such as "Password Rejected"), which callers put in their
// own words.
LX_EXIT_CODE LxConnectDirect(const std::string& sHost, unsigned short wPort, const std::string& sPassword,
                             unsigned int uTimeoutMs, std::string* pError);

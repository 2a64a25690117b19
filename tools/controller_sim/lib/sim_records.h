// What the simulated controller learns from the viewer's login and session
// start, and the login response it expects.
#pragma once

#include "sim_text.h"

#include <string>
#include <vector>

class CRVMSG;

// The login message (27), field by field in wire order.
struct SIM_LOGIN
{
    short sSenderID = 0;
    int iProtocol = 0;             // 1014
    int iClientType = 0;           // 0 for the viewer
    std::string strVersion;        // client version text
    int iResponseLength = 0;       // announced length of the response (16)
    // The response block as announced by iResponseLength (at most 256 bytes are kept).
    std::vector<unsigned char> response;
    int iPlatformType = 0;
    // The four client-information strings as they arrive: hardware ID,
    // hardware ID again, operating-system version, machine name.
    std::string strInfo[4];
    int bComplete = 0;             // every field was present
    int bAccepted = 0;             // the sim's verdict (set by the sim)
};

// The session start (20000 or 20002), field by field in wire order.
struct SIM_SESSION_START
{
    short sMessageID = 0;
    short sSenderID = 0;
    int iSessionID = 0;
    unsigned int uCapabilities = 0;
    int iWidth0 = 0, iHeight0 = 0;     // orientation 0
    int iWidth1 = 0, iHeight1 = 0;     // orientation 1
    int iOrientation = 0;
    int iFontFileLength = 0;
    int iScaleX = 0, iScaleY = 0;      // scale x 135
    int iReserved1 = 0, iReserved2 = 0;
    int iTrailer = 0;                  // 124
    // The media-server and resource-cache configuration that follows, unparsed.
    std::vector<unsigned char> rest;
    int bComplete = 0;                 // every int was present
};

// Reads the fields of a login / session-start message (from its start; the
// message's read index is reset). 1 when every field was present; the fields
// that were present are filled in either way.
int SimParseLogin(CRVMSG& msg, SIM_LOGIN* pLogin);
int SimParseSessionStart(CRVMSG& msg, SIM_SESSION_START* pStart);

// The 16-byte response a viewer computes for this password and challenge:
// AES-128 of the challenge's first block, keyed by the password's first block
// (both zero-padded to 16 bytes). The password is UTF-8 and goes through the
// same 8-bit conversion as the viewer's (characters up to U+00FF become one
// byte; text that is not UTF-8, or has higher characters, is used as bytes).
// The challenge is taken as bytes. 1 on success.
int SimLoginResponse(const std::string& strPasswordUtf8, const std::string& strChallenge,
                     unsigned char response[16]);
// The password as the 8-bit bytes the viewer keys the cipher with.
std::string SimPasswordBytes(const std::string& strPasswordUtf8);

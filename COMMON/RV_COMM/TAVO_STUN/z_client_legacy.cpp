// The legacy lookup: ask the old TCP discovery server where a named controller
// is, then connect to it directly.
#include "z_client.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netdb.h>
#include <stdio.h>
#include <string.h>
#include <sys/socket.h>

#include <mutex>
#include <vector>

#include "rvdebug.h"
#include "rvpack.h"
#include "rvsock.h"

namespace {

// Deployment configuration: the name below is a placeholder that a deployment
// replaces with SetLegacyServer.
#define RV_LEGACY_DEFAULT_HOST "dserver.zviewer.example"
const unsigned short kDefaultLegacyPort = 500;

std::mutex g_legacyLock;
char g_szLegacyHost[256] = RV_LEGACY_DEFAULT_HOST;
unsigned short g_wLegacyPort = kDefaultLegacyPort;

// The reply may come in pieces: each wait for more is at most 250 ms, 50 in all.
const unsigned int kReplyWaitMs = 250;
const int kReplyWaits = 50;
// How long the controller named in the reply gets to accept.
const unsigned int kControllerConnectMs = 3000;

// The query frame: sender 0, message 18003, the name packed twice.
std::vector<unsigned char> BuildLegacyQuery(const char* pszName)
{
    size_t nString = 4 + RVAlign4(strlen(pszName));
    std::vector<unsigned char> frame(RV_HEADER_SIZE + 2 * nString);
    RVT_HEADER h = { 0, (short)RV_MSG_LEGACY_QUERY, 0 };
    RVStoreHeader(frame.data(), h);
    int ok = PackString(frame.data(), (unsigned int)frame.size(), pszName) &&
             PackString(frame.data(), (unsigned int)frame.size(), pszName);
    RV_ASSERT(ok);
    (void)ok;
    return frame;
}

// Sends the query and reads the reply. Anything other than a complete frame
// within the waits (silence, a closed or failed socket, a frame too long for
// the buffer) comes back as LEGACY_REPLY_INCOMPLETE or LEGACY_REPLY_TOO_LONG.
LEGACY_REPLY_STATE QueryLegacyServer(int hSocket, const char* pszName, RVT_LEGACY_REPLY* pReply)
{
    std::vector<unsigned char> query = BuildLegacyQuery(pszName);
    if (send(hSocket, query.data(), query.size(), MSG_NOSIGNAL) != (ssize_t)query.size()) {
        LOGE("legacy lookup: query not sent (errno %d)", errno);
        return LEGACY_REPLY_INCOMPLETE;
    }

    unsigned char abyReply[RV_LEGACY_REPLY_BUFFER];
    unsigned int nHave = 0;
    for (int i = 0; i < kReplyWaits; i++) {
        if (!WaitSocketReadState(hSocket, kReplyWaitMs))
            continue;
        ssize_t r = recv(hSocket, abyReply + nHave, sizeof abyReply - nHave, 0);
        if (r <= 0) {
            LOGE("legacy lookup: read %d (errno %d)", (int)r, errno);
            return LEGACY_REPLY_INCOMPLETE;
        }
        nHave += (unsigned int)r;
        LEGACY_REPLY_STATE eState = ParseLegacyReply(abyReply, nHave, pReply);
        if (eState != LEGACY_REPLY_INCOMPLETE)
            return eState;
    }
    LOGE("legacy lookup: no complete reply (%u bytes)", nHave);
    return LEGACY_REPLY_INCOMPLETE;
}

}  // namespace

void CZConnection::SetLegacyServer(const char* pszHost, unsigned short wPort)
{
    RV_ASSERT(pszHost);
    std::lock_guard<std::mutex> lock(g_legacyLock);
    snprintf(g_szLegacyHost, sizeof g_szLegacyHost, "%s", pszHost ? pszHost : RV_LEGACY_DEFAULT_HOST);
    g_wLegacyPort = wPort;
}

void CZConnection::GetLegacyServer(char* pszHost, int nHostSize, unsigned short* pwPort)
{
    std::lock_guard<std::mutex> lock(g_legacyLock);
    if (pszHost && nHostSize > 0)
        snprintf(pszHost, (size_t)nHostSize, "%s", g_szLegacyHost);
    if (pwPort)
        *pwPort = g_wLegacyPort;
}

int ResolveHostIPv4(const char* pszHost, unsigned short wPort, sockaddr_in* pAddr)
{
    RV_ASSERT(pAddr);
    if (!pszHost || !*pszHost || !pAddr)
        return 0;
    addrinfo hints = {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pResult = nullptr;
    if (getaddrinfo(pszHost, nullptr, &hints, &pResult) != 0 || !pResult)
        return 0;
    memset(pAddr, 0, sizeof *pAddr);
    memcpy(pAddr, pResult->ai_addr, sizeof *pAddr);
    pAddr->sin_family = AF_INET;
    pAddr->sin_port = htons(wPort);
    freeaddrinfo(pResult);
    return 1;
}

LEGACY_REPLY_STATE ParseLegacyReply(const unsigned char* pBuffer, unsigned int nBytes,
                                    RVT_LEGACY_REPLY* pReply)
{
    RV_ASSERT(pReply);
    if (!pBuffer || !pReply || nBytes < RV_HEADER_SIZE)
        return LEGACY_REPLY_INCOMPLETE;
    // The length comes from the network: check it against the buffer before
    // trusting it.
    RVT_HEADER h = RVLoadHeader(pBuffer);
    if (h.uLength > RV_LEGACY_REPLY_BUFFER - RV_HEADER_SIZE)
        return LEGACY_REPLY_TOO_LONG;
    if (nBytes - RV_HEADER_SIZE < h.uLength)
        return LEGACY_REPLY_INCOMPLETE;
    if (h.sMessageID != RV_MSG_LEGACY_REPLY)
        return LEGACY_REPLY_NOT_FOUND;

    // Found, a byte not used here, the address text, the port. Two more bytes
    // (open, relay) may follow; nothing here needs them.
    const unsigned int nFrame = RV_HEADER_SIZE + h.uLength;
    unsigned int uIndex = 0;
    memset(pReply, 0, sizeof *pReply);
    if (!UnpackByte(pBuffer, nFrame, &uIndex, &pReply->byFound) ||
        !UnpackByte(pBuffer, nFrame, &uIndex, nullptr) ||
        !UnpackString(pBuffer, nFrame, &uIndex, pReply->szAddress, sizeof pReply->szAddress) ||
        !UnpackWORD(pBuffer, nFrame, &uIndex, &pReply->wPort))
        return LEGACY_REPLY_MALFORMED;
    return LEGACY_REPLY_OK;
}

int LegacyReplyAddress(const RVT_LEGACY_REPLY* pReply, sockaddr_in* pAddr)
{
    RV_ASSERT(pReply && pAddr);
    if (!pReply || !pAddr)
        return 0;
    in_addr ip;
    // inet_pton takes only the dotted form: no resolver, no shorthand forms.
    if (inet_pton(AF_INET, pReply->szAddress, &ip) != 1)
        return 0;
    if (ip.s_addr == INADDR_ANY || ip.s_addr == INADDR_BROADCAST)
        return 0;
    memset(pAddr, 0, sizeof *pAddr);
    pAddr->sin_family = AF_INET;
    pAddr->sin_addr = ip;
    pAddr->sin_port = htons(pReply->wPort);
    return 1;
}

int CZConnection::CreateLegacyConnection(CConnectionListener* pListener, CRVString sName)
{
    char szHost[256];
    unsigned short wPort = 0;
    GetLegacyServer(szHost, sizeof szHost, &wPort);
    sockaddr_in server;
    if (!ResolveHostIPv4(szHost, wPort, &server)) {
        LOGE("legacy lookup: cannot resolve %s", szHost);
        return RUDP_RESULT_CANT_RESOLVE;
    }
    // The server knows names as 8-bit text; a name that has no such form
    // cannot be registered there.
    if (!sName.ConvertTo8Bit()) {
        LOGE("legacy lookup: name has characters above 255");
        return RUDP_RESULT_NOT_LOCATED;
    }
    const char* pszName = static_cast<const char*>(sName.GetData());

    Report(pListener, "Connecting to D.SERVER");
    int hSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (hSocket < 0)
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    if (connect(hSocket, reinterpret_cast<const sockaddr*>(&server), sizeof server) != 0) {
        LOGE("legacy lookup: connect failed (errno %d)", errno);
        CloseSocket(hSocket);
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    }

    Report(pListener, "Querying D.SERVER");
    RVT_LEGACY_REPLY reply;
    LEGACY_REPLY_STATE eState = QueryLegacyServer(hSocket, pszName, &reply);
    CloseSocket(hSocket);

    switch (eState) {
    case LEGACY_REPLY_OK:
        break;
    case LEGACY_REPLY_NOT_FOUND:
        Report(pListener, "System Not Found");
        return RUDP_RESULT_NOT_LOCATED;
    case LEGACY_REPLY_MALFORMED:
        LOGE("legacy lookup: reply fields run past its data");
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    case LEGACY_REPLY_TOO_LONG:
        LOGE("legacy lookup: reply longer than %d bytes", RV_LEGACY_REPLY_BUFFER);
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    default:
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    }

    sockaddr_in controller;
    if (!LegacyReplyAddress(&reply, &controller)) {
        Report(pListener, "Error: Controller too new for disco server");
        return RUDP_RESULT_NOT_LOCATED;
    }
    Report(pListener, "-> %s:%u", reply.szAddress, (unsigned int)reply.wPort);
    return CreateDirectConnection(&controller, kControllerConnectMs);
}

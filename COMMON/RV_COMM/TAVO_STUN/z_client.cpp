// The connection object: links, traffic, direct and relayed TCP connections.
#include "z_client.h"

#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/socket.h>
#include <unistd.h>

#include "rvdebug.h"
#include "rvsock.h"

namespace {

// Every TCP link to a controller starts with these 21 bytes (no terminator).
const char kConnectPrimer[] = "CONNECTSERVERHOST\r\n\r\n";
const int kConnectPrimerSize = 21;
static_assert(sizeof kConnectPrimer == kConnectPrimerSize + 1, "primer is 21 bytes");

int NewTCPSocket()
{
    return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

// Connects hSocket to pAddr: blocking for ms = 0, else within ms milliseconds.
// A timed connect puts the socket back into blocking mode afterwards: Send is
// one blocking send, and on a non-blocking socket a full send buffer would cut
// a message short and drop the link.
int ConnectSocket(int hSocket, const sockaddr_in* pAddr, unsigned int ms)
{
    const sockaddr* pSA = reinterpret_cast<const sockaddr*>(pAddr);
    if (ms == 0)
        return connect(hSocket, pSA, sizeof *pAddr) == 0;

    if (!SetNonBlocking(hSocket))
        return 0;
    if (connect(hSocket, pSA, sizeof *pAddr) != 0) {
        if (errno != EINPROGRESS)
            return 0;
        if (!WaitSocketWriteState(hSocket, ms))
            return 0;
        // Writable also means "failed": the outcome is in SO_ERROR.
        int iError = 0;
        socklen_t nLen = sizeof iError;
        if (getsockopt(hSocket, SOL_SOCKET, SO_ERROR, &iError, &nLen) != 0 || iError != 0)
            return 0;
    }
    return SetBlocking(hSocket);
}

// One send of n bytes that does not raise SIGPIPE when the peer has gone; a
// signal that interrupts it before anything went is not a failure of the link.
int SendOnce(int hSocket, const void* pData, int n)
{
    ssize_t r;
    do {
        r = send(hSocket, pData, (size_t)n, MSG_NOSIGNAL);
    } while (r < 0 && errno == EINTR);
    return r == n;
}

}  // namespace

CZConnection::CZConnection(int iClientNumber, const char* pszServerPoolPath)
    : m_iClientNumber(iClientNumber), m_pRUDPClient(nullptr), m_hSocket(-1), m_pServerPool(nullptr)
{
    // The discovery-server pool is read from pszServerPoolPath once remote
    // access is part of the build; until then no pool exists.
    LOGI("CZConnection: client %d, server pool file %s", iClientNumber,
         pszServerPoolPath ? pszServerPoolPath : "(none)");
}

CZConnection::~CZConnection()
{
    CloseConnection();
    RV_ASSERT(!m_pServerPool);
}

void CZConnection::Report(CConnectionListener* pListener, const char* pszFormat, ...)
{
    char szText[256];
    va_list args;
    va_start(args, pszFormat);
    vsnprintf(szText, sizeof szText, pszFormat, args);
    va_end(args);
    LOGI("status: %s", szText);
    if (pListener)
        pListener->OnStatusChanged(szText);
}

void CZConnection::AdoptSocket(int hSocket)
{
    CloseConnection();
    m_hSocket = hSocket < 0 ? -1 : hSocket;
}

// ---------------------------------------------------------------------------
// Connecting

int CZConnection::CreateDirectConnection(const sockaddr_in* pAddr, unsigned int ms)
{
    RV_ASSERT(pAddr);
    if (!pAddr)
        return RUDP_RESULT_CANT_CONNECT;

    int hSocket = NewTCPSocket();
    if (hSocket < 0) {
        LOGE("CreateDirectConnection: no socket (errno %d)", errno);
        return RUDP_RESULT_NETWORK_ERROR;
    }
    if (!ConnectSocket(hSocket, pAddr, ms)) {
        LOGE("CreateDirectConnection: connect failed (errno %d)", errno);
        CloseSocket(hSocket);
        return RUDP_RESULT_CANT_CONNECT;
    }
    if (!SendOnce(hSocket, kConnectPrimer, kConnectPrimerSize)) {
        LOGE("CreateDirectConnection: primer not sent");
        CloseSocket(hSocket);
        return RUDP_RESULT_CANT_CONNECT;
    }
    // An earlier link would otherwise leak its descriptor here.
    AdoptSocket(hSocket);
    LOGI("CreateDirectConnection: connected");
    return RUDP_RESULT_OK;
}

int CZConnection::CreateDirectConnection(int hSocket)
{
    AdoptSocket(hSocket);
    return m_hSocket == -1 ? RUDP_RESULT_NO_CONTROLLER : RUDP_RESULT_OK;
}

int CZConnection::CreateRemoteTURNConnection(const sockaddr_in* pServer, int iPort, unsigned int uSID)
{
    RV_ASSERT(pServer && iPort > 0 && iPort <= 0xFFFF);
    if (!pServer || iPort <= 0 || iPort > 0xFFFF)
        return RUDP_RESULT_NO_SERVER_RESPONSE;

    sockaddr_in relay = *pServer;
    relay.sin_family = AF_INET;
    relay.sin_port = htons((unsigned short)iPort);

    int hSocket = NewTCPSocket();
    if (hSocket < 0)
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    unsigned char abySID[4] = { (unsigned char)uSID, (unsigned char)(uSID >> 8),
                                (unsigned char)(uSID >> 16), (unsigned char)(uSID >> 24) };
    if (!ConnectSocket(hSocket, &relay, 0) || !SendOnce(hSocket, abySID, sizeof abySID)) {
        LOGE("CreateRemoteTURNConnection: relay failed (errno %d)", errno);
        CloseSocket(hSocket);
        return RUDP_RESULT_NO_SERVER_RESPONSE;
    }
    // From here the relay passes the stream through unchanged.
    AdoptSocket(hSocket);
    return RUDP_RESULT_OK;
}

int CZConnection::CreateRemoteConnection(CConnectionListener* pListener, CRVString sName)
{
    // The remote sequence (NAT classification, find request, hole punching,
    // relay, direct, legacy) needs the discovery-server pool and the
    // reliable-UDP link; without them there is nothing to try.
    CloseConnection();
    LOGE("CreateRemoteConnection: remote access to \"%s\" not built", (char*)sName);
    Report(pListener, "Remote access is not available in this build");
    return 0;
}

// ---------------------------------------------------------------------------
// Traffic. Each operation serves the reliable-UDP link first, when there is
// one; in this build m_pRUDPClient is never set, so those branches only mark
// where the link is served.

int CZConnection::Send(const void* pData, int n, SEND_CTX eCtx)
{
    (void)eCtx;   // only the reliable-UDP link distinguishes send contexts
    if (m_pRUDPClient)
        return 0;
    if (m_hSocket == -1)
        return 0;
    RV_ASSERT(n >= 0 && (pData || n == 0));
    if (n < 0 || (!pData && n != 0))
        return 0;
    if (SendOnce(m_hSocket, pData, n))
        return 1;
    LOGE("Send: %d bytes failed (errno %d), closing", n, errno);
    CloseSocket(m_hSocket);
    m_hSocket = -1;
    return 0;
}

int CZConnection::Recv(void* pBuffer, int nSize)
{
    if (m_pRUDPClient)
        return 0;
    if (m_hSocket == -1)
        return 0;
    RV_ASSERT(pBuffer && nSize > 0);
    if (!pBuffer || nSize <= 0)
        return -1;   // a count of 0 would read as "peer closed"
    ssize_t r = recv(m_hSocket, pBuffer, (size_t)nSize, 0);
    if (r == 0) {
        LOGI("Recv: peer closed");
        CloseSocket(m_hSocket);
        m_hSocket = -1;
    }
    return (int)r;
}

int CZConnection::WaitReadState(unsigned int ms)
{
    if (m_pRUDPClient)
        return 1;
    if (m_hSocket == -1)
        return 1;
    return WaitSocketReadState(m_hSocket, ms);
}

int CZConnection::ReadyToSend()
{
    if (m_pRUDPClient)
        return 0;
    if (m_hSocket == -1)
        return 0;
    return WaitSocketWriteState(m_hSocket, 0) ? 1 : 0;
}

int CZConnection::IsConnected()
{
    if (m_pRUDPClient)
        return 0;
    return m_hSocket != -1;
}

void CZConnection::CloseConnection()
{
    // The reliable-UDP link, once it exists, is closed with notification of the
    // peer and deleted here.
    RV_ASSERT(!m_pRUDPClient);
    if (m_hSocket != -1) {
        CloseSocket(m_hSocket);
        m_hSocket = -1;
    }
}

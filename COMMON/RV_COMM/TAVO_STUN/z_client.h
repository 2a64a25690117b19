// CZConnection: the byte pipe between the viewer and one controller.
//
// The session asks it to connect in one of several ways and from then on only
// calls Send, Recv, WaitReadState, ReadyToSend, IsConnected and CloseConnection,
// without knowing which link lies underneath: a TCP socket (direct, relayed over
// TCP, or found through the legacy discovery server), or a reliable-UDP link
// over a hole-punched UDP path. At most one link exists at a time.
//
// Connect operations return an RUDP_RESULT (0 on success) and report their
// progress as short texts through a CConnectionListener, when one is given.
#pragma once

#include <netinet/in.h>

#include "rvstring.h"

class CRUDPClient;   // reliable-UDP link over a punched UDP path
class CServerPool;   // the discovery servers

// Results of the inner connect operations; RUDP_ResultText gives their texts.
enum RUDP_RESULT
{
    RUDP_RESULT_OK = 0,
    RUDP_RESULT_CANT_RESOLVE = 1,         // "Can't resolve server address"
    RUDP_RESULT_NO_SERVER_RESPONSE = 2,   // "No Response from server"
    RUDP_RESULT_NO_CONTROLLER = 3,        // "No Response from Controller"
    RUDP_RESULT_NOT_LOCATED = 4,          // "Could not locate Controller"
    RUDP_RESULT_NETWORK_ERROR = 5,        // "Internal network error"
    RUDP_RESULT_CANT_CONNECT = 6,         // "Can't connect to Controller"
};

// The fixed text of a result; any value outside the table gives "OK". The
// reliable-UDP client hands out the same texts as its ResultText.
const char* RUDP_ResultText(int eResult);

// How the local network reaches the discovery servers, as NAT classification
// finds it. Only STUN_NETWORK_ASYMM_NAT lets hole punching work; every other
// state needs a relay.
enum STUN_NETWORK_STATE
{
    STUN_NETWORK_INIT = 0,               // "Initialize"
    STUN_NETWORK_CANT_RESOLVE = 1,       // "Can't Resolve URL"
    STUN_NETWORK_UDP_RX_OK = 2,          // "UDP RX, OK Network Unknown"
    STUN_NETWORK_UDP_RX_FAILED = 3,      // "UDP RX FAILED"
    STUN_NETWORK_ASYMM_NAT = 4,          // "Asymm NAT Detected"
    STUN_NETWORK_SYMM_NAT = 5,           // "Symm NAT Detected"
    STUN_NETWORK_SERVER_ERROR = 6,       // "Server Error"
    STUN_NETWORK_SERVER_ERROR_UDP_OK = 7,// "Server Error, UDP RX OK"
    STUN_NETWORK_PORT_FORWARDED = 8,     // "Port Forwarded"
};

// The text of a network state; values outside 0 to 8 give "-".
const char* STUN_NetworkStateString(int eState);

// How a send is treated by the reliable-UDP link (a TCP socket ignores it):
// SEND_CTX_REPEAT sends each new datagram three times.
enum SEND_CTX
{
    SEND_CTX_NORMAL = 0,
    SEND_CTX_REPEAT = 1,
};

// Receives the progress texts of connecting ("Connecting to D.SERVER", ...).
class CConnectionListener
{
public:
    virtual ~CConnectionListener() {}
    virtual void OnStatusChanged(const char* pszStatus) = 0;
};

class CZConnection
{
public:
    // iClientNumber goes into every public-address request; the session and the
    // audio code use 1. pszServerPoolPath names the discovery-server list file.
    CZConnection(int iClientNumber, const char* pszServerPoolPath);
    virtual ~CZConnection();

    // TCP connection to pAddr, then the 21-byte primer. ms = 0 connects
    // blocking; ms > 0 gives up after ms milliseconds. On success any earlier
    // link is closed and the new socket is left in blocking mode.
    int CreateDirectConnection(const sockaddr_in* pAddr, unsigned int ms);
    // Adopts an already connected socket, dropping any earlier link; 3 (and
    // unconnected) for -1, else 0.
    int CreateDirectConnection(int hSocket);
    // TCP connection to the relay at pServer's IPv4 address and iPort, opened
    // with the session identifier (4 bytes, least significant first). 0, or 2.
    int CreateRemoteTURNConnection(const sockaddr_in* pServer, int iPort, unsigned int uSID);
    // Reaches the controller registered under sName from anywhere; 1 on
    // success, 0 on failure. Needs the discovery-server pool and the
    // reliable-UDP link, which this build does not have yet: it reports
    // "Remote access is not available in this build" and fails.
    int CreateRemoteConnection(CConnectionListener* pListener, CRVString sName);
    // Asks the legacy discovery server (TCP) where sName is, then connects
    // directly to the address it gives. An RUDP_RESULT.
    int CreateLegacyConnection(CConnectionListener* pListener, CRVString sName);

    // 1 if all n bytes went; a failed send closes the link and returns 0.
    int Send(const void* pData, int n, SEND_CTX eCtx = SEND_CTX_NORMAL);
    // Bytes received (negative on error); 0 when the peer closed, which also
    // closes the link, or when nothing is connected.
    int Recv(void* pBuffer, int nSize);
    // Non-zero when Recv would not block. Without a link it answers 1 at once so
    // that the caller goes on to Recv and learns that nothing is connected.
    int WaitReadState(unsigned int ms);
    int ReadyToSend();
    int IsConnected();
    void CloseConnection();

    int ClientNumber() const { return m_iClientNumber; }

    // Where the legacy discovery server lives. The built-in default is a
    // deployment's name and TCP port 500; a deployment (or a test) sets its own.
    static void SetLegacyServer(const char* pszHost, unsigned short wPort);
    static void GetLegacyServer(char* pszHost, int nHostSize, unsigned short* pwPort);

private:
    CZConnection(const CZConnection&) = delete;
    CZConnection& operator=(const CZConnection&) = delete;

    void Report(CConnectionListener* pListener, const char* pszFormat, ...)
        __attribute__((format(printf, 3, 4)));
    // Replaces the current link by the TCP socket hSocket.
    void AdoptSocket(int hSocket);

    int m_iClientNumber;
    CRUDPClient* m_pRUDPClient;   // non-null while the link is reliable UDP (not in this build)
    int m_hSocket;                // TCP link, -1 when none
    CServerPool* m_pServerPool;   // discovery servers (not in this build: stays null)
};

// Resolves pszHost (a dotted IPv4 address or a DNS name) to an IPv4 socket
// address with port wPort. 1 on success; an empty or null host fails without
// asking the resolver.
int ResolveHostIPv4(const char* pszHost, unsigned short wPort, sockaddr_in* pAddr);

// ---------------------------------------------------------------------------
// The legacy discovery server's answer, parsed from a raw buffer so that it can
// be checked without a socket.

#define RV_MSG_LEGACY_QUERY 18003
#define RV_MSG_LEGACY_REPLY 18004
// The reply is read into a buffer of this many bytes; a longer frame is refused.
#define RV_LEGACY_REPLY_BUFFER 1024

struct RVT_LEGACY_REPLY
{
    unsigned char byFound;
    char szAddress[64];      // the controller's address text, at most 63 characters
    unsigned short wPort;    // its TCP port
};

enum LEGACY_REPLY_STATE
{
    LEGACY_REPLY_INCOMPLETE = 0,   // the header or the announced data is not all there yet
    LEGACY_REPLY_TOO_LONG,         // the announced frame does not fit the reply buffer
    LEGACY_REPLY_NOT_FOUND,        // a complete frame that is not a reply (18004)
    LEGACY_REPLY_MALFORMED,        // a reply whose fields run past its data
    LEGACY_REPLY_OK,               // a reply; *pReply is filled
};

// Looks at the nBytes received so far (they start with the frame header).
LEGACY_REPLY_STATE ParseLegacyReply(const unsigned char* pBuffer, unsigned int nBytes,
                                    RVT_LEGACY_REPLY* pReply);
// 1 and the socket address when the reply names a usable controller: a dotted
// IPv4 address other than 0.0.0.0 and 255.255.255.255.
int LegacyReplyAddress(const RVT_LEGACY_REPLY* pReply, sockaddr_in* pAddr);

// CRVServer: the viewer's one session with a controller, reachable as g_pRVServer.
//
// The session owns the connection object, logs in with a challenge and
// response, cuts the incoming byte stream into frames and routes each message:
// first to the main window, then to the sink whose sender ID it carries
// (0x7FFF: every sink). It keeps the sink list and hands out sender IDs, parks
// messages that arrive while somebody waits for a particular answer, closes a
// link that stays silent, and in the auto-connect login contexts finds its
// controller again on the local network after the link drops.
//
// Threads: the session has no lock of its own. The pump, the waits and the
// connect calls read one connection and one receive buffer, so they run on one
// thread at a time (the socket thread once it runs; before that, the thread
// that connects and logs in). Sinks are called on the thread that pumps or
// waits. Only SendMSG may be called from any thread: sends are serialised so
// that frames never interleave on the wire.
#pragma once

#include <atomic>
#include <netinet/in.h>
#include <stdint.h>

#include "rvcritical.h"
#include "rvstring.h"
#include "socksink.h"
#include "z_client.h"

class CRVMSG;
class CSysLocator;
struct RVT_PINGA;

// Who is logging in; decides the client type sent at login and whether the
// pump finds the controller again by itself after a loss (5, 6 and 7).
enum LOGIN_CONTEXT
{
    LOGIN_CONTEXT_VIEWER = 0,       // viewer with a password
    LOGIN_CONTEXT_CONFIG = 1,       // configuration tool
    LOGIN_CONTEXT_SERVICE = 2,
    LOGIN_CONTEXT_PEER = 3,
    LOGIN_CONTEXT_CLIENT32 = 4,     // 32-bit client
    LOGIN_CONTEXT_AUTO_VIEWER = 5,  // viewer that finds its controller by name
    LOGIN_CONTEXT_OSD = 6,          // on-screen display
    LOGIN_CONTEXT_MINIPAD = 7,
    LOGIN_CONTEXT_EXTENDER = 8,
    LOGIN_CONTEXT_UPGRADE = 9,
};

// Platform type sent at login; 22 on this platform (the front end may set it
// before it creates the session).
extern int g_iProcType;

// Message IDs of the login exchange.
enum
{
    RV_MSG_GET_CHALLENGE = 14,   // answered by 15 with the challenge text
    RV_MSG_LOGIN = 27,           // answered by 28 when the response is right
};

// Sender ID that addresses every sink.
#define RV_BROADCAST_SENDER_ID 0x7FFF

class CRVServer : public CSocketSink
{
public:
    enum
    {
        MAX_SINKS = 32,
        MAX_PENDING = 64,
        RECEIVE_BUFFER_SIZE = 1000000,   // header + data of the largest frame
    };
    // Production time-outs, in milliseconds.
    enum
    {
        CHALLENGE_TIMEOUT_MS = 30000,
        LOGIN_TIMEOUT_MS = 10000,
        SILENT_MESSAGE_MS = 10000,       // no frame for this long ...
        SILENT_RECEIVE_MS = 5000,        // ... and no byte for this long closes the link
        LOCATOR_INTERVAL_MS = 300,
    };

    // pszDirectory holds the server-pool file "servers.txt" (null: the current
    // directory). Creates the connection object and registers the session as
    // its own first sink.
    explicit CRVServer(const char* pszDirectory = nullptr);
    // Sets g_pRVServer back to null when it pointed here.
    ~CRVServer() override;

    CRVServer(const CRVServer&) = delete;
    CRVServer& operator=(const CRVServer&) = delete;

    // ---- Sinks -------------------------------------------------------------
    // Appends; 0 if the sink is null, already registered or 32 are registered.
    int AddSocketSink(CSocketSink* pSink);
    // Removes every occurrence, keeping the order of the rest.
    void RemoveSocketSink(CSocketSink* pSink);
    int IsSinkRegistered(const CSocketSink* pSink) const;
    int SinkCount() const { return m_iSinkCount; }
    // The first sender ID, from the counter on, that no registered sink holds;
    // the counter is left one above it. IDs are 15-bit and wrap to 0 after
    // 0x7FFF; 0 is the session's own, so a fresh session hands out 1, 2, 3 ...
    short NextSinkID();
    // ConnectionChanged on every sink, in order.
    void SendConnectionChanged(int bConnected);
    // The main window: it sees every routed message before the addressed sink.
    // It sets itself here when it is created and clears this before it goes;
    // to receive broadcasts it registers as an ordinary sink as well.
    void SetMainWindowSink(CSocketSink* pMainSink) { m_pMainSink = pMainSink; }
    CSocketSink* MainWindowSink() const { return m_pMainSink; }

    // ---- Configuration -----------------------------------------------------
    // Sent at every login: hardware ID, machine name, hardware ID again,
    // operating-system version ("%d.%d.%d").
    void SetClientInfo(CRVString s1, CRVString s2, CRVString s3, CRVString s4);
    // For contexts 5 to 7 the text is the system name, otherwise the password.
    void SetLoginContext(LOGIN_CONTEXT eContext, CRVString sText);
    LOGIN_CONTEXT GetLoginContext() const { return m_eLoginContext; }
    // Where auto-connect sends its locator query (memory-order address, port);
    // the local broadcast on port 444 unless set.
    void SetLocatorTarget(uint32_t dwIP, uint16_t wPort);
    // Shorter time-outs for tests; production keeps the defaults above.
    void SetLoginTimeouts(unsigned int uChallengeMs, unsigned int uLoginMs);
    void SetSilenceLimits(unsigned int uMessageMs, unsigned int uReceiveMs);

    // ---- Connecting (1 on success, 0 on failure) ---------------------------
    // Direct TCP connection within ms milliseconds (0: blocking), then login.
    // On success the address is kept for Reconnect; a failed login closes.
    int CreateConnection(const sockaddr_in* pAddr, CConnectionListener* pListener, unsigned int ms);
    // Reaches the named system remotely, then logs in; a failed login closes.
    int CreateConnection(CRVString sSystemName, CConnectionListener* pListener);
    // Replaces the connection object by pConnection (connected, now owned) and logs in.
    int CreateConnection(CZConnection* pConnection, CConnectionListener* pListener);
    // Adopts a connected socket; no login.
    int CreateConnection(int hSocket);
    // TCP to 127.0.0.1:wPort, adopted without primer or login.
    int CreateLoopbackConnection(unsigned short wPort);
    // CreateConnection to the last direct address, when there is one.
    int Reconnect(unsigned int ms);
    int ExecuteLogin(CConnectionListener* pListener);
    int IsConnected();
    void CloseConnection();
    // From another thread, when the session is being given up (quit, sleep):
    // a login in progress stops waiting within a query's wait slice, and
    // every later connect or question fails at once. It cannot be undone;
    // the session is released afterwards.
    void AbortConnect() { m_bAborted = true; }
    bool ConnectAborted() const { return m_bAborted; }
    CZConnection* GetConnection() { return m_pConnection; }

    // ---- Traffic -----------------------------------------------------------
    // 1 if the connection took the whole frame.
    int SendMSG(CRVMSG* pMsg);
    // One round of reading and dispatching, waiting at most uWaitMs for data.
    // 2: the link is down or was just closed; 1: something was dispatched; 0.
    int RunMessagePump(unsigned int uWaitMs);
    // Routes one message (main window, then the sink with its sender ID).
    void ProcessMessage(CRVMSG* pMsg);
    // Every sink's SinkMessage, in order.
    void SendSinkMessage(CRVMSG* pMsg);
    // Waits at most uWaitMs for data once and dispatches the first message
    // from sSenderID (a parked one first); other messages are parked for the
    // pump. 1 if it was dispatched.
    int WaitMessage(unsigned short sSenderID, unsigned int uWaitMs);
    // Keeps reading for up to uWaitMs and returns a heap copy of the first
    // message from sSenderID without dispatching it; null if none came.
    CRVMSG* WaitMessageCopy(unsigned short sSenderID, unsigned int uWaitMs);
    // Finds the controller on the local network and connects to it directly.
    int ExecuteAutoConnect();
    int PendingCount() const { return m_iPendingCount; }

    // Path of the discovery-server list, made by the constructor.
    static char g_szServerPoolPath[512];

private:
    // What the receive buffer holds at its read position.
    enum FRAME_STATE { FRAME_PARTIAL, FRAME_COMPLETE, FRAME_OVERSIZE };

    FRAME_STATE PeekFrame(unsigned int* pTotal) const;
    // Waits for data, then appends what arrived. 0: the link is down.
    int Receive(unsigned int uWaitMs);
    // Moves the unread bytes to the front, when no frame is being dispatched.
    void CompactReceiveBuffer();
    void EmptyReceiveBuffer();
    // Takes the complete frame at the read position and routes it in place.
    void DispatchFrame(unsigned int uTotal);
    // Walks the complete frames for the one from sSenderID, parking the others:
    // dispatches it (ppCopy null) or hands out a copy; 1 when found.
    int TakeFrameFrom(unsigned short sSenderID, CRVMSG** ppCopy);
    // The first parked message from sSenderID, out of the list; null if none.
    CRVMSG* TakePending(unsigned short sSenderID);
    CRVMSG* RemovePendingAt(int i);
    void Park(const CRVMSG* pMsg);
    void DispatchPending();
    // Sinks held at the start of a notification: one that a callback removes
    // is not called afterwards.
    int SnapshotSinks(CSocketSink** ppSinks) const;
    int QualifiesForAutoConnect(const RVT_PINGA& reply) const;
    void NewLink();

    uint32_t m_dwConnectionFlags;        // bit 0: "connected" was last reported
    CZConnection* m_pConnection;
    CSocketSink* m_pSinks[MAX_SINKS];    // registered sinks, not owned, in order
    int m_iSinkCount;
    short m_sNextSinkID;
    CRVMSG* m_pPending[MAX_PENDING];     // owned copies, in arrival order
    int m_iPendingCount;
    LOGIN_CONTEXT m_eLoginContext;
    CRVString m_sSystemName;
    CRVString m_sPassword;
    CRVString m_sClientInfo[4];
    // Unread bytes lie in [m_uReadPos, m_uBytes); a frame being dispatched
    // lies just before m_uReadPos and stays put until its handlers return.
    unsigned char* m_pReceiveBuffer;
    unsigned int m_uReadPos;
    unsigned int m_uBytes;
    int m_iDispatchDepth;
    int m_iSinkMessageBusy;
    uint32_t m_dwLastMessage;            // ticks
    uint32_t m_dwLastReceive;
    CSysLocator* m_pLocator;             // created by auto-connect
    sockaddr_in m_LastDirectAddr;        // all zero unless the last link was direct
    CSocketSink* m_pMainSink;
    uint32_t m_dwLocatorIP;
    uint16_t m_wLocatorPort;
    unsigned int m_uChallengeTimeout;
    unsigned int m_uLoginTimeout;
    unsigned int m_uSilentMessageMs;
    unsigned int m_uSilentReceiveMs;
    CRVCritical m_SendLock;
    std::atomic<bool> m_bAborted;
};

extern CRVServer* g_pRVServer;

// The simulated controller's inner state, shared by its source files.
#pragma once

#include "controller_sim.h"

#include "RVSemaphore.h"
#include "RVThread.h"
#include "rvcritical.h"

#include <stdint.h>
#include <stdio.h>

#include <atomic>
#include <deque>
#include <functional>
#include <random>

// Holds a CRVCritical for a scope.
class CSimLock
{
public:
    explicit CSimLock(CRVCritical& cs) : m_cs(cs) { m_cs.RVLock(); }
    ~CSimLock() { m_cs.RVUnlock(); }
    CSimLock(const CSimLock&) = delete;
    CSimLock& operator=(const CSimLock&) = delete;

private:
    CRVCritical& m_cs;
};

struct SIM_RECORDED
{
    unsigned int uSeq;          // increases by one per frame, never reused
    unsigned int uConnection;   // which accepted connection it came on
    int bSeen;                  // already returned by WaitFor
    std::unique_ptr<CRVMSG> pMsg;
};

// Recorded frames kept at most; the oldest go first (a demo may run for days).
#define SIM_MAX_RECORDED 100000u
// A connection must deliver the primer within this time.
#define SIM_PRIMER_MS 10000u
// After the sim closes a link it waits this long for the viewer to close its
// end, so that everything it sent last is delivered and not reset.
#define SIM_LINGER_MS 500u

typedef std::function<void(CControllerSim&, const CRVMSG&)> SIM_FRAME_HOOK;

struct CControllerSim::IMPL
{
    explicit IMPL(CControllerSim* pOwner);
    ~IMPL();

    // ---- Network thread (sim_net.cpp) ----
    static void* ThreadProc(void* pArg);
    void Run();
    void Accept();
    void OnReadable();
    int TakePrimer();
    void TakeFrames();
    void StartLinger();
    void CloseConnection();
    void SendKeepAliveIfDue();
    unsigned int NextTimeout();

    // ---- Frames from the viewer (sim_answer.cpp) ----
    void HandleFrame(const unsigned char* pFrame);
    void Answer(CRVMSG& msg);
    void AnswerLogin(CRVMSG& msg);
    int SendMsg(CRVMSG& msg);

    // ---- Writing (sim_send.cpp) ----
    // Writes the bytes under the send lock with the current chunking; a
    // non-zero uSplitAt forces one break there. bFrame: the bytes are one
    // frame (for the log). 1 when all went.
    int Write(const unsigned char* p, size_t n, int bFrame, size_t uSplitAt = 0, unsigned int uSplitDelay = 0);
    int WriteAll(int fd, const unsigned char* p, size_t n);
    // Ends the current connection after what was written so far.
    void RequestClose();

    // ---- Waiting (sim_wait.cpp) ----
    // Calls pred under the state lock until it returns true (1), the time-out
    // passes or the sim stops (0).
    int WaitUntil(const std::function<bool()>& pred, unsigned int uMs);
    void Notify();
    void Record(const CRVMSG& msg);

    // ---- Log (sim_log.cpp) ----
    void LogBytes(const char* pszDirection, const unsigned char* p, size_t n, int bFrame);

    // Wakes the network thread's poll.
    void Wake();
    // Closes the listener and the wake pipe (under csState).
    void CloseDescriptors();

    CControllerSim* m_pOwner;

    // csState guards the configuration, the connection state, the records and
    // the waiters. Never take csSend while holding it.
    mutable CRVCritical csState;
    std::string strPassword;
    std::string strFixedChallenge;
    int bFixedChallenge = 0;
    short sWrongReply = 0;
    int bRequireLogin = 1;
    int iSessionID = 1;
    std::string strSystemName = "Simulated Controller";
    unsigned int uKeepAliveMs = 3000;
    int bSilent = 0;
    unsigned int uChunkBytes = 0;
    unsigned int uChunkDelayMs = 0;
    SIM_FRAME_HOOK hook;

    unsigned short usPort = 0;
    int bRunning = 0;
    int bConnected = 0;             // a viewer passed the primer and the link is not closing
    int iConnections = 0;
    int iRejected = 0;
    unsigned int uConnection = 0;   // number of the current (or last) accepted connection
    unsigned int uConnFirstSeq = 0; // first frame sequence number of that connection
    int bLoggedIn = 0;
    std::string strChallenge;       // of the current connection
    std::deque<SIM_RECORDED> frames;
    unsigned int uNextSeq = 0;
    SIM_LOGIN lastLogin;
    int bHaveLogin = 0;
    SIM_SESSION_START lastStart;
    int bHaveStart = 0;
    std::vector<CRVSemaphore*> waiters;

    // Writers hold csSend for a whole frame so that frames never interleave.
    // fdConn changes only on the network thread, and only under csSend.
    CRVCritical csSend;
    int fdConn = -1;
    int bLinger = 0;                // shut down for writing; waiting for the viewer's close

    // Opened by Start, closed by Stop under csState; otherwise used by the
    // network thread only (and aWake[1] by Wake, under csState).
    int fdListen = -1;
    int aWake[2] = {-1, -1};

    // Network thread only.
    std::vector<unsigned char> rx;
    int bPrimerOK = 0;
    uint32_t tickAccepted = 0;
    uint32_t tickLinger = 0;
    uint32_t tickKeepAlive = 0;
    int iEchoCounter = 0;

    std::atomic<int> bStop{0};
    std::atomic<unsigned int> uCloseRequest{0};    // connection number to close, 0 none
    CRVThread thread;
    CRVManualSemaphore evStop;
    CRVManualSemaphore evExited;

    CRVCritical csLog;
    FILE* pLog = nullptr;
    uint32_t tickStart = 0;

    std::mt19937 rng;
};

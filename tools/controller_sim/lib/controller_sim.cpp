// Life cycle, configuration and state queries of the simulated controller.
#include "sim_impl.h"
#include "sim_socket.h"

#include "rvlog.h"
#include "rvsock.h"
#include "rvtick.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

CControllerSim::IMPL::IMPL(CControllerSim* pOwner) : m_pOwner(pOwner), rng(std::random_device{}())
{
}

CControllerSim::IMPL::~IMPL()
{
    if (pLog)
        fclose(pLog);
}

void CControllerSim::IMPL::Wake()
{
    // Under the state lock: Stop() closes the pipe under it, so a late wake-up
    // never writes to a descriptor that was closed (and perhaps reused).
    CSimLock lock(csState);
    if (aWake[1] >= 0) {
        char c = 1;
        // A full pipe already holds a wake-up; nothing is lost.
        ssize_t n = write(aWake[1], &c, 1);
        (void)n;
    }
}

void CControllerSim::IMPL::CloseDescriptors()
{
    for (int* pfd : {&fdListen, &aWake[0], &aWake[1]}) {
        if (*pfd >= 0)
            close(*pfd);
        *pfd = -1;
    }
}

CControllerSim::CControllerSim() : m_p(new IMPL(this))
{
}

CControllerSim::~CControllerSim()
{
    Stop();
}

int CControllerSim::Start(unsigned short usPort)
{
    IMPL& s = *m_p;
    {
        CSimLock lock(s.csState);
        if (s.bRunning)
            return 0;
    }
    uint16_t wBound = 0;
    const int fd = SimBindLoopback(SOCK_STREAM, usPort, &wBound);
    if (fd < 0 || listen(fd, 4) != 0 || !SetNonBlocking(fd)) {
        RVLog(RV_LOG_ERROR, "controller sim: cannot listen on 127.0.0.1:%u", usPort);
        if (fd >= 0)
            close(fd);
        return 0;
    }
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        close(fd);
        return 0;
    }
    s.bStop = 0;
    s.uCloseRequest = 0;
    s.evStop.ResetEvent();
    s.evExited.ResetEvent();
    s.tickStart = RVGetTickCount();
    {
        CSimLock lock(s.csState);
        s.fdListen = fd;
        s.aWake[0] = wake[0];
        s.aWake[1] = wake[1];
        s.usPort = wBound;
        s.bRunning = 1;
    }
    if (s.thread.Start(IMPL::ThreadProc, &s, 262144, "controller-sim") != 0) {
        CSimLock lock(s.csState);
        s.CloseDescriptors();
        s.bRunning = 0;
        return 0;
    }
    RVLog(RV_LOG_INFO, "controller sim: listening on 127.0.0.1:%u", Port());
    return 1;
}

void CControllerSim::Stop()
{
    IMPL& s = *m_p;
    {
        CSimLock lock(s.csState);
        if (!s.bRunning)
            return;
    }
    s.bStop = 1;
    s.evStop.SetEvent();
    s.Wake();
    // The thread closes the connection itself; it never stays long in a round.
    s.evExited.WaitSignal(10000);
    s.thread.WaitComplete(5000);
    {
        CSimLock lock(s.csState);
        s.CloseDescriptors();
        s.bRunning = 0;
        s.bConnected = 0;
    }
    s.Notify();
}

unsigned short CControllerSim::Port() const
{
    CSimLock lock(m_p->csState);
    return m_p->usPort;
}

void CControllerSim::SetPassword(const char* pszPassword)
{
    CSimLock lock(m_p->csState);
    m_p->strPassword = pszPassword ? pszPassword : "";
}

void CControllerSim::SetChallenge(const char* pszChallenge)
{
    CSimLock lock(m_p->csState);
    m_p->bFixedChallenge = pszChallenge != nullptr;
    m_p->strFixedChallenge = pszChallenge ? pszChallenge : "";
    if (pszChallenge)
        m_p->strChallenge = pszChallenge;
}

void CControllerSim::SetWrongPasswordReply(short sMessageID)
{
    CSimLock lock(m_p->csState);
    m_p->sWrongReply = sMessageID;
}

void CControllerSim::SetRequireLogin(int bRequire)
{
    CSimLock lock(m_p->csState);
    m_p->bRequireLogin = bRequire;
}

void CControllerSim::SetSessionID(int iSessionID)
{
    CSimLock lock(m_p->csState);
    m_p->iSessionID = iSessionID;
}

void CControllerSim::SetSystemName(const char* pszName)
{
    CSimLock lock(m_p->csState);
    m_p->strSystemName = pszName ? pszName : "";
}

void CControllerSim::SetKeepAlive(unsigned int uIntervalMs)
{
    {
        CSimLock lock(m_p->csState);
        m_p->uKeepAliveMs = uIntervalMs;
    }
    m_p->Wake();
}

void CControllerSim::SetSilent(int bSilent)
{
    CSimLock lock(m_p->csState);
    m_p->bSilent = bSilent;
}

void CControllerSim::SetChunking(unsigned int uChunkBytes, unsigned int uDelayMs)
{
    CSimLock lock(m_p->csState);
    m_p->uChunkBytes = uChunkBytes;
    m_p->uChunkDelayMs = uDelayMs;
}

void CControllerSim::SetFrameHook(std::function<void(CControllerSim&, const CRVMSG&)> hook)
{
    CSimLock lock(m_p->csState);
    m_p->hook = std::move(hook);
}

int CControllerSim::IsConnected() const
{
    CSimLock lock(m_p->csState);
    return m_p->bConnected;
}

int CControllerSim::WaitConnected(unsigned int uMs)
{
    return m_p->WaitUntil([this] { return m_p->bConnected != 0; }, uMs);
}

int CControllerSim::WaitDisconnected(unsigned int uMs)
{
    return m_p->WaitUntil([this] { return m_p->bConnected == 0; }, uMs);
}

int CControllerSim::ConnectionCount() const
{
    CSimLock lock(m_p->csState);
    return m_p->iConnections;
}

int CControllerSim::RejectedCount() const
{
    CSimLock lock(m_p->csState);
    return m_p->iRejected;
}

void CControllerSim::Disconnect()
{
    m_p->RequestClose();
}

int CControllerSim::GetLastLogin(SIM_LOGIN* pLogin) const
{
    CSimLock lock(m_p->csState);
    if (!m_p->bHaveLogin)
        return 0;
    if (pLogin)
        *pLogin = m_p->lastLogin;
    return 1;
}

int CControllerSim::GetLastSessionStart(SIM_SESSION_START* pStart) const
{
    CSimLock lock(m_p->csState);
    if (!m_p->bHaveStart)
        return 0;
    if (pStart)
        *pStart = m_p->lastStart;
    return 1;
}

// The simulated controller's network thread: accepting, the primer, reading
// frames, keep-alives and closing.
#include "sim_impl.h"

#include "rvlog.h"
#include "rvtick.h"

#include <errno.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The part of uTotal ms not yet used since tickStart, capped at uCap.
unsigned int Remaining(uint32_t tickStart, unsigned int uTotal, unsigned int uCap)
{
    uint32_t used = RVTickSince(tickStart);
    unsigned int left = used >= uTotal ? 0 : uTotal - used;
    return left < uCap ? left : uCap;
}

std::string RandomChallenge(std::mt19937& rng)
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::uniform_int_distribution<int> pick(0, (int)sizeof kChars - 2);
    std::string s;
    for (int i = 0; i < 16; i++)
        s.push_back(kChars[pick(rng)]);
    return s;
}

}  // namespace

void* CControllerSim::IMPL::ThreadProc(void* pArg)
{
    static_cast<IMPL*>(pArg)->Run();
    return nullptr;
}

void CControllerSim::IMPL::Run()
{
    while (!bStop) {
        unsigned int uClose = uCloseRequest.exchange(0);
        if (uClose && fdConn >= 0 && !bLinger && bPrimerOK) {
            unsigned int uCurrent;
            {
                CSimLock lock(csState);
                uCurrent = uConnection;
            }
            if (uClose == uCurrent)
                StartLinger();
        }
        SendKeepAliveIfDue();
        if (fdConn >= 0 && !bPrimerOK && !bLinger && RVTickSince(tickAccepted) >= SIM_PRIMER_MS) {
            RVLog(RV_LOG_WARN, "controller sim: no primer within %u ms; closing", SIM_PRIMER_MS);
            {
                CSimLock lock(csState);
                iRejected++;
            }
            CloseConnection();
        }
        if (bLinger && RVTickSince(tickLinger) >= SIM_LINGER_MS)
            CloseConnection();

        pollfd fds[3];
        fds[0] = {aWake[0], POLLIN, 0};
        fds[1] = {fdListen, POLLIN, 0};
        fds[2] = {fdConn, POLLIN, 0};
        int n = poll(fds, fdConn >= 0 ? 3 : 2, (int)NextTimeout());
        if (n < 0 && errno != EINTR) {
            RVLog(RV_LOG_ERROR, "controller sim: poll failed (%s)", strerror(errno));
            break;
        }
        if (n <= 0)
            continue;
        if (fds[0].revents) {
            char drain[64];
            while (read(aWake[0], drain, sizeof drain) > 0) {
            }
        }
        // The current connection first: accepting may replace it.
        if (fdConn >= 0 && fds[2].revents)
            OnReadable();
        if (fds[1].revents & POLLIN)
            Accept();
    }
    // A writer waiting for room in the socket gives up on bStop; shutting the
    // socket down ends its wait at once.
    if (fdConn >= 0)
        shutdown(fdConn, SHUT_RDWR);
    CloseConnection();
    evExited.SetEvent();
}

unsigned int CControllerSim::IMPL::NextTimeout()
{
    unsigned int t = 1000;
    if (fdConn >= 0 && !bPrimerOK && !bLinger)
        t = Remaining(tickAccepted, SIM_PRIMER_MS, t);
    if (bLinger)
        t = Remaining(tickLinger, SIM_LINGER_MS, t);
    CSimLock lock(csState);
    if (bConnected && bLoggedIn && uKeepAliveMs && !bSilent)
        t = Remaining(tickKeepAlive, uKeepAliveMs, t);
    return t;
}

void CControllerSim::IMPL::Accept()
{
    int fd = accept4(fdListen, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    if (fdConn >= 0) {
        RVLog(RV_LOG_INFO, "controller sim: a new connection replaces the current one");
        shutdown(fdConn, SHUT_RDWR);
        CloseConnection();
    }
    // Small writes leave at once, so that split frames really arrive in pieces.
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    CSimLock send(csSend);
    fdConn = fd;
    bLinger = 0;
    rx.clear();
    bPrimerOK = 0;
    tickAccepted = RVGetTickCount();
}

void CControllerSim::IMPL::OnReadable()
{
    unsigned char buffer[65536];
    ssize_t n = recv(fdConn, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
        return;
    if (n <= 0) {
        if (!bPrimerOK && !bLinger && !rx.empty()) {
            RVLog(RV_LOG_WARN, "controller sim: connection closed inside the primer");
            CSimLock lock(csState);
            iRejected++;
        }
        CloseConnection();
        return;
    }
    if (bLinger)
        return;     // the link is over; what still comes is dropped
    rx.insert(rx.end(), buffer, buffer + n);
    if (!bPrimerOK && !TakePrimer())
        return;
    TakeFrames();
}

int CControllerSim::IMPL::TakePrimer()
{
    size_t k = rx.size() < SIM_PRIMER_SIZE ? rx.size() : SIM_PRIMER_SIZE;
    if (memcmp(rx.data(), SIM_PRIMER, k) != 0) {
        RVLog(RV_LOG_WARN, "controller sim: wrong primer; closing");
        {
            CSimLock lock(csState);
            iRejected++;
        }
        CloseConnection();
        return 0;
    }
    if (k < SIM_PRIMER_SIZE)
        return 0;
    rx.erase(rx.begin(), rx.begin() + SIM_PRIMER_SIZE);
    bPrimerOK = 1;
    {
        CSimLock send(csSend);
        CSimLock lock(csState);
        strChallenge = bFixedChallenge ? strFixedChallenge : RandomChallenge(rng);
        uConnection++;
        iConnections++;
        uConnFirstSeq = uNextSeq;
        bConnected = 1;
        bLoggedIn = 0;
    }
    RVLog(RV_LOG_INFO, "controller sim: viewer connected");
    Notify();
    return 1;
}

void CControllerSim::IMPL::TakeFrames()
{
    size_t off = 0;
    while (fdConn >= 0 && !bLinger && rx.size() - off >= RV_HEADER_SIZE) {
        RVT_HEADER h = RVLoadHeader(rx.data() + off);
        if (h.uLength > RV_MAX_MSG_DATA) {
            RVLog(RV_LOG_WARN, "controller sim: viewer sent a frame of %u data bytes; closing", h.uLength);
            CloseConnection();
            return;
        }
        if (rx.size() - off - RV_HEADER_SIZE < h.uLength)
            break;
        HandleFrame(rx.data() + off);
        off += RV_HEADER_SIZE + h.uLength;
    }
    if (fdConn >= 0)
        rx.erase(rx.begin(), rx.begin() + off);
}

void CControllerSim::IMPL::StartLinger()
{
    CSimLock send(csSend);
    if (fdConn < 0)
        return;
    shutdown(fdConn, SHUT_WR);
    bLinger = 1;
    tickLinger = RVGetTickCount();
    {
        CSimLock lock(csState);
        bConnected = 0;
        bLoggedIn = 0;
    }
    Notify();
}

void CControllerSim::IMPL::CloseConnection()
{
    {
        CSimLock send(csSend);
        if (fdConn < 0)
            return;
        close(fdConn);
        fdConn = -1;
        bLinger = 0;
        CSimLock lock(csState);
        bConnected = 0;
        bLoggedIn = 0;
    }
    rx.clear();
    bPrimerOK = 0;
    RVLog(RV_LOG_INFO, "controller sim: connection closed");
    Notify();
}

void CControllerSim::IMPL::SendKeepAliveIfDue()
{
    int iCounter;
    {
        CSimLock lock(csState);
        if (!bConnected || !bLoggedIn || !uKeepAliveMs || bSilent || RVTickSince(tickKeepAlive) < uKeepAliveMs)
            return;
        tickKeepAlive = RVGetTickCount();
        iCounter = ++iEchoCounter;
    }
    CRVMSG msg(0, SIM_MSG_ECHO, 8, 1);
    msg.PutInt(iCounter);
    msg.PutInt(0);
    SendMsg(msg);
}

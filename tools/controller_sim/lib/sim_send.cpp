// Writing to the viewer: whole frames, chunked frames and the deliberate
// faults (split, lying length, truncation, garbage).
#include "sim_impl.h"

#include "rvlog.h"

#include <errno.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>

int CControllerSim::IMPL::WriteAll(int fd, const unsigned char* p, size_t n)
{
    // Never blocks for long: a viewer that stops reading must not keep
    // Stop() (or the network thread) waiting in send().
    while (n) {
        ssize_t k = send(fd, p, n, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (k < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                if (bStop)
                    return 0;
                pollfd pfd = {fd, POLLOUT, 0};
                poll(&pfd, 1, 50);
                continue;
            }
            RVLog(RV_LOG_INFO, "controller sim: send failed (%s)", strerror(errno));
            return 0;
        }
        p += k;
        n -= (size_t)k;
    }
    return 1;
}

int CControllerSim::IMPL::Write(const unsigned char* p, size_t n, int bFrame, size_t uSplitAt,
                                unsigned int uSplitDelay)
{
    unsigned int uChunk, uDelay;
    {
        CSimLock lock(csState);
        uChunk = uChunkBytes;
        uDelay = uChunkDelayMs;
    }
    CSimLock send(csSend);
    if (fdConn < 0 || bLinger)
        return 0;
    size_t done = 0;
    while (done < n) {
        size_t piece = n - done;
        if (uChunk && piece > uChunk)
            piece = uChunk;
        if (uSplitAt && done < uSplitAt && done + piece > uSplitAt)
            piece = uSplitAt - done;
        if (!WriteAll(fdConn, p + done, piece))
            return 0;
        done += piece;
        if (done < n) {
            unsigned int uPause = uSplitAt && done == uSplitAt ? uSplitDelay : uDelay;
            // Stop() cuts a pause short, and the frame with it.
            if (uPause && evStop.WaitSignal(uPause))
                return 0;
        }
    }
    LogBytes("send", p, n, bFrame);
    return 1;
}

void CControllerSim::IMPL::RequestClose()
{
    CSimLock send(csSend);
    unsigned int uCurrent;
    {
        CSimLock lock(csState);
        if (!bConnected)
            return;
        uCurrent = uConnection;
        bConnected = 0;
        bLoggedIn = 0;
    }
    // What was written is delivered before the end of the stream.
    if (fdConn >= 0)
        shutdown(fdConn, SHUT_WR);
    uCloseRequest = uCurrent;
    Wake();
    Notify();
}

int CControllerSim::Send(CRVMSG& msg)
{
    return m_p->SendMsg(msg);
}

int CControllerSim::SendRaw(const void* pData, size_t n)
{
    if (!pData && n)
        return 0;
    return m_p->Write(static_cast<const unsigned char*>(pData), n, 0);
}

int CControllerSim::SendSplitAt(CRVMSG& msg, size_t uOffset, unsigned int uDelayMs)
{
    return m_p->Write(reinterpret_cast<const unsigned char*>(msg.MSG()), (size_t)msg.MSGSize(), 1,
                      uOffset, uDelayMs);
}

int CControllerSim::SendWithLength(CRVMSG& msg, unsigned int uLength)
{
    std::vector<unsigned char> frame(RV_HEADER_SIZE + (size_t)msg.DataSize());
    RVT_HEADER h{msg.SenderID(), msg.MessageID(), uLength};
    RVStoreHeader(frame.data(), h);
    if (msg.DataSize() > 0)
        memcpy(frame.data() + RV_HEADER_SIZE, msg.Data(), (size_t)msg.DataSize());
    return m_p->Write(frame.data(), frame.size(), 0);
}

int CControllerSim::SendTruncatedAndClose(CRVMSG& msg, size_t uBytes)
{
    size_t n = (size_t)msg.MSGSize();
    if (uBytes > n)
        uBytes = n;
    // Held across both steps so that no other frame slips in before the close.
    CSimLock send(m_p->csSend);
    int ok = uBytes == 0 || m_p->Write(reinterpret_cast<const unsigned char*>(msg.MSG()), uBytes, 0);
    m_p->RequestClose();
    return ok;
}

int CControllerSim::SendGarbage(size_t n, unsigned int uSeed)
{
    std::mt19937 gen(uSeed);
    std::vector<unsigned char> bytes(n);
    for (unsigned char& b : bytes)
        b = (unsigned char)(gen() & 0xFF);
    return m_p->Write(bytes.data(), n, 0);
}

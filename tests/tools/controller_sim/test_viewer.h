// A bare-socket viewer for the simulated controller's tests: it writes bytes
// and frames and reads frames back, without any of the viewer's session code,
// so that a fault in either side cannot hide the other's.
#pragma once

#include "controller_sim.h"

#include <arpa/inet.h>
#include <errno.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

struct TestFrame
{
    short sSenderID = 0;
    short sMessageID = 0;
    unsigned int uLength = 0;
    Bytes data;
};

inline Bytes FrameBytes(short sSender, short sID, const Bytes& data)
{
    Bytes out(RV_HEADER_SIZE);
    RVT_HEADER h{sSender, sID, (unsigned int)data.size()};
    memcpy(out.data(), &h, sizeof h);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

inline Bytes MsgBytes(CRVMSG& msg)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(msg.MSG());
    return Bytes(p, p + msg.MSGSize());
}

class CTestViewer
{
public:
    ~CTestViewer() { Close(); }

    bool Connect(unsigned short usPort, bool bPrimer = true)
    {
        Close();
        m_fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in addr;
        memset(&addr, 0, sizeof addr);
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = htons(usPort);
        if (m_fd < 0 || connect(m_fd, (sockaddr*)&addr, sizeof addr) != 0)
            return false;
        int one = 1;
        setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        return !bPrimer || Write(SIM_PRIMER, SIM_PRIMER_SIZE);
    }

    void Close()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
        m_rx.clear();
    }

    bool Write(const void* p, size_t n)
    {
        const char* q = static_cast<const char*>(p);
        while (n) {
            ssize_t k = send(m_fd, q, n, MSG_NOSIGNAL);
            if (k <= 0)
                return false;
            q += k;
            n -= (size_t)k;
        }
        return true;
    }
    bool Write(const Bytes& b) { return Write(b.data(), b.size()); }
    bool Send(CRVMSG& msg) { return Write(MsgBytes(msg)); }
    bool Send(short sSender, short sID, const Bytes& data = Bytes()) { return Write(FrameBytes(sSender, sID, data)); }

    // One recv of whatever is there within ms; the count, 0 at end of stream,
    // -1 on time-out or error. The bytes are appended to the buffer.
    int ReadSome(int ms)
    {
        pollfd p = {m_fd, POLLIN, 0};
        if (poll(&p, 1, ms) <= 0)
            return -1;
        unsigned char buffer[65536];
        ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
        if (n > 0)
            m_rx.insert(m_rx.end(), buffer, buffer + n);
        return n < 0 ? -1 : (int)n;
    }

    // The next whole frame within ms.
    bool ReadFrame(TestFrame* pOut, int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            if (m_rx.size() >= RV_HEADER_SIZE) {
                RVT_HEADER h = RVLoadHeader(m_rx.data());
                if (h.uLength <= RV_MAX_MSG_DATA && m_rx.size() - RV_HEADER_SIZE >= h.uLength) {
                    pOut->sSenderID = h.sSenderID;
                    pOut->sMessageID = h.sMessageID;
                    pOut->uLength = h.uLength;
                    pOut->data.assign(m_rx.begin() + RV_HEADER_SIZE, m_rx.begin() + RV_HEADER_SIZE + h.uLength);
                    m_rx.erase(m_rx.begin(), m_rx.begin() + RV_HEADER_SIZE + h.uLength);
                    return true;
                }
            }
            int left = (int)std::chrono::duration_cast<std::chrono::milliseconds>(
                           end - std::chrono::steady_clock::now()).count();
            if (left <= 0 || ReadSome(left) <= 0)
                return false;
        }
    }

    // The next frame with this message ID, skipping others (keep-alives).
    bool ReadFrameID(short sID, TestFrame* pOut, int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            int left = (int)std::chrono::duration_cast<std::chrono::milliseconds>(
                           end - std::chrono::steady_clock::now()).count();
            if (left <= 0 || !ReadFrame(pOut, left))
                return false;
            if (pOut->sMessageID == sID)
                return true;
        }
    }

    // Exactly n bytes within ms (buffered bytes first).
    bool ReadBytes(size_t n, Bytes* pOut, int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (m_rx.size() < n) {
            int left = (int)std::chrono::duration_cast<std::chrono::milliseconds>(
                           end - std::chrono::steady_clock::now()).count();
            if (left <= 0 || ReadSome(left) <= 0)
                return false;
        }
        pOut->assign(m_rx.begin(), m_rx.begin() + n);
        m_rx.erase(m_rx.begin(), m_rx.begin() + n);
        return true;
    }

    // True when the peer ends the stream within ms (data before it is kept).
    bool WaitClosed(int ms = 2000)
    {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            int left = (int)std::chrono::duration_cast<std::chrono::milliseconds>(
                           end - std::chrono::steady_clock::now()).count();
            if (left <= 0)
                return false;
            pollfd p = {m_fd, POLLIN, 0};
            if (poll(&p, 1, left) <= 0)
                return false;
            unsigned char buffer[65536];
            ssize_t n = recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                return true;
            m_rx.insert(m_rx.end(), buffer, buffer + n);
        }
    }

    Bytes& Buffered() { return m_rx; }
    int Fd() const { return m_fd; }

private:
    int m_fd = -1;
    Bytes m_rx;
};

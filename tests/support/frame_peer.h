// A bare controller end for session tests: a TCP listener on 127.0.0.1 that
// accepts one connection and reads and writes raw frames (8-byte header, data)
// with no protocol of its own. Tests use it where they need exact control of
// the bytes and of their timing.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <stdint.h>
#include <thread>
#include <vector>

typedef std::vector<unsigned char> Bytes;

// One frame: header (sender ID, message ID, data length) and the data.
inline Bytes MakeFrame(short sSender, short sMessage, const Bytes& data = Bytes())
{
    Bytes f(8 + data.size());
    uint32_t len = (uint32_t)data.size();
    memcpy(&f[0], &sSender, 2);
    memcpy(&f[2], &sMessage, 2);
    memcpy(&f[4], &len, 4);
    if (!data.empty())
        memcpy(&f[8], data.data(), data.size());
    return f;
}

// Little-endian int as message data.
inline Bytes IntData(int v)
{
    Bytes b(4);
    memcpy(&b[0], &v, 4);
    return b;
}

struct RAW_FRAME
{
    short sSender = 0;
    short sMessage = 0;
    Bytes data;
};

class CFramePeer
{
public:
    CFramePeer()
    {
        m_listen = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr;
        memset(&addr, 0, sizeof addr);
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (m_listen >= 0 && bind(m_listen, (sockaddr*)&addr, sizeof addr) == 0 && listen(m_listen, 4) == 0 &&
            getsockname(m_listen, (sockaddr*)&addr, &len) == 0)
            m_port = ntohs(addr.sin_port);
    }
    ~CFramePeer()
    {
        StopResponder();
        Close();
        if (m_listen >= 0)
            close(m_listen);
    }
    CFramePeer(const CFramePeer&) = delete;
    CFramePeer& operator=(const CFramePeer&) = delete;

    unsigned short Port() const { return m_port; }
    // 127.0.0.1 at the listening port.
    sockaddr_in Address() const
    {
        sockaddr_in a;
        memset(&a, 0, sizeof a);
        a.sin_family = AF_INET;
        a.sin_port = htons(m_port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }

    // Accepts the session's connection (after it connected), within ms.
    bool Accept(int ms = 2000)
    {
        pollfd p = { m_listen, POLLIN, 0 };
        if (poll(&p, 1, ms) <= 0)
            return false;
        Close();
        m_fd = accept(m_listen, nullptr, nullptr);
        if (m_fd >= 0) {
            int one = 1;
            setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        }
        return m_fd >= 0;
    }
    void Close()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
    }
    int Fd() const { return m_fd; }

    bool Send(const Bytes& b) { return Send(b.data(), b.size()); }
    bool Send(const void* p, size_t n)
    {
        const char* c = static_cast<const char*>(p);
        while (n > 0) {
            ssize_t r = send(m_fd, c, n, MSG_NOSIGNAL);
            if (r <= 0)
                return false;
            c += r;
            n -= (size_t)r;
        }
        return true;
    }
    bool SendFrame(short sSender, short sMessage, const Bytes& data = Bytes())
    {
        return Send(MakeFrame(sSender, sMessage, data));
    }

    // Exactly n bytes within ms (in total); false on time-out or close.
    bool ReadExact(unsigned char* p, size_t n, int ms)
    {
        while (n > 0) {
            pollfd pf = { m_fd, POLLIN, 0 };
            if (poll(&pf, 1, ms) <= 0)
                return false;
            ssize_t r = recv(m_fd, p, n, 0);
            if (r <= 0)
                return false;
            p += r;
            n -= (size_t)r;
        }
        return true;
    }
    // Skips the 21-byte primer of a direct connection.
    bool ReadPrimer(int ms = 2000)
    {
        unsigned char b[21];
        return ReadExact(b, sizeof b, ms) && memcmp(b, "CONNECTSERVERHOST\r\n\r\n", 21) == 0;
    }
    // One whole frame; the raw bytes too when pRaw is given.
    bool ReadFrame(RAW_FRAME* pFrame, int ms = 2000, Bytes* pRaw = nullptr)
    {
        unsigned char h[8];
        if (!ReadExact(h, 8, ms))
            return false;
        uint32_t len;
        memcpy(&pFrame->sSender, h, 2);
        memcpy(&pFrame->sMessage, h + 2, 2);
        memcpy(&len, h + 4, 4);
        if (len > 1000000)
            return false;
        pFrame->data.resize(len);
        if (len && !ReadExact(pFrame->data.data(), len, ms))
            return false;
        if (pRaw) {
            pRaw->assign(h, h + 8);
            pRaw->insert(pRaw->end(), pFrame->data.begin(), pFrame->data.end());
        }
        return true;
    }

    // Answers on a thread of its own: every frame the session sends goes to
    // handler (which may Send) until StopResponder or the link closes.
    void StartResponder(std::function<void(CFramePeer&, const RAW_FRAME&)> handler)
    {
        StopResponder();
        m_stop = false;
        m_responder = std::thread([this, handler] {
            while (!m_stop) {
                RAW_FRAME f;
                pollfd pf = { m_fd, POLLIN, 0 };
                if (poll(&pf, 1, 20) <= 0)
                    continue;
                if (!ReadFrame(&f, 2000))
                    return;
                handler(*this, f);
            }
        });
    }
    void StopResponder()
    {
        m_stop = true;
        if (m_responder.joinable())
            m_responder.join();
    }

private:
    int m_listen = -1;
    int m_fd = -1;
    unsigned short m_port = 0;
    std::atomic<bool> m_stop{ false };
    std::thread m_responder;
};

// A UDP peer on 127.0.0.1 at a free port, for tests of code that sends
// datagrams and reads the answers: it counts what arrives and answers the
// last sender.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string.h>

#include <vector>

class CUdpResponder
{
public:
    CUdpResponder()
    {
        m_fd = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in addr;
        memset(&addr, 0, sizeof(addr));
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        if (m_fd >= 0 && bind(m_fd, (sockaddr*)&addr, sizeof(addr)) == 0)
        {
            socklen_t len = sizeof(addr);
            getsockname(m_fd, (sockaddr*)&addr, &len);
            m_port = ntohs(addr.sin_port);
        }
        memset(&m_sender, 0, sizeof(m_sender));
    }
    ~CUdpResponder()
    {
        if (m_fd >= 0)
            close(m_fd);
    }

    bool Ok() const { return m_fd >= 0 && m_port != 0; }
    unsigned short Port() const { return m_port; }
    // 127.0.0.1 in memory order, as the engine holds addresses.
    static unsigned int LoopbackIP() { return htonl(INADDR_LOOPBACK); }

    // Reads every datagram that arrives, waiting up to waitMs for each next
    // one; remembers the last sender. Returns them in arrival order.
    std::vector<std::vector<unsigned char>> Drain(int waitMs = 100)
    {
        std::vector<std::vector<unsigned char>> got;
        for (;;)
        {
            pollfd p = { m_fd, POLLIN, 0 };
            if (poll(&p, 1, waitMs) <= 0)
                return got;
            unsigned char buffer[65536];
            socklen_t len = sizeof(m_sender);
            ssize_t n = recvfrom(m_fd, buffer, sizeof(buffer), 0, (sockaddr*)&m_sender, &len);
            if (n < 0)
                return got;
            got.emplace_back(buffer, buffer + n);
        }
    }

    // Sends one datagram to the last sender seen by Drain.
    bool Reply(const void* data, size_t length)
    {
        if (m_sender.sin_port == 0)
            return false;
        return sendto(m_fd, data, length, 0, (const sockaddr*)&m_sender, sizeof(m_sender)) ==
               (ssize_t)length;
    }
    bool Reply(const std::vector<unsigned char>& data) { return Reply(data.data(), data.size()); }

private:
    int m_fd = -1;
    unsigned short m_port = 0;
    sockaddr_in m_sender;
};

#include "sim_announcer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <string.h>
#include <sys/socket.h>
#include <unistd.h>

#include "sim_socket.h"
#include "syslocator.h"

namespace {

enum { POLL_MS = 100 };

}  // namespace

CSimAnnouncer::~CSimAnnouncer()
{
    Stop();
}

int CSimAnnouncer::Start(uint16_t wUdpPort, uint16_t wTcpPort, const char* pszName, uint8_t byType,
                         uint8_t bySubType)
{
    if (m_fd >= 0)
        return 0;
    m_fd = SimBindLoopback(SOCK_DGRAM, wUdpPort, &m_wPort);
    if (m_fd < 0)
        return 0;

    // The record as a controller sends it: little-endian fields, the address
    // first octet first, the name zero-padded.
    RVT_PINGA answer;
    memset(&answer, 0, sizeof answer);
    answer.dwCode = RVT_PINGA_CODE;
    answer.dwIP = htonl(INADDR_LOOPBACK);
    answer.wPort = wTcpPort;
    answer.byType = byType;
    answer.bySubType = bySubType;
    strncpy(answer.szName, pszName ? pszName : "", sizeof answer.szName - 1);
    memcpy(m_abAnswer, &answer, sizeof m_abAnswer);

    m_bStop = false;
    m_Thread = std::thread(&CSimAnnouncer::Serve, this);
    return 1;
}

void CSimAnnouncer::Stop()
{
    m_bStop = true;
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_fd >= 0)
        close(m_fd);
    m_fd = -1;
}

void CSimAnnouncer::Serve()
{
    while (!m_bStop) {
        pollfd p = {m_fd, POLLIN, 0};
        if (poll(&p, 1, POLL_MS) <= 0)
            continue;
        uint8_t query[64];
        sockaddr_in from;
        socklen_t len = sizeof from;
        const ssize_t n = recvfrom(m_fd, query, sizeof query, 0, (sockaddr*)&from, &len);
        uint32_t dwCode = 0;
        if (n != 8)
            continue;
        memcpy(&dwCode, query, sizeof dwCode);
        if (dwCode != RVT_PING_QUERY)
            continue;
        // Counted first: the viewer may read the answer before sendto returns.
        ++m_iAnswered;
        sendto(m_fd, m_abAnswer, sizeof m_abAnswer, 0, (const sockaddr*)&from, len);
    }
}

#include "syslocator.h"

#include <string.h>
#include <sys/socket.h>

#include "rvdebug.h"
#include "rvsock.h"
#include "rvtick.h"

// The records are copied as they lie on the wire, which is little-endian.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "locator records are little-endian");

namespace {

// Anything longer than this is certainly not an answer; it is read (truncated)
// only so that it leaves the socket.
const int DATAGRAM_BUFFER = 4096;

// An answer is exactly one record whose first 32-bit value is its code.
bool IsRecord(const void* pData, int iLength, size_t size, uint32_t dwCode)
{
    if (pData == nullptr || iLength != (int)size)
        return false;
    uint32_t code;
    memcpy(&code, pData, 4);
    return code == dwCode;
}

} // namespace

CSysLocator::CSysLocator(uint32_t dwInterval, uint32_t dwTargetIP, uint16_t wTargetPort)
    : m_iSocket(-1),
      m_dwLastBroadcast(RVGetTickCount()),
      m_iNetworkState(0),
      m_bPending(1),
      m_dwInterval(dwInterval),
      m_dwTargetIP(dwTargetIP),
      m_wTargetPort(wTargetPort)
{
    OpenSocket();
}

CSysLocator::~CSysLocator()
{
    CloseSocket(m_iSocket);
}

void CSysLocator::OpenSocket()
{
    m_iSocket = socket(AF_INET, SOCK_DGRAM, 0);
    if (m_iSocket < 0)
    {
        RVLog(RV_LOG_WARN, "locator: no UDP socket");
        return;
    }
    int on = 1;
    if (setsockopt(m_iSocket, SOL_SOCKET, SO_BROADCAST, &on, sizeof(on)) != 0)
        RVLog(RV_LOG_WARN, "locator: SO_BROADCAST refused");
}

int CSysLocator::Broadcast(uint32_t dwQueryCode)
{
    uint32_t query[2] = { dwQueryCode, 0 };
    sockaddr_in to;
    memset(&to, 0, sizeof(to));
    to.sin_family = AF_INET;
    to.sin_port = htons(m_wTargetPort);
    SetIP(m_dwTargetIP, &to);
    m_dwLastBroadcast = RVGetTickCount();
    if (m_iSocket < 0)
        return 0;
    ssize_t sent = sendto(m_iSocket, query, sizeof(query), 0, (const sockaddr*)&to, sizeof(to));
    return sent == (ssize_t)sizeof(query) ? 1 : 0;
}

void CSysLocator::BroadcastIfDue(uint32_t dwQueryCode)
{
    if (!m_bPending && RVTickSince(m_dwLastBroadcast) <= m_dwInterval)
        return;
    m_bPending = 0;
    // A failed send may mean the socket went bad (interface gone): start afresh.
    if (m_iNetworkState == 1)
    {
        CloseSocket(m_iSocket);
        OpenSocket();
    }
    m_iNetworkState = Broadcast(dwQueryCode) ? 0 : 1;
}

int CSysLocator::ReceiveDatagram(uint8_t* pBuffer, int iSize, uint32_t ms)
{
    if (!WaitSocketReadState(m_iSocket, ms))
        return 0;
    ssize_t n = recv(m_iSocket, pBuffer, (size_t)iSize, MSG_DONTWAIT);
    return n > 0 ? (int)n : 0;
}

template <class ANSWER>
int CSysLocator::Collect(ANSWER* pAnswer, uint32_t dwQueryCode, uint32_t ms)
{
    RV_ASSERT(pAnswer != nullptr);
    if (pAnswer == nullptr)
        return 0;
    memset(pAnswer, 0, sizeof(*pAnswer));
    BroadcastIfDue(dwQueryCode);
    uint8_t buffer[DATAGRAM_BUFFER];
    int n = ReceiveDatagram(buffer, sizeof(buffer), ms);
    return ParseAnswer(buffer, n, pAnswer);
}

int CSysLocator::CollectNextSystem(RVT_PINGA* pAnswer, uint32_t ms)
{
    return Collect(pAnswer, RVT_PING_QUERY, ms);
}

int CSysLocator::CollectNextSystem(RVT_PING51A* pAnswer, uint32_t ms)
{
    return Collect(pAnswer, RVT_PING51_QUERY, ms);
}

int CSysLocator::ParseAnswer(const void* pData, int iLength, RVT_PINGA* pAnswer)
{
    if (!IsRecord(pData, iLength, sizeof(RVT_PINGA), RVT_PINGA_CODE) || pAnswer == nullptr)
        return 0;
    memcpy(pAnswer, pData, sizeof(RVT_PINGA));
    // The name comes from the network: never let it run past the record.
    pAnswer->szName[sizeof(pAnswer->szName) - 1] = '\0';
    return 1;
}

int CSysLocator::ParseAnswer(const void* pData, int iLength, RVT_PING51A* pAnswer)
{
    if (!IsRecord(pData, iLength, sizeof(RVT_PING51A), RVT_PING51A_CODE) || pAnswer == nullptr)
        return 0;
    memcpy(pAnswer, pData, sizeof(RVT_PING51A));
    return 1;
}

// CSysLocator: finds controllers on the local network.
//
// The viewer broadcasts an 8-byte query (a 32-bit query code and a 32-bit 0,
// little-endian) to UDP port 444; every controller answers with a short record
// giving its address, viewer port, kind and name. Polling the locator re-sends
// the query at most once per interval and hands back one answer per call.
#pragma once

#include <stdint.h>

// Short answer, exactly 40 bytes on the wire. Fields are in host order after
// parsing; the address stays in memory order (first octet first).
struct RVT_PINGA
{
    uint32_t dwCode;        // RVT_PINGA_CODE
    uint32_t dwIP;          // the controller's IPv4 address, first octet first
    uint16_t wPort;         // the controller's TCP port for viewers
    uint8_t byType;         // kind of system
    uint8_t bySubType;      // flags: 0x20 accepts this viewer, 0x10 does not
    char szName[28];        // ASCII, always zero-terminated after parsing
};
static_assert(sizeof(RVT_PINGA) == 40, "RVT_PINGA is 40 bytes on the wire");

// Long answer, exactly 180 bytes; only its code is interpreted.
struct RVT_PING51A
{
    uint32_t dwCode;        // RVT_PING51A_CODE
    uint8_t abData[176];
};
static_assert(sizeof(RVT_PING51A) == 180, "RVT_PING51A is 180 bytes on the wire");

enum
{
    RVT_PING_QUERY = 1,         // asks for RVT_PINGA
    RVT_PINGA_CODE = 2,
    RVT_PING51_QUERY = 18503,   // asks for RVT_PING51A
    RVT_PING51A_CODE = 18504,
};

#define SYSLOCATOR_BROADCAST_IP 0xFFFFFFFFu     // 255.255.255.255
#define SYSLOCATOR_PORT 444

class CSysLocator
{
public:
    // dwInterval: milliseconds after which a poll sends the query again. The
    // query goes to dwTargetIP (memory order) at wTargetPort, the local
    // broadcast by default.
    explicit CSysLocator(uint32_t dwInterval, uint32_t dwTargetIP = SYSLOCATOR_BROADCAST_IP,
                         uint16_t wTargetPort = SYSLOCATOR_PORT);
    virtual ~CSysLocator();
    // Owns its socket.
    CSysLocator(const CSysLocator&) = delete;
    CSysLocator& operator=(const CSysLocator&) = delete;

    // Sends the 8-byte query with the given code and records the time;
    // 1 if all 8 bytes went.
    int Broadcast(uint32_t dwQueryCode);

    // Clears *pAnswer, sends the query when it is due, then waits at most ms
    // milliseconds for one datagram and reads it. 1 when it was an answer of the
    // asked-for kind (copied to *pAnswer); 0 for none or for any other datagram,
    // which is consumed and dropped.
    int CollectNextSystem(RVT_PINGA* pAnswer, uint32_t ms);
    int CollectNextSystem(RVT_PING51A* pAnswer, uint32_t ms);

    // 0: the last query was sent; 1: sending it failed.
    int NetworkState() const { return m_iNetworkState; }

    // Checks one received datagram. 1 when it is exactly one answer record with
    // the right code; the record is then stored in *pAnswer (the short answer's
    // name is cut to 27 characters if it carries no terminator). 0 otherwise,
    // with *pAnswer untouched.
    static int ParseAnswer(const void* pData, int iLength, RVT_PINGA* pAnswer);
    static int ParseAnswer(const void* pData, int iLength, RVT_PING51A* pAnswer);

private:
    void OpenSocket();
    void BroadcastIfDue(uint32_t dwQueryCode);
    // Waits for and reads one datagram into pBuffer; its length, or 0 for none.
    int ReceiveDatagram(uint8_t* pBuffer, int iSize, uint32_t ms);
    template <class ANSWER> int Collect(ANSWER* pAnswer, uint32_t dwQueryCode, uint32_t ms);

    int m_iSocket;
    uint32_t m_dwLastBroadcast;
    int m_iNetworkState;
    int m_bPending;
    uint32_t m_dwInterval;
    uint32_t m_dwTargetIP;
    uint16_t m_wTargetPort;
};

// CSimAnnouncer: answers the viewer's discovery queries as a controller on
// the local network does, from a UDP port on 127.0.0.1, so that the connect
// window's list can be tried and tested without a network (the viewer's
// locator is pointed at this port instead of the broadcast address).
#pragma once

#include <stdint.h>

#include <atomic>
#include <string>
#include <thread>

class CSimAnnouncer
{
public:
    CSimAnnouncer() = default;
    ~CSimAnnouncer();

    CSimAnnouncer(const CSimAnnouncer&) = delete;
    CSimAnnouncer& operator=(const CSimAnnouncer&) = delete;

    // Listens on 127.0.0.1:wUdpPort (0: a free port) and answers every short
    // query (code 1) with a 40-byte record naming 127.0.0.1:wTcpPort, the kind,
    // the flags (0x20: viewers may connect) and the name (at most 27
    // characters are sent). 1 on success.
    int Start(uint16_t wUdpPort, uint16_t wTcpPort, const char* pszName, uint8_t byType = 1,
              uint8_t bySubType = 0x20);
    // Stops answering (joins the thread). Safe to call twice.
    void Stop();
    uint16_t Port() const { return m_wPort; }
    // Queries answered (or being answered) since Start.
    int Answered() const { return m_iAnswered.load(); }

private:
    void Serve();

    int m_fd = -1;
    uint16_t m_wPort = 0;
    uint8_t m_abAnswer[40] = {0};
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_iAnswered{0};
    std::thread m_Thread;
};

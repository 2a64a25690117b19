// The connect page's view of local discovery: CLxSysLocator polls the locator
// and turns each answer into a CLocalSystem, one per controller in the list.
#pragma once

#include <stdint.h>

#include "rvstring.h"
#include "syslocator.h"

class CLocalSystem
{
public:
    // The last-seen time starts now.
    CLocalSystem(const CRVString& name, uint32_t dwIP, uint16_t wPort, int iType, int iSubType);

    const CRVString& Name() const { return m_Name; }
    uint32_t IP() const { return m_dwIP; }        // memory order, first octet first
    uint16_t Port() const { return m_wPort; }
    int Type() const { return m_iType; }
    int SubType() const { return m_iSubType; }

    // Seconds since the system last answered; ResetPingTime marks it as answering now.
    double LastPingTime() const;
    void ResetPingTime();

    // Same controller when the address is the same; name and port may differ.
    int IsSameSystem(const CLocalSystem* pOther) const;

    // Kept for the front end; nothing else sets it.
    int IsKnownSystem() const { return m_bKnownSystem; }
    void IsKnownSystem(int bKnown) { m_bKnownSystem = bKnown; }

    // Whether this viewer may connect: never to the kinds 2 to 5, nor to a system
    // flagged 0x10; otherwise only to one flagged 0x20.
    int IsCompatibleSystem() const;

private:
    CRVString m_Name;
    uint32_t m_dwIP;
    uint16_t m_wPort;
    int m_iType;
    int m_iSubType;
    double m_dLastSeen;     // seconds on the monotonic clock
    int m_bKnownSystem;
};

class CLxSysLocator
{
public:
    enum { INTERVAL_MS = 300, POLL_MS = 50 };

    // The target defaults to the local broadcast at the locator port.
    explicit CLxSysLocator(uint32_t dwTargetIP = SYSLOCATOR_BROADCAST_IP,
                           uint16_t wTargetPort = SYSLOCATOR_PORT);

    // 1 while the last query could be sent.
    int IsNetworkOK() const { return m_Locator.NetworkState() == 0 ? 1 : 0; }

    // One poll of at most 50 ms: a new CLocalSystem (owned by the caller) for an
    // accepted answer, else null.
    CLocalSystem* FindNextLocalSystem();

private:
    CSysLocator m_Locator;
};

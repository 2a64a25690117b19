// CStatusSink: how the discovery and connection code reports progress to the
// user interface while it works.
//
// The sink holds an opaque pointer to a user-interface object. Status texts go
// to it, as UTF-8, through the one bridge function that the front end installs
// (the engine never calls the user interface directly). Without a target or a
// bridge a text goes nowhere.
#pragma once

#include "rvstring.h"

// Shows pszUtf8 on the user-interface object pTarget.
typedef void (*STATUS_SINK_SET_STATUS)(void* pTarget, const char* pszUtf8);

class CStatusSink
{
public:
    explicit CStatusSink(void* pTarget = nullptr) : m_pTarget(pTarget) {}
    virtual ~CStatusSink() {}

    // Shows a status text on the target.
    virtual void SetStatus(CRVString sStatus);
    // Called while waiting; 1 to go on.
    virtual int DoWaitProc();
    // A gateway found on the local network (name, memory-order IPv4 address,
    // port). Nothing on this platform.
    virtual void RegisterLocalGateway(CRVString sName, unsigned int uIP, unsigned short wPort);
    // Whether a gateway name is acceptable: always 1 on this platform.
    virtual int IsValidGateway(CRVString sName);

    void* Target() const { return m_pTarget; }

    // Installed by the front end once at start-up; null removes it.
    static void SetBridge(STATUS_SINK_SET_STATUS pfnSetStatus);

protected:
    void* m_pTarget;
};

// CRVServer: the viewer's one session with a controller, reachable as g_pRVServer.
//
// The session is itself a sink with sender ID 0 and the first entry of its own
// sink list. For now the class holds only the sink list and the sender-ID
// counter that every CSocketSink draws its ID from; the connection, login,
// message pump and sink registration come with the rest of the session.
#pragma once

#include "socksink.h"

class CRVServer : public CSocketSink
{
public:
    enum { MAX_SINKS = 32 };

    CRVServer();
    ~CRVServer() override;

    // The first sender ID, from the counter on, that no registered sink holds;
    // the counter is left one above it. IDs are 15-bit and wrap to 0 after
    // 0x7FFF; 0 is the session's own, so a fresh session hands out 1, 2, 3 ...
    short NextSinkID();

private:
    CSocketSink* m_pSinks[MAX_SINKS];   // registered sinks, not owned, in order
    int m_iSinkCount;
    short m_sNextSinkID;
};

extern CRVServer* g_pRVServer;

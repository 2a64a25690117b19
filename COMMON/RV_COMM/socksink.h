// CSocketSink: the base of every receiver of controller messages.
//
// The session routes each incoming message to the sink whose sender ID the
// message carries (0x7FFF addresses every sink). The base notifications do
// nothing. The destructor does not unregister: a sink that registers itself
// with the session also removes itself.
#pragma once

#include <stdint.h>

class CRVMSG;

class CSocketSink
{
public:
    // Takes the next free sender ID from the session. Without a session the ID is
    // 0, which the session keeps for itself and which addresses no particular sink.
    CSocketSink();
    explicit CSocketSink(short sSenderID);
    virtual ~CSocketSink();

    virtual void SinkMessage(CRVMSG* pMsg);
    virtual void ConnectionChanged(int bConnected);

    short SenderID() const { return m_sSenderID; }
    void SenderID(short sSenderID) { m_sSenderID = sSenderID; }
    // Takes a fresh ID from the session (none without a session).
    void RegenSenderID();
    // Exchanges the sender IDs of this sink and pOther.
    void SwapID(CSocketSink* pOther);

protected:
    short m_sSenderID;
    uint32_t m_dwFlags;     // cleared at construction; for the derived sinks' use
};

// A session sink that writes what it receives into a shared log, so that tests
// can check who got which message, in which order, and how often.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "rvmsg.h"
#include "rvserver.h"
#include "socksink.h"

struct SINK_EVENT
{
    std::string who;
    bool bConnection = false;   // a ConnectionChanged call, else a message
    int iConnected = 0;
    short sSender = 0;
    short sMessage = 0;
    int iFirstInt = -1;         // the message's first int read from its start (-1: none)

    bool operator==(const SINK_EVENT& o) const
    {
        return who == o.who && bConnection == o.bConnection && iConnected == o.iConnected &&
               sSender == o.sSender && sMessage == o.sMessage && iFirstInt == o.iFirstInt;
    }
};

inline SINK_EVENT MessageEvent(const char* who, short sender, short message, int firstInt = -1)
{
    SINK_EVENT e;
    e.who = who;
    e.sSender = sender;
    e.sMessage = message;
    e.iFirstInt = firstInt;
    return e;
}

inline SINK_EVENT ConnectionEvent(const char* who, int connected)
{
    SINK_EVENT e;
    e.who = who;
    e.bConnection = true;
    e.iConnected = connected;
    return e;
}

class CRecordingSink : public CSocketSink
{
public:
    // Takes a sender ID from the session (g_pRVServer), or the given one.
    CRecordingSink(const char* pszName, std::vector<SINK_EVENT>* pLog) : m_name(pszName), m_pLog(pLog) {}
    CRecordingSink(const char* pszName, std::vector<SINK_EVENT>* pLog, short sID)
        : CSocketSink(sID), m_name(pszName), m_pLog(pLog)
    {
    }
    ~CRecordingSink() override
    {
        if (g_pRVServer)
            g_pRVServer->RemoveSocketSink(this);
        if (g_pRVServer && g_pRVServer->MainWindowSink() == this)
            g_pRVServer->SetMainWindowSink(nullptr);
    }

    void SinkMessage(CRVMSG* pMsg) override
    {
        int v = -1;
        if (!pMsg->GetInt(&v))
            v = -1;
        m_pLog->push_back(MessageEvent(m_name.c_str(), pMsg->SenderID(), pMsg->MessageID(), v));
        if (m_onMessage)
            m_onMessage(pMsg);
    }
    void ConnectionChanged(int bConnected) override
    {
        m_pLog->push_back(ConnectionEvent(m_name.c_str(), bConnected));
    }

    // Runs after the message was logged (on the thread that pumps).
    std::function<void(CRVMSG*)> m_onMessage;

private:
    std::string m_name;
    std::vector<SINK_EVENT>* m_pLog;
};

inline void PrintTo(const SINK_EVENT& e, std::ostream* os)
{
    if (e.bConnection)
        *os << e.who << ":ConnectionChanged(" << e.iConnected << ")";
    else
        *os << e.who << ":msg(sender " << e.sSender << ", id " << e.sMessage << ", int " << e.iFirstInt << ")";
}

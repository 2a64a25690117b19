#include "socksink.h"

#include "rvdebug.h"
#include "rvserver.h"

CSocketSink::CSocketSink()
    : m_sSenderID(0), m_dwFlags(0)
{
    if (g_pRVServer != nullptr)
        m_sSenderID = g_pRVServer->NextSinkID();
}

CSocketSink::CSocketSink(short sSenderID)
    : m_sSenderID(sSenderID), m_dwFlags(0)
{
}

CSocketSink::~CSocketSink()
{
}

void CSocketSink::SinkMessage(CRVMSG*)
{
}

void CSocketSink::ConnectionChanged(int)
{
}

void CSocketSink::RegenSenderID()
{
    if (g_pRVServer != nullptr)
        m_sSenderID = g_pRVServer->NextSinkID();
}

void CSocketSink::SwapID(CSocketSink* pOther)
{
    RV_ASSERT(pOther != nullptr);
    if (pOther == nullptr)
        return;
    short s = m_sSenderID;
    m_sSenderID = pOther->m_sSenderID;
    pOther->m_sSenderID = s;
}

#include "rvserver.h"

CRVServer* g_pRVServer = nullptr;

CRVServer::CRVServer()
    : CSocketSink((short)0), m_iSinkCount(0), m_sNextSinkID(0)
{
    m_pSinks[m_iSinkCount++] = this;
}

CRVServer::~CRVServer()
{
}

short CRVServer::NextSinkID()
{
    // With at most 32 sinks a free value is always found within 33 steps.
    for (;;)
    {
        bool taken = false;
        for (int i = 0; i < m_iSinkCount; i++)
        {
            if (m_pSinks[i]->SenderID() == m_sNextSinkID)
            {
                taken = true;
                break;
            }
        }
        short id = m_sNextSinkID;
        m_sNextSinkID = (short)((m_sNextSinkID + 1) & 0x7FFF);
        if (!taken)
            return id;
    }
}

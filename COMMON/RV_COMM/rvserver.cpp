// The session object: construction, the sink list and configuration.
#include "rvserver.h"

#include <stdio.h>
#include <string.h>

#include "rvdebug.h"
#include "rvmsg.h"
#include "rvtick.h"
#include "syslocator.h"

CRVServer* g_pRVServer = nullptr;
int g_iProcType = 22;
char CRVServer::g_szServerPoolPath[512];

namespace {

// The connection of the session and of the audio code is client number 1.
const int kSessionClientNumber = 1;

}  // namespace

CRVServer::CRVServer(const char* pszDirectory)
    : CSocketSink((short)0),
      m_dwConnectionFlags(0),
      m_pConnection(nullptr),
      m_iSinkCount(0),
      m_sNextSinkID(0),
      m_iPendingCount(0),
      m_eLoginContext(LOGIN_CONTEXT_VIEWER),
      m_pReceiveBuffer(new unsigned char[RECEIVE_BUFFER_SIZE]),
      m_uReadPos(0),
      m_uBytes(0),
      m_iDispatchDepth(0),
      m_iSinkMessageBusy(0),
      m_pLocator(nullptr),
      m_pMainSink(nullptr),
      m_dwLocatorIP(SYSLOCATOR_BROADCAST_IP),
      m_wLocatorPort(SYSLOCATOR_PORT),
      m_uChallengeTimeout(CHALLENGE_TIMEOUT_MS),
      m_uLoginTimeout(LOGIN_TIMEOUT_MS),
      m_uSilentMessageMs(SILENT_MESSAGE_MS),
      m_uSilentReceiveMs(SILENT_RECEIVE_MS),
      m_bAborted(false)
{
    // The directory is given with or without its trailing separator.
    const char* pszDir = pszDirectory ? pszDirectory : "";
    size_t n = strlen(pszDir);
    const char* pszSep = (n > 0 && pszDir[n - 1] != '/') ? "/" : "";
    if (snprintf(g_szServerPoolPath, sizeof g_szServerPoolPath, "%s%sservers.txt", pszDir, pszSep) >=
        (int)sizeof g_szServerPoolPath)
        RVLog(RV_LOG_WARN, "session: server-pool path cut to %d bytes", (int)sizeof g_szServerPoolPath - 1);

    m_pConnection = new CZConnection(kSessionClientNumber, g_szServerPoolPath);
    memset(m_pSinks, 0, sizeof m_pSinks);
    memset(m_pPending, 0, sizeof m_pPending);
    memset(&m_LastDirectAddr, 0, sizeof m_LastDirectAddr);
    m_dwLastMessage = m_dwLastReceive = RVGetTickCount();
    AddSocketSink(this);
}

CRVServer::~CRVServer()
{
    delete m_pConnection;
    RemoveSocketSink(this);
    for (int i = 0; i < m_iPendingCount; i++)
        delete m_pPending[i];
    delete[] m_pReceiveBuffer;
    delete m_pLocator;
    if (g_pRVServer == this)
        g_pRVServer = nullptr;
}

// ---------------------------------------------------------------------------
// Sinks

int CRVServer::AddSocketSink(CSocketSink* pSink)
{
    RV_ASSERT(pSink != nullptr);
    if (pSink == nullptr || m_iSinkCount >= MAX_SINKS || IsSinkRegistered(pSink))
        return 0;
    m_pSinks[m_iSinkCount++] = pSink;
    return 1;
}

void CRVServer::RemoveSocketSink(CSocketSink* pSink)
{
    int kept = 0;
    for (int i = 0; i < m_iSinkCount; i++)
        if (m_pSinks[i] != pSink)
            m_pSinks[kept++] = m_pSinks[i];
    for (int i = kept; i < m_iSinkCount; i++)
        m_pSinks[i] = nullptr;
    m_iSinkCount = kept;
}

int CRVServer::IsSinkRegistered(const CSocketSink* pSink) const
{
    for (int i = 0; i < m_iSinkCount; i++)
        if (m_pSinks[i] == pSink)
            return 1;
    return 0;
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

int CRVServer::SnapshotSinks(CSocketSink** ppSinks) const
{
    memcpy(ppSinks, m_pSinks, sizeof(CSocketSink*) * m_iSinkCount);
    return m_iSinkCount;
}

void CRVServer::SendConnectionChanged(int bConnected)
{
    CSocketSink* sinks[MAX_SINKS];
    int n = SnapshotSinks(sinks);
    for (int i = 0; i < n; i++)
        if (IsSinkRegistered(sinks[i]))
            sinks[i]->ConnectionChanged(bConnected);
}

// ---------------------------------------------------------------------------
// Configuration

void CRVServer::SetClientInfo(CRVString s1, CRVString s2, CRVString s3, CRVString s4)
{
    m_sClientInfo[0] = s1;
    m_sClientInfo[1] = s2;
    m_sClientInfo[2] = s3;
    m_sClientInfo[3] = s4;
}

void CRVServer::SetLoginContext(LOGIN_CONTEXT eContext, CRVString sText)
{
    m_eLoginContext = eContext;
    if (eContext >= LOGIN_CONTEXT_AUTO_VIEWER && eContext <= LOGIN_CONTEXT_MINIPAD)
        m_sSystemName = sText;
    else
        m_sPassword = sText;
}

void CRVServer::SetLocatorTarget(uint32_t dwIP, uint16_t wPort)
{
    m_dwLocatorIP = dwIP;
    m_wLocatorPort = wPort;
    // A locator made for the old target would keep sending there.
    delete m_pLocator;
    m_pLocator = nullptr;
}

void CRVServer::SetLoginTimeouts(unsigned int uChallengeMs, unsigned int uLoginMs)
{
    m_uChallengeTimeout = uChallengeMs;
    m_uLoginTimeout = uLoginMs;
}

void CRVServer::SetSilenceLimits(unsigned int uMessageMs, unsigned int uReceiveMs)
{
    m_uSilentMessageMs = uMessageMs;
    m_uSilentReceiveMs = uReceiveMs;
}

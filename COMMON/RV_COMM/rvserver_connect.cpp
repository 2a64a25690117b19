// The session's links: connecting, the login exchange, and finding the
// controller again on the local network.
#include "rvserver.h"

#include <arpa/inet.h>
#include <errno.h>
#include <string.h>
#include <sys/socket.h>

#include <memory>
#include <string>

#include "RVQuery.h"
#include "rvcode.h"
#include "rvdebug.h"
#include "rvmsg.h"
#include "rvsock.h"
#include "rvtick.h"
#include "rvutf8.h"
#include "syslocator.h"

namespace {

const int kLoginProtocol = 1014;
const char kClientName[] = "Daz Ivudoz";
const char kClientVersion[] = "7.4 Build 340.0 Rel";
const int kResponseLength = 16;

// Auto-connect takes at most this many locator replies, each waited for this long.
const int kAutoConnectReplies = 100;
const unsigned int kAutoConnectWaitMs = 50;

// Client type sent at login, by LOGIN_CONTEXT.
const int kClientType[] = { 0, 3, 4, 9, 0, 0, 13, 5, 18, 19 };

void Report(CConnectionListener* pListener, const char* pszStatus)
{
    LOGI("login: %s", pszStatus);
    if (pListener)
        pListener->OnStatusChanged(pszStatus);
}

// The text as the 8-bit bytes the cipher works on. A password typed with
// characters beyond Latin-1 has no 8-bit form; its UTF-8 bytes stand in.
std::string KeyBytes(CRVString s)
{
    if (s.ConvertTo8Bit())
        return std::string(static_cast<const char*>(s.GetData()), (size_t)s.GetLength());
    return RVToUtf8(s);
}

// AES-128 of the challenge's first block under the password's first block,
// both zero-padded to 16 bytes.
int MakeResponse(CRVString sPassword, CRVString sChallenge, unsigned char abyResponse[kResponseLength])
{
    std::string key = KeyBytes(sPassword);
    std::string data = KeyBytes(sChallenge);
    int nKey = 0, nData = 0;
    std::unique_ptr<unsigned char[]> pKey(CRVCode::MakeBlock(key.data(), (int)key.size(), &nKey, 0));
    std::unique_ptr<unsigned char[]> pData(CRVCode::MakeBlock(data.data(), (int)data.size(), &nData, 0));
    if (!pKey || !pData)
        return 0;
    CRVCode code;
    if (!code.MakeKey(pKey.get(), CRVCode::sm_chain0, 16, 16))
        return 0;
    return code.EncryptBlock(pData.get(), abyResponse);
}

}  // namespace

void CRVServer::NewLink()
{
    // A new link starts a new byte stream: bytes left from an older one would
    // be read as the start of its first frame. Its silence clock starts now.
    EmptyReceiveBuffer();
    m_dwLastMessage = m_dwLastReceive = RVGetTickCount();
}

int CRVServer::CreateConnection(const sockaddr_in* pAddr, CConnectionListener* pListener, unsigned int ms)
{
    RV_ASSERT(pAddr != nullptr);
    if (pAddr == nullptr || m_bAborted)
        return 0;
    sockaddr_in addr = *pAddr;   // pAddr may be m_LastDirectAddr itself
    NewLink();
    if (m_pConnection->CreateDirectConnection(&addr, ms) != RUDP_RESULT_OK)
        return 0;
    if (!ExecuteLogin(pListener))
    {
        m_pConnection->CloseConnection();
        return 0;
    }
    m_LastDirectAddr = addr;
    return 1;
}

int CRVServer::CreateConnection(CRVString sSystemName, CConnectionListener* pListener)
{
    memset(&m_LastDirectAddr, 0, sizeof m_LastDirectAddr);
    NewLink();
    if (!m_pConnection->CreateRemoteConnection(pListener, sSystemName))
        return 0;
    if (!ExecuteLogin(pListener))
    {
        m_pConnection->CloseConnection();
        return 0;
    }
    return 1;
}

int CRVServer::CreateConnection(CZConnection* pConnection, CConnectionListener* pListener)
{
    RV_ASSERT(pConnection != nullptr);
    if (pConnection == nullptr)
        return 0;
    if (pConnection != m_pConnection)
    {
        delete m_pConnection;
        m_pConnection = pConnection;
    }
    memset(&m_LastDirectAddr, 0, sizeof m_LastDirectAddr);
    NewLink();
    return ExecuteLogin(pListener);
}

int CRVServer::CreateConnection(int hSocket)
{
    memset(&m_LastDirectAddr, 0, sizeof m_LastDirectAddr);
    NewLink();
    return m_pConnection->CreateDirectConnection(hSocket) == RUDP_RESULT_OK;
}

int CRVServer::CreateLoopbackConnection(unsigned short wPort)
{
    memset(&m_LastDirectAddr, 0, sizeof m_LastDirectAddr);
    int hSocket = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (hSocket < 0)
        return 0;
    sockaddr_in addr;
    memset(&addr, 0, sizeof addr);
    addr.sin_family = AF_INET;
    addr.sin_port = htons(wPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(hSocket, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0)
    {
        LOGE("CreateLoopbackConnection: port %u refused (errno %d)", wPort, errno);
        CloseSocket(hSocket);
        return 0;
    }
    NewLink();
    return m_pConnection->CreateDirectConnection(hSocket) == RUDP_RESULT_OK;
}

int CRVServer::Reconnect(unsigned int ms)
{
    static const sockaddr_in zero = {};
    if (memcmp(&m_LastDirectAddr, &zero, sizeof zero) == 0)
        return 0;
    return CreateConnection(&m_LastDirectAddr, nullptr, ms);
}

int CRVServer::IsConnected()
{
    return m_pConnection != nullptr && m_pConnection->IsConnected();
}

void CRVServer::CloseConnection()
{
    if (m_pConnection)
        m_pConnection->CloseConnection();
}

// ---------------------------------------------------------------------------
// Login

int CRVServer::ExecuteLogin(CConnectionListener* pListener)
{
    Report(pListener, "Get Challenge");
    CRVQuery challengeQuery(this);
    challengeQuery.SetTimeout(m_uChallengeTimeout);
    CRVMSG challengeQuestion(0, RV_MSG_GET_CHALLENGE, 0, 1);
    CRVMSG* pAnswer = nullptr;
    if (!challengeQuery.AskQuestion(&pAnswer, &challengeQuestion))
    {
        Report(pListener, "No Response From Server");
        return 0;
    }
    // A missing string is an empty challenge.
    CRVString sChallenge;
    pAnswer->GetString(&sChallenge);
    Report(pListener, "Challenge OK");

    unsigned char abyResponse[kResponseLength];
    if (!MakeResponse(m_sPassword, sChallenge, abyResponse))
    {
        LOGE("login: no response could be computed");
        return 0;
    }
    if ((unsigned)m_eLoginContext > LOGIN_CONTEXT_UPGRADE)
        return 0;

    CRVString sVersion(TYPE_CHAR);
    sVersion.Format("%s %s", kClientName, kClientVersion);
    CRVMSG login(0, RV_MSG_LOGIN, 256, 1);
    login.PutInt(kLoginProtocol);
    login.PutInt(kClientType[m_eLoginContext]);
    login.PutString(sVersion);
    login.PutInt(kResponseLength);
    login.PutData(abyResponse, kResponseLength);
    login.PutInt(g_iProcType);
    login.PutString(m_sClientInfo[0]);
    login.PutString(m_sClientInfo[2]);
    login.PutString(m_sClientInfo[3]);
    login.PutString(m_sClientInfo[1]);

    CRVQuery loginQuery(this);
    loginQuery.SetTimeout(m_uLoginTimeout);
    if (!loginQuery.AskQuestion(&pAnswer, &login))
    {
        Report(pListener, "Password Rejected");
        return 0;
    }
    Report(pListener, "Login OK");
    return 1;
}

// ---------------------------------------------------------------------------
// Auto-connect

int CRVServer::QualifiesForAutoConnect(const RVT_PINGA& reply) const
{
    if (!m_sSystemName.IsEmpty())
        return m_sSystemName == reply.szName;
    // Kinds 2 to 5 never take a viewer; the rest must carry exactly the
    // "accepts this viewer" flag.
    if (reply.byType >= 2 && reply.byType <= 5)
        return 0;
    return reply.bySubType == 0x20;
}

int CRVServer::ExecuteAutoConnect()
{
    if (m_pLocator == nullptr)
        m_pLocator = new CSysLocator(LOCATOR_INTERVAL_MS, m_dwLocatorIP, m_wLocatorPort);
    for (int i = 0; i < kAutoConnectReplies; i++)
    {
        RVT_PINGA reply;
        if (!m_pLocator->CollectNextSystem(&reply, kAutoConnectWaitMs))
            break;
        if (!QualifiesForAutoConnect(reply))
            continue;
        sockaddr_in addr;
        memset(&addr, 0, sizeof addr);
        addr.sin_family = AF_INET;
        addr.sin_port = htons(reply.wPort);
        SetIP(reply.dwIP, &addr);
        if (CreateConnection(&addr, nullptr, 0))
        {
            delete m_pLocator;
            m_pLocator = nullptr;
            return 1;
        }
    }
    return 0;
}

#include "rvcomm.h"

#include <arpa/inet.h>
#include <string.h>

#include <memory>
#include <mutex>

#include "connectpage.h"
#include "lx_session.h"
#include "lx_syslocator.h"
#include "rvlog.h"
#include "rvserver.h"
#include "rvutf8.h"
#include "statussink.h"
#include "z_client.h"

namespace {

// Passes the progress texts of a remote connection to the connect page.
class CConnectPageListener : public CConnectionListener
{
public:
    explicit CConnectPageListener(CConnectPage* pPage) : m_pPage(pPage) {}
    void OnStatusChanged(const char* pszStatus) override
    {
        if (m_pPage)
            m_pPage->SetStatusString(pszStatus ? pszStatus : "");
    }

private:
    CConnectPage* m_pPage;
};

// The engine's status sinks report to a connect page through this.
void ConnectPageSetStatus(void* pTarget, const char* pszUtf8)
{
    static_cast<CConnectPage*>(pTarget)->SetStatusString(pszUtf8 ? pszUtf8 : "");
}

struct COMM_STATE
{
    std::mutex lock;
    uint32_t dwLocatorIP = SYSLOCATOR_BROADCAST_IP;
    uint16_t wLocatorPort = SYSLOCATOR_PORT;
    std::string sLastName;      // set by a connection made by name
};

COMM_STATE& State()
{
    static COMM_STATE state;
    return state;
}

void SetLastName(const std::string& sName)
{
    std::lock_guard<std::mutex> guard(State().lock);
    State().sLastName = sName;
}

}  // namespace

std::string CRVComm::DottedIP(uint32_t dwIP)
{
    char sz[INET_ADDRSTRLEN] = "";
    in_addr addr;
    addr.s_addr = dwIP;
    inet_ntop(AF_INET, &addr, sz, sizeof sz);
    return sz;
}

int CRVComm::InitInstance(const std::string& sCacheDir)
{
    if (!LxCreateSession(sCacheDir))
        return 0;
    CStatusSink::SetBridge(&ConnectPageSetStatus);
    std::lock_guard<std::mutex> guard(State().lock);
    g_pRVServer->SetLocatorTarget(State().dwLocatorIP, State().wLocatorPort);
    return 1;
}

void CRVComm::ReleaseInstance()
{
    LxReleaseSession();
}

void CRVComm::Disconnect()
{
    if (g_pRVServer)
        g_pRVServer->CloseConnection();
}

void CRVComm::AbortConnect()
{
    if (g_pRVServer)
        g_pRVServer->AbortConnect();
}

int CRVComm::Connected()
{
    return g_pRVServer ? g_pRVServer->IsConnected() : 0;
}

void CRVComm::SetLocatorTarget(uint32_t dwIP, uint16_t wPort)
{
    std::lock_guard<std::mutex> guard(State().lock);
    State().dwLocatorIP = dwIP;
    State().wLocatorPort = wPort;
    if (g_pRVServer)
        g_pRVServer->SetLocatorTarget(dwIP, wPort);
}

int CRVComm::CreateLocalConnectionToIP(uint32_t dwIP, uint16_t wPort, const std::string& sPassword,
                                       std::string* pError)
{
    return CreateDirectConnection(DottedIP(dwIP), wPort, sPassword, pError);
}

int CRVComm::CreateDirectConnection(const std::string& sHost, uint16_t wPort, const std::string& sPassword,
                                    std::string* pError)
{
    std::string why;
    SetLastName(std::string());
    if (LxConnectDirect(sHost, wPort, sPassword, LOCAL_CONNECT_TIMEOUT_MS, &why) == LX_EXIT_OK)
        return 1;
    RVLog(RV_LOG_INFO, "connection to %s:%u failed: %s", sHost.c_str(), (unsigned)wPort, why.c_str());
    if (pError)
        *pError = why;
    return 0;
}

int CRVComm::CreateRemoteConnection(const std::string& sName, const std::string& sPassword, CConnectPage* pStatus)
{
    if (g_pRVServer == nullptr)
        return 0;
    SetLastName(sName);
    g_pRVServer->SetLoginContext(LOGIN_CONTEXT_VIEWER, RVWideFromUtf8(sPassword));
    CConnectPageListener listener(pStatus);
    return g_pRVServer->CreateConnection(RVWideFromUtf8(sName), &listener);
}

int CRVComm::SetConnection(CZConnection* pConnection, const std::string& sPassword)
{
    if (g_pRVServer == nullptr) {
        delete pConnection;
        return 0;
    }
    if (pConnection == nullptr)
        return 0;
    SetLastName(std::string());
    g_pRVServer->SetLoginContext(LOGIN_CONTEXT_VIEWER, RVWideFromUtf8(sPassword));
    return g_pRVServer->CreateConnection(pConnection, nullptr);
}

int CRVComm::RestartConnection()
{
    if (g_pRVServer == nullptr)
        return 0;
    uint32_t dwLocatorIP;
    uint16_t wLocatorPort;
    std::string sName;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        dwLocatorIP = State().dwLocatorIP;
        wLocatorPort = State().wLocatorPort;
        sName = State().sLastName;
    }
    if (g_pRVServer->GetLoginContext() != LOGIN_CONTEXT_VIEWER || sName.empty())
        return g_pRVServer->Reconnect(RECONNECT_TIMEOUT_MS);

    // The controller may be on this network now: a direct link beats the remote path.
    const CRVString wideName = RVWideFromUtf8(sName);
    CLxSysLocator locator(dwLocatorIP, wLocatorPort);
    for (int i = 0; i < RESTART_POLLS; ++i) {
        std::unique_ptr<CLocalSystem> pSystem(locator.FindNextLocalSystem());
        if (!pSystem || RVToUtf8(pSystem->Name()) != sName)
            continue;
        sockaddr_in addr;
        memset(&addr, 0, sizeof addr);
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = pSystem->IP();
        addr.sin_port = htons(pSystem->Port());
        if (!g_pRVServer->CreateConnection(&addr, nullptr, RESTART_CONNECT_TIMEOUT_MS))
            break;
        g_pRVServer->SetLoginContext(LOGIN_CONTEXT_AUTO_VIEWER, wideName);
        return 1;
    }
    return g_pRVServer->CreateConnection(wideName, nullptr);
}

std::string CRVComm::LastSystemName()
{
    std::lock_guard<std::mutex> guard(State().lock);
    return State().sLastName;
}

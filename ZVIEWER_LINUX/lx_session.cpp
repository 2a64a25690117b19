#include "lx_session.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <string.h>
#include <sys/socket.h>

#include "FontServer.h"
#include "lx_mainwnd.h"
#include "lx_sysinfo.h"
#include "mainwnd.h"
#include "resource_mgr.h"
#include "rvlog.h"
#include "rvserver.h"
#include "rvutf8.h"
#include "z_client.h"

namespace {

// Keeps the progress texts of connecting and login. The login reports "Get
// Challenge" first, so a failure after it is the login's, not the link's.
class CLxStatusListener : public CConnectionListener
{
public:
    void OnStatusChanged(const char* pszStatus) override
    {
        const std::string s = pszStatus ? pszStatus : "";
        RVLog(RV_LOG_INFO, "%s", s.c_str());
        if (s == "Get Challenge")
            m_bLoginStarted = true;
        m_sLast = s;
    }

    bool m_bLoginStarted = false;
    std::string m_sLast;
};

int ResolveIPv4(const std::string& sHost, unsigned short wPort, sockaddr_in* pAddr)
{
    addrinfo hints;
    memset(&hints, 0, sizeof hints);
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* pList = nullptr;
    if (getaddrinfo(sHost.c_str(), nullptr, &hints, &pList) != 0 || pList == nullptr)
        return 0;
    memcpy(pAddr, pList->ai_addr, sizeof *pAddr);
    pAddr->sin_port = htons(wPort);
    freeaddrinfo(pList);
    return 1;
}

}  // namespace

int LxCreateSession(const std::string& sCacheDir)
{
    if (g_pRVServer != nullptr)
        return 0;
    g_iProcType = 22;
    g_pRVServer = new CRVServer(sCacheDir.c_str());
    // Downloaded fonts and the font choice live with the resource cache, so
    // they survive a restart.
    CFontServer::SetFontDirectory(CRVString(sCacheDir.c_str()));
    // The resource cache lives there too, for the same reason.
    CResourceManager::SetCacheDirectory(sCacheDir.c_str());
    CLxMainWnd::InitGraphStore();
    CRVString info[4];
    LxGetClientInfo(info);
    g_pRVServer->SetClientInfo(info[0], info[1], info[2], info[3]);
    return 1;
}

void LxReleaseSession()
{
    CLxMainWnd::ReleaseGraphStore();
    // The session start created the resource cache; it goes with the session.
    delete CMainWnd::g_pResourceManager;
    CMainWnd::g_pResourceManager = nullptr;
    delete g_pRVServer;
    g_pRVServer = nullptr;
}

LX_EXIT_CODE LxConnectDirect(const std::string& sHost, unsigned short wPort, const std::string& sPassword,
                             unsigned int uTimeoutMs, std::string* pError)
{
    const std::string where = sHost + ":" + std::to_string(wPort);
    if (g_pRVServer == nullptr) {
        *pError = "no session";
        return LX_EXIT_FAILURE;
    }
    sockaddr_in addr;
    if (!ResolveIPv4(sHost, wPort, &addr)) {
        *pError = "cannot resolve '" + sHost + "'";
        return LX_EXIT_CONNECT;
    }
    g_pRVServer->SetLoginContext(LOGIN_CONTEXT_VIEWER, RVWideFromUtf8(sPassword));
    CLxStatusListener listener;
    if (g_pRVServer->CreateConnection(&addr, &listener, uTimeoutMs))
        return LX_EXIT_OK;
    if (!listener.m_bLoginStarted) {
        *pError = "cannot connect to " + where;
        return LX_EXIT_CONNECT;
    }
    *pError = listener.m_sLast;
    return LX_EXIT_LOGIN;
}

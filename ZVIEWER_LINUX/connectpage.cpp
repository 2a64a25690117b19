#include "connectpage.h"

#include <stdio.h>
#include <time.h>

#include "lx_mainwnd.h"
#include "lx_prefs.h"
#include "lx_syslocator.h"
#include "rvcomm.h"
#include "rvdebug.h"
#include "rvlog.h"
#include "rvutf8.h"

const char CConnectPage::DEMO_NAME[] = "Corvin Demo";
const char CConnectPage::DEMO_PASSWORD[] = "8Vorx%?";
const char CConnectPage::SETTINGS_KEY[] = "RVUserName";
CConnectPage* CConnectPage::g_pInstance = nullptr;

namespace {

// Which controllers come and go, for the log of a user whose controller is
// not listed.
void LogSystem(const char* pszWhat, const CLocalSystem& system)
{
    RVLog(RV_LOG_INFO, "%s \"%s\" at %s:%u", pszWhat, RVToUtf8(system.Name()).c_str(),
          CRVComm::DottedIP(system.IP()).c_str(), (unsigned)system.Port());
}

const char kVersionAtStart[] = "2.0 Build 51.1";
const char kVersionLogin[] = "7.4 Build 340.0 Rel";
const char kDemoHost[] = "127.0.0.1";

// Answers taken from the locator in one tick at most: a network that floods
// the port with answers must not keep the interface thread polling for ever.
const int kMaxAnswersPerTick = 64;

double SteadySeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

// The page's diagnostics go to stdout, one line each, whole even when the
// connect thread writes at the same time.
void WriteLine(const std::string& s)
{
    fprintf(stdout, "%s\n", s.c_str());
    fflush(stdout);
}

}  // namespace

CConnectPage::CConnectPage(CConnectPageHost* pHost, const std::string& sSettingsPath, uint32_t dwLocatorIP,
                           uint16_t wLocatorPort)
    : m_pHost(pHost),
      m_sSettingsPath(sSettingsPath),
      m_Clock(SteadySeconds),
      m_pSysLocator(new CLxSysLocator(dwLocatorIP, wLocatorPort)),
      m_bSearchTimer(true),
      m_StartTime(SteadySeconds()),
      m_iConnectionState(STATE_IDLE),
      m_iSelected(-1),
      m_bStatusVisible(false),
      m_bBusy(false),
      m_sVersion(kVersionAtStart),
      m_bEnabled(true),
      m_dFadeStart(-1e9),
      m_dFadeFrom(1.0),
      m_bViewerOpen(false)
{
    RV_ASSERT(pHost != nullptr);
    // The session's own search for a dropped controller asks the same place.
    CRVComm::SetLocatorTarget(dwLocatorIP, wLocatorPort);
    LoadSettings();
    m_pHost->BringToFront();
    g_pInstance = this;
}

CConnectPage::~CConnectPage()
{
    FinishConnect();
    StopSearchTimer();
    SaveSettings();
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_pLocalSystems.clear();
        m_pSysLocator.reset();
    }
    if (g_pInstance == this)
        g_pInstance = nullptr;
}

// ---------------------------------------------------------------------------
// Settings and window

void CConnectPage::LoadSettings()
{
    const std::string sName = CLxPrefs(m_sSettingsPath).GetString(SETTINGS_KEY, DEMO_NAME);
    std::lock_guard<std::mutex> guard(m_Lock);
    m_sName = sName;
    if (sName == DEMO_NAME)
        m_sPassword = DEMO_PASSWORD;
    SelectByNameLocked(sName);
}

void CConnectPage::SaveSettings()
{
    CLxPrefs prefs(m_sSettingsPath);
    prefs.SetString(SETTINGS_KEY, Name());
}

void CConnectPage::ShowLoginView()
{
    LoadSettings();
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_sVersion = kVersionLogin;
        m_bBusy = false;
        m_bStatusVisible = false;
    }
    m_pHost->BringToFront();
}

void CConnectPage::HideLoginView()
{
    StopSearchTimer();
    SaveSettings();
    m_pHost->HideWindow();
}

void CConnectPage::SetStatusString(const std::string& sStatus)
{
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_sStatus = sStatus;
    }
    WriteLine(sStatus);
    m_pHost->Wake();
}

// ---------------------------------------------------------------------------
// What the user does

void CConnectPage::Connect()
{
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        if (!m_bEnabled || m_iConnectionState != STATE_IDLE)
            return;
    }
    FinishConnect();
    CONNECT_TARGET target;
    const bool bGo = ChooseTarget(&target);
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_bBusy = true;
        m_bStatusVisible = true;
        FadeControls(false);
        m_iConnectionState = bGo ? STATE_CONNECTING : STATE_FAILED;
    }
    if (bGo)
        m_ConnectThread = std::thread(&CConnectPage::ConnectProc, this, target);
}

void CConnectPage::TryDemo()
{
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        if (!m_bEnabled)
            return;
        m_sName = DEMO_NAME;
        m_sPassword = DEMO_PASSWORD;
        m_iSelected = -1;
    }
    Connect();
}

bool CConnectPage::ChooseTarget(CONNECT_TARGET* pTarget)
{
    std::string sName;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        pTarget->sPassword = m_sPassword;
        sName = m_sName;
        if (m_iSelected >= 0 && m_iSelected < (int)m_pLocalSystems.size()) {
            const CLocalSystem& system = *m_pLocalSystems[m_iSelected];
            pTarget->eKind = TARGET_LOCAL;
            pTarget->sName = RVToUtf8(system.Name());
            pTarget->dwIP = system.IP();
            pTarget->wPort = system.Port();
            return true;
        }
    }
    // Discovery stays within the subnet: an address typed as HOST:PORT reaches the rest.
    if (ParseHostPort(sName, &pTarget->sName, &pTarget->wPort)) {
        pTarget->eKind = TARGET_DIRECT;
        return true;
    }
    if (sName == DEMO_NAME) {
        // The demo system answers to its name through the built-in controller,
        // so the fields as they come connect out of the box.
        uint16_t wPort = 0;
        if (!m_pHost->StartDemo(&wPort) || wPort == 0) {
            SetStatusString("Connection Failed: the demo controller did not start");
            return false;
        }
        pTarget->eKind = TARGET_DIRECT;
        pTarget->sName = kDemoHost;
        pTarget->wPort = wPort;
        return true;
    }
    pTarget->eKind = TARGET_REMOTE;
    pTarget->sName = sName;
    return true;
}

void CConnectPage::ConnectProc(CONNECT_TARGET target)
{
    int bOk = 0;
    std::string sWhy;
    switch (target.eKind) {
    case TARGET_LOCAL:
        SetStatusString("Connecting...");
        bOk = CRVComm::CreateLocalConnectionToIP(target.dwIP, target.wPort, target.sPassword, &sWhy);
        break;
    case TARGET_DIRECT:
        SetStatusString("Connecting...");
        bOk = CRVComm::CreateDirectConnection(target.sName, target.wPort, target.sPassword, &sWhy);
        break;
    case TARGET_REMOTE:
        // The remote path reports its own progress; its last text stays on failure.
        bOk = CRVComm::CreateRemoteConnection(target.sName, target.sPassword, this);
        break;
    }
    if (bOk)
        SetStatusString("Connection Successful");
    else if (target.eKind != TARGET_REMOTE)
        SetStatusString(sWhy.empty() ? std::string("Connection Failed") : "Connection Failed: " + sWhy);
    SetState(bOk ? STATE_CONNECTED : STATE_FAILED);
    m_pHost->Wake();
}

void CConnectPage::SelectLocalSystem(const std::string& sName)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    SelectByNameLocked(sName);
}

void CConnectPage::SelectByNameLocked(const std::string& sName)
{
    m_iSelected = -1;
    for (size_t i = 0; i < m_pLocalSystems.size(); ++i) {
        if (RVToUtf8(m_pLocalSystems[i]->Name()) == sName) {
            m_iSelected = (int)i;
            return;
        }
    }
}

void CConnectPage::OnRowSelected(int iIndex)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    if (!m_bEnabled)
        return;
    if (iIndex < 0 || iIndex >= (int)m_pLocalSystems.size()) {
        m_iSelected = -1;
        return;
    }
    m_iSelected = iIndex;
    const std::string sRowName = RVToUtf8(m_pLocalSystems[iIndex]->Name());
    if (sRowName != m_sName) {
        m_sName = sRowName;
        m_sPassword.clear();
    }
}

void CConnectPage::OnNameEdited(const std::string& sName)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    if (!m_bEnabled)
        return;
    m_sName = sName;
    SelectByNameLocked(sName);
}

void CConnectPage::OnPasswordEdited(const std::string& sPassword)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    if (m_bEnabled)
        m_sPassword = sPassword;
}

// ---------------------------------------------------------------------------
// Timer

void CConnectPage::OnSearchTimer()
{
    int iState;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        if (!m_bSearchTimer)
            return;
        iState = m_iConnectionState;
    }
    switch (iState) {
    case STATE_IDLE:
        PollLocator();
        break;
    case STATE_FAILED:
    case STATE_CONNECTED:
        TakeConnectResult(iState);
        break;
    case STATE_VIEWING:
        CheckViewerSession();
        break;
    default:
        break;
    }
}

void CConnectPage::PollLocator()
{
    // The locator is the interface thread's alone; polling it waits, so the
    // lock is taken only to merge what came.
    std::vector<std::unique_ptr<CLocalSystem>> found;
    for (int i = 0; i < kMaxAnswersPerTick; ++i) {
        std::unique_ptr<CLocalSystem> pSystem(m_pSysLocator->FindNextLocalSystem());
        if (!pSystem)
            break;
        if (pSystem->IsCompatibleSystem())
            found.push_back(std::move(pSystem));
    }
    std::lock_guard<std::mutex> guard(m_Lock);
    bool bChanged = false;
    for (std::unique_ptr<CLocalSystem>& pNew : found) {
        bool bKnown = false;
        for (std::unique_ptr<CLocalSystem>& pOld : m_pLocalSystems) {
            if (pOld->IsSameSystem(pNew.get())) {
                pOld->ResetPingTime();
                bKnown = true;
                break;
            }
        }
        if (!bKnown) {
            LogSystem("Found", *pNew);
            m_pLocalSystems.push_back(std::move(pNew));
            bChanged = true;
        }
    }
    for (size_t i = 0; i < m_pLocalSystems.size();) {
        if (m_pLocalSystems[i]->LastPingTime() > EXPIRY_MS / 1000.0) {
            LogSystem("Lost", *m_pLocalSystems[i]);
            m_pLocalSystems.erase(m_pLocalSystems.begin() + i);
            bChanged = true;
        } else {
            ++i;
        }
    }
    if (bChanged)
        SelectByNameLocked(m_sName);
}

void CConnectPage::TakeConnectResult(int iState)
{
    // The connect thread has given its result; once it is gone the session
    // is this thread's alone.
    FinishConnect();
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        FadeControls(true);
        m_bBusy = false;
    }
    if (iState == STATE_CONNECTED) {
        SaveSettings();
        if (LaunchViewer()) {
            SetState(STATE_VIEWING);
            return;
        }
        SetStatusString("ERROR: Can't create client session");
        // A logged-in link without a viewer would only keep the controller waiting.
        CRVComm::Disconnect();
    }
    SetState(STATE_IDLE);
}

void CConnectPage::CheckViewerSession()
{
    if (CRVComm::Connected())
        return;
    WriteLine("Connection Closed");
    m_pHost->BringToFront();
    StartSearchTimer();
    m_pHost->CloseViewer();
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_bViewerOpen = false;
    }
    SetState(STATE_IDLE);
}

bool CConnectPage::SearchTimerRunning() const
{
    return Locked(m_bSearchTimer);
}

void CConnectPage::StartSearchTimer()
{
    std::lock_guard<std::mutex> guard(m_Lock);
    m_bSearchTimer = true;
}

void CConnectPage::StopSearchTimer()
{
    std::lock_guard<std::mutex> guard(m_Lock);
    m_bSearchTimer = false;
}

// ---------------------------------------------------------------------------
// Viewer

int CConnectPage::LaunchViewer()
{
    if (ViewerOpen()) {
        WriteLine("ERROR: ViewWindow already exists");
        m_pHost->CloseViewer();
        std::lock_guard<std::mutex> guard(m_Lock);
        m_bViewerOpen = false;
    }
    // Both questions are asked before the viewer's socket thread reads the link.
    const std::string sSystemName = RVToUtf8(CLxMainWnd::GetSystemName());
    const int iSessionID = CLxMainWnd::InitSession(0, VIEWER_WIDTH, VIEWER_HEIGHT);
    if (iSessionID == -1)
        return 0;
    if (!m_pHost->OpenViewer(sSystemName, iSessionID))
        return 0;
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        m_bViewerOpen = true;
    }
    m_pHost->HideWindow();
    return 1;
}

void CConnectPage::OnViewerWindowClosed()
{
    WriteLine("Viewer Window Closed...");
    m_pHost->BringToFront();
    StartSearchTimer();
    // The session was shut down with the window: nothing is left to watch.
    std::lock_guard<std::mutex> guard(m_Lock);
    m_bViewerOpen = false;
    if (m_iConnectionState == STATE_VIEWING)
        m_iConnectionState = STATE_IDLE;
}

bool CConnectPage::OnConnectWindowClosed()
{
    WriteLine("Terminating...");
    return true;
}

void CConnectPage::FinishConnect()
{
    if (m_ConnectThread.joinable())
        m_ConnectThread.join();
}

// ---------------------------------------------------------------------------
// State and what the window draws

void CConnectPage::SetState(int iState)
{
    std::lock_guard<std::mutex> guard(m_Lock);
    m_iConnectionState = iState;
}

void CConnectPage::FadeControls(bool bEnable)
{
    const double dNow = Now();
    m_dFadeFrom = OpacityLocked(dNow);
    m_dFadeStart = dNow;
    m_bEnabled = bEnable;
}

double CConnectPage::OpacityLocked(double dNow) const
{
    const double dTarget = m_bEnabled ? 1.0 : DISABLED_OPACITY;
    const double t = (dNow - m_dFadeStart) / (FADE_MS / 1000.0);
    if (t >= 1.0)
        return dTarget;
    if (t <= 0.0)
        return m_dFadeFrom;
    return m_dFadeFrom + (dTarget - m_dFadeFrom) * t;
}

CONNECT_PAGE_VIEW CConnectPage::Snapshot(double dNow) const
{
    CONNECT_PAGE_VIEW view;
    std::lock_guard<std::mutex> guard(m_Lock);
    view.rows.reserve(m_pLocalSystems.size());
    for (const std::unique_ptr<CLocalSystem>& pSystem : m_pLocalSystems)
        view.rows.push_back(RVToUtf8(pSystem->Name()));
    view.iSelected = m_iSelected;
    view.sName = m_sName;
    view.sPassword = m_sPassword;
    view.sStatus = m_sStatus;
    view.bStatusVisible = m_bStatusVisible;
    view.bBusy = m_bBusy;
    view.bEnabled = m_bEnabled;
    view.dOpacity = OpacityLocked(dNow);
    view.sVersion = m_sVersion;
    view.iState = m_iConnectionState;
    return view;
}

double CConnectPage::ControlsOpacity(double dNow) const
{
    std::lock_guard<std::mutex> guard(m_Lock);
    return OpacityLocked(dNow);
}

bool CConnectPage::ControlsEnabled() const
{
    return Locked(m_bEnabled);
}

int CConnectPage::ConnectionState() const
{
    return Locked(m_iConnectionState);
}

int CConnectPage::SelectedRow() const
{
    return Locked(m_iSelected);
}

std::string CConnectPage::Name() const
{
    return Locked(m_sName);
}

std::string CConnectPage::Password() const
{
    return Locked(m_sPassword);
}

std::string CConnectPage::Status() const
{
    return Locked(m_sStatus);
}

bool CConnectPage::StatusVisible() const
{
    return Locked(m_bStatusVisible);
}

bool CConnectPage::Busy() const
{
    return Locked(m_bBusy);
}

bool CConnectPage::ViewerOpen() const
{
    return Locked(m_bViewerOpen);
}

double CConnectPage::Now() const
{
    return m_Clock();
}

void CConnectPage::SetClock(std::function<double()> clock)
{
    m_Clock = std::move(clock);
}

bool CConnectPage::ParseHostPort(const std::string& sText, std::string* pHost, uint16_t* pPort)
{
    const size_t colon = sText.rfind(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 >= sText.size() || sText.size() - colon - 1 > 5)
        return false;
    for (size_t i = 0; i < colon; ++i) {
        const char c = sText[i];
        const bool bOk = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
                         c == '-';
        if (!bOk)
            return false;
    }
    unsigned int uPort = 0;
    for (size_t i = colon + 1; i < sText.size(); ++i) {
        if (sText[i] < '0' || sText[i] > '9')
            return false;
        uPort = uPort * 10 + (unsigned)(sText[i] - '0');
    }
    if (uPort == 0 || uPort > 65535)
        return false;
    *pHost = sText.substr(0, colon);
    *pPort = (uint16_t)uPort;
    return true;
}

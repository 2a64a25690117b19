// CConnectPage: what the connect window does, without the window. It keeps
// the list of controllers that answer on the local network, the name and
// password fields and the status line, connects on a thread of its own, opens
// the viewer through its host and comes back when the viewer goes.
//
// The window (the host) draws a snapshot of the page every frame and reports
// what the user did through the On... operations; the application loop calls
// OnSearchTimer every SEARCH_INTERVAL_MS while SearchTimerRunning().
//
// Threads: every operation but SetStatusString, Snapshot and the read-only
// accessors runs on the interface thread, and the host is called on that
// thread too (except Wake, which any thread may call). The connect thread
// touches the page only through SetStatusString and the connection state.
#pragma once

#include <stdint.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "syslocator.h"

class CLocalSystem;
class CLxSysLocator;

// What the connect page needs of its window and of the application.
class CConnectPageHost
{
public:
    virtual ~CConnectPageHost() = default;
    // Opens the viewer window "Marlo : <name>" for the started engine session; 1 on success.
    virtual int OpenViewer(const std::string& sSystemName, int iSessionID) = 0;
    // The session dropped: close the viewer window (shut the main window down).
    virtual void CloseViewer() = 0;
    // Shows and raises the connect window.
    virtual void BringToFront() = 0;
    // Hides the connect window.
    virtual void HideWindow() = 0;
    // A status change wants a redraw (any thread).
    virtual void Wake() {}
    // The built-in demo controller: starts it (if not running) and gives its
    // loopback port; 0 on failure.
    virtual int StartDemo(uint16_t* pPort) = 0;
};

// What the connect window draws, taken once per frame (UTF-8 texts).
struct CONNECT_PAGE_VIEW
{
    std::vector<std::string> rows;      // names of the controllers found, in list order
    int iSelected = -1;                 // selected row, -1 for none
    std::string sName;
    std::string sPassword;
    std::string sStatus;
    bool bStatusVisible = false;
    bool bBusy = false;                 // the busy indicator turns
    bool bEnabled = true;               // the list, fields and button take input
    double dOpacity = 1.0;              // of the list, fields and button, while they fade
    std::string sVersion;
    int iState = 0;                     // CConnectPage::CONNECTION_STATE

    bool operator==(const CONNECT_PAGE_VIEW& o) const
    {
        return rows == o.rows && iSelected == o.iSelected && sName == o.sName && sPassword == o.sPassword &&
               sStatus == o.sStatus && bStatusVisible == o.bStatusVisible && bBusy == o.bBusy &&
               bEnabled == o.bEnabled && dOpacity == o.dOpacity && sVersion == o.sVersion && iState == o.iState;
    }
    bool operator!=(const CONNECT_PAGE_VIEW& o) const { return !(*this == o); }
};

class CConnectPage
{
public:
    enum CONNECTION_STATE
    {
        STATE_IDLE = 0,         // searching the local network, controls enabled
        STATE_CONNECTING = 1,   // the connect thread runs, controls disabled
        STATE_FAILED = 2,       // the connect thread failed
        STATE_CONNECTED = 3,    // the connect thread succeeded: the viewer is to be launched
        STATE_VIEWING = 4,      // the viewer window is open
    };
    enum
    {
        SEARCH_INTERVAL_MS = 500,
        FADE_MS = 500,              // controls fade out and back in this long
        EXPIRY_MS = 2500,           // a controller silent this long leaves the list
        VIEWER_WIDTH = 1024,
        VIEWER_HEIGHT = 576,
    };
    static const char DEMO_NAME[];          // "Corvin Demo"
    static const char DEMO_PASSWORD[];
    static const char SETTINGS_KEY[];       // "RVUserName"
    static constexpr double DISABLED_OPACITY = 0.5;

    // Builds the page: empty list, a locator for the target (the local
    // broadcast unless given), the search timer running, the saved name
    // loaded, the status hidden; brings the window to the front and sets
    // g_pInstance. sSettingsPath: the preferences file (empty: the user's).
    CConnectPage(CConnectPageHost* pHost, const std::string& sSettingsPath,
                 uint32_t dwLocatorIP = SYSLOCATOR_BROADCAST_IP, uint16_t wLocatorPort = SYSLOCATOR_PORT);
    // Waits for the connect thread, stops the timer, saves the name, drops the
    // list and the locator and clears g_pInstance. The host is not called.
    ~CConnectPage();

    CConnectPage(const CConnectPage&) = delete;
    CConnectPage& operator=(const CConnectPage&) = delete;

    // ---- Settings --------------------------------------------------------
    // Reads the saved name (default DEMO_NAME); the demo name fills in the
    // demo password. The password itself is never saved.
    void LoadSettings();
    // Saves the name field's text.
    void SaveSettings();

    // ---- Window ----------------------------------------------------------
    // Loads the settings, hides the busy indicator and the status, brings the window to the front.
    void ShowLoginView();
    // Stops the search timer, saves the settings, hides the window.
    void HideLoginView();
    // Sets the status text (any thread), writes it to stdout and wakes the window.
    void SetStatusString(const std::string& sStatus);

    // ---- What the user does ------------------------------------------------
    // The Connect button: disables and fades the controls, shows the busy
    // indicator and the status, and connects on the connect thread by what
    // the fields hold: a selected row (directly to its address); a name of
    // the form HOST:PORT (directly to it); the demo name (the built-in demo
    // controller on loopback); any other name (remotely). Ignored while the
    // controls are disabled.
    void Connect();
    // The demo button: the demo name and password, no row, then Connect.
    void TryDemo();
    // Selects the first row whose name is sName exactly, or none.
    void SelectLocalSystem(const std::string& sName);
    // A row was chosen: a name other than the field's replaces it and clears
    // the password. An index outside the list clears the selection.
    void OnRowSelected(int iIndex);
    // The name field changed: selects the row of that name, or none.
    void OnNameEdited(const std::string& sName);
    void OnPasswordEdited(const std::string& sPassword);

    // ---- Timer -----------------------------------------------------------
    // One tick: polls the locator and updates the list (idle), takes the
    // connect thread's result (failed, connected: launches the viewer), or
    // notices that the viewer's session dropped. Nothing while the timer is stopped.
    void OnSearchTimer();
    bool SearchTimerRunning() const;
    void StartSearchTimer();
    void StopSearchTimer();

    // ---- Viewer ----------------------------------------------------------
    // Asks the controller's name, starts the engine session for a
    // VIEWER_WIDTH x VIEWER_HEIGHT screen, has the host open the viewer and
    // hides the connect window. 1 on success.
    int LaunchViewer();
    // The user closed the viewer window (the host has shut its session down):
    // the page comes back and searches again.
    void OnViewerWindowClosed();
    // The user closed the connect window: true, the application quits.
    bool OnConnectWindowClosed();
    // Waits for the connect thread, if one ran; the session must not be
    // released while it runs.
    void FinishConnect();

    // ---- What the window draws (any thread) --------------------------------
    CONNECT_PAGE_VIEW Snapshot(double dNow) const;
    // Opacity of the list, fields and button at dNow (seconds of Now()'s clock).
    double ControlsOpacity(double dNow) const;
    bool ControlsEnabled() const;
    int ConnectionState() const;
    int SelectedRow() const;
    std::string Name() const;
    std::string Password() const;
    std::string Status() const;
    bool StatusVisible() const;
    bool Busy() const;
    bool ViewerOpen() const;
    // Seconds on the page's clock (monotonic, unless a test sets its own).
    double Now() const;
    void SetClock(std::function<double()> clock);

    // "host:port" with a non-empty host of letters, digits, dots and dashes
    // and a port of 1 to 65535; true with both parts.
    static bool ParseHostPort(const std::string& sText, std::string* pHost, uint16_t* pPort);

    // The page, once it is built.
    static CConnectPage* g_pInstance;

private:
    enum TARGET_KIND { TARGET_LOCAL, TARGET_DIRECT, TARGET_REMOTE };
    struct CONNECT_TARGET
    {
        TARGET_KIND eKind = TARGET_REMOTE;
        std::string sName;          // remote name, or direct host
        uint32_t dwIP = 0;          // local row's address (memory order)
        uint16_t wPort = 0;
        std::string sPassword;
    };

    void ConnectProc(CONNECT_TARGET target);
    // Picks what Connect means for the fields; false with the status set when it cannot go on.
    bool ChooseTarget(CONNECT_TARGET* pTarget);
    void PollLocator();
    void TakeConnectResult(int iState);
    void CheckViewerSession();
    void SetState(int iState);
    // Starts fading the controls to enabled (1) or disabled (DISABLED_OPACITY).
    void FadeControls(bool bEnable);
    // A copy of one field, read under m_Lock.
    template <typename T>
    T Locked(const T& field) const
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return field;
    }
    // Under m_Lock.
    void SelectByNameLocked(const std::string& sName);
    double OpacityLocked(double dNow) const;

    CConnectPageHost* m_pHost;
    std::string m_sSettingsPath;
    std::function<double()> m_Clock;

    mutable std::mutex m_Lock;          // every field below
    std::vector<std::unique_ptr<CLocalSystem>> m_pLocalSystems;
    std::unique_ptr<CLxSysLocator> m_pSysLocator;
    bool m_bSearchTimer;
    double m_StartTime;
    int m_iConnectionState;
    int m_iSelected;
    std::string m_sName;
    std::string m_sPassword;
    std::string m_sStatus;
    bool m_bStatusVisible;
    bool m_bBusy;
    std::string m_sVersion;
    bool m_bEnabled;
    double m_dFadeStart;                // when the last fade began
    double m_dFadeFrom;                 // the opacity it began at
    bool m_bViewerOpen;

    std::thread m_ConnectThread;        // joined before the next connect and at teardown
};

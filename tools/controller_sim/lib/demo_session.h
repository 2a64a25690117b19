// One viewer's session with the demo panel: builds the panel after the
// session start and answers the touches that matter, on the thread that
// hands it the viewer's frames. Nothing is sent before a login was accepted
// and the session started; touches of unknown surfaces, of surfaces on
// another page and cut-short touch messages are ignored.
#pragma once

#include "demo_state.h"
#include "demo_ui.h"

#include <string>

class CDemoSession
{
public:
    CDemoSession(const char* pszSystemName, DEMO_SEND send);

    // The connection's login was accepted: its frames count from now on.
    void LoggedIn() { m_bLoggedIn = true; }
    // A frame from the viewer (any message; the ones that do not matter are
    // ignored).
    void OnFrame(const CRVMSG& frame);

    const DEMO_STATE& State() const { return m_state; }
    bool Started() const { return m_bStarted; }

private:
    void Start();
    void OnTouch(int iParent, int iID, int bDown, int x, int y);
    void Act(int iID);
    void Press(int iID, bool bDown);

    std::string m_strName;
    DEMO_SEND m_send;
    DEMO_STATE m_state;
    bool m_bLoggedIn = false;
    bool m_bStarted = false;
    int m_iPressed = -1;    // the part shown pressed, or -1
};

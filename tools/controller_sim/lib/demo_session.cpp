#include "demo_session.h"

#include "rvlog.h"

#include <utility>

namespace {

enum { MSG_INIT_SESSION = 20000, MSG_INIT_SESSION_ALT = 20002, MSG_TOUCH = 20204 };

// Something the user can tap: which surface, under which parent, how large
// (a release outside it is a cancelled tap), on which page (-1: always
// there), and whether it shows being pressed.
struct DEMO_CONTROL
{
    int iID;
    int iParent;
    int iWidth, iHeight;
    int iPage;
    bool bShowsPress;
};

int PageID(int iPage)
{
    return DEMO_ID_PAGE * (iPage + 1);
}

bool FindControl(int iID, DEMO_CONTROL* pOut)
{
    for (int i = 0; i < DEMO_PAGES; i++) {
        const CRVRect rc = DemoTabRect(i);
        if (iID == DEMO_ID_TAB + i) {
            *pOut = {iID, DEMO_ID_NAV, rc.width, rc.height, -1, false};
            return true;
        }
    }
    for (int i = 0; i < DEMO_LIGHTS; i++) {
        const CRVRect rc = DemoLightTileRect(i);
        if (iID == DEMO_ID_LIGHT_TILE + 10 * i) {
            *pOut = {iID, PageID(DEMO_PAGE_LIGHTS), rc.width, rc.height, DEMO_PAGE_LIGHTS, true};
            return true;
        }
    }
    if (iID == DEMO_ID_SETPOINT_MINUS || iID == DEMO_ID_SETPOINT_PLUS) {
        const CRVRect& rc = iID == DEMO_ID_SETPOINT_MINUS ? kDemoMinusButton : kDemoPlusButton;
        *pOut = {iID, DEMO_ID_SETPOINT_CARD, rc.width, rc.height, DEMO_PAGE_CLIMATE, true};
        return true;
    }
    return false;
}

}  // namespace

CDemoSession::CDemoSession(const char* pszSystemName, DEMO_SEND send)
    : m_strName(pszSystemName ? pszSystemName : ""), m_send(std::move(send))
{
}

void CDemoSession::OnFrame(const CRVMSG& frame)
{
    if (!m_bLoggedIn || !m_send)
        return;
    const short id = frame.MessageID();
    if (id == MSG_INIT_SESSION || id == MSG_INIT_SESSION_ALT) {
        Start();
        return;
    }
    if (id != MSG_TOUCH || !m_bStarted)
        return;
    // A copy to read from: the frame handed in may wrap a receive buffer.
    CRVMSG touch(&frame);
    touch.ResetRead();
    int v[5];   // parent, ID, down, x, y
    for (int& value : v)
        if (!touch.GetInt(&value))
            return;
    OnTouch(v[0], v[1], v[2], v[3], v[4]);
}

void CDemoSession::Start()
{
    m_state = DEMO_STATE();
    m_iPressed = -1;
    m_bStarted = true;
    RVLog(RV_LOG_INFO, "demo: session started, building the panel");
    DemoSendPanel(m_state, m_strName.c_str(), m_send);
}

void CDemoSession::OnTouch(int iParent, int iID, int bDown, int x, int y)
{
    DEMO_CONTROL c;
    if (!FindControl(iID, &c) || c.iParent != iParent || (c.iPage >= 0 && c.iPage != m_state.iPage))
        return;
    if (bDown) {
        // A drag repeats the press; only the first one shows.
        if (c.bShowsPress && m_iPressed != iID)
            Press(iID, true);
        return;
    }
    if (m_iPressed == iID)
        Press(iID, false);
    if (x >= 0 && y >= 0 && x < c.iWidth && y < c.iHeight)
        Act(iID);
}

void CDemoSession::Press(int iID, bool bDown)
{
    if (bDown && m_iPressed >= 0)
        DemoSendPress(m_iPressed, false, m_send);
    m_iPressed = bDown ? iID : -1;
    DemoSendPress(iID, bDown, m_send);
}

void CDemoSession::Act(int iID)
{
    if (iID >= DEMO_ID_TAB && iID < DEMO_ID_TAB + DEMO_PAGES) {
        const int iFrom = m_state.iPage;
        m_state.iPage = iID - DEMO_ID_TAB;
        if (m_state.iPage != iFrom) {
            RVLog(RV_LOG_INFO, "demo: page %s", kDemoPageNames[m_state.iPage]);
            DemoSendPageChange(m_state, iFrom, m_send);
        }
        return;
    }
    if (iID >= DEMO_ID_LIGHT_TILE && iID < DEMO_ID_LIGHT_TILE + 10 * DEMO_LIGHTS) {
        const int i = (iID - DEMO_ID_LIGHT_TILE) / 10;
        m_state.bLightOn[i] = !m_state.bLightOn[i];
        DemoSendLight(m_state, i, m_send);
        return;
    }
    const bool bRaise = iID == DEMO_ID_SETPOINT_PLUS;
    if (bRaise ? !m_state.CanRaise() : !m_state.CanLower())
        return;
    m_state.iSetpointTenths += bRaise ? DEMO_SETPOINT_STEP : -DEMO_SETPOINT_STEP;
    DemoSendSetpoint(m_state, m_send);
}

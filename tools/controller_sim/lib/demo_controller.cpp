#include "demo_controller.h"

#include "controller_sim.h"
#include "demo_session.h"


struct CDemoController::IMPL
{
    CControllerSim sim;
    // Touched only by the sim's network thread while it runs (and by Stop
    // after it ended): the session of the current connection.
    std::unique_ptr<CDemoSession> pSession;
    int iConnection = 0;

    void OnFrame(CControllerSim& s, const CRVMSG& frame)
    {
        // A new connection replaces the old one: it gets a fresh session.
        const int iNow = s.ConnectionCount();
        if (!pSession || iNow != iConnection) {
            iConnection = iNow;
            pSession.reset(new CDemoSession(SystemName(), [&s](CRVMSG& msg) { s.Send(msg); }));
        }
        if (frame.MessageID() == SIM_MSG_LOGIN) {
            // The sim has judged the login before handing the frame on.
            SIM_LOGIN login;
            if (s.GetLastLogin(&login) && login.bAccepted)
                pSession->LoggedIn();
            return;
        }
        pSession->OnFrame(frame);
    }
};

CDemoController::CDemoController() : m_p(new IMPL)
{
    m_p->sim.SetSystemName(SystemName());
    m_p->sim.SetPassword(Password());
    IMPL* p = m_p.get();
    m_p->sim.SetFrameHook([p](CControllerSim& s, const CRVMSG& frame) { p->OnFrame(s, frame); });
}

CDemoController::~CDemoController()
{
    Stop();
}

int CDemoController::Start(unsigned short usPort)
{
    return m_p->sim.Start(usPort);
}

unsigned short CDemoController::Port() const
{
    return m_p->sim.Port();
}

void CDemoController::Stop()
{
    m_p->sim.Stop();
    m_p->pSession.reset();
}

CControllerSim& CDemoController::Sim()
{
    return m_p->sim;
}

const char* CDemoController::SystemName()
{
    return "Corvin Demo";
}

const char* CDemoController::Password()
{
    return "8Vorx%?";
}

int CDemoController::TabCenter(int iTab, int* pX, int* pY)
{
    if (iTab < 0 || iTab >= DEMO_PAGES)
        return 0;
    const CRVRect rc = DemoTabRect(iTab);
    *pX = kDemoNav.x + rc.x + rc.width / 2;
    *pY = kDemoNav.y + rc.y + rc.height / 2;
    return 1;
}

int CDemoController::LightTileCenter(int iLight, int* pX, int* pY)
{
    if (iLight < 0 || iLight >= DEMO_LIGHTS)
        return 0;
    const CRVRect rc = DemoLightTileRect(iLight);
    *pX = kDemoPage.x + rc.x + rc.width / 2;
    *pY = kDemoPage.y + rc.y + rc.height / 2;
    return 1;
}

int CDemoController::PageProbe(int iTab, int* pX, int* pY, unsigned int* pRGB)
{
    if (iTab < 0 || iTab >= DEMO_PAGES)
        return 0;
    *pX = kDemoPage.x + kDemoPageAccent.x + kDemoPageAccent.width / 2;
    *pY = kDemoPage.y + kDemoPageAccent.y + kDemoPageAccent.height / 2;
    *pRGB = DemoPageColor(iTab);
    return 1;
}

// The viewer's own engine, without a display, as the far end of a simulated
// controller: a real session (login, session start) and a main window whose
// message handling builds the real surface tree. Touches go in as mouse
// clicks at window pixels, so hit testing is the viewer's too. Animations run
// on a test clock: Settle() moves it on until every animation has ended.
//
// One at a time: the session and the main window are process-wide.
#pragma once

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <functional>
#include <memory>
#include <string>

#include "mainwnd.h"
#include "rvrect_print.h"
#include "rvserver.h"
#include "rvtick.h"
#include "rvutf8.h"
#include "scoped_temp_dir.h"
#include "surf.h"
#include "surf_rect.h"
#include "surf_test_clock.h"
#include "surf_text.h"

class CEngineViewer
{
public:
    enum { WIDTH = 1024, HEIGHT = 576 };

    CEngineViewer() : m_session(m_dir.path().c_str()), m_bRenderGLBefore(CSurf::g_bRenderGL)
    {
        g_pRVServer = &m_session;
        CSurf::g_bRenderGL = 0;
        m_session.SetClientInfo(CRVString("HW-1"), CRVString("test"), CRVString("HW-1"), CRVString("6.1.0"));
        m_session.SetLoginTimeouts(1000, 1000);
    }
    ~CEngineViewer()
    {
        m_session.CloseConnection();
        delete m_pWnd;
        g_pRVServer = nullptr;
        CSurf::g_bRenderGL = m_bRenderGLBefore;
    }
    CEngineViewer(const CEngineViewer&) = delete;
    CEngineViewer& operator=(const CEngineViewer&) = delete;

    // Logs in on 127.0.0.1:port; 1 when the login was accepted.
    int Connect(unsigned short port, const char* pszPassword)
    {
        m_session.SetLoginContext(LOGIN_CONTEXT_VIEWER, CRVString(pszPassword));
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(port);
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return m_session.CreateConnection(&a, nullptr, 2000);
    }
    // The session start, then the main window, in the order the application
    // uses; the session ID, or -1.
    int StartSession()
    {
        const int iSession =
            CMainWnd::InitSession(0, SIZE{WIDTH, HEIGHT}, SIZE{WIDTH, HEIGHT}, 1, IOS_SESSION_CTX_DEFAULT);
        if (iSession >= 0)
            m_pWnd = new CMainWnd(nullptr, iSession, WIDTH, HEIGHT, HEIGHT, WIDTH, 1);
        return iSession;
    }
    // Handles the controller's messages until done() holds or ms pass.
    bool PumpUntil(const std::function<bool()>& done, unsigned int ms = 3000)
    {
        const uint32_t start = RVGetTickCount();
        while (!done()) {
            if (RVTickSince(start) > ms || m_session.RunMessagePump(20) == 2)
                return done();
        }
        return true;
    }
    // Handles whatever arrives within ms.
    void PumpFor(unsigned int ms)
    {
        PumpUntil([] { return false; }, ms);
    }
    // Runs every animation to its end.
    void Settle()
    {
        m_clock.Set(m_clock.Get() + 5000);
        m_pWnd->AnimationRound();
    }

    // A click at window pixels (x, y) from the top left; the release at
    // (xUp, yUp) when given.
    void Click(int x, int y) { Click(x, y, x, y); }
    void Click(int x, int y, int xUp, int yUp)
    {
        m_pWnd->OnMouseDown(x, HEIGHT - y);
        if (xUp != x || yUp != y)
            m_pWnd->OnMouseMove(xUp, HEIGHT - yUp);
        m_pWnd->OnMouseUp(xUp, HEIGHT - yUp);
    }

    CMainWnd* Wnd() const { return m_pWnd; }
    CSurf* Find(int id) const { return m_pWnd ? m_pWnd->FindSurface(id) : nullptr; }
    CSurfText* Text(int id) const { return dynamic_cast<CSurfText*>(Find(id)); }
    CSurfRect* Rect(int id) const { return dynamic_cast<CSurfRect*>(Find(id)); }
    // The text of a text surface as UTF-8.
    std::string TextOf(int id) const
    {
        CSurfText* p = Text(id);
        return p ? RVToUtf8(p->Text()) : "<missing>";
    }
    unsigned int ColorOf(int id) const
    {
        if (CSurfRect* p = Rect(id))
            return p->Color(ORIENT_0);
        if (CSurfText* p = Text(id))
            return p->Color();
        return 0xFF000000;
    }
    int AlphaOf(int id) const
    {
        CSurf* p = Find(id);
        return p ? p->Alpha() : -1;
    }
    // Screen rectangle in orientation 0.
    CRVRect ScreenOf(int id) const
    {
        CSurf* p = Find(id);
        return p ? p->ScreenRect(ORIENT_0) : CRVRect(-1, -1, -1, -1);
    }

    CRVServer& Session() { return m_session; }

private:
    CSurfTestClock m_clock;
    ScopedTempDir m_dir;
    CRVServer m_session;
    int m_bRenderGLBefore;
    CMainWnd* m_pWnd = nullptr;
};

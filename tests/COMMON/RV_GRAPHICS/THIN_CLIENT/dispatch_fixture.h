// A main window without a display, over a real session whose far end is a
// bare frame peer on loopback, and a surface kind that records what the
// controller's commands ask of it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gldelegate_hooks.h"
#include "mainwnd.h"
#include "msgids.h"
#include "rvmsg.h"
#include "session_fixture.h"

struct SPY_CALL
{
    std::string what;
    std::vector<int> args;
};

inline bool operator==(const SPY_CALL& a, const SPY_CALL& b)
{
    return a.what == b.what && a.args == b.args;
}

inline std::ostream& operator<<(std::ostream& os, const SPY_CALL& c)
{
    os << c.what << "(";
    for (size_t i = 0; i < c.args.size(); i++)
        os << (i ? ", " : "") << c.args[i];
    return os << ")";
}

// Reads as little of its records as a careless surface kind might, so that
// the dispatcher has to find the next record by itself.
class CSpySurf : public CSurf
{
public:
    CSpySurf(CSurf* pParent, int iID) : CSurf(pParent, iID, CRVRect(0, 0, 100, 50), CRVRect(0, 0, 50, 100)) {}

    std::vector<SPY_CALL> calls;

    // Properties of this kind: one int.
    void SetSurfaceProps(CRVMSG* pMsg, int iVariant) override { Log("props", { pMsg->GetInt(), iVariant }); }
    // Takes the first of the eight limits only.
    void SetTouchScaleProps(CRVMSG* pMsg) override { Log("scale", { pMsg->GetInt() }); }
    void SetAttribute(int iKind, int iValue, int iTime) override { Log("attr", { iKind, iValue, iTime }); }
    using CSurf::SetRotation;
    void SetRotation(int iAxis, int iValue, int iTime, int iFlags) override
    {
        Log("rotation", { iAxis, iValue, iTime, iFlags });
    }
    void SetAttributeExt(int a, int b, int c, int d) override { Log("attrext", { a, b, c, d }); }
    // Reads nothing of the image data.
    void UpdateImageData(int iFlags, CRVMSG*) override { Log("image", { iFlags }); }
    void UpdateImageDataSub(CRVMSG* pMsg) override { Log("imagesub", { pMsg->GetInt() }); }
    void ProcessSTUN_MSG(CRVMSG* pMsg) override { Log("stun", { pMsg->GetInt() }); }
    void MovePage(ORIENT eOrient, int iPage) override { Log("page", { (int)eOrient, iPage }); }
    void MoveCommand(ORIENT eOrient, int a, int b, CRVRect rc) override
    {
        Log("move", { (int)eOrient, a, b, rc.x, rc.y, rc.width, rc.height });
    }

private:
    void Log(const char* pszWhat, std::vector<int> args) { calls.push_back(SPY_CALL{ pszWhat, std::move(args) }); }
};

inline int ChildCount(CSurf* pSurf)
{
    int n = 0;
    for (CSurf* p = pSurf->FirstChild(); p; p = p->NextSibling())
        n++;
    return n;
}

class DispatchFixture : public SessionFixture
{
protected:
    DispatchFixture() : m_bRenderGLBefore(CSurf::g_bRenderGL)
    {
        CSurf::g_bRenderGL = 0;
        g_GLDelegateHooks.Reset();
        m_pWnd = new CMainWnd(nullptr, 7, 800, 480, 480, 800, 1);
    }
    ~DispatchFixture() override
    {
        delete m_pWnd;
        g_GLDelegateHooks.Reset();
        CSurf::g_bRenderGL = m_bRenderGLBefore;
    }

    // A recording surface linked as the last child of pParent (the root when null).
    CSpySurf* AddSpy(int iID, CSurf* pParent = nullptr)
    {
        CSurf* pOwner = pParent ? pParent : m_pWnd;
        CSpySurf* pSpy = new CSpySurf(pOwner, iID);
        pOwner->AddChildTail(pSpy);
        return pSpy;
    }
    // A plain surface linked as the last child of pParent.
    CSurf* AddPlain(int iID, CSurf* pParent)
    {
        CSurf* pSurf = new CSurf(pParent, iID, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10));
        pParent->AddChildTail(pSurf);
        return pSurf;
    }

    void Process(CRVMSG& msg) { m_pWnd->ProcessMessage(&msg); }

    // The next frame the viewer sent is an ints-only message with these values.
    void ExpectFrame(short sMessage, short sSender, std::vector<int> values)
    {
        RAW_FRAME f;
        ASSERT_TRUE(m_peer.ReadFrame(&f, 2000)) << "no frame " << sMessage;
        EXPECT_EQ(sMessage, f.sMessage);
        EXPECT_EQ(sSender, f.sSender);
        std::vector<int> got(f.data.size() / 4);
        if (!got.empty())
            memcpy(got.data(), f.data.data(), got.size() * 4);
        EXPECT_EQ(f.data.size(), values.size() * 4);
        EXPECT_EQ(values, got);
    }
    // Nothing was sent before this point: an echo handled now is answered first.
    void ExpectNothingSent()
    {
        CRVMSG echo(0, MSG_ECHO, 8, 1);
        echo.PutInt(0x51);
        echo.PutInt(0x52);
        Process(echo);
        ExpectFrame(MSG_ECHO, 0, { 0x51, 0x52 });
    }

    int m_bRenderGLBefore;
    CMainWnd* m_pWnd = nullptr;
};

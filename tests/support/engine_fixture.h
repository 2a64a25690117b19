// Surface and main-window tests: a real session (g_pRVServer) connected over
// loopback TCP to a bare peer that reads what the surfaces send, GL calls off,
// and a surface that records how it is drawn.
#pragma once

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

#include "gldelegate_hooks.h"
#include "mainwnd.h"
#include "msgids.h"
#include "session_fixture.h"
#include "surf.h"

// One RenderThis call as the surface saw it.
struct RENDER_CALL
{
    int iID;
    int iAlpha;
    int iOffsetX;
    int iOffsetY;
    int iDepth;
    int iClipCount;
};

class CRecordingSurf : public CSurf
{
public:
    CRecordingSurf(CSurf* pParent, int iID, CRVRect rc0, CRVRect rc1, std::vector<RENDER_CALL>* pLog)
        : CSurf(pParent, iID, rc0, rc1), m_pLog(pLog)
    {
    }
    CRecordingSurf(CSurf* pParent, int iID, CRVRect rc, std::vector<RENDER_CALL>* pLog = nullptr)
        : CRecordingSurf(pParent, iID, rc, rc, pLog)
    {
    }
    int RenderThis(int iAlpha, CClipStack*, float*, RVT_MATRIX_CONFIG* pConfig) override
    {
        if (m_pLog)
            m_pLog->push_back(
                { ID(), iAlpha, pConfig->iOffsetX, pConfig->iOffsetY, pConfig->iDepth, pConfig->iClipCount });
        return 1;
    }
    // Created and linked at the tail of pParent in one go.
    static CRecordingSurf* AddTo(CSurf* pParent, int iID, CRVRect rc, std::vector<RENDER_CALL>* pLog = nullptr)
    {
        CRecordingSurf* p = new CRecordingSurf(pParent, iID, rc, pLog);
        pParent->AddChildTail(p);
        return p;
    }
    using CSurf::m_iState;

private:
    std::vector<RENDER_CALL>* m_pLog;
};

// The ints of a frame's data.
inline std::vector<int> FrameInts(const RAW_FRAME& f)
{
    std::vector<int> v(f.data.size() / 4);
    if (!v.empty())
        memcpy(v.data(), f.data.data(), v.size() * 4);
    return v;
}

class EngineFixture : public SessionFixture
{
protected:
    void SetUp() override
    {
        CSurf::g_bRenderGL = 0;
        g_GLDelegateHooks.Reset();
        ConnectPeer();
    }
    void TearDown() override { g_GLDelegateHooks.Reset(); }

    // The next frame the viewer sent, within ms; false when none came.
    bool NextFrame(RAW_FRAME* pFrame, int ms = 2000) { return m_peer.ReadFrame(pFrame, ms); }
    // The next frame's message ID and ints; ID 0 when none came within ms.
    std::pair<int, std::vector<int>> Next(int ms = 2000)
    {
        RAW_FRAME f;
        if (!NextFrame(&f, ms))
            return { 0, {} };
        return { f.sMessage, FrameInts(f) };
    }
};

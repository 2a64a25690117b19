// A session (installed as g_pRVServer) and a bare controller end on loopback
// TCP, for tests of the session's traffic.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "frame_peer.h"
#include "recording_sink.h"
#include "rvserver.h"
#include "rvtick.h"
#include "scoped_temp_dir.h"

class SessionFixture : public ::testing::Test
{
protected:
    SessionFixture() : m_session(m_dir.path().c_str()) { g_pRVServer = &m_session; }
    ~SessionFixture() override { g_pRVServer = nullptr; }

    // Adopts a loopback connection to the peer (no primer, no login).
    void ConnectPeer()
    {
        ASSERT_TRUE(m_session.CreateLoopbackConnection(m_peer.Port()));
        ASSERT_TRUE(m_peer.Accept());
    }
    // Pumps until a round returns want or ms pass; the last round's result.
    int PumpUntil(int want, unsigned int ms = 2000, unsigned int wait = 50)
    {
        uint32_t start = RVGetTickCount();
        int r;
        do {
            r = m_session.RunMessagePump(wait);
        } while (r != want && RVTickSince(start) < ms);
        return r;
    }

    ScopedTempDir m_dir;
    CFramePeer m_peer;
    CRVServer m_session;
    std::vector<SINK_EVENT> m_log;
};

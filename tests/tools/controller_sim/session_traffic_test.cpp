// A logged-in session pumping the simulated controller's traffic: questions,
// frames cut into pieces, keep-alives, and a frame too long to hold.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <vector>

#include "RVQuery.h"
#include "controller_sim.h"
#include "recording_sink.h"
#include "rvserver.h"
#include "rvtick.h"
#include "scoped_temp_dir.h"

namespace {

class SessionTraffic : public ::testing::Test
{
protected:
    SessionTraffic() : m_session(m_dir.path().c_str()) { g_pRVServer = &m_session; }
    ~SessionTraffic() override
    {
        m_sim.Stop();
        g_pRVServer = nullptr;
    }
    void SetUp() override
    {
        ASSERT_EQ(1, m_sim.Start());
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(m_sim.Port());
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(1, m_session.CreateConnection(&a, nullptr, 1000));
    }
    // Pumps until the sink log holds n events or the link goes (2).
    int PumpFor(size_t n, unsigned int ms = 3000)
    {
        uint32_t start = RVGetTickCount();
        int r = 0;
        while (m_log.size() < n && r != 2 && RVTickSince(start) < ms)
            r = m_session.RunMessagePump(50);
        return r;
    }

    ScopedTempDir m_dir;
    CRVServer m_session;
    CControllerSim m_sim;
    std::vector<SINK_EVENT> m_log;
};

TEST_F(SessionTraffic, SessionStartIsAnsweredWithTheSessionID)
{
    m_sim.SetSessionID(4711);
    CRVQuery q;
    int id = 0;
    EXPECT_EQ(1, q.AskQuestionInt(&id, 20000, 1));
    EXPECT_EQ(4711, id);
}

TEST_F(SessionTraffic, FramesInPiecesArriveWhole)
{
    CRecordingSink sink("sink", &m_log);
    m_session.AddSocketSink(&sink);
    CRVMSG msg(sink.SenderID(), 300, 0, 1);
    msg.PutInt(12345);
    msg.PutString(CRVString("a string long enough to be cut"));
    ASSERT_EQ(1, m_sim.SendSplitAt(msg, 5, 30));
    m_sim.SetChunking(3, 1);
    ASSERT_EQ(1, m_sim.Send(msg));
    EXPECT_NE(2, PumpFor(3));
    EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("sink", 1),
                                        MessageEvent("sink", sink.SenderID(), 300, 12345),
                                        MessageEvent("sink", sink.SenderID(), 300, 12345) }),
              m_log);
}

TEST_F(SessionTraffic, KeepAlivesHoldTheLinkAndSilenceEndsIt)
{
    m_session.SetSilenceLimits(300, 150);
    CRecordingSink main("main", &m_log);
    m_session.SetMainWindowSink(&main);
    m_sim.SetKeepAlive(100);
    uint32_t start = RVGetTickCount();
    while (RVTickSince(start) < 800)
        ASSERT_NE(2, m_session.RunMessagePump(50));
    // Keep-alives (sender 0) reach only the main window.
    ASSERT_GE(m_log.size(), 4u);
    for (const SINK_EVENT& e : m_log)
        EXPECT_EQ(20155, e.sMessage);

    m_sim.SetKeepAlive(0);
    EXPECT_EQ(2, PumpFor(1000000, 3000));
    EXPECT_FALSE(m_session.IsConnected());
    EXPECT_EQ(1, m_sim.WaitDisconnected(1000));
}

TEST_F(SessionTraffic, FrameTooLongToHoldClosesTheLink)
{
    CRecordingSink sink("sink", &m_log);
    m_session.AddSocketSink(&sink);
    CRVMSG msg(sink.SenderID(), 300, 0, 1);
    msg.PutInt(1);
    ASSERT_EQ(1, m_sim.SendWithLength(msg, SIM_OVERSIZE_LENGTH));
    EXPECT_EQ(2, PumpFor(100));
    EXPECT_FALSE(m_session.IsConnected());
    EXPECT_EQ(1, m_sim.WaitDisconnected(1000));
    EXPECT_EQ(2, m_session.RunMessagePump(0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("sink", 1), ConnectionEvent("sink", 0) }), m_log);
}

} // namespace

// Recording what the viewer sends, waiting for it, and the sim's life cycle:
// reconnecting, replacing, disconnecting, stopping.
#include "sim_fixture.h"

#include <stdio.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

Bytes DataOf(const CRVMSG& m)
{
    const unsigned char* p = const_cast<CRVMSG&>(m).Data();
    return p ? Bytes(p, p + m.DataSize()) : Bytes();
}

TEST_F(SimTest, WaitForReturnsEachFrameOnceInOrder)
{
    CTestViewer v;
    ConnectViewer(v);
    ASSERT_TRUE(v.Send(1, 20201, {1, 0, 0, 0}));
    ASSERT_TRUE(v.Send(2, 20204, {}));
    ASSERT_TRUE(v.Send(3, 20201, {2, 0, 0, 0}));

    std::unique_ptr<CRVMSG> a = m_sim.WaitFor(20201, 2000);
    std::unique_ptr<CRVMSG> b = m_sim.WaitFor(20201, 2000);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(1, a->SenderID());
    EXPECT_EQ((Bytes{1, 0, 0, 0}), DataOf(*a));
    EXPECT_EQ(3, b->SenderID());
    EXPECT_EQ(2, b->GetInt());
    // Both were handed out; a third does not exist.
    EXPECT_EQ(nullptr, m_sim.WaitFor(20201, 100));
    // Frames() still holds everything, in arrival order, WaitFor or not.
    std::vector<std::unique_ptr<CRVMSG>> all = m_sim.Frames();
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ(20201, all[0]->MessageID());
    EXPECT_EQ(20204, all[1]->MessageID());
    EXPECT_EQ(2, m_sim.CountFrames(20201));
    EXPECT_EQ(3, m_sim.CountFrames());
    m_sim.ClearFrames();
    EXPECT_EQ(0, m_sim.CountFrames());
}

TEST_F(SimTest, WaitForWakesWhenTheFrameArrives)
{
    CTestViewer v;
    ConnectViewer(v);
    std::thread late([&] {
        usleep(150000);
        v.Send(0, 20220, {5, 0, 0, 0});
    });
    auto t0 = std::chrono::steady_clock::now();
    std::unique_ptr<CRVMSG> m = m_sim.WaitFor(20220, 5000);
    auto waited = std::chrono::steady_clock::now() - t0;
    late.join();
    ASSERT_TRUE(m);
    EXPECT_EQ(5, m->GetInt());
    // Woken by the arrival, not by the time-out.
    EXPECT_LT(waited, std::chrono::milliseconds(4000));
}

TEST_F(SimTest, WaitForTimesOutAndStopEndsItEarly)
{
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, m_sim.WaitFor(20201, 200));
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(190));

    std::atomic<bool> done{false};
    std::thread waiter([&] {
        EXPECT_EQ(nullptr, m_sim.WaitFor(20201, 20000));
        done = true;
    });
    usleep(100000);
    m_sim.Stop();
    for (int i = 0; i < 300 && !done; i++)
        usleep(10000);
    EXPECT_TRUE(done);
    waiter.join();
}

TEST_F(SimTest, ManyWaitersAllGetTheirFrames)
{
    CTestViewer v;
    ConnectViewer(v);
    const int n = 6;
    std::vector<std::thread> threads;
    std::atomic<int> got{0};
    for (int i = 0; i < n; i++)
        threads.emplace_back([&, i] {
            if (m_sim.WaitFor((short)(20300 + i), 5000))
                got++;
        });
    usleep(50000);
    for (int i = n - 1; i >= 0; i--)
        ASSERT_TRUE(v.Send(0, (short)(20300 + i)));
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(n, got.load());
}

TEST_F(SimTest, FrameSplitAcrossWritesIsRecordedWhole)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(4, 20208, 0, 1);
    m.PutInt(7);
    m.PutInt(1);
    m.PutString(CRVString("typed text"));
    Bytes frame = MsgBytes(m);
    for (size_t i = 0; i < frame.size(); i += 5) {
        ASSERT_TRUE(v.Write(frame.data() + i, std::min<size_t>(5, frame.size() - i)));
        usleep(2000);
    }
    std::unique_ptr<CRVMSG> got = m_sim.WaitFor(20208, 2000);
    ASSERT_TRUE(got);
    EXPECT_EQ(1, got->IsSameMSG(&m));
    EXPECT_EQ(4, got->SenderID());
}

TEST_F(SimTest, OversizeFrameFromTheViewerClosesTheLink)
{
    CTestViewer v;
    ConnectViewer(v);
    Bytes header(8, 0);
    RVT_HEADER h{0, 20201, RV_MAX_MSG_DATA + 1};
    memcpy(header.data(), &h, 8);
    ASSERT_TRUE(v.Write(header));
    EXPECT_TRUE(v.WaitClosed());
    EXPECT_EQ(1, m_sim.WaitDisconnected(1000));
    EXPECT_EQ(0, m_sim.CountFrames());
}

TEST_F(SimTest, ReconnectAfterADropAndReplacement)
{
    {
        CTestViewer v;
        ConnectAndLogin(v);
    }   // dropped
    ASSERT_EQ(1, m_sim.WaitDisconnected(2000));
    CTestViewer second;
    ConnectAndLogin(second);
    EXPECT_EQ(2, m_sim.ConnectionCount());

    // A third connection replaces the second, which sees the end of its stream.
    CTestViewer third;
    ConnectViewer(third);
    EXPECT_TRUE(second.WaitClosed());
    ASSERT_TRUE(third.Send(1, SIM_MSG_GET_CHALLENGE));
    TestFrame f;
    EXPECT_TRUE(third.ReadFrame(&f));
    EXPECT_EQ(3, m_sim.ConnectionCount());
}

TEST_F(SimTest, DisconnectDeliversWhatWasSentThenCloses)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(0, 20169, 0, 1);
    ASSERT_EQ(1, m_sim.Send(m));
    m_sim.Disconnect();
    EXPECT_EQ(0, m_sim.IsConnected());
    TestFrame f;
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(20169, f.sMessageID);
    EXPECT_TRUE(v.WaitClosed());
    // Nothing goes out any more.
    EXPECT_EQ(0, m_sim.Send(m));
    // And the sim takes the next viewer.
    CTestViewer next;
    ConnectViewer(next);
}

TEST_F(SimTest, StopClosesTheViewerAndCanBeRepeated)
{
    CTestViewer v;
    ConnectViewer(v);
    m_sim.Stop();
    EXPECT_TRUE(v.WaitClosed());
    EXPECT_EQ(0, m_sim.IsConnected());
    m_sim.Stop();
    CRVMSG m(0, 20169, 0, 1);
    EXPECT_EQ(0, m_sim.Send(m));
    // It starts again, on a new port if asked for one.
    ASSERT_EQ(1, m_sim.Start(0));
    CTestViewer again;
    ConnectViewer(again);
}

TEST_F(SimTest, StartOnAGivenPortAndRefusesATakenOne)
{
    unsigned short port = m_sim.Port();
    CControllerSim other;
    EXPECT_EQ(0, other.Start(port));
    m_sim.Stop();
    ASSERT_EQ(1, other.Start(port));
    EXPECT_EQ(port, other.Port());
    EXPECT_EQ(0, other.Start(0));    // runs already
}

TEST_F(SimTest, FrameHookSeesEveryFrameAndMayAnswer)
{
    m_sim.SetFrameHook([](CControllerSim& sim, const CRVMSG& msg) {
        if (msg.MessageID() != 20201)
            return;
        CRVMSG copy(&msg);
        CRVMSG reply(0, 20118, 0, 1);
        reply.PutInt(copy.GetInt() + 100);
        sim.Send(reply);
    });
    CTestViewer v;
    ConnectViewer(v);
    ASSERT_TRUE(v.Send(0, 20201, {5, 0, 0, 0}));
    TestFrame f;
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(20118, f.sMessageID);
    EXPECT_EQ(105, ReadInt(f, 0));
}

TEST_F(SimTest, LogRecordsBothDirections)
{
    char path[] = "/tmp/zv_sim_log_XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(1, m_sim.OpenLog(path));
    m_sim.SetChallenge("abc");
    CTestViewer v;
    ConnectViewer(v);
    Challenge(v, 3);
    ASSERT_TRUE(v.Send(0, 20201, {1, 2, 3, 4}));
    ASSERT_TRUE(m_sim.WaitFor(20201, 2000));
    ASSERT_EQ(1, m_sim.OpenLog(nullptr));

    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string log = text.str();
    unlink(path);
    EXPECT_NE(std::string::npos, log.find("recv +")) << log;
    EXPECT_NE(std::string::npos, log.find(" id 14 sender 3 len 0\n")) << log;
    EXPECT_NE(std::string::npos, log.find(" id 15 sender 3 len 8 data 03000000616263")) << log;
    EXPECT_NE(std::string::npos, log.find(" id 20201 sender 0 len 4 data 01020304")) << log;
    EXPECT_EQ(0, m_sim.OpenLog("/nonexistent-dir/log"));
}

}  // namespace

// What the sim writes: frames from code, chunked and split frames, the
// deliberate faults, silence and the keep-alive.
#include "sim_fixture.h"

#include <random>
#include <thread>

namespace {

// A frame with enough data to be cut in many places.
void BuildSample(CRVMSG& m)
{
    m.PutInt(7);
    m.PutString(CRVString("Living room"));
    m.PutBYTE(1);
    m.PutRECT(CRVRect(10, 20, 300, 40));
}

// Reads whatever arrives until ms pass with nothing new; the size of each read.
std::vector<int> ReadPieces(CTestViewer& v, int ms)
{
    std::vector<int> sizes;
    int n;
    while ((n = v.ReadSome(ms)) > 0)
        sizes.push_back(n);
    return sizes;
}

TEST_F(SimTest, SendFromCodeAndRaw)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(2, 20114, 0, 1);
    BuildSample(m);
    ASSERT_EQ(1, m_sim.Send(m));
    Bytes expected = MsgBytes(m);
    Bytes got;
    ASSERT_TRUE(v.ReadBytes(expected.size(), &got));
    EXPECT_EQ(expected, got);

    const unsigned char raw[] = {1, 2, 3};
    ASSERT_EQ(1, m_sim.SendRaw(raw, 3));
    ASSERT_TRUE(v.ReadBytes(3, &got));
    EXPECT_EQ((Bytes{1, 2, 3}), got);
}

TEST_F(SimTest, SendWithoutAViewerFails)
{
    CRVMSG m(0, 20114, 0, 1);
    EXPECT_EQ(0, m_sim.Send(m));
    EXPECT_EQ(0, m_sim.SendGarbage(10));
    CControllerSim notStarted;
    EXPECT_EQ(0, notStarted.Send(m));
}

TEST_F(SimTest, ChunkedFramesArriveIntactInPieces)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(0, 20114, 0, 1);
    BuildSample(m);
    Bytes expected = MsgBytes(m);
    struct Case
    {
        unsigned int uChunk;
        unsigned int uDelay;
    } cases[] = {{1, 2}, {3, 5}, {7, 0}, {1000, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uChunk);
        m_sim.SetChunking(c.uChunk, c.uDelay);
        ASSERT_EQ(1, m_sim.Send(m));
        Bytes got;
        ASSERT_TRUE(v.ReadBytes(expected.size(), &got));
        EXPECT_EQ(expected, got);
    }
    // With a pause between pieces each piece is read on its own.
    m_sim.SetChunking(8, 150);
    std::thread sender([&] { m_sim.Send(m); });
    std::vector<int> pieces = ReadPieces(v, 1000);
    sender.join();
    ASSERT_EQ((expected.size() + 7) / 8, pieces.size());
    for (size_t i = 0; i + 1 < pieces.size(); i++)
        EXPECT_EQ(8, pieces[i]);
    EXPECT_EQ(expected, v.Buffered());
}

TEST_F(SimTest, SplitAtAnExactOffset)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(0, 20114, 0, 1);
    BuildSample(m);
    Bytes expected = MsgBytes(m);
    for (size_t offset : {(size_t)1, (size_t)7, (size_t)8, expected.size() - 1}) {
        SCOPED_TRACE(offset);
        v.Buffered().clear();
        std::thread sender([&] { EXPECT_EQ(1, m_sim.SendSplitAt(m, offset, 200)); });
        std::vector<int> pieces = ReadPieces(v, 600);
        sender.join();
        ASSERT_EQ(2u, pieces.size());
        EXPECT_EQ((int)offset, pieces[0]);
        EXPECT_EQ(expected, v.Buffered());
    }
    // Offsets outside the frame send it whole.
    v.Buffered().clear();
    ASSERT_EQ(1, m_sim.SendSplitAt(m, expected.size() + 5, 80));
    Bytes got;
    ASSERT_TRUE(v.ReadBytes(expected.size(), &got));
    EXPECT_EQ(expected, got);
}

TEST_F(SimTest, LyingAndOversizeLengths)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(3, 20120, 0, 1);
    m.PutInt(1);
    m.PutInt(2);
    for (unsigned int length : {0u, 4u, 100u, (unsigned int)SIM_OVERSIZE_LENGTH, 0xFFFFFFFFu}) {
        SCOPED_TRACE(length);
        ASSERT_EQ(1, m_sim.SendWithLength(m, length));
        Bytes got;
        ASSERT_TRUE(v.ReadBytes(16, &got));
        RVT_HEADER h = RVLoadHeader(got.data());
        EXPECT_EQ(3, h.sSenderID);
        EXPECT_EQ(20120, h.sMessageID);
        EXPECT_EQ(length, h.uLength);
        EXPECT_EQ((Bytes{1, 0, 0, 0, 2, 0, 0, 0}), Bytes(got.begin() + 8, got.end()));
    }
    EXPECT_EQ(999993u, (unsigned int)SIM_OVERSIZE_LENGTH);
}

TEST_F(SimTest, TruncatedFrameThenClose)
{
    CRVMSG m(0, 20114, 0, 1);
    BuildSample(m);
    Bytes expected = MsgBytes(m);
    for (size_t n : {(size_t)0, (size_t)3, (size_t)8, expected.size() - 1}) {
        SCOPED_TRACE(n);
        CTestViewer v;
        ConnectViewer(v);
        ASSERT_EQ(1, m_sim.SendTruncatedAndClose(m, n));
        EXPECT_TRUE(v.WaitClosed());
        EXPECT_EQ(Bytes(expected.begin(), expected.begin() + n), v.Buffered());
        EXPECT_EQ(1, m_sim.WaitDisconnected(2000));
    }
}

TEST_F(SimTest, GarbageIsRepeatableBySeed)
{
    CTestViewer v;
    ConnectViewer(v);
    Bytes first, second, third;
    ASSERT_EQ(1, m_sim.SendGarbage(1000, 7));
    ASSERT_TRUE(v.ReadBytes(1000, &first));
    ASSERT_EQ(1, m_sim.SendGarbage(1000, 7));
    ASSERT_TRUE(v.ReadBytes(1000, &second));
    ASSERT_EQ(1, m_sim.SendGarbage(1000, 8));
    ASSERT_TRUE(v.ReadBytes(1000, &third));
    EXPECT_EQ(first, second);
    EXPECT_NE(first, third);
    // Not a constant fill.
    EXPECT_NE(std::count(first.begin(), first.end(), first[0]), 1000);
}

TEST_F(SimTest, SilentSimAnswersNothingButStillRecordsAndSends)
{
    m_sim.SetSilent(1);
    m_sim.SetKeepAlive(50);
    CTestViewer v;
    ConnectViewer(v);
    ASSERT_TRUE(v.Send(1, SIM_MSG_GET_CHALLENGE));
    ASSERT_TRUE(v.Send(1, SIM_MSG_GET_SYSTEM_NAME));
    TestFrame f;
    EXPECT_FALSE(v.ReadFrame(&f, 400));
    EXPECT_EQ(2, m_sim.CountFrames());
    CRVMSG m(0, 20169, 0, 1);
    ASSERT_EQ(1, m_sim.Send(m));
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(20169, f.sMessageID);
    // Speaking again.
    m_sim.SetSilent(0);
    ASSERT_TRUE(v.Send(1, SIM_MSG_GET_CHALLENGE));
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(SIM_MSG_CHALLENGE, f.sMessageID);
}

TEST_F(SimTest, KeepAliveAfterLoginOnly)
{
    m_sim.SetKeepAlive(100);
    CTestViewer v;
    ConnectViewer(v);
    TestFrame f;
    EXPECT_FALSE(v.ReadFrame(&f, 350)) << "keep-alive before login";
    ASSERT_TRUE(Login(v, ""));
    int counters[3];
    for (int& c : counters) {
        ASSERT_TRUE(v.ReadFrame(&f, 1000));
        EXPECT_EQ(SIM_MSG_ECHO, f.sMessageID);
        EXPECT_EQ(0, f.sSenderID);
        EXPECT_EQ(8u, f.uLength);
        EXPECT_EQ(0, ReadInt(f, 4));
        c = ReadInt(f, 0);
    }
    EXPECT_LT(counters[0], counters[1]);
    EXPECT_LT(counters[1], counters[2]);

    m_sim.SetKeepAlive(0);
    while (v.ReadFrame(&f, 300)) {    // one may have been on its way
    }
    EXPECT_FALSE(v.ReadFrame(&f, 500)) << "keep-alive after it was turned off";
}

TEST_F(SimTest, StopInterruptsASlowChunkedSend)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG m(0, 20114, 0, 1);
    BuildSample(m);
    m_sim.SetChunking(1, 1000);
    std::atomic<int> result{-1};
    std::thread sender([&] { result = m_sim.Send(m); });
    usleep(100000);
    auto t0 = std::chrono::steady_clock::now();
    m_sim.Stop();
    sender.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(3000));
    EXPECT_EQ(0, result.load());
}

TEST_F(SimTest, StopEndsASendTheViewerDoesNotRead)
{
    CTestViewer v;
    ConnectViewer(v);
    CRVMSG big(0, 20110, 0, 1);
    std::vector<unsigned char> data(RV_MAX_MSG_DATA, 0xAB);
    big.PutDataNoAlign(data.data(), (int)data.size());
    std::atomic<int> sent{0};
    std::atomic<bool> finished{false};
    std::thread sender([&] {
        // The viewer never reads: the socket buffers fill and a send waits.
        while (m_sim.Send(big))
            sent++;
        finished = true;
    });
    usleep(300000);
    EXPECT_FALSE(finished) << "the send should be waiting for room";
    auto t0 = std::chrono::steady_clock::now();
    m_sim.Stop();
    sender.join();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(3000));
    EXPECT_LT(sent.load(), 50);
}

}  // namespace

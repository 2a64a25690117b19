// The session's message pump over a real loopback TCP link: framing in the
// receive buffer, routing, connection reports, silence and the waits.
#include <gtest/gtest.h>

#include <thread>

#include "RVThread.h"
#include "rvmsg.h"
#include "session_fixture.h"

namespace {

class SessionPump : public SessionFixture
{
protected:
    // Connected, with the first round (which reports the connection) done.
    void Connected()
    {
        ConnectPeer();
        ASSERT_EQ(0, m_session.RunMessagePump(0));
        m_log.clear();
    }
    int CountMessages(short sMessage) const
    {
        int n = 0;
        for (const SINK_EVENT& e : m_log)
            n += !e.bConnection && e.sMessage == sMessage;
        return n;
    }
};

TEST_F(SessionPump, ReportsEachConnectionChangeOnceToEverySinkInOrder)
{
    CRecordingSink a("a", &m_log), b("b", &m_log);
    m_session.AddSocketSink(&a);
    m_session.AddSocketSink(&b);
    EXPECT_EQ(2, m_session.RunMessagePump(0));   // nothing connected, nothing was reported
    EXPECT_TRUE(m_log.empty());

    ConnectPeer();
    EXPECT_EQ(0, m_session.RunMessagePump(0));
    EXPECT_EQ(0, m_session.RunMessagePump(0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("a", 1), ConnectionEvent("b", 1) }), m_log);

    m_log.clear();
    m_peer.Close();
    EXPECT_EQ(2, PumpUntil(2));                  // the round that reads the end of stream
    EXPECT_FALSE(m_session.IsConnected());
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(2, m_session.RunMessagePump(0));   // the next round tells the sinks
    EXPECT_EQ(2, m_session.RunMessagePump(0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("a", 0), ConnectionEvent("b", 0) }), m_log);
}

TEST_F(SessionPump, TwoFramesInOneReadAreBothDispatchedInOneRound)
{
    CRecordingSink a("a", &m_log);
    m_session.AddSocketSink(&a);
    Connected();
    Bytes both = MakeFrame(a.SenderID(), 100, IntData(1));
    Bytes second = MakeFrame(a.SenderID(), 101, IntData(2));
    both.insert(both.end(), second.begin(), second.end());
    ASSERT_TRUE(m_peer.Send(both));
    EXPECT_EQ(1, m_session.RunMessagePump(1000));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", a.SenderID(), 100, 1),
                                        MessageEvent("a", a.SenderID(), 101, 2) }),
              m_log);
}

TEST_F(SessionPump, FrameSplitAcrossReadsIsDispatchedWithItsLastByte)
{
    CRecordingSink a("a", &m_log);
    m_session.AddSocketSink(&a);
    Connected();
    Bytes f = MakeFrame(a.SenderID(), 100, IntData(77));
    // Within the header, at the end of the header, within the data.
    for (size_t cut : { 3u, 8u, 10u }) {
        SCOPED_TRACE(cut);
        m_log.clear();
        ASSERT_TRUE(m_peer.Send(f.data(), cut));
        EXPECT_EQ(0, m_session.RunMessagePump(1000));
        ASSERT_TRUE(m_peer.Send(f.data() + cut, f.size() - cut));
        EXPECT_EQ(1, m_session.RunMessagePump(1000));
        EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", a.SenderID(), 100, 77) }), m_log);
    }
}

TEST_F(SessionPump, LargestFrameFillsTheWholeBuffer)
{
    CRecordingSink a("a", &m_log);
    m_session.AddSocketSink(&a);
    Connected();
    // A small frame first, so the big one does not start at the buffer's front.
    Bytes small = MakeFrame(a.SenderID(), 99, IntData(5));
    Bytes big = MakeFrame(a.SenderID(), 100, Bytes(999992, 0xAB));
    memcpy(&big[8], "\x07\x00\x00\x00", 4);
    std::thread sender([&] {
        m_peer.Send(small);
        m_peer.Send(big.data(), 500000);
        m_peer.Send(big.data() + 500000, big.size() - 500000);
    });
    uint32_t start = RVGetTickCount();
    int r = 0;
    while (CountMessages(100) == 0 && RVTickSince(start) < 5000 && r != 2)
        r = m_session.RunMessagePump(50);
    sender.join();
    EXPECT_NE(2, r);
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", a.SenderID(), 99, 5),
                                        MessageEvent("a", a.SenderID(), 100, 7) }),
              m_log);
    EXPECT_TRUE(m_session.IsConnected());
}

TEST_F(SessionPump, OverlongOrNegativeLengthClosesTheLink)
{
    for (uint32_t length : { 999993u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu }) {
        SCOPED_TRACE(length);
        CRecordingSink a("a", &m_log);
        m_session.AddSocketSink(&a);
        Connected();
        Bytes header = MakeFrame(a.SenderID(), 100);
        memcpy(&header[4], &length, 4);
        ASSERT_TRUE(m_peer.Send(header));
        EXPECT_EQ(2, m_session.RunMessagePump(1000));
        EXPECT_FALSE(m_session.IsConnected());
        EXPECT_EQ(2, m_session.RunMessagePump(0));
        EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("a", 0) }), m_log);
    }
}

// Routing of one message: main window first, then the first sink with the
// sender ID; the main window never twice.
struct ROUTE_CASE
{
    const char* name;
    short sSender;
    std::vector<const char*> receivers;
};

TEST_F(SessionPump, RoutesToMainWindowThenTheSendersSink)
{
    const ROUTE_CASE cases[] = {
        { "broadcast reaches every sink once, in order", 0x7FFF, { "session?", "s5", "main", "s7", "twin5" } },
        { "sender 5: main window, then the first sink with 5", 5, { "main", "s5" } },
        { "sender 0: only the main window", 0, { "main" } },
        { "sender 9 (the main window's own ID): once", 9, { "main" } },
        { "nobody has 42: only the main window", 42, { "main" } },
    };
    CRecordingSink s5("s5", &m_log, 5), main("main", &m_log, 9), s7("s7", &m_log, 7),
        twin5("twin5", &m_log, 5);
    for (CSocketSink* s : std::vector<CSocketSink*>{ &s5, &main, &s7, &twin5 })
        ASSERT_EQ(1, m_session.AddSocketSink(s));
    m_session.SetMainWindowSink(&main);
    Connected();
    for (const ROUTE_CASE& c : cases) {
        SCOPED_TRACE(c.name);
        m_log.clear();
        ASSERT_TRUE(m_peer.SendFrame(c.sSender, 300, IntData(c.sSender)));
        ASSERT_EQ(1, m_session.RunMessagePump(1000));
        std::vector<SINK_EVENT> want;
        for (const char* who : c.receivers)
            if (strcmp(who, "session?") != 0)   // the session is a sink too; it records nothing
                want.push_back(MessageEvent(who, c.sSender, 300, c.sSender));
        EXPECT_EQ(want, m_log);
    }
}

TEST_F(SessionPump, SinkRemovedDuringBroadcastIsNotCalledAfterwards)
{
    CRecordingSink a("a", &m_log), b("b", &m_log);
    m_session.AddSocketSink(&a);
    m_session.AddSocketSink(&b);
    a.m_onMessage = [&](CRVMSG*) { m_session.RemoveSocketSink(&b); };
    Connected();
    ASSERT_TRUE(m_peer.SendFrame(0x7FFF, 300, IntData(1)));
    ASSERT_EQ(1, m_session.RunMessagePump(1000));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", 0x7FFF, 300, 1) }), m_log);
}

TEST_F(SessionPump, SilentLinkIsClosedAndEverySinkHearsOfIt)
{
    m_session.SetSilenceLimits(200, 100);
    CRecordingSink a("a", &m_log), b("b", &m_log);
    m_session.AddSocketSink(&a);
    m_session.AddSocketSink(&b);
    Connected();

    // A message every 50 ms keeps the link open well past the limit.
    uint32_t start = RVGetTickCount();
    while (RVTickSince(start) < 500) {
        ASSERT_TRUE(m_peer.SendFrame(0, 20155));
        ASSERT_NE(2, m_session.RunMessagePump(50));
    }
    m_log.clear();

    // Then silence: closed after 200 ms without a message and 100 ms without data.
    start = RVGetTickCount();
    EXPECT_EQ(2, PumpUntil(2, 2000, 20));
    uint32_t took = RVTickSince(start);
    EXPECT_GE(took, 190u);
    EXPECT_LT(took, 1500u);
    EXPECT_FALSE(m_session.IsConnected());
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(2, m_session.RunMessagePump(0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("a", 0), ConnectionEvent("b", 0) }), m_log);
}

TEST_F(SessionPump, WaitMessageDispatchesTheWantedSenderAndParksTheRest)
{
    CRecordingSink a("a", &m_log), b("b", &m_log);
    m_session.AddSocketSink(&a);
    m_session.AddSocketSink(&b);
    Connected();
    Bytes bytes;
    for (auto f : { MakeFrame(a.SenderID(), 1, IntData(1)), MakeFrame(0x7FFF, 2, IntData(2)),
                    MakeFrame(b.SenderID(), 3, IntData(3)), MakeFrame(a.SenderID(), 4, IntData(4)) })
        bytes.insert(bytes.end(), f.begin(), f.end());
    ASSERT_TRUE(m_peer.Send(bytes));

    EXPECT_EQ(1, m_session.WaitMessage(b.SenderID(), 1000));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("b", b.SenderID(), 3, 3) }), m_log);
    EXPECT_EQ(2, m_session.PendingCount());
    // The frame after the wanted one stays in the buffer; a parked one is found first.
    m_log.clear();
    EXPECT_EQ(1, m_session.WaitMessage(a.SenderID(), 0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", a.SenderID(), 1, 1) }), m_log);

    // The pump delivers what was parked, then the rest, in arrival order.
    m_log.clear();
    EXPECT_EQ(1, m_session.RunMessagePump(0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", 0x7FFF, 2, 2), MessageEvent("b", 0x7FFF, 2, 2),
                                        MessageEvent("a", a.SenderID(), 4, 4) }),
              m_log);
    EXPECT_EQ(0, m_session.PendingCount());
    EXPECT_EQ(0, m_session.WaitMessage(a.SenderID(), 50));
}

TEST_F(SessionPump, WaitMessageCopyHandsOutWithoutDispatching)
{
    CRecordingSink a("a", &m_log), b("b", &m_log);
    m_session.AddSocketSink(&a);
    m_session.AddSocketSink(&b);
    Connected();
    std::thread late([&] {
        m_peer.SendFrame(b.SenderID(), 3, IntData(3));
        Sleep(100);
        m_peer.SendFrame(a.SenderID(), 4, IntData(4));
    });
    // Keeps reading past the first (unwanted) frame until the wanted one comes.
    std::unique_ptr<CRVMSG> copy(m_session.WaitMessageCopy(a.SenderID(), 2000));
    late.join();
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(4, copy->MessageID());
    EXPECT_EQ(4, copy->GetInt());
    EXPECT_TRUE(m_log.empty());
    EXPECT_EQ(1, m_session.PendingCount());
    // A parked message is taken out of the list.
    copy.reset(m_session.WaitMessageCopy(b.SenderID(), 0));
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(3, copy->MessageID());
    EXPECT_EQ(0, m_session.PendingCount());
    // Nothing more: null after the wait.
    uint32_t start = RVGetTickCount();
    EXPECT_EQ(nullptr, m_session.WaitMessageCopy(a.SenderID(), 150));
    EXPECT_GE(RVTickSince(start), 145u);
}

TEST_F(SessionPump, HandlerThatWaitsKeepsItsFrameIntact)
{
    CRecordingSink a("a", &m_log), b("b", &m_log), x("x", &m_log);
    m_session.AddSocketSink(&a);
    m_session.AddSocketSink(&b);
    m_session.AddSocketSink(&x);
    int seenAfterWait = 0;
    a.m_onMessage = [&](CRVMSG* pMsg) {
        if (pMsg->MessageID() != 1)
            return;
        // Waiting inside the pump reads and consumes frames behind this one.
        EXPECT_EQ(1, m_session.WaitMessage(x.SenderID(), 1000));
        pMsg->ResetRead();
        seenAfterWait = pMsg->GetInt();
    };
    Connected();
    Bytes bytes;
    for (auto f : { MakeFrame(a.SenderID(), 1, IntData(111)), MakeFrame(b.SenderID(), 2, IntData(2)),
                    MakeFrame(x.SenderID(), 3, IntData(3)), MakeFrame(a.SenderID(), 5, IntData(5)) })
        bytes.insert(bytes.end(), f.begin(), f.end());
    ASSERT_TRUE(m_peer.Send(bytes));
    EXPECT_EQ(1, m_session.RunMessagePump(1000));
    EXPECT_EQ(111, seenAfterWait);
    // The parked frame goes out first in the next round (which reads nothing new).
    EXPECT_EQ(0, m_session.RunMessagePump(0));
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("a", a.SenderID(), 1, 111),
                                        MessageEvent("x", x.SenderID(), 3, 3),
                                        MessageEvent("a", a.SenderID(), 5, 5),
                                        MessageEvent("b", b.SenderID(), 2, 2) }),
              m_log);
}

TEST_F(SessionPump, NewLinkDropsBytesLeftFromTheOldOne)
{
    CRecordingSink a("a", &m_log);
    m_session.AddSocketSink(&a);
    Connected();
    Bytes f = MakeFrame(a.SenderID(), 100, IntData(1));
    ASSERT_TRUE(m_peer.Send(f.data(), 5));
    EXPECT_EQ(0, m_session.RunMessagePump(1000));
    m_peer.Close();
    EXPECT_EQ(2, PumpUntil(2));

    ConnectPeer();
    ASSERT_TRUE(m_peer.Send(f));
    EXPECT_EQ(1, PumpUntil(1));
    EXPECT_EQ(MessageEvent("a", a.SenderID(), 100, 1), m_log.back());
}

TEST_F(SessionPump, SendMSGWritesTheFrame)
{
    CRVMSG msg(3, 20201, 0, 0);
    EXPECT_EQ(0, m_session.SendMSG(&msg));   // not connected
    EXPECT_EQ(0, m_session.SendMSG(nullptr));
    ConnectPeer();
    msg.PutInt(1);
    ASSERT_EQ(1, m_session.SendMSG(&msg));
    RAW_FRAME f;
    Bytes raw;
    ASSERT_TRUE(m_peer.ReadFrame(&f, 1000, &raw));
    EXPECT_EQ(MakeFrame(3, 20201, IntData(1)), raw);
}

} // namespace

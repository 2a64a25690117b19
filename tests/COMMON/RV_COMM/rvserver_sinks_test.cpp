// The session's sink list, sender IDs and set-up, without a link; and the
// status sink.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RVQuery.h"
#include "recording_sink.h"
#include "rvserver.h"
#include "scoped_temp_dir.h"
#include "statussink.h"

namespace {

TEST(SessionSinks, ListKeepsOrderRefusesDuplicatesAndAFullList)
{
    CRVServer session;
    std::vector<SINK_EVENT> log;
    EXPECT_EQ(1, session.SinkCount());   // the session itself
    EXPECT_TRUE(session.IsSinkRegistered(&session));

    std::vector<std::unique_ptr<CRecordingSink>> sinks;
    for (int i = 0; i < CRVServer::MAX_SINKS; i++)
        sinks.emplace_back(new CRecordingSink("s", &log, (short)(100 + i)));
    for (int i = 0; i < CRVServer::MAX_SINKS - 1; i++)
        ASSERT_EQ(1, session.AddSocketSink(sinks[i].get())) << i;
    EXPECT_EQ(0, session.AddSocketSink(sinks[0].get()));                        // already there
    EXPECT_EQ(0, session.AddSocketSink(sinks[CRVServer::MAX_SINKS - 1].get())); // 32 held
    EXPECT_EQ(0, session.AddSocketSink(nullptr));
    EXPECT_EQ(CRVServer::MAX_SINKS, session.SinkCount());

    // Removing keeps the order of the rest: the notifications show it.
    session.RemoveSocketSink(sinks[1].get());
    session.RemoveSocketSink(sinks[1].get());   // not there any more: nothing
    EXPECT_EQ(CRVServer::MAX_SINKS - 1, session.SinkCount());
    EXPECT_EQ(1, session.AddSocketSink(sinks[CRVServer::MAX_SINKS - 1].get()));
    std::vector<short> order;
    for (auto& s : sinks)
        s->m_onMessage = [&order, p = s.get()](CRVMSG*) { order.push_back(p->SenderID()); };
    CRVMSG broadcast(0x7FFF, 1, 0, 1);
    session.ProcessMessage(&broadcast);
    std::vector<short> want;
    for (int i = 0; i < CRVServer::MAX_SINKS; i++)
        if (i != 1)
            want.push_back((short)(100 + i));
    EXPECT_EQ(want, order);
    for (auto& s : sinks)
        session.RemoveSocketSink(s.get());
}

TEST(SessionSinks, NextSinkIDSkipsIDsThatRegisteredSinksHold)
{
    CRVServer session;
    g_pRVServer = &session;
    EXPECT_EQ(1, session.NextSinkID());
    EXPECT_EQ(2, session.NextSinkID());
    EXPECT_EQ(3, session.NextSinkID());
    std::vector<SINK_EVENT> log;
    CRecordingSink four("four", &log, 4);
    session.AddSocketSink(&four);
    EXPECT_EQ(5, session.NextSinkID());
    // A query draws its ID the same way.
    CRVQuery q;
    EXPECT_EQ(6, q.SenderID());
    g_pRVServer = nullptr;
}

TEST(SessionSinks, ConnectionChangedReachesEverySinkInOrder)
{
    CRVServer session;
    std::vector<SINK_EVENT> log;
    CRecordingSink a("a", &log, 1), b("b", &log, 2);
    session.AddSocketSink(&a);
    session.AddSocketSink(&b);
    session.SendConnectionChanged(1);
    session.RemoveSocketSink(&b);
    session.SendConnectionChanged(0);
    EXPECT_EQ((std::vector<SINK_EVENT>{ ConnectionEvent("a", 1), ConnectionEvent("b", 1), ConnectionEvent("a", 0) }),
              log);
    session.RemoveSocketSink(&a);
}

TEST(SessionSinks, EveryReceiverReadsTheMessageFromItsStart)
{
    CRVServer session;
    std::vector<SINK_EVENT> log;
    CRecordingSink main("main", &log, 9), s5("s5", &log, 5);
    session.AddSocketSink(&main);
    session.AddSocketSink(&s5);
    session.SetMainWindowSink(&main);
    CRVMSG msg(5, 300, 0, 1);
    msg.PutInt(42);   // index now past the int
    session.ProcessMessage(&msg);
    EXPECT_EQ((std::vector<SINK_EVENT>{ MessageEvent("main", 5, 300, 42), MessageEvent("s5", 5, 300, 42) }), log);
    session.SetMainWindowSink(nullptr);
    session.RemoveSocketSink(&main);
    session.RemoveSocketSink(&s5);
}

TEST(SessionSinks, ConstructionAndTeardown)
{
    ScopedTempDir dir;
    {
        CRVServer session(dir.path().c_str());
        EXPECT_EQ(dir.path() + "/servers.txt", CRVServer::g_szServerPoolPath);
        EXPECT_EQ(0, session.SenderID());
        EXPECT_FALSE(session.IsConnected());
        EXPECT_EQ(LOGIN_CONTEXT_VIEWER, session.GetLoginContext());
        EXPECT_EQ(22, g_iProcType);
        g_pRVServer = &session;
    }
    // A session that goes does not leave a dangling global behind.
    EXPECT_EQ(nullptr, g_pRVServer);
    CRVServer withSlash((dir.path() + "/").c_str());
    EXPECT_EQ(dir.path() + "/servers.txt", CRVServer::g_szServerPoolPath);
}

struct STATUS_CALL
{
    void* target;
    std::string text;
};
std::vector<STATUS_CALL> g_statusCalls;

TEST(StatusSink, TextsGoToTheTargetAsUtf8)
{
    int target = 0;
    CStatusSink none;
    CStatusSink sink(&target);
    g_statusCalls.clear();
    sink.SetStatus(CRVString("no bridge yet"));
    CStatusSink::SetBridge([](void* t, const char* s) { g_statusCalls.push_back({ t, s }); });
    none.SetStatus(CRVString("no target"));
    sink.SetStatus(CRVString("Using: server"));
    sink.SetStatus(CRVString(L"Caf\u00e9 \u20ac"));
    CStatusSink::SetBridge(nullptr);
    ASSERT_EQ(2u, g_statusCalls.size());
    EXPECT_EQ(&target, g_statusCalls[0].target);
    EXPECT_EQ("Using: server", g_statusCalls[0].text);
    EXPECT_EQ("Caf\xc3\xa9 \xe2\x82\xac", g_statusCalls[1].text);

    EXPECT_EQ(1, sink.DoWaitProc());
    EXPECT_EQ(1, sink.IsValidGateway(CRVString("anything")));
    EXPECT_EQ(1, none.IsValidGateway(CRVString("")));
    sink.RegisterLocalGateway(CRVString("gw"), 0x0100007F, 80);   // nothing on this platform
    EXPECT_EQ(2u, g_statusCalls.size());
    EXPECT_EQ(&target, sink.Target());
}

} // namespace

#include <gtest/gtest.h>

#include "rvserver.h"
#include "socksink.h"

namespace {

// Installs a fresh session as g_pRVServer for one test.
class SocketSinkSession : public ::testing::Test
{
protected:
    void SetUp() override { g_pRVServer = &m_session; }
    void TearDown() override { g_pRVServer = nullptr; }
    CRVServer m_session;
};

TEST(SocketSink, WithoutSessionHasNoID)
{
    ASSERT_EQ(nullptr, g_pRVServer);
    CSocketSink sink;
    EXPECT_EQ(0, sink.SenderID());
    sink.RegenSenderID();
    EXPECT_EQ(0, sink.SenderID());
    CSocketSink fixed((short)42);
    EXPECT_EQ(42, fixed.SenderID());
}

TEST_F(SocketSinkSession, SessionHoldsZeroAndSinksCountFromOne)
{
    EXPECT_EQ(0, m_session.SenderID());
    CSocketSink a, b, c;
    EXPECT_EQ(1, a.SenderID());
    EXPECT_EQ(2, b.SenderID());
    EXPECT_EQ(3, c.SenderID());
    // An explicit ID does not draw from the session.
    CSocketSink fixed((short)4);
    CSocketSink d;
    EXPECT_EQ(4, d.SenderID());
    d.RegenSenderID();
    EXPECT_EQ(5, d.SenderID());
}

TEST_F(SocketSinkSession, IdsWrapAt15BitsAndSkipTheSessionsZero)
{
    short last = 0;
    for (int i = 0; i < 0x7FFF; i++)
        last = m_session.NextSinkID();
    EXPECT_EQ(0x7FFF, last);
    // 0 belongs to the registered session itself, so the counter passes over it.
    EXPECT_EQ(1, m_session.NextSinkID());
    EXPECT_EQ(2, m_session.NextSinkID());
}

TEST(SocketSink, SwapIDExchangesIDs)
{
    CSocketSink a((short)7), b((short)9);
    a.SwapID(&b);
    EXPECT_EQ(9, a.SenderID());
    EXPECT_EQ(7, b.SenderID());
    a.SwapID(nullptr);   // reported, ignored
    EXPECT_EQ(9, a.SenderID());
    a.SenderID((short)11);
    EXPECT_EQ(11, a.SenderID());
}

} // namespace

#include <gtest/gtest.h>

#include <string.h>
#include <unistd.h>

#include <memory>
#include <vector>

#include "lx_syslocator.h"
#include "udp_responder.h"

namespace {

uint32_t IPv4(unsigned char a, unsigned char b, unsigned char c, unsigned char d)
{
    unsigned char bytes[4] = { a, b, c, d };
    uint32_t ip;
    memcpy(&ip, bytes, 4);
    return ip;
}

TEST(LocalSystem, IsCompatibleSystemTable)
{
    struct Case { int type; int subType; int expected; } cases[] = {
        { 3, 0x20, 0 }, { 3, 0x00, 0 }, { 3, 0x30, 0 },   // kind 3 never, whatever the flags
        { 2, 0x20, 0 }, { 4, 0x20, 0 }, { 5, 0x20, 0 },
        { 1, 0x30, 0 },                                   // refuses this viewer
        { 1, 0x20, 1 }, { 6, 0x21, 1 }, { 0, 0x20, 1 },
        { 1, 0x00, 0 }, { 1, 0x10, 0 },                   // not marked as accepting
    };
    for (const Case& c : cases)
    {
        CLocalSystem s(CRVString("x"), IPv4(10, 0, 0, 1), 80, c.type, c.subType);
        EXPECT_EQ(c.expected, s.IsCompatibleSystem()) << "type " << c.type << " subtype " << c.subType;
    }
}

TEST(LocalSystem, SameSystemMeansSameAddress)
{
    CLocalSystem a(CRVString("Kitchen"), IPv4(10, 0, 0, 1), 80, 1, 0x20);
    CLocalSystem b(CRVString("Garage"), IPv4(10, 0, 0, 1), 81, 7, 0);
    CLocalSystem c(CRVString("Kitchen"), IPv4(10, 0, 0, 2), 80, 1, 0x20);
    EXPECT_EQ(1, a.IsSameSystem(&b));
    EXPECT_EQ(0, a.IsSameSystem(&c));
    EXPECT_EQ(0, a.IsSameSystem(nullptr));
}

TEST(LocalSystem, PingTimeAndKnownFlag)
{
    CLocalSystem s(CRVString("Kitchen"), IPv4(10, 0, 0, 1), 80, 1, 0x20);
    EXPECT_EQ(0, s.IsKnownSystem());
    s.IsKnownSystem(1);
    EXPECT_EQ(1, s.IsKnownSystem());

    usleep(300 * 1000);
    double before = s.LastPingTime();
    EXPECT_GE(before, 0.29);
    s.ResetPingTime();
    double after = s.LastPingTime();
    EXPECT_GE(after, 0.0);
    EXPECT_LT(after, before);
}

class LxSysLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_responder.Ok()); }

    std::vector<unsigned char> Answer(const char* name, size_t nameBytes)
    {
        std::vector<unsigned char> b(40, 0);
        uint32_t code = RVT_PINGA_CODE;
        uint32_t ip = IPv4(192, 168, 1, 10);
        uint16_t port = 5020;
        memcpy(&b[0], &code, 4);
        memcpy(&b[4], &ip, 4);
        memcpy(&b[8], &port, 2);
        b[10] = 1;
        b[11] = 0x20;
        memcpy(&b[12], name, nameBytes);
        return b;
    }

    CUdpResponder m_responder;
};

TEST_F(LxSysLocatorTest, FindNextLocalSystem)
{
    CLxSysLocator loc(CUdpResponder::LoopbackIP(), m_responder.Port());
    EXPECT_EQ(nullptr, loc.FindNextLocalSystem());   // query sent, nobody answered yet
    EXPECT_EQ(1, loc.IsNetworkOK());
    ASSERT_EQ(1u, m_responder.Drain().size());

    ASSERT_TRUE(m_responder.Reply(Answer("Living Room", 12)));
    std::unique_ptr<CLocalSystem> found;
    // The answer is on loopback already; allow a few 50 ms polls for a busy machine.
    for (int i = 0; i < 20 && !found; i++)
        found.reset(loc.FindNextLocalSystem());
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(0, found->Name().Compare("Living Room"));
    EXPECT_EQ(IPv4(192, 168, 1, 10), found->IP());
    EXPECT_EQ(5020, found->Port());
    EXPECT_EQ(1, found->Type());
    EXPECT_EQ(0x20, found->SubType());
    EXPECT_EQ(1, found->IsCompatibleSystem());
    EXPECT_EQ(nullptr, loc.FindNextLocalSystem());
}

TEST_F(LxSysLocatorTest, UnterminatedNameIsCutToTheRecord)
{
    CLxSysLocator loc(CUdpResponder::LoopbackIP(), m_responder.Port());
    EXPECT_EQ(nullptr, loc.FindNextLocalSystem());
    ASSERT_EQ(1u, m_responder.Drain().size());
    ASSERT_TRUE(m_responder.Reply(Answer("ABCDEFGHIJKLMNOPQRSTUVWXYZ01", 28)));
    std::unique_ptr<CLocalSystem> found;
    for (int i = 0; i < 20 && !found; i++)
        found.reset(loc.FindNextLocalSystem());
    ASSERT_NE(nullptr, found);
    EXPECT_EQ(0, found->Name().Compare("ABCDEFGHIJKLMNOPQRSTUVWXYZ0"));
}

TEST_F(LxSysLocatorTest, NetworkProblemIsReported)
{
    // Port 0 cannot be sent to, so the query fails without leaving the host.
    CLxSysLocator loc(CUdpResponder::LoopbackIP(), 0);
    EXPECT_EQ(nullptr, loc.FindNextLocalSystem());
    EXPECT_EQ(0, loc.IsNetworkOK());
}

} // namespace

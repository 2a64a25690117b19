#include <gtest/gtest.h>

#include <string.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "syslocator.h"
#include "udp_responder.h"

namespace {

typedef std::vector<unsigned char> Bytes;

// A short answer as a controller sends it.
Bytes MakeAnswer(uint32_t code, const unsigned char ip[4], uint16_t port, uint8_t type, uint8_t subType,
                 const char* name, size_t nameBytes)
{
    Bytes b(40, 0);
    memcpy(&b[0], &code, 4);
    memcpy(&b[4], ip, 4);
    memcpy(&b[8], &port, 2);
    b[10] = type;
    b[11] = subType;
    memcpy(&b[12], name, nameBytes);
    return b;
}

const unsigned char kControllerIP[4] = { 192, 168, 1, 10 };

Bytes GoodAnswer(const char* name = "Living Room")
{
    return MakeAnswer(RVT_PINGA_CODE, kControllerIP, 8080, 1, 0x20, name, strlen(name) + 1);
}

Bytes Query(uint32_t code)
{
    Bytes q(8, 0);
    memcpy(&q[0], &code, 4);
    return q;
}

class SysLocatorTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_responder.Ok()); }

    // A locator aimed at the responder. The long interval keeps later polls from
    // sending again unless a test wants that.
    CSysLocator* MakeLocator(uint32_t interval = 60000)
    {
        m_locator.reset(new CSysLocator(interval, CUdpResponder::LoopbackIP(), m_responder.Port()));
        return m_locator.get();
    }

    // First poll: the query goes out; the responder learns where to answer.
    void Introduce(CSysLocator* loc)
    {
        RVT_PINGA a;
        EXPECT_EQ(0, loc->CollectNextSystem(&a, 0));
        ASSERT_EQ(1u, m_responder.Drain().size());
    }

    CUdpResponder m_responder;
    std::unique_ptr<CSysLocator> m_locator;
};

TEST_F(SysLocatorTest, FirstPollSendsTheQueryAtOnce)
{
    CSysLocator* loc = MakeLocator();
    RVT_PINGA a;
    memset(&a, 0xAB, sizeof(a));
    EXPECT_EQ(0, loc->CollectNextSystem(&a, 0));
    auto got = m_responder.Drain();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(Query(RVT_PING_QUERY), got[0]);
    EXPECT_EQ(0, loc->NetworkState());
    // The answer is cleared even when nothing came.
    RVT_PINGA zero;
    memset(&zero, 0, sizeof(zero));
    EXPECT_EQ(0, memcmp(&zero, &a, sizeof(a)));
}

TEST_F(SysLocatorTest, QueryGoesOutAtMostOncePerInterval)
{
    CSysLocator* loc = MakeLocator(300);
    RVT_PINGA a;
    loc->CollectNextSystem(&a, 0);
    usleep(100 * 1000);
    loc->CollectNextSystem(&a, 0);
    EXPECT_EQ(1u, m_responder.Drain().size()) << "two polls 100 ms apart send one query";
    usleep(400 * 1000);
    loc->CollectNextSystem(&a, 0);
    EXPECT_EQ(1u, m_responder.Drain().size()) << "a poll 400 ms after the query sends another";
}

TEST_F(SysLocatorTest, AcceptsShortAnswer)
{
    CSysLocator* loc = MakeLocator();
    Introduce(loc);
    ASSERT_TRUE(m_responder.Reply(GoodAnswer()));
    RVT_PINGA a;
    ASSERT_EQ(1, loc->CollectNextSystem(&a, 2000));
    EXPECT_EQ((uint32_t)RVT_PINGA_CODE, a.dwCode);
    EXPECT_EQ(0, memcmp(&a.dwIP, kControllerIP, 4));
    EXPECT_EQ(8080, a.wPort);
    EXPECT_EQ(1, a.byType);
    EXPECT_EQ(0x20, a.bySubType);
    EXPECT_STREQ("Living Room", a.szName);
    // Nothing more to read.
    EXPECT_EQ(0, loc->CollectNextSystem(&a, 50));
}

TEST_F(SysLocatorTest, RejectedDatagramsAreConsumed)
{
    Bytes tooLong = GoodAnswer();
    tooLong.push_back(0);
    Bytes tooShort = GoodAnswer();
    tooShort.pop_back();
    Bytes wrongCode = MakeAnswer(3, kControllerIP, 8080, 1, 0x20, "x", 2);
    Bytes longAnswer(180, 0);
    uint32_t longCode = RVT_PING51A_CODE;
    memcpy(&longAnswer[0], &longCode, 4);
    Bytes huge(5000, 0);   // larger than the read buffer
    memcpy(&huge[0], GoodAnswer().data(), 40);
    struct Case { const char* what; Bytes datagram; } cases[] = {
        { "41 bytes", tooLong },
        { "39 bytes", tooShort },
        { "40 bytes, code 3", wrongCode },
        { "long answer to a short query", longAnswer },
        { "5000 bytes", huge },
        { "empty", Bytes() },
    };
    CSysLocator* loc = MakeLocator();
    Introduce(loc);
    for (const Case& c : cases)
    {
        ASSERT_TRUE(m_responder.Reply(c.datagram)) << c.what;
        ASSERT_TRUE(m_responder.Reply(GoodAnswer("After"))) << c.what;
        RVT_PINGA a;
        EXPECT_EQ(0, loc->CollectNextSystem(&a, 2000)) << c.what;
        // The rejected datagram is gone: the next poll reads the good one.
        ASSERT_EQ(1, loc->CollectNextSystem(&a, 2000)) << c.what;
        EXPECT_STREQ("After", a.szName) << c.what;
    }
}

TEST_F(SysLocatorTest, NameOf27CharactersFillsTheRecord)
{
    const std::string name(27, 'N');
    CSysLocator* loc = MakeLocator();
    Introduce(loc);
    ASSERT_TRUE(m_responder.Reply(GoodAnswer(name.c_str())));   // 27 + terminator = bytes 12..39
    RVT_PINGA a;
    ASSERT_EQ(1, loc->CollectNextSystem(&a, 2000));
    EXPECT_EQ(name, std::string(a.szName));
}

TEST(SysLocatorParse, UnterminatedNameStaysInsideTheRecord)
{
    // 28 name bytes and no terminator: the name is cut to the 27 that fit.
    Bytes b = MakeAnswer(RVT_PINGA_CODE, kControllerIP, 1, 1, 0x20, "ABCDEFGHIJKLMNOPQRSTUVWXYZ01", 28);
    RVT_PINGA a;
    ASSERT_EQ(1, CSysLocator::ParseAnswer(b.data(), (int)b.size(), &a));
    EXPECT_EQ(std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0"), std::string(a.szName));

    EXPECT_EQ(0, CSysLocator::ParseAnswer(nullptr, 40, &a));
    EXPECT_EQ(0, CSysLocator::ParseAnswer(b.data(), -1, &a));
}

TEST_F(SysLocatorTest, LongAnswer)
{
    CSysLocator* loc = MakeLocator();
    RVT_PING51A a;
    EXPECT_EQ(0, loc->CollectNextSystem(&a, 0));
    auto got = m_responder.Drain();
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(Query(RVT_PING51_QUERY), got[0]);

    Bytes answer(180);
    for (size_t i = 0; i < answer.size(); i++)
        answer[i] = (unsigned char)i;
    uint32_t code = RVT_PING51A_CODE;
    memcpy(&answer[0], &code, 4);
    ASSERT_TRUE(m_responder.Reply(GoodAnswer()));   // a short answer does not do
    ASSERT_TRUE(m_responder.Reply(answer));
    EXPECT_EQ(0, loc->CollectNextSystem(&a, 2000));
    ASSERT_EQ(1, loc->CollectNextSystem(&a, 2000));
    EXPECT_EQ(0, memcmp(&a, answer.data(), 180));
}

TEST_F(SysLocatorTest, FailedSendIsRemembered)
{
    // Port 0 cannot be sent to: the query fails without leaving the host.
    CSysLocator loc(0, CUdpResponder::LoopbackIP(), 0);
    RVT_PINGA a;
    EXPECT_EQ(0, loc.CollectNextSystem(&a, 0));
    EXPECT_EQ(1, loc.NetworkState());
    // The next query is due at once (interval 0): it goes out on a fresh socket
    // and fails again while the target stays unreachable.
    usleep(5 * 1000);
    EXPECT_EQ(0, loc.CollectNextSystem(&a, 0));
    EXPECT_EQ(1, loc.NetworkState());
}

} // namespace

// Auto-connect: with the link down, the pump of an auto-connect session asks
// the locator and logs in to the first controller that qualifies. Two
// simulated controllers stand behind a loopback UDP locator responder.
#include <gtest/gtest.h>

#include <string.h>

#include <atomic>
#include <thread>
#include <vector>

#include "controller_sim.h"
#include "rvserver.h"
#include "scoped_temp_dir.h"
#include "syslocator.h"
#include "udp_responder.h"

namespace {

struct LOCATOR_REPLY
{
    const char* name;
    uint8_t type, subType;
};

std::vector<unsigned char> Answer(const LOCATOR_REPLY& r, unsigned short port)
{
    std::vector<unsigned char> b(40, 0);
    uint32_t code = RVT_PINGA_CODE, ip = CUdpResponder::LoopbackIP();
    memcpy(&b[0], &code, 4);
    memcpy(&b[4], &ip, 4);
    memcpy(&b[8], &port, 2);
    b[10] = r.type;
    b[11] = r.subType;
    memcpy(&b[12], r.name, strlen(r.name) + 1);
    return b;
}

struct AUTO_CASE
{
    const char* name;
    const char* systemName;   // what the session looks for ("" none)
    LOCATOR_REPLY passedOver, chosen;
};

TEST(SessionAutoConnect, ConnectsToTheFirstQualifyingReply)
{
    const AUTO_CASE cases[] = {
        { "by name", "Den", { "Attic", 1, 0x20 }, { "Den", 1, 0x20 } },
        { "no name: type word 0x2003 is passed over, 0x2001 taken", "", { "Den", 3, 0x20 }, { "Attic", 1, 0x20 } },
        { "no name: type word 0x3001 is passed over", "", { "Den", 1, 0x30 }, { "Attic", 1, 0x20 } },
    };
    for (const AUTO_CASE& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedTempDir dir;
        CRVServer session(dir.path().c_str());
        g_pRVServer = &session;
        CControllerSim wrong, right;
        ASSERT_EQ(1, wrong.Start());
        ASSERT_EQ(1, right.Start());
        CUdpResponder locator;
        ASSERT_TRUE(locator.Ok());
        session.SetLocatorTarget(CUdpResponder::LoopbackIP(), locator.Port());
        session.SetLoginContext(LOGIN_CONTEXT_AUTO_VIEWER, CRVString(c.systemName));

        // Every query gets both replies, the one to pass over first.
        std::atomic<bool> stop{ false };
        std::thread responder([&] {
            while (!stop)
                if (!locator.Drain(20).empty()) {
                    locator.Reply(Answer(c.passedOver, wrong.Port()));
                    locator.Reply(Answer(c.chosen, right.Port()));
                }
        });
        // Down from the start, so every round tries again until it is in.
        for (int i = 0; i < 100 && !session.IsConnected(); i++)
            EXPECT_EQ(2, session.RunMessagePump(0));
        stop = true;
        responder.join();

        EXPECT_TRUE(session.IsConnected());
        EXPECT_EQ(1, right.ConnectionCount());
        EXPECT_EQ(0, wrong.ConnectionCount());
        SIM_LOGIN login;
        EXPECT_EQ(1, right.GetLastLogin(&login));
        EXPECT_TRUE(login.bAccepted);
        EXPECT_EQ(0, login.iClientType);
        g_pRVServer = nullptr;
    }
}

TEST(SessionAutoConnect, PasswordContextDoesNotLookForItsController)
{
    ScopedTempDir dir;
    CRVServer session(dir.path().c_str());
    CUdpResponder locator;
    ASSERT_TRUE(locator.Ok());
    session.SetLocatorTarget(CUdpResponder::LoopbackIP(), locator.Port());
    session.SetLoginContext(LOGIN_CONTEXT_VIEWER, CRVString("secret"));
    EXPECT_EQ(2, session.RunMessagePump(0));
    EXPECT_TRUE(locator.Drain(50).empty());
    // The auto-connect context does.
    session.SetLoginContext(LOGIN_CONTEXT_AUTO_VIEWER, CRVString("Den"));
    EXPECT_EQ(2, session.RunMessagePump(0));
    EXPECT_EQ(1u, locator.Drain(50).size());
}

} // namespace

// The session facade against the simulated controller on loopback.
#include "rvcomm.h"

#include <gtest/gtest.h>

#include <string>

#include "controller_sim.h"
#include "loopback_port.h"
#include "rvserver.h"
#include "scoped_temp_dir.h"
#include "sim_announcer.h"
#include "udp_responder.h"
#include "z_client.h"

namespace {

const uint32_t kLoopback = CUdpResponder::LoopbackIP();

class RVCommTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.ok());
        ASSERT_TRUE(m_quietLocator.Ok());
        // Discovery never leaves the machine in tests: a peer that does not answer.
        CRVComm::SetLocatorTarget(kLoopback, m_quietLocator.Port());
        ASSERT_EQ(1, CRVComm::InitInstance(m_dir.path()));
        m_sim.SetPassword("s3cret");
        m_sim.SetSystemName("Lake House");
        // A wrong response gets an answer at once instead of the login's time-out.
        m_sim.SetWrongPasswordReply(29);
        ASSERT_EQ(1, m_sim.Start(0));
    }
    void TearDown() override
    {
        CRVComm::ReleaseInstance();
        m_sim.Stop();
    }

    ScopedTempDir m_dir;
    CUdpResponder m_quietLocator;
    CControllerSim m_sim;
};

TEST_F(RVCommTest, OneSessionAtATime)
{
    EXPECT_NE(nullptr, g_pRVServer);
    EXPECT_EQ(0, CRVComm::InitInstance(m_dir.path()));
    EXPECT_EQ(0, CRVComm::Connected());
    CRVComm::ReleaseInstance();
    EXPECT_EQ(nullptr, g_pRVServer);
    // Without a session nothing is connected and nothing breaks.
    EXPECT_EQ(0, CRVComm::Connected());
    CRVComm::Disconnect();
    EXPECT_EQ(0, CRVComm::CreateLocalConnectionToIP(kLoopback, m_sim.Port(), "s3cret"));
    EXPECT_EQ(0, CRVComm::CreateRemoteConnection("Lake House", "s3cret", nullptr));
    EXPECT_EQ(0, CRVComm::RestartConnection());
    EXPECT_EQ(1, CRVComm::InitInstance(m_dir.path()));
}

// A controller on the local network may ask for a password too: the one given is used.
TEST_F(RVCommTest, LocalConnectionLogsInWithThePasswordGiven)
{
    struct
    {
        const char* pszSimPassword;
        const char* pszGiven;
        int iWant;
        const char* pszWhy;
    } const cases[] = {
        {"s3cret", "s3cret", 1, ""},
        {"", "", 1, ""},
        {"s3cret", "", 0, "Password Rejected"},
        {"s3cret", "wrong", 0, "Password Rejected"},
        {"caf\xC3\xA9", "caf\xC3\xA9", 1, ""},     // typed characters, not their UTF-8 bytes
    };
    for (const auto& c : cases) {
        m_sim.SetPassword(c.pszSimPassword);
        std::string sWhy;
        EXPECT_EQ(c.iWant, CRVComm::CreateLocalConnectionToIP(kLoopback, m_sim.Port(), c.pszGiven, &sWhy))
            << c.pszGiven;
        EXPECT_EQ(c.pszWhy, sWhy) << c.pszGiven;
        EXPECT_EQ(c.iWant, CRVComm::Connected()) << c.pszGiven;
        SIM_LOGIN login;
        ASSERT_EQ(1, m_sim.GetLastLogin(&login));
        EXPECT_EQ(c.iWant, login.bAccepted) << c.pszGiven;
        EXPECT_EQ(22, login.iPlatformType);
        CRVComm::Disconnect();
        EXPECT_EQ(0, CRVComm::Connected());
    }
}

TEST_F(RVCommTest, DirectConnectionFailuresSayWhy)
{
    const unsigned short wDead = UnusedLoopbackPort();
    ASSERT_NE(0, wDead);
    std::string sWhy;
    EXPECT_EQ(0, CRVComm::CreateLocalConnectionToIP(kLoopback, wDead, "s3cret", &sWhy));
    EXPECT_EQ("cannot connect to 127.0.0.1:" + std::to_string(wDead), sWhy);
    EXPECT_EQ(0, CRVComm::CreateDirectConnection("no-such-host.invalid", 5020, "s3cret", &sWhy));
    EXPECT_EQ("cannot resolve 'no-such-host.invalid'", sWhy);
    EXPECT_EQ(1, CRVComm::CreateDirectConnection("localhost", m_sim.Port(), "s3cret", &sWhy));
}

TEST_F(RVCommTest, RemoteConnectionIsNotInThisBuild)
{
    EXPECT_EQ(0, CRVComm::CreateRemoteConnection("Lake House", "s3cret", nullptr));
    EXPECT_EQ(0, CRVComm::Connected());
    EXPECT_EQ("Lake House", CRVComm::LastSystemName());
    // A connection by address forgets the name.
    EXPECT_EQ(1, CRVComm::CreateLocalConnectionToIP(kLoopback, m_sim.Port(), "s3cret"));
    EXPECT_EQ("", CRVComm::LastSystemName());
}

TEST_F(RVCommTest, SetConnectionLogsInOverTheLinkGiven)
{
    CZConnection* pLink = new CZConnection(1, CRVServer::g_szServerPoolPath);
    const sockaddr_in addr = LoopbackAddress(m_sim.Port());
    ASSERT_EQ(RUDP_RESULT_OK, pLink->CreateDirectConnection(&addr, 2000));
    EXPECT_EQ(1, CRVComm::SetConnection(pLink, "s3cret"));
    EXPECT_EQ(1, CRVComm::Connected());
    EXPECT_EQ(pLink, g_pRVServer->GetConnection());

    // Without a session the link is not leaked.
    CRVComm::ReleaseInstance();
    CZConnection* pOrphan = new CZConnection(1, CRVServer::g_szServerPoolPath);
    EXPECT_EQ(0, CRVComm::SetConnection(pOrphan, "s3cret"));
    EXPECT_EQ(0, CRVComm::SetConnection(nullptr, "s3cret"));
}

TEST_F(RVCommTest, RestartReconnectsToTheLastAddress)
{
    ASSERT_EQ(1, CRVComm::CreateLocalConnectionToIP(kLoopback, m_sim.Port(), "s3cret"));
    CRVComm::Disconnect();
    ASSERT_EQ(0, CRVComm::Connected());
    EXPECT_EQ(1, CRVComm::RestartConnection());
    EXPECT_EQ(1, CRVComm::Connected());
    EXPECT_EQ(2, m_sim.ConnectionCount());
    EXPECT_EQ(LOGIN_CONTEXT_VIEWER, g_pRVServer->GetLoginContext());
}

TEST_F(RVCommTest, RestartByNameFindsTheControllerOnTheLocalNetwork)
{
    struct
    {
        const char* pszAnnounced;
        int iWant;
        LOGIN_CONTEXT eContext;
    } const cases[] = {
        {"Lake House", 1, LOGIN_CONTEXT_AUTO_VIEWER},   // found here: direct, and found by name from now on
        {"Other House", 0, LOGIN_CONTEXT_VIEWER},       // not here: the remote path, not in this build
    };
    for (const auto& c : cases) {
        CSimAnnouncer announcer;
        ASSERT_EQ(1, announcer.Start(0, m_sim.Port(), c.pszAnnounced));
        CRVComm::SetLocatorTarget(kLoopback, announcer.Port());
        g_pRVServer->SetLoginContext(LOGIN_CONTEXT_VIEWER, CRVString("s3cret"));
        ASSERT_EQ(0, CRVComm::CreateRemoteConnection("Lake House", "s3cret", nullptr));
        EXPECT_EQ(c.iWant, CRVComm::RestartConnection()) << c.pszAnnounced;
        EXPECT_EQ(c.iWant, CRVComm::Connected()) << c.pszAnnounced;
        EXPECT_EQ(c.eContext, g_pRVServer->GetLoginContext()) << c.pszAnnounced;
        EXPECT_GE(announcer.Answered(), 1) << c.pszAnnounced;
        CRVComm::Disconnect();
        CRVComm::SetLocatorTarget(kLoopback, m_quietLocator.Port());
    }
}

}  // namespace

// The session's login against the simulated controller over loopback TCP:
// the exchange, its status texts, the exact login message and its failures.
#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "controller_sim.h"
#include "rvmsg.h"
#include "rvserver.h"
#include "scoped_temp_dir.h"

namespace {

class CStatusLog : public CConnectionListener
{
public:
    void OnStatusChanged(const char* pszStatus) override { texts.push_back(pszStatus); }
    std::vector<std::string> texts;
};

typedef std::vector<std::string> Texts;

class SessionLogin : public ::testing::Test
{
protected:
    SessionLogin() : m_session(m_dir.path().c_str()) { g_pRVServer = &m_session; }
    ~SessionLogin() override
    {
        m_sim.Stop();
        g_pRVServer = nullptr;
    }
    void SetUp() override
    {
        ASSERT_EQ(1, m_sim.Start());
        m_sim.SetKeepAlive(0);
        m_sim.SetPassword("secret");
        m_session.SetLoginContext(LOGIN_CONTEXT_VIEWER, CRVString("secret"));
        m_session.SetClientInfo(CRVString("HW-1"), CRVString("host"), CRVString("HW-1"), CRVString("6.1.0"));
        // Short waits: a refused or unanswered login costs the test no more.
        m_session.SetLoginTimeouts(300, 300);
    }
    sockaddr_in SimAddress() const
    {
        sockaddr_in a = {};
        a.sin_family = AF_INET;
        a.sin_port = htons(m_sim.Port());
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return a;
    }
    int Connect()
    {
        sockaddr_in a = SimAddress();
        return m_session.CreateConnection(&a, &m_status, 1000);
    }

    ScopedTempDir m_dir;
    CRVServer m_session;
    CControllerSim m_sim;
    CStatusLog m_status;
};

TEST_F(SessionLogin, RightPasswordLogsIn)
{
    ASSERT_EQ(1, Connect());
    EXPECT_EQ((Texts{ "Get Challenge", "Challenge OK", "Login OK" }), m_status.texts);
    EXPECT_TRUE(m_session.IsConnected());
    SIM_LOGIN login;
    ASSERT_EQ(1, m_sim.GetLastLogin(&login));
    EXPECT_TRUE(login.bAccepted);
    EXPECT_TRUE(login.bComplete);
    EXPECT_EQ(1014, login.iProtocol);
    EXPECT_EQ(0, login.iClientType);
    EXPECT_EQ("Daz Ivudoz 7.4 Build 340.0 Rel", login.strVersion);
    EXPECT_EQ(22, login.iPlatformType);
    EXPECT_EQ("HW-1", login.strInfo[0]);
    EXPECT_EQ("HW-1", login.strInfo[1]);
    EXPECT_EQ("6.1.0", login.strInfo[2]);
    EXPECT_EQ("host", login.strInfo[3]);
    // Nothing the login read is left for the pump.
    EXPECT_EQ(0, m_session.PendingCount());
}

TEST_F(SessionLogin, LoginMessageBytesAreExact)
{
    m_sim.SetChallenge("0123456789ABCDEF");
    ASSERT_EQ(1, Connect());
    std::unique_ptr<CRVMSG> login = m_sim.WaitFor(RV_MSG_LOGIN, 1000);
    ASSERT_NE(nullptr, login);
    const unsigned char want[] = {
        0xF6, 0x03, 0x00, 0x00,   // protocol 1014
        0x00, 0x00, 0x00, 0x00,   // client type: viewer
        30, 0, 0, 0, 'D', 'a', 'z', ' ', 'I', 'v', 'u', 'd', 'o', 'z', ' ', '7', '.', '4', ' ', 'B', 'u', 'i',
        'l', 'd', ' ', '3', '4', '0', '.', '0', ' ', 'R', 'e', 'l', 0, 0,
        16, 0, 0, 0,              // response length
        // AES-128 of "0123456789ABCDEF" under "secret" zero-padded (from OpenSSL)
        0xc9, 0x74, 0x10, 0xac, 0xa1, 0x41, 0x89, 0x2f, 0x31, 0x85, 0x94, 0xdc, 0x1e, 0x9c, 0x60, 0x97,
        22, 0, 0, 0,              // platform type
        4, 0, 0, 0, 'H', 'W', '-', '1',       // client information 1
        4, 0, 0, 0, 'H', 'W', '-', '1',       // client information 3
        5, 0, 0, 0, '6', '.', '1', '.', '0', 0, 0, 0,   // client information 4
        4, 0, 0, 0, 'h', 'o', 's', 't',       // client information 2
    };
    ASSERT_EQ((int)sizeof want, login->DataSize());
    EXPECT_EQ(0, memcmp(want, login->Data(), sizeof want));
    EXPECT_NE(0, login->SenderID());   // the login query's own ID
}

// Each refusal, with the texts the user sees and how long it may take.
struct REFUSAL_CASE
{
    const char* name;
    const char* simPassword;
    int bSilent;
    short sWrongReply;
    Texts texts;
};

TEST_F(SessionLogin, RefusedOrUnansweredLoginFailsAndCloses)
{
    const REFUSAL_CASE cases[] = {
        { "wrong password, no answer", "other", 0, 0, { "Get Challenge", "Challenge OK", "Password Rejected" } },
        { "wrong password, another answer", "other", 0, 29,
          { "Get Challenge", "Challenge OK", "Password Rejected" } },
        { "no challenge", "secret", 1, 0, { "Get Challenge", "No Response From Server" } },
    };
    for (const REFUSAL_CASE& c : cases) {
        SCOPED_TRACE(c.name);
        m_status.texts.clear();
        m_sim.SetPassword(c.simPassword);
        m_sim.SetSilent(c.bSilent);
        m_sim.SetWrongPasswordReply(c.sWrongReply);
        EXPECT_EQ(0, Connect());
        EXPECT_EQ(c.texts, m_status.texts);
        EXPECT_FALSE(m_session.IsConnected());
        EXPECT_EQ(1, m_sim.WaitDisconnected(1000));
        // A failed direct connection is not one to reconnect to.
        EXPECT_EQ(0, m_session.Reconnect(1000));
    }
}

// Quitting while a controller keeps the login waiting must not wait out the
// challenge's time-out; once abandoned, the session connects no more.
TEST_F(SessionLogin, AbortEndsALoginThatWaits)
{
    m_session.SetLoginTimeouts(60000, 60000);
    m_sim.SetSilent(1);
    std::future<int> login = std::async(std::launch::async, [this] { return Connect(); });
    ASSERT_EQ(1, m_sim.WaitConnected(5000));
    m_session.AbortConnect();
    ASSERT_EQ(std::future_status::ready, login.wait_for(std::chrono::seconds(20)));
    EXPECT_EQ(0, login.get());
    EXPECT_EQ((Texts{ "Get Challenge", "No Response From Server" }), m_status.texts);
    EXPECT_EQ(1, m_sim.WaitDisconnected(1000));

    m_status.texts.clear();
    m_sim.SetSilent(0);
    EXPECT_EQ(0, Connect());
    EXPECT_TRUE(m_status.texts.empty());
}

TEST_F(SessionLogin, ClientTypeFollowsTheLoginContext)
{
    const int types[] = { 0, 3, 4, 9, 0, 0, 13, 5, 18, 19 };
    for (int ctx = 0; ctx <= 9; ctx++) {
        SCOPED_TRACE(ctx);
        // Contexts 5 to 7 take the text as the system name; the password stays.
        m_session.SetLoginContext((LOGIN_CONTEXT)ctx, CRVString(ctx >= 5 && ctx <= 7 ? "Den" : "secret"));
        ASSERT_EQ(1, Connect());
        ASSERT_NE(nullptr, m_sim.WaitFor(RV_MSG_LOGIN, 1000));
        SIM_LOGIN login;
        ASSERT_EQ(1, m_sim.GetLastLogin(&login));
        EXPECT_EQ(types[ctx], login.iClientType);
        EXPECT_TRUE(login.bAccepted);
        m_session.CloseConnection();
    }
    // Beyond the table nothing is sent after the challenge.
    m_sim.ClearFrames();
    m_session.SetLoginContext((LOGIN_CONTEXT)10, CRVString("secret"));
    EXPECT_EQ(0, Connect());
    EXPECT_NE(nullptr, m_sim.WaitFor(RV_MSG_GET_CHALLENGE, 1000));
    EXPECT_EQ(nullptr, m_sim.WaitFor(RV_MSG_LOGIN, 200));
}

TEST_F(SessionLogin, ReconnectGoesBackToTheLastDirectAddress)
{
    EXPECT_EQ(0, m_session.Reconnect(1000));   // no direct connection yet
    ASSERT_EQ(1, Connect());
    m_sim.Disconnect();
    ASSERT_EQ(1, m_sim.WaitDisconnected(1000));
    int r = 0;
    for (int i = 0; i < 40 && r != 2; i++)
        r = m_session.RunMessagePump(50);
    ASSERT_EQ(2, r);
    ASSERT_EQ(1, m_session.Reconnect(1000));
    EXPECT_TRUE(m_session.IsConnected());
    EXPECT_EQ(2, m_sim.ConnectionCount());

    // A connection that is not direct clears the address.
    m_session.CloseConnection();
    EXPECT_EQ(0, m_session.CreateLoopbackConnection(1));   // nobody listens on port 1
    EXPECT_EQ(0, m_session.Reconnect(1000));
}

TEST_F(SessionLogin, AdoptedConnectionLogsIn)
{
    CZConnection* pConnection = new CZConnection(1, "");
    sockaddr_in a = SimAddress();
    ASSERT_EQ(RUDP_RESULT_OK, pConnection->CreateDirectConnection(&a, 1000));
    EXPECT_EQ(1, m_session.CreateConnection(pConnection, &m_status));
    EXPECT_EQ(pConnection, m_session.GetConnection());
    EXPECT_EQ((Texts{ "Get Challenge", "Challenge OK", "Login OK" }), m_status.texts);
    EXPECT_EQ(0, m_session.Reconnect(1000));
}

} // namespace

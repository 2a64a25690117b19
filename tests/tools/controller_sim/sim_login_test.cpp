// The sim's side of connecting: the primer, the challenge, the login, the
// session start and the system name.
#include "sim_fixture.h"

namespace {

TEST_F(SimTest, PrimerDecidesWhetherTheConnectionIsTaken)
{
    struct Case
    {
        const char* name;
        std::string bytes;     // what the client writes, byte by byte when split
        bool bSplit;
        bool bAccepted;
    } cases[] = {
        {"exact", SIM_PRIMER, false, true},
        {"byte by byte", SIM_PRIMER, true, true},
        {"wrong letter", "CONNECTSERVERHOSX\r\n\r\n", false, false},
        {"line feeds only", "CONNECTSERVERHOST\n\n\n\n", false, false},
        {"lower case", "connectserverhost\r\n\r\n", false, false},
        {"frame instead", std::string("\0\0\x0e\0\0\0\0\0", 8), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int accepted = m_sim.ConnectionCount(), rejected = m_sim.RejectedCount();
        CTestViewer v;
        ASSERT_TRUE(v.Connect(m_sim.Port(), false));
        if (c.bSplit) {
            for (char ch : c.bytes) {
                ASSERT_TRUE(v.Write(&ch, 1));
                usleep(1000);
            }
        } else {
            ASSERT_TRUE(v.Write(c.bytes.data(), c.bytes.size()));
        }
        if (c.bAccepted) {
            ASSERT_EQ(1, m_sim.WaitConnected(2000));
            EXPECT_EQ(accepted + 1, m_sim.ConnectionCount());
            // The link works: a question is answered.
            ASSERT_TRUE(v.Send(1, SIM_MSG_GET_CHALLENGE));
            TestFrame f;
            EXPECT_TRUE(v.ReadFrame(&f));
        } else {
            EXPECT_TRUE(v.WaitClosed());
            EXPECT_EQ(rejected + 1, m_sim.RejectedCount());
            EXPECT_EQ(accepted, m_sim.ConnectionCount());
        }
        v.Close();
        ASSERT_EQ(1, m_sim.WaitDisconnected(2000));
    }
}

TEST_F(SimTest, PrimerAndFirstFrameInOneWrite)
{
    CTestViewer v;
    ASSERT_TRUE(v.Connect(m_sim.Port(), false));
    Bytes all(SIM_PRIMER, SIM_PRIMER + SIM_PRIMER_SIZE);
    Bytes frame = FrameBytes(9, SIM_MSG_GET_CHALLENGE, {});
    all.insert(all.end(), frame.begin(), frame.end());
    ASSERT_TRUE(v.Write(all));
    TestFrame f;
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(SIM_MSG_CHALLENGE, f.sMessageID);
    EXPECT_EQ(9, f.sSenderID);
}

TEST_F(SimTest, ChallengeIsFixedOrFreshPerConnection)
{
    m_sim.SetChallenge("fixed challenge!");
    {
        CTestViewer v;
        ConnectViewer(v);
        EXPECT_EQ("fixed challenge!", Challenge(v, 77));
    }
    m_sim.SetChallenge(nullptr);
    std::string seen[2];
    for (std::string& s : seen) {
        CTestViewer v;
        ConnectViewer(v);
        s = Challenge(v);
        EXPECT_EQ(16u, s.size());
        // Asked twice on one connection, it stays the same.
        EXPECT_EQ(s, Challenge(v));
    }
    EXPECT_NE(seen[0], seen[1]);
}

TEST_F(SimTest, LoginAcceptsOnlyTheRightResponse)
{
    struct Case
    {
        const char* name;
        const char* configured;      // SetPassword (UTF-8)
        std::string typedBytes;      // what the viewer keys its cipher with
        bool bAccepted;
    } cases[] = {
        {"right", "secret", "secret", true},
        {"wrong", "secret", "Secret", false},
        {"empty", "", "", true},
        {"empty against set", "secret", "", false},
        // Only the first 16 bytes of a password count.
        {"long, same first 16", "0123456789abcdefXYZ", "0123456789abcdefQQ", true},
        {"long, differs at 16", "0123456789abcdeX", "0123456789abcdeY", false},
        // The viewer narrows U+00E4 to one byte; so must the sim.
        {"latin-1", "p\xc3\xa4ss", "p\xe4ss", true},
        {"latin-1 sent as UTF-8", "p\xc3\xa4ss", "p\xc3\xa4ss", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_sim.SetPassword(c.configured);
        CTestViewer v;
        ConnectViewer(v);
        EXPECT_EQ(c.bAccepted, Login(v, c.typedBytes, 12));
        SIM_LOGIN login;
        ASSERT_EQ(1, m_sim.GetLastLogin(&login));
        EXPECT_EQ(c.bAccepted, login.bAccepted != 0);
    }
}

TEST_F(SimTest, LoginFieldsAreRecorded)
{
    CTestViewer v;
    ConnectViewer(v);
    ASSERT_TRUE(Login(v, "", 21));
    std::unique_ptr<CRVMSG> m = m_sim.WaitFor(SIM_MSG_LOGIN, 1000);
    ASSERT_TRUE(m);
    SIM_LOGIN login;
    ASSERT_EQ(1, m_sim.GetLastLogin(&login));
    EXPECT_EQ(21, login.sSenderID);
    EXPECT_EQ(1014, login.iProtocol);
    EXPECT_EQ(0, login.iClientType);
    EXPECT_EQ("Test Viewer 1.0", login.strVersion);
    EXPECT_EQ(16, login.iResponseLength);
    EXPECT_EQ(16u, login.response.size());
    EXPECT_EQ(22, login.iPlatformType);
    EXPECT_EQ("hw-id", login.strInfo[0]);
    EXPECT_EQ("hw-id", login.strInfo[1]);
    EXPECT_EQ("6.1.0", login.strInfo[2]);
    EXPECT_EQ("test-machine", login.strInfo[3]);
    EXPECT_TRUE(login.bComplete);
    EXPECT_TRUE(login.bAccepted);
}

TEST_F(SimTest, MalformedLoginsAreRefusedWithoutHarm)
{
    struct Case
    {
        const char* name;
        Bytes data;
    } cases[] = {
        {"empty", {}},
        {"protocol only", {0xF6, 0x03, 0, 0}},
        {"response length 15", {}},
        {"response length huge", {}},
    };
    // The right response, but announced with the wrong length.
    CRVMSG short15(0, 0, 0, 1);
    BuildLogin(short15, Bytes(16, 0), 15);
    cases[2].data.assign(short15.Data(), short15.Data() + short15.DataSize());
    CRVMSG huge(0, 0, 0, 1);
    BuildLogin(huge, Bytes(16, 0), 0x7FFFFFFF);
    cases[3].data.assign(huge.Data(), huge.Data() + huge.DataSize());

    m_sim.SetWrongPasswordReply(29);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTestViewer v;
        ConnectViewer(v);
        Challenge(v);
        ASSERT_TRUE(v.Send(5, SIM_MSG_LOGIN, c.data));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrame(&f));
        EXPECT_EQ(29, f.sMessageID);
        EXPECT_EQ(5, f.sSenderID);
        SIM_LOGIN login;
        ASSERT_EQ(1, m_sim.GetLastLogin(&login));
        EXPECT_FALSE(login.bAccepted);
    }
}

TEST_F(SimTest, WrongPasswordGetsSilenceOrTheConfiguredReply)
{
    m_sim.SetPassword("right");
    {
        CTestViewer v;
        ConnectViewer(v);
        EXPECT_FALSE(Login(v, "wrong"));    // nothing within 500 ms
        // Nothing at all arrives later either, and the session start stays
        // unanswered without a login.
        ASSERT_TRUE(v.Send(6, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
        TestFrame f;
        EXPECT_FALSE(v.ReadFrame(&f, 300));
        EXPECT_NE(nullptr, m_sim.WaitFor(SIM_MSG_INIT_SESSION, 1000));
    }
    m_sim.SetWrongPasswordReply(29);
    {
        CTestViewer v;
        ConnectViewer(v);
        std::string challenge = Challenge(v);
        CRVMSG m(33, SIM_MSG_LOGIN, 0, 1);
        BuildLogin(m, ExpectedResponse("wrong", challenge));
        ASSERT_TRUE(v.Send(m));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrame(&f));
        EXPECT_EQ(29, f.sMessageID);
        EXPECT_EQ(33, f.sSenderID);
        EXPECT_EQ(0u, f.uLength);
    }
}

TEST_F(SimTest, SessionStartIsAnsweredWithTheSessionID)
{
    m_sim.SetSessionID(4242);
    CTestViewer v;
    ConnectAndLogin(v);
    struct Case
    {
        short sQuestion, sAnswer, sSender;
    } cases[] = {{SIM_MSG_INIT_SESSION, SIM_MSG_INIT_SESSION_REPLY, 7},
                 {SIM_MSG_INIT_SESSION_ALT, SIM_MSG_INIT_SESSION_ALT_REPLY, 8}};
    for (const Case& c : cases) {
        CRVMSG m(c.sSender, c.sQuestion, 0, 1);
        int fields[] = {0, 0x1F7FEEFF, 1280, 720, 720, 1280, 0, 0, 135, 135, 0, 0, 124};
        for (int x : fields)
            m.PutInt(x);
        m.PutInt(99);   // the start of the configuration blocks that follow
        ASSERT_TRUE(v.Send(m));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrame(&f));
        EXPECT_EQ(c.sAnswer, f.sMessageID);
        EXPECT_EQ(c.sSender, f.sSenderID);
        EXPECT_EQ(4u, f.uLength);
        EXPECT_EQ(4242, ReadInt(f, 0));

        SIM_SESSION_START start;
        ASSERT_EQ(1, m_sim.GetLastSessionStart(&start));
        EXPECT_EQ(c.sQuestion, start.sMessageID);
        EXPECT_EQ(c.sSender, start.sSenderID);
        EXPECT_EQ(0x1F7FEEFFu, start.uCapabilities);
        EXPECT_EQ(1280, start.iWidth0);
        EXPECT_EQ(720, start.iHeight0);
        EXPECT_EQ(720, start.iWidth1);
        EXPECT_EQ(1280, start.iHeight1);
        EXPECT_EQ(135, start.iScaleY);
        EXPECT_EQ(124, start.iTrailer);
        EXPECT_EQ((Bytes{99, 0, 0, 0}), start.rest);
        EXPECT_TRUE(start.bComplete);
    }
}

TEST_F(SimTest, QuestionsBeforeLoginWaitForTheLoginUnlessTurnedOff)
{
    CTestViewer v;
    ConnectViewer(v);
    ASSERT_TRUE(v.Send(2, SIM_MSG_GET_SYSTEM_NAME));
    ASSERT_TRUE(v.Send(2, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
    TestFrame f;
    EXPECT_FALSE(v.ReadFrame(&f, 300));

    m_sim.SetRequireLogin(0);
    ASSERT_TRUE(v.Send(2, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
    ASSERT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(SIM_MSG_INIT_SESSION_REPLY, f.sMessageID);
}

TEST_F(SimTest, SystemNameAnswer)
{
    struct Case
    {
        const char* name;
        Bytes expectedString;     // count word and characters as on the wire
    } cases[] = {
        {"Living Room", {11, 0, 0, 0, 'L', 'i', 'v', 'i', 'n', 'g', ' ', 'R', 'o', 'o', 'm', 0}},
        // Latin-1 characters stay 8-bit.
        {"K\xc3\xbc" "che", {5, 0, 0, 0, 'K', 0xFC, 'c', 'h', 'e', 0, 0, 0}},
        // A character above U+00FF makes the string wide.
        {"\xe2\x98\x83!", {4, 0, 0, 0x80, 0x03, 0x26, '!', 0}},
        {"", {0, 0, 0, 0}},
    };
    CTestViewer v;
    ConnectAndLogin(v);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_sim.SetSystemName(c.name);
        ASSERT_TRUE(v.Send(15, SIM_MSG_GET_SYSTEM_NAME));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrame(&f));
        EXPECT_EQ(SIM_MSG_SYSTEM_NAME, f.sMessageID);
        EXPECT_EQ(15, f.sSenderID);
        Bytes expected(8, 0);
        expected.insert(expected.end(), c.expectedString.begin(), c.expectedString.end());
        EXPECT_EQ(expected, f.data);
    }
}

}  // namespace

// Shared set-up of the simulated controller's tests: a started sim, a bare
// client, and the viewer's side of the login computed here independently of
// the sim's own code.
#pragma once

#include "controller_sim.h"
#include "rvcode.h"
#include "test_viewer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

// The response a viewer sends: AES-128 (one block, zero chain) of the first 16
// challenge bytes, keyed by the first 16 password bytes, both zero-padded.
inline Bytes ExpectedResponse(const std::string& passwordBytes, const std::string& challenge)
{
    unsigned char key[16] = {0}, block[16] = {0}, out[16] = {0};
    memcpy(key, passwordBytes.data(), std::min<size_t>(16, passwordBytes.size()));
    memcpy(block, challenge.data(), std::min<size_t>(16, challenge.size()));
    CRVCode code;
    EXPECT_EQ(1, code.MakeKey(key, CRVCode::sm_chain0, 16, 16));
    EXPECT_EQ(1, code.EncryptBlock(block, out));
    return Bytes(out, out + 16);
}

// A login message as the viewer builds it, with the given response bytes.
inline void BuildLogin(CRVMSG& m, const Bytes& response, int iResponseLength = 16)
{
    m.PutInt(1014);
    m.PutInt(0);
    m.PutString(CRVString("Test Viewer 1.0"));
    m.PutInt(iResponseLength);
    m.PutData(response.data(), (int)response.size());
    m.PutInt(22);
    m.PutString(CRVString("hw-id"));
    m.PutString(CRVString("hw-id"));
    m.PutString(CRVString("6.1.0"));
    m.PutString(CRVString("test-machine"));
}

inline std::string ReadString(TestFrame& f, size_t* pOffset)
{
    size_t off = *pOffset;
    if (f.data.size() < off + 4)
        return "<missing>";
    unsigned int count = RVLoad32(f.data.data() + off);
    if (count & RV_STRING_WIDE)
        return "<wide>";
    if (f.data.size() < off + 4 + count)
        return "<short>";
    std::string s(f.data.begin() + off + 4, f.data.begin() + off + 4 + count);
    *pOffset = off + 4 + RVAlign4(count);
    return s;
}

inline int ReadInt(const TestFrame& f, size_t off)
{
    return f.data.size() >= off + 4 ? (int)RVLoad32(f.data.data() + off) : -12345;
}

// Asks the controller for its challenge with this sender ID; returns its text.
inline std::string Challenge(CTestViewer& v, short sSender = 3)
{
    EXPECT_TRUE(v.Send(sSender, SIM_MSG_GET_CHALLENGE));
    TestFrame f;
    EXPECT_TRUE(v.ReadFrame(&f));
    EXPECT_EQ(SIM_MSG_CHALLENGE, f.sMessageID);
    EXPECT_EQ(sSender, f.sSenderID);
    size_t off = 0;
    return ReadString(f, &off);
}

// The whole login with the password's 8-bit bytes; true when 28 came back.
inline bool Login(CTestViewer& v, const std::string& passwordBytes, short sSender = 4)
{
    std::string challenge = Challenge(v, sSender);
    CRVMSG m(sSender, SIM_MSG_LOGIN, 0, 1);
    BuildLogin(m, ExpectedResponse(passwordBytes, challenge));
    EXPECT_TRUE(v.Send(m));
    TestFrame f;
    if (!v.ReadFrame(&f, 1000))
        return false;
    EXPECT_EQ(SIM_MSG_LOGIN_OK, f.sMessageID);
    EXPECT_EQ(sSender, f.sSenderID);
    return f.sMessageID == SIM_MSG_LOGIN_OK;
}

class SimTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_sim.SetKeepAlive(0);
        ASSERT_EQ(1, m_sim.Start(0));
        ASSERT_NE(0, m_sim.Port());
    }

    // Connects and waits until the sim has taken the primer.
    void ConnectViewer(CTestViewer& v)
    {
        int before = m_sim.ConnectionCount();
        ASSERT_TRUE(v.Connect(m_sim.Port()));
        for (int i = 0; i < 200 && m_sim.ConnectionCount() == before; i++)
            usleep(10000);
        ASSERT_EQ(before + 1, m_sim.ConnectionCount());
    }

    void ConnectAndLogin(CTestViewer& v)
    {
        ConnectViewer(v);
        ASSERT_TRUE(Login(v, ""));
    }

    CControllerSim m_sim;
};

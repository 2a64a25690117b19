// The demo controller on the wire, seen from a bare socket: nothing is sent
// before a login and a session start, the panel comes right after the
// session-start answer, and touches it has no use for change nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_controller.h"
#include "demo_layout.h"
#include "sim_fixture.h"

namespace {

enum { MSG_TOUCH = 20204 };

class DemoProtocol : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_demo.Sim().SetKeepAlive(0);
        ASSERT_EQ(1, m_demo.Start());
    }

    // Logged in and started; the panel's frames read.
    void Open(CTestViewer& v)
    {
        ASSERT_TRUE(v.Connect(m_demo.Port()));
        ASSERT_TRUE(Login(v, CDemoController::Password()));
        ASSERT_TRUE(v.Send(0, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrameID(20114, &f));
    }

    static Bytes Touch(std::vector<int> ints)
    {
        Bytes b(ints.size() * 4);
        for (size_t i = 0; i < ints.size(); i++)
            RVStore32(&b[i * 4], (unsigned int)ints[i]);
        return b;
    }

    CDemoController m_demo;
};

TEST_F(DemoProtocol, PanelOnlyAfterLoginAndSessionStart)
{
    CTestViewer v;
    ASSERT_TRUE(v.Connect(m_demo.Port()));
    // Before a login: neither an answer nor a panel, and touches do nothing.
    ASSERT_TRUE(v.Send(0, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
    ASSERT_TRUE(v.Send(0, MSG_TOUCH, Touch({DEMO_ID_NAV, DEMO_ID_TAB + 1, 0, 10, 10})));
    TestFrame f;
    EXPECT_FALSE(v.ReadFrame(&f, 300)) << "message " << f.sMessageID;

    ASSERT_TRUE(Login(v, CDemoController::Password()));
    // Logged in but not started: still nothing for a touch.
    ASSERT_TRUE(v.Send(0, MSG_TOUCH, Touch({DEMO_ID_NAV, DEMO_ID_TAB + 1, 0, 10, 10})));
    EXPECT_FALSE(v.ReadFrame(&f, 300)) << "message " << f.sMessageID;

    ASSERT_TRUE(v.Send(7, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
    // The answer first, then the root cleared and coloured, then every
    // surface in one batch: four pages, navigation and header.
    const struct
    {
        short sID, sSender;
    } expected[] = {{SIM_MSG_INIT_SESSION_REPLY, 7}, {20116, 0}, {20117, 0}, {20114, 5}};
    for (const auto& e : expected) {
        ASSERT_TRUE(v.ReadFrame(&f)) << e.sID;
        EXPECT_EQ(e.sID, f.sMessageID);
        EXPECT_EQ(e.sSender, f.sSenderID) << e.sID;
    }
    EXPECT_FALSE(v.ReadFrame(&f, 200)) << "message " << f.sMessageID;
}

TEST_F(DemoProtocol, WrongPasswordGetsNoPanel)
{
    CTestViewer v;
    ASSERT_TRUE(v.Connect(m_demo.Port()));
    EXPECT_FALSE(Login(v, "not the password"));
    ASSERT_TRUE(v.Send(0, SIM_MSG_INIT_SESSION, Bytes(52, 0)));
    TestFrame f;
    EXPECT_FALSE(v.ReadFrame(&f, 300)) << "message " << f.sMessageID;
}

// Each of these touches is dropped; a release on the Lights tab sent after
// it is then the first thing answered (with the tab labels, 20117).
TEST_F(DemoProtocol, TouchesItHasNoUseForChangeNothing)
{
    const int kLightsTab = DEMO_ID_TAB + DEMO_PAGE_LIGHTS;
    const struct
    {
        const char* pszWhat;
        Bytes data;
    } cases[] = {
        {"unknown surface", Touch({DEMO_ID_NAV, 9999, 0, 10, 10})},
        {"unknown surface pressed", Touch({DEMO_ID_NAV, 9999, 1, 10, 10})},
        {"a label, not the tab", Touch({DEMO_ID_TAB + 1, DEMO_ID_TAB_LABEL + 1, 0, 10, 10})},
        {"tab under the wrong parent", Touch({0, kLightsTab, 0, 10, 10})},
        {"released outside the tab", Touch({DEMO_ID_NAV, kLightsTab, 0, 500, 10})},
        {"released left of the tab", Touch({DEMO_ID_NAV, kLightsTab, 0, -1, 10})},
        {"a light on a hidden page, pressed", Touch({2000, DEMO_ID_LIGHT_TILE, 1, 10, 10})},
        {"a light on a hidden page, released", Touch({2000, DEMO_ID_LIGHT_TILE, 0, 10, 10})},
        {"+ on a hidden page", Touch({DEMO_ID_SETPOINT_CARD, DEMO_ID_SETPOINT_PLUS, 0, 10, 10})},
        {"a tab pressed, not released", Touch({DEMO_ID_NAV, kLightsTab, 1, 10, 10})},
        {"four ints", Touch({DEMO_ID_NAV, kLightsTab, 0, 10})},
        {"no data", Bytes()},
        {"a torn int", Bytes{0x14, 0, 0}},
        {"the shown tab", Touch({DEMO_ID_NAV, DEMO_ID_TAB, 0, 10, 10})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        CTestViewer v;
        Open(v);
        ASSERT_TRUE(v.Send(0, MSG_TOUCH, c.data));
        ASSERT_TRUE(v.Send(0, MSG_TOUCH, Touch({DEMO_ID_NAV, kLightsTab, 0, 10, 10})));
        TestFrame f;
        ASSERT_TRUE(v.ReadFrame(&f));
        EXPECT_EQ(20117, f.sMessageID);
        // The Rooms label (now dim) first, then the Lights label.
        EXPECT_EQ(DEMO_ID_TAB_LABEL + DEMO_PAGE_ROOMS, ReadInt(f, 0));
    }
}

// A tab release is answered with the labels, the new page's start position
// and one animation message; a light tile's with its press feedback first.
TEST_F(DemoProtocol, AnswersToTaps)
{
    CTestViewer v;
    Open(v);
    const struct
    {
        const char* pszWhat;
        Bytes touch;
        std::vector<short> answers;
    } taps[] = {
        {"Lights tab", Touch({DEMO_ID_NAV, DEMO_ID_TAB + 1, 0, 92, 28}), {20117, 20118, 20122}},
        {"light pressed", Touch({2000, DEMO_ID_LIGHT_TILE, 1, 10, 10}), {20184}},
        {"light dragged", Touch({2000, DEMO_ID_LIGHT_TILE, 1, 12, 10}), {}},
        {"light released", Touch({2000, DEMO_ID_LIGHT_TILE, 0, 12, 10}), {20184, 20117, 20122}},
        {"Climate tab", Touch({DEMO_ID_NAV, DEMO_ID_TAB + 2, 0, 92, 28}), {20117, 20118, 20122}},
        {"+ released", Touch({DEMO_ID_SETPOINT_CARD, DEMO_ID_SETPOINT_PLUS, 0, 40, 30}), {20117, 20120}},
    };
    for (const auto& t : taps) {
        SCOPED_TRACE(t.pszWhat);
        ASSERT_TRUE(v.Send(0, MSG_TOUCH, t.touch));
        // Exactly these frames, and nothing after them.
        for (short id : t.answers) {
            TestFrame f;
            ASSERT_TRUE(v.ReadFrame(&f)) << id;
            EXPECT_EQ(id, f.sMessageID);
        }
        TestFrame extra;
        EXPECT_FALSE(v.ReadFrame(&extra, 150)) << "message " << extra.sMessageID;
    }
}

}  // namespace

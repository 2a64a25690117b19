// The session start: the exact 20000 question and the use of its answer.
#include <gtest/gtest.h>

#include <fstream>
#include <mutex>
#include <vector>

#include "engine_fixture.h"
#include "mainwnd.h"
#include "resource_mgr.h"
#include "rvrect_print.h"
#include "scoped_temp_dir.h"

namespace {

class MainWndSession : public EngineFixture
{
protected:
    // Answers 20000 with 20001 and 20002 with 20003, echoing the sender ID,
    // carrying iSessionID; keeps the raw bytes of every question.
    void AnswerWith(int iSessionID)
    {
        m_peer.StartResponder([this, iSessionID](CFramePeer& peer, const RAW_FRAME& f) {
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_questions.push_back(f);
            }
            if (f.sMessage == MSG_INIT_SESSION || f.sMessage == MSG_INIT_SESSION_ALT)
                peer.SendFrame(f.sSender, (short)(f.sMessage + 1), IntData(iSessionID));
        });
    }
    std::mutex m_mutex;
    std::vector<RAW_FRAME> m_questions;
};

TEST_F(MainWndSession, SessionStartCarriesSizesCapabilitiesAndScale)
{
    AnswerWith(42);
    EXPECT_EQ(CMainWnd::InitSession(7, SIZE{ 800, 600 }, SIZE{ 600, 800 }, 2, IOS_SESSION_CTX_DEFAULT), 42);
    m_peer.StopResponder();
    ASSERT_EQ(m_questions.size(), 1u);
    const RAW_FRAME& q = m_questions[0];
    EXPECT_EQ(q.sMessage, MSG_INIT_SESSION);
    EXPECT_NE(q.sSender, 0);    // the query's own sender ID, for the answer to find it
    // Session ID, capabilities, both sizes, orientation, font file length,
    // scale x 135 twice, 0, 0, 124; then the resource cache's keys: none.
    EXPECT_EQ(FrameInts(q), (std::vector<int>{ 7, 0x1F7FEEFF, 800, 600, 600, 800, 0, 0, 270, 270, 0, 0, 124, 0 }));
    EXPECT_EQ(q.data.size(), 56u);
}

TEST_F(MainWndSession, SessionStartEndsWithTheCachedKeys)
{
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    std::vector<unsigned char> key(16);
    for (int i = 0; i < 16; i++)
        key[i] = (unsigned char)(0x10 * i + 1);
    std::ofstream(dir / "01112131415161718191A1B1C1D1E1F1.res") << "x";     // the key above
    std::ofstream(dir / "notes.txt") << "x";
    CResourceManager* pBefore = CMainWnd::g_pResourceManager;
    CResourceManager cache(dir.path().c_str());
    CMainWnd::g_pResourceManager = &cache;

    AnswerWith(42);
    EXPECT_EQ(CMainWnd::InitSession(7, SIZE{ 800, 600 }, SIZE{ 600, 800 }, 1, IOS_SESSION_CTX_DEFAULT), 42);
    m_peer.StopResponder();
    CMainWnd::g_pResourceManager = pBefore;
    ASSERT_EQ(m_questions.size(), 1u);
    const std::vector<unsigned char>& d = m_questions[0].data;
    ASSERT_EQ(d.size(), 52u + 4 + 16);
    EXPECT_EQ(std::vector<unsigned char>(d.begin() + 52, d.begin() + 56), (std::vector<unsigned char>{ 1, 0, 0, 0 }));
    EXPECT_EQ(std::vector<unsigned char>(d.begin() + 56, d.end()), key);
}

TEST_F(MainWndSession, AlternativeContextAsksWith20002)
{
    AnswerWith(9);
    EXPECT_EQ(CMainWnd::InitSession(0, SIZE{ 1, 2 }, SIZE{ 3, 4 }, 1, IOS_SESSION_CTX_ALT), 9);
    m_peer.StopResponder();
    ASSERT_EQ(m_questions.size(), 1u);
    EXPECT_EQ(m_questions[0].sMessage, MSG_INIT_SESSION_ALT);
}

TEST_F(MainWndSession, NoAnswerIsMinusOne)
{
    // The controller drops the link instead of answering.
    m_peer.StartResponder([](CFramePeer& peer, const RAW_FRAME&) { peer.Close(); });
    EXPECT_EQ(CMainWnd::InitSession(7, SIZE{ 800, 600 }, SIZE{ 800, 600 }, 1, IOS_SESSION_CTX_DEFAULT), -1);
    m_peer.StopResponder();
}

TEST_F(MainWndSession, AnswerWithoutASessionIDIsMinusOne)
{
    m_peer.StartResponder([](CFramePeer& peer, const RAW_FRAME& f) {
        peer.SendFrame(f.sSender, (short)(f.sMessage + 1));
    });
    EXPECT_EQ(CMainWnd::InitSession(7, SIZE{ 800, 600 }, SIZE{ 800, 600 }, 1, IOS_SESSION_CTX_DEFAULT), -1);
    m_peer.StopResponder();
}

TEST_F(MainWndSession, WindowRegistersWithTheSessionAndLeavesIt)
{
    {
        CMainWnd wnd(nullptr, 3, 800, 600, 600, 800, 1);
        EXPECT_EQ(g_pMainWindow, &wnd);
        EXPECT_EQ(m_session.MainWindowSink(), &wnd);
        EXPECT_TRUE(m_session.IsSinkRegistered(&wnd));
        EXPECT_EQ(wnd.SessionID(), 3);
        EXPECT_EQ(wnd.RunFlags(), (uint32_t)(CMainWnd::RUN_SOCKET | CMainWnd::RUN_ANIMATION));
        EXPECT_EQ(wnd.GetStreamVolume(), 50);
        EXPECT_EQ(wnd.Position(ORIENT_1), CRVRect(0, 0, 600, 800));
    }
    EXPECT_EQ(g_pMainWindow, nullptr);
    EXPECT_EQ(m_session.MainWindowSink(), nullptr);
    EXPECT_EQ(m_session.SinkCount(), 1);    // only the session itself
}

}  // namespace

// Routing of controller messages: background mode, the collapse of queued
// commands for the same surface, the full queue, and the end of the loops.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine_fixture.h"
#include "mainwnd.h"
#include "rvmsg.h"
#include "rvtick.h"

namespace {

typedef std::vector<int> Ints;

std::unique_ptr<CRVMSG> Msg(short sID, Ints values, short sSender = 0)
{
    std::unique_ptr<CRVMSG> msg(new CRVMSG(sSender, sID, (unsigned int)values.size() * 4, 1));
    for (int v : values)
        msg->PutInt(v);
    msg->ResetRead();
    return msg;
}

class MainWndRouting : public EngineFixture
{
protected:
    void SetUp() override
    {
        EngineFixture::SetUp();
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 800, 600, 1));
    }
    void TearDown() override
    {
        wnd.reset();
        EngineFixture::TearDown();
    }
    void Sink(short sID, Ints values)
    {
        auto msg = Msg(sID, values);
        wnd->SinkMessage(msg.get());
    }
    std::unique_ptr<CMainWnd> wnd;
};

TEST_F(MainWndRouting, NewerCommandsReplaceQueuedOnesForTheSameSurface)
{
    // Holding the queue lock keeps the background thread from taking anything.
    wnd->QueueLock()->RVLock();
    Sink(MSG_BACKGROUND_MODE, { 1 });
    EXPECT_EQ(wnd->BackgroundMode(), 1);
    Sink(MSG_UPDATE_IMAGE, { 7, 0 });
    Sink(MSG_UPDATE_IMAGE, { 7, 0 });       // replaces the first, which is acknowledged
    auto m = Next();
    EXPECT_EQ(m.first, MSG_UPDATE_IMAGE_DONE);
    EXPECT_EQ(m.second, Ints{ 7 });
    Sink(MSG_UPDATE_IMAGE, { 8, 0 });       // another surface
    Sink(MSG_SET_ATTRIBUTE, { 7, 16, 1, 0 });  // another command for the same surface
    EXPECT_EQ(wnd->QueuedMessages(), 4);

    Sink(MSG_UPDATE_IMAGE, { 7, 0 });
    // Three updates of 7 arrived: two were dropped and acknowledged, the
    // newest waits.
    EXPECT_EQ(wnd->QueuedMessages(), 4);
    m = Next();
    EXPECT_EQ(m.first, MSG_UPDATE_IMAGE_DONE);
    EXPECT_EQ(m.second, Ints{ 7 });
    EXPECT_EQ(Next(150).first, 0);

    // A newer attribute command drops the older one silently.
    Sink(MSG_SET_ATTRIBUTE, { 7, 16, 0, 0 });
    EXPECT_EQ(wnd->QueuedMessages(), 4);
    EXPECT_EQ(Next(150).first, 0);
    wnd->QueueLock()->RVUnlock();

    // The background thread then works through the queue by itself.
    uint32_t start = RVGetTickCount();
    while (wnd->QueuedMessages() && RVTickSince(start) < 2000)
        Sleep(5);
    EXPECT_EQ(wnd->QueuedMessages(), 0);
}

TEST_F(MainWndRouting, FullQueueHandlesTheNextMessageAtOnce)
{
    wnd->QueueLock()->RVLock();
    Sink(MSG_BACKGROUND_MODE, { 1 });
    for (int i = 0; i < 31; i++)
        Sink(MSG_ECHO, { i, 0 });
    EXPECT_EQ(wnd->QueuedMessages(), 32);
    Sink(MSG_ECHO, { 99, 5 });      // the 33rd: answered on this thread
    auto m = Next();
    EXPECT_EQ(m.first, MSG_ECHO);
    EXPECT_EQ(m.second, (Ints{ 99, 5 }));
    EXPECT_EQ(wnd->QueuedMessages(), 32);
    wnd->QueueLock()->RVUnlock();

    // The queued echoes follow, in order.
    for (int i = 0; i < 31; i++) {
        m = Next();
        EXPECT_EQ(m.first, MSG_ECHO);
        EXPECT_EQ(m.second, (Ints{ i, 0 })) << i;
    }
}

TEST_F(MainWndRouting, WithoutBackgroundModeMessagesAreHandledAtOnce)
{
    Sink(MSG_ECHO, { 1, 2 });
    EXPECT_EQ(wnd->QueuedMessages(), 0);
    auto m = Next();
    EXPECT_EQ(m.second, (Ints{ 1, 2 }));
    // Mode 2 is not background mode either.
    Sink(MSG_BACKGROUND_MODE, { 2 });
    Sink(MSG_ECHO, { 3, 4 });
    EXPECT_EQ(Next().second, (Ints{ 3, 4 }));
}

TEST_F(MainWndRouting, LostConnectionEndsBothLoops)
{
    wnd->ConnectionChanged(1);
    EXPECT_EQ(wnd->RunFlags(), (uint32_t)(CMainWnd::RUN_SOCKET | CMainWnd::RUN_ANIMATION));
    wnd->StartSocketHandler();
    wnd->StartAnimationHandler();
    // The pump reports the connection first; then the controller goes away.
    Sleep(150);
    m_peer.Close();
    uint32_t start = RVGetTickCount();
    while ((wnd->IsSocketHandlerRunning() || wnd->IsAnimationHandlerRunning()) && RVTickSince(start) < 3000)
        Sleep(10);
    EXPECT_FALSE(wnd->IsSocketHandlerRunning());
    EXPECT_FALSE(wnd->IsAnimationHandlerRunning());
    EXPECT_EQ(wnd->RunFlags(), 0u);
}

TEST_F(MainWndRouting, MessagesFromTheSocketThreadReachTheWindow)
{
    wnd->StartSocketHandler();
    Bytes data = IntData(77);
    Bytes second = IntData(0);
    data.insert(data.end(), second.begin(), second.end());
    m_peer.SendFrame(0, MSG_ECHO, data);
    RAW_FRAME f;
    ASSERT_TRUE(NextFrame(&f));
    EXPECT_EQ(f.sMessage, MSG_ECHO);
    EXPECT_EQ(FrameInts(f)[0], 77);
    wnd->StopSocketHandler();
    EXPECT_FALSE(wnd->IsSocketHandlerRunning());
}

TEST_F(MainWndRouting, DisconnectTimerIsAnnouncedOnceAndEndsTheSocketLoop)
{
    wnd->SetDisconnectTimer(30);
    wnd->SetDisconnectTimer(30);    // re-armed: not announced again
    EXPECT_EQ(Next().first, MSG_DISCONNECT_TIMER_ON);
    wnd->CancelDisconnectTimer();
    wnd->CancelDisconnectTimer();
    EXPECT_EQ(Next().first, MSG_DISCONNECT_TIMER_OFF);
    EXPECT_EQ(Next(150).first, 0);

    wnd->SetDisconnectTimer(0);
    EXPECT_EQ(Next().first, MSG_DISCONNECT_TIMER_ON);
    wnd->StartSocketHandler();
    uint32_t start = RVGetTickCount();
    while (wnd->IsSocketHandlerRunning() && RVTickSince(start) < 2000)
        Sleep(10);
    EXPECT_FALSE(wnd->IsSocketHandlerRunning());
    EXPECT_FALSE(m_session.IsConnected());
    EXPECT_EQ(wnd->RunFlags() & (CMainWnd::RUN_SOCKET | CMainWnd::RUN_DISCONNECT_TIMER), 0u);
}

}  // namespace

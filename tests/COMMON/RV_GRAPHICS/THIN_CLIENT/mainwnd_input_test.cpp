// Mouse input: window points to pixels, touches of the tree, and the root's
// swipe on the bare background.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine_fixture.h"
#include "mainwnd.h"

namespace {

typedef std::vector<int> Ints;

class MainWndInput : public EngineFixture
{
protected:
    void Make(int iScale)
    {
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 800, 600, iScale));
    }
    void TearDown() override
    {
        wnd.reset();
        EngineFixture::TearDown();
    }
    std::unique_ptr<CMainWnd> wnd;
};

TEST_F(MainWndInput, PointsAreScaledAndYIsFlipped)
{
    Make(2);
    CSurf* s = new CSurf(wnd.get(), 4, CRVRect(100, 100, 50, 50), CRVRect(100, 100, 50, 50));
    s->Attribs(CSurf::SA_TOUCHABLE);
    wnd->AddChildTail(s);
    // (60, 240) points from the bottom left: pixel (120, 600 - 480).
    wnd->OnMouseDown(60, 240);
    auto m = Next();
    EXPECT_EQ(m.first, MSG_TOUCH);
    EXPECT_EQ(m.second, (Ints{ 0, 4, 1, 20, 20 }));
    wnd->OnMouseMove(61, 240);
    EXPECT_EQ(Next().second, (Ints{ 0, 4, 1, 22, 20 }));
    wnd->OnMouseUp(61, 239);
    EXPECT_EQ(Next().second, (Ints{ 0, 4, 0, 22, 22 }));
}

TEST_F(MainWndInput, SwipeOnTheBackgroundIsReportedOncePerTouch)
{
    Make(1);
    wnd->OnMouseDown(300, 300);
    wnd->OnMouseMove(460, 300);     // 160: not more than a fifth of 800
    EXPECT_EQ(Next(150).first, 0);
    wnd->OnMouseMove(461, 310);
    auto m = Next();
    EXPECT_EQ(m.first, MSG_SWIPE);
    EXPECT_EQ(m.second, Ints{ 5 });
    wnd->OnMouseMove(700, 300);     // further, and back: nothing more
    wnd->OnMouseMove(0, 300);
    EXPECT_EQ(Next(150).first, 0);
    wnd->OnMouseUp(0, 300);

    wnd->OnMouseDown(500, 100);
    wnd->OnMouseMove(339, 100);
    m = Next();
    EXPECT_EQ(m.first, MSG_SWIPE);
    EXPECT_EQ(m.second, Ints{ 4 });
    wnd->OnMouseUp(339, 100);

    // A move after the release starts nothing.
    wnd->OnMouseMove(0, 100);
    EXPECT_EQ(Next(150).first, 0);
}

TEST_F(MainWndInput, TouchesTakenBySurfacesAreNoSwipe)
{
    Make(1);
    CSurf* s = new CSurf(wnd.get(), 4, CRVRect(0, 0, 800, 300), CRVRect(0, 0, 800, 300));
    s->Attribs(CSurf::SA_TOUCHABLE);
    wnd->AddChildTail(s);
    wnd->OnMouseDown(100, 500);     // pixel (100, 100): on the surface
    EXPECT_EQ(Next().first, MSG_TOUCH);
    wnd->OnMouseMove(700, 500);
    auto m = Next();
    EXPECT_EQ(m.first, MSG_TOUCH);      // the surface follows, no swipe
    wnd->OnMouseUp(700, 500);
    EXPECT_EQ(Next().first, MSG_TOUCH);
    EXPECT_EQ(Next(150).first, 0);
}

TEST_F(MainWndInput, KeysWithoutATextEntryAreIgnored)
{
    Make(1);
    wnd->OnChar('a');
    wnd->OnKey(37);
    EXPECT_EQ(Next(100).first, 0);
}

}  // namespace

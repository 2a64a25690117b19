// The simulated controller slides and fades a page in the headless viewer:
// a red rectangle moves 600 pixels to the right over 900 ms while it fades
// to half, and screenshots taken during and after the move show it on its
// way and then where the controller sent it.
#include "lx_directconnect.h"

#include <gtest/gtest.h>

#include <string>

#include "controller_sim.h"
#include "headless_options.h"
#include "png_read.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"
#include "sim_page.h"

namespace {

const unsigned int kRoot = 0x202020;
const CRVRect kFrom(0, 200, 200, 100);
const CRVRect kTo(600, 200, 200, 100);
const int kRow = 250;

// After the session start: the root's colour, the red page (surface 5, kind
// 1) and, right behind it, message 20122 with a slide and a fade over the
// long default time (header flags 0x50000: 900 ms).
void SendPage(CControllerSim& sim)
{
    SendRootColour(sim, kRoot);

    CRVMSG add(0, 20114, 0, 1);
    add.PutInt(0);
    add.PutInt(5);
    add.PutInt(1 | 255 << 20);
    add.PutShortRECT(kFrom);
    add.PutShortRECT(kFrom);
    add.PutInt(0);
    add.PutColorBYTE(0xFF0000);
    add.PutColorBYTE(0xFF0000);
    add.PutBYTE(0);
    sim.Send(add);

    CRVMSG slide(0, 20122, 0, 1);
    slide.PutInt(0);            // steps address surfaces inside the root
    slide.PutInt(0x50000);
    slide.PutInt(2);
    for (int iCommand : { 1, 2 }) {
        slide.PutInt(iCommand); // 1 move to the rectangle, 2 fade to value 2
        slide.PutInt(0);
        slide.PutInt(0);
        slide.PutInt(5);
        slide.PutRECT(kTo);
        slide.PutInt(0);
        slide.PutInt(128);
    }
    sim.Send(slide);
}

// The red page on the probe row: its left edge and its red level there;
// -1 when no pixel there is red.
struct PAGE_SEEN
{
    int iLeft = -1;
    int iRight = -1;
    int iRed = 0;
};

PAGE_SEEN FindPage(const PNG_RGB& png)
{
    PAGE_SEEN seen;
    for (int x = 0; x < png.iWidth; x++) {
        const unsigned int c = png.At(x, kRow);
        const int r = (int)(c >> 16), g = (int)(c >> 8 & 0xFF);
        if (r <= g + 40)
            continue;
        if (seen.iLeft < 0) {
            seen.iLeft = x;
            seen.iRed = r;
        }
        seen.iRight = x;
    }
    return seen;
}

// The red channel of the page at alpha a over the root.
int RedAt(int a)
{
    return 0x20 + (0xFF - 0x20) * a / 255;
}

class AnimationEndToEnd : public ::testing::Test
{
protected:
    // A headless run whose screenshot is taken iWaitMs after it started.
    PAGE_SEEN ShotAfter(int iWaitMs, const char* pszName)
    {
        CControllerSim sim;
        EXPECT_EQ(1, StartPageSim(&sim, SendPage));
        LX_OPTIONS o = HeadlessOptions(sim.Port(), m_dir / "cache", m_dir / pszName, iWaitMs);
        EXPECT_EQ(LX_EXIT_OK, LxRunDirectConnect(o));
        sim.Stop();
        PNG_RGB png;
        EXPECT_TRUE(ReadPNGFile(o.sScreenshot, &png));
        return png.iWidth > 0 ? FindPage(png) : PAGE_SEEN();
    }
    ScopedTempDir m_dir;
};

TEST_F(AnimationEndToEnd, SlideAndFadeHeadless)
{
    ASSERT_TRUE(m_dir.ok());
    // Half-way in time: well away from both ends (the trapezoid covers a
    // sixtieth of the way in its first and last 100 ms), and not yet faded
    // to half.
    const PAGE_SEEN mid = ShotAfter(450, "mid.png");
    ASSERT_GE(mid.iLeft, 0) << "no page on the screen";
    EXPECT_GT(mid.iLeft, kFrom.x + 10);
    EXPECT_LT(mid.iLeft, kTo.x - 10);
    EXPECT_EQ(kFrom.width - 1, mid.iRight - mid.iLeft);
    EXPECT_GT(mid.iRed, RedAt(128) + 2);
    EXPECT_LT(mid.iRed, RedAt(255) - 2);

    // Long after: exactly where it was sent, at half alpha.
    const PAGE_SEEN end = ShotAfter(1600, "end.png");
    EXPECT_EQ(kTo.x, end.iLeft);
    EXPECT_EQ(kTo.x + kTo.width - 1, end.iRight);
    EXPECT_NEAR(RedAt(128), end.iRed, 2);
}

}  // namespace

// The viewer's headless screenshot against the simulated controller on
// loopback: the page the controller builds (the root's colour and a few
// rectangles, some nested, one translucent) is what the renderer draws.
#include "lx_directconnect.h"

#include <gtest/gtest.h>

#include "controller_sim.h"
#include "headless_options.h"
#include "png_read.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"
#include "sim_page.h"

namespace {

const unsigned int kRoot = 0x3366CC;

struct RECT_REC
{
    int iParent;
    int iID;
    CRVRect rc;
    unsigned int uColor;
    int iAlpha;
    int iChildren;      // records that follow and belong to this one
};

// One surface record of kind 1 (a rectangle): ID, flags (kind, child count,
// alpha), both positions as shorts, attributes, then colour bytes for each
// orientation and the corner radius.
void PutRect(CRVMSG* pMsg, const RECT_REC& r)
{
    pMsg->PutInt(r.iID);
    pMsg->PutInt(1 | r.iChildren << 8 | r.iAlpha << 20);
    pMsg->PutShortRECT(r.rc);
    pMsg->PutShortRECT(r.rc);
    pMsg->PutInt(0);
    pMsg->PutColorBYTE(r.uColor);
    pMsg->PutColorBYTE(r.uColor);
    pMsg->PutBYTE(0);
}

TEST(RenderEndToEnd, HeadlessScreenshotShowsTheControllersRectangles)
{
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    CControllerSim sim;
    ASSERT_EQ(1, StartPageSim(&sim, [](CControllerSim& s) {
        SendRootColour(s, kRoot);
        // Two records for the root (sender ID = records - 1); the first
        // carries a child of its own.
        CRVMSG add(1, 20114, 0, 1);
        add.PutInt(0);
        PutRect(&add, {0, 10, CRVRect(100, 100, 300, 200), 0xFF0000, 255, 1});
        PutRect(&add, {10, 11, CRVRect(50, 50, 40, 40), 0x00FF00, 255, 0});
        add.PutInt(0);
        PutRect(&add, {0, 12, CRVRect(600, 300, 200, 100), 0xFFFFFF, 128, 0});
        s.Send(add);
    }));

    LX_OPTIONS o = HeadlessOptions(sim.Port(), dir / "cache", dir / "page.png", 1500);
    ASSERT_EQ(LX_EXIT_OK, LxRunDirectConnect(o));
    sim.Stop();

    PNG_RGB png;
    ASSERT_TRUE(ReadScreenshot(o.sScreenshot, &png));
    struct PROBE
    {
        int x, y;
        unsigned int expected;
    } probes[] = {
        {10, 10, kRoot},            // bare screen
        {1020, 570, kRoot},
        {102, 102, 0xFF0000},       // inside the red rectangle
        {397, 297, 0xFF0000},
        {120, 180, 0xFF0000},
        {160, 160, 0x00FF00},       // its child at (100 + 50, 100 + 50)
        {188, 188, 0x00FF00},
        {192, 160, 0xFF0000},       // just past the child
        {98, 150, kRoot},           // just outside the red one
        {402, 150, kRoot},
        // White at alpha 128 over the root colour.
        {700, 350, (0x33 + (0xFF - 0x33) * 128 / 255) << 16 | (0x66 + (0xFF - 0x66) * 128 / 255) << 8 |
                       (0xCC + (0xFF - 0xCC) * 128 / 255)},
    };
    for (const PROBE& p : probes) {
        const unsigned int got = png.At(p.x, p.y);
        for (int shift = 0; shift <= 16; shift += 8)
            EXPECT_NEAR((int)((got >> shift) & 0xFF), (int)((p.expected >> shift) & 0xFF), 2)
                << "at (" << p.x << ", " << p.y << "): " << std::hex << got;
    }
}

}  // namespace

// The demo controller's first page in the viewer's headless screenshot: the
// header, the navigation column with the Rooms tab highlighted, the Rooms
// page with its tiles, and the page's probe pixel, each where and in the
// colour the demo puts it.
#include "lx_directconnect.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include "demo_controller.h"
#include "headless_options.h"
#include "pinned_fonts.h"
#include "png_read.h"
#include "scoped_temp_dir.h"

namespace {

int Channel(unsigned int c, int shift)
{
    return (int)((c >> shift) & 0xFF);
}

bool Near(unsigned int a, unsigned int b, int tol)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (abs(Channel(a, shift) - Channel(b, shift)) > tol)
            return false;
    return true;
}

TEST(DemoEndToEnd, FirstPageInTheHeadlessScreenshot)
{
    CPinnedFonts fonts;
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    CDemoController demo;
    ASSERT_EQ(1, demo.Start(0));
    LX_OPTIONS o = HeadlessOptions(demo.Port(), dir / "cache", dir / "demo.png", 1500);
    o.sPassword = CDemoController::Password();
    ASSERT_EQ(LX_EXIT_OK, LxRunDirectConnect(o));
    demo.Stop();

    PNG_RGB png;
    ASSERT_TRUE(ReadScreenshot(o.sScreenshot, &png));

    int px = 0, py = 0;
    unsigned int rooms = 0;
    ASSERT_EQ(1, CDemoController::PageProbe(0, &px, &py, &rooms));
    const struct
    {
        const char* pszWhat;
        int x, y;
        unsigned int expected;
    } probes[] = {
        {"header", 560, 30, 0x161C28},
        {"header, right end", 1015, 8, 0x161C28},
        {"Rooms tab, highlighted", 150, 125, 0x22304C},
        {"Lights tab", 150, 193, 0x121720},
        {"Camera tab", 150, 330, 0x121720},
        {"Rooms tab's dot", 39, 108, 0x4C8DFF},
        {"navigation edge", 207, 300, 0x222A38},
        {"Rooms page's probe", px, py, rooms},
        {"living room tile", 590, 252, 0x1A2130},
        {"office tile", 980, 520, 0x1A2130},
        {"living room icon", 270, 196, 0xFF8A4C},
        {"between the tiles", 616, 200, 0x0E1118},
        {"below the tiles", 700, 566, 0x0E1118},
    };
    for (const auto& p : probes)
        EXPECT_TRUE(Near(png.At(p.x, p.y), p.expected, 2))
            << p.pszWhat << " at (" << p.x << ", " << p.y << "): " << std::hex << png.At(p.x, p.y) << " instead of "
            << p.expected;

    // The accent line under the header starts in full colour at the left.
    EXPECT_TRUE(Near(png.At(1, 63), 0x4C8DFF, 4)) << std::hex << png.At(1, 63);
    EXPECT_TRUE(Near(png.At(1020, 63), 0x161C28, 4)) << std::hex << png.At(1020, 63);

    if (!fonts.ok())
        GTEST_SKIP() << "the pinned face is not installed: texts not checked";
    // The system name in white in the header's title box.
    int iInk = 0;
    for (int y = 10; y < 54; y++)
        for (int x = 68; x < 488; x++)
            iInk += Near(png.At(x, y), 0xFFFFFF, 30);
    EXPECT_GT(iInk, 50);
}

}  // namespace

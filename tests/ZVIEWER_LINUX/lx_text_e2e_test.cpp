// A page of texts from the simulated controller in the viewer's headless
// screenshot, with one pinned face: labels in a text atlas on a panel, a
// kind-24 text on its own, and a text-limit group. Every text shows inside
// its box, in its colour, where its alignment puts it, and nothing of any
// text shows outside its box.
#include "lx_directconnect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "controller_sim.h"
#include "headless_options.h"
#include "pinned_fonts.h"
#include "png_read.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"
#include "sim_page.h"

namespace {

const unsigned int kRoot = 0x203040;
const unsigned int kPanel = 0x000000;

struct TEXT_REC
{
    int iID;
    int iKind;              // 6 or 24
    CRVRect rc;             // in the parent
    int iAttribs;
    const char* pszText;
    unsigned int uColor;
    int iSize;
    int iAlign;
};

void PutText(CRVMSG* pMsg, const TEXT_REC& t)
{
    pMsg->PutInt(t.iID);
    pMsg->PutInt(t.iKind | 255 << 20);
    pMsg->PutShortRECT(t.rc);
    pMsg->PutShortRECT(t.rc);
    pMsg->PutInt(t.iAttribs);
    pMsg->PutString(CRVString(t.pszText));
    pMsg->PutColorBYTE(t.uColor);
    pMsg->PutBYTE((unsigned char)t.iSize);
    pMsg->PutBYTE((unsigned char)t.iAlign);
    pMsg->PutBYTE(0);       // one line
    pMsg->PutBYTE(100);     // line spacing
    if (t.iKind == 24) {
        pMsg->PutBYTE(0);   // no effect
        pMsg->PutBYTE(0);
        pMsg->PutBYTE(0);   // no margin
        pMsg->PutColorBYTE(0);
    }
}

// The panel that owns the text atlas (attribute 0x200): a black rectangle
// at (100, 100), 400 x 220, with two labels and, after them, a grey patch
// over the start of the first: the atlas draws the labels over it.
const CRVRect kPanelRect(100, 100, 400, 220);
const CRVRect kPatch(20, 20, 30, 40);
const unsigned int kGrey = 0x404040;
const TEXT_REC kLabels[] = {
    {21, 6, CRVRect(20, 20, 360, 40), 0, "Living room", 0xFFFFFF, 28, 0},
    {22, 6, CRVRect(20, 100, 360, 60), 0, "Kitchen", 0xFFD040, 28, 0x2 | 0x10},
};
// On the root.
const TEXT_REC kOthers[] = {
    {30, 24, CRVRect(600, 100, 300, 50), 0, "Garage door", 0x40FF40, 24, 0x4},
    // A group: the narrow box sets the size of both.
    {31, 6, CRVRect(600, 200, 80, 40), 0x1010000, "Thermostat", 0xFFFFFF, 60, 0},
    {32, 6, CRVRect(600, 260, 300, 80), 0x2010000, "Heat", 0xFFFFFF, 60, 0},
};

// Screen rectangle of a text.
CRVRect ScreenBox(const TEXT_REC& t, bool bOnPanel)
{
    return bOnPanel ? CRVRect(kPanelRect.x + t.rc.x, kPanelRect.y + t.rc.y, t.rc.width, t.rc.height) : t.rc;
}

bool Differs(unsigned int a, unsigned int b, int tol)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        int d = (int)((a >> shift) & 0xFF) - (int)((b >> shift) & 0xFF);
        if (d > tol || -d > tol)
            return true;
    }
    return false;
}

bool Inside(const CRVRect& rc, int x, int y)
{
    return x >= rc.x && x < rc.x + rc.width && y >= rc.y && y < rc.y + rc.height;
}

// What of the box differs from the background: the bounds and the pixels
// close to the text colour.
struct INK
{
    CRVRect bounds;
    int iNearColour = 0;
};

INK InkIn(const PNG_RGB& png, const CRVRect& box, unsigned int uBackground, unsigned int uColour)
{
    INK ink;
    int x0 = box.x + box.width, x1 = -1, y0 = box.y + box.height, y1 = -1;
    for (int y = box.y; y < box.y + box.height; y++)
        for (int x = box.x; x < box.x + box.width; x++) {
            const unsigned int c = png.At(x, y);
            if (!Differs(c, uBackground, 40))
                continue;
            x0 = std::min(x0, x);
            x1 = std::max(x1, x);
            y0 = std::min(y0, y);
            y1 = std::max(y1, y);
            if (!Differs(c, uColour, 24))
                ink.iNearColour++;
        }
    if (x1 >= 0)
        ink.bounds = CRVRect(x0, y0, x1 - x0 + 1, y1 - y0 + 1);
    return ink;
}

TEST(TextEndToEnd, HeadlessScreenshotShowsEachTextInItsBox)
{
    CPinnedFonts fonts;
    if (!fonts.ok())
        GTEST_SKIP() << "the pinned face is not installed";
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    CControllerSim sim;
    ASSERT_EQ(1, StartPageSim(&sim, [](CControllerSim& s) {
        SendRootColour(s, kRoot);
        // Four records for the root (sender ID = records - 1): the panel with
        // its two labels, then the other texts.
        CRVMSG add(3, 20114, 0, 1);
        add.PutInt(0);
        add.PutInt(20);
        add.PutInt(1 | 3 << 8 | 255 << 20);
        add.PutShortRECT(kPanelRect);
        add.PutShortRECT(kPanelRect);
        add.PutInt(0x200);
        add.PutColorBYTE(kPanel);
        add.PutColorBYTE(kPanel);
        add.PutBYTE(0);
        for (const TEXT_REC& t : kLabels)
            PutText(&add, t);
        add.PutInt(23);
        add.PutInt(1 | 255 << 20);
        add.PutShortRECT(kPatch);
        add.PutShortRECT(kPatch);
        add.PutInt(0);
        add.PutColorBYTE(kGrey);
        add.PutColorBYTE(kGrey);
        add.PutBYTE(0);
        for (const TEXT_REC& t : kOthers) {
            add.PutInt(0);
            PutText(&add, t);
        }
        s.Send(add);
    }));

    LX_OPTIONS o = HeadlessOptions(sim.Port(), dir / "cache", dir / "texts.png", 1500);
    ASSERT_EQ(LX_EXIT_OK, LxRunDirectConnect(o));
    sim.Stop();

    PNG_RGB png;
    ASSERT_TRUE(ReadScreenshot(o.sScreenshot, &png));

    // Each text has ink in its colour inside its box.
    INK living = InkIn(png, ScreenBox(kLabels[0], true), kPanel, kLabels[0].uColor);
    INK kitchen = InkIn(png, ScreenBox(kLabels[1], true), kPanel, kLabels[1].uColor);
    INK garage = InkIn(png, kOthers[0].rc, kRoot, kOthers[0].uColor);
    INK thermostat = InkIn(png, kOthers[1].rc, kRoot, kOthers[1].uColor);
    INK heat = InkIn(png, kOthers[2].rc, kRoot, kOthers[2].uColor);
    for (const INK* ink : {&living, &kitchen, &garage, &thermostat, &heat}) {
        EXPECT_FALSE(ink->bounds.IsEmpty());
        EXPECT_GT(ink->iNearColour, 20);
    }
    // The labels were drawn after the patch that came after them: through
    // the panel's atlas.
    const INK onPatch = InkIn(png, CRVRect(kPanelRect.x + kPatch.x, kPanelRect.y + kPatch.y, kPatch.width,
                                           kPatch.height), kGrey, kLabels[0].uColor);
    EXPECT_GT(onPatch.iNearColour, 10);
    EXPECT_TRUE(png.At(kPanelRect.x + kPatch.x + 1, kPanelRect.y + kPatch.y + 1) == kGrey);
    // Left-aligned from the box's left edge; centred both ways; right-aligned.
    EXPECT_LE(living.bounds.x, 120 + 4);
    EXPECT_GT(living.bounds.width, 100);
    const int iKitchenMidX = kitchen.bounds.x + kitchen.bounds.width / 2;
    const int iKitchenMidY = kitchen.bounds.y + kitchen.bounds.height / 2;
    EXPECT_NEAR(iKitchenMidX, 100 + 20 + 180, 4);
    EXPECT_NEAR(iKitchenMidY, 100 + 100 + 30, 6);
    EXPECT_NEAR(garage.bounds.x + garage.bounds.width, 900, 5);
    EXPECT_GT(garage.bounds.x, 700);
    // The group took the size that fits the 80-pixel box for both texts:
    // "Heat" at 60 would stand about 35 pixels tall, at the shared size less
    // than 20.
    EXPECT_LT(heat.bounds.height, 20);
    EXPECT_LT(thermostat.bounds.height, 20);
    EXPECT_LE(thermostat.bounds.x + thermostat.bounds.width, 680);

    // Nothing of any text outside its box: the panel is plain black around
    // its labels, the root plain around everything.
    int iStray = 0;
    for (int y = 0; y < png.iHeight; y++)
        for (int x = 0; x < png.iWidth; x++) {
            bool bInText = false;
            for (const TEXT_REC& t : kLabels)
                bInText |= Inside(ScreenBox(t, true), x, y);
            for (const TEXT_REC& t : kOthers)
                bInText |= Inside(t.rc, x, y);
            if (bInText)
                continue;
            const unsigned int want = Inside(kPanelRect, x, y) ? kPanel : kRoot;
            if (Differs(png.At(x, y), want, 2) && iStray++ < 5)
                ADD_FAILURE() << "stray pixel " << std::hex << png.At(x, y) << std::dec << " at (" << x << ", "
                              << y << ")";
        }
    EXPECT_EQ(iStray, 0);
}

}  // namespace

// Images and drawn surfaces from the simulated controller in the viewer's
// headless screenshot: graphic-store images in the own format and as PNG
// (one of them kept in the resource cache and taken back from it, one sent
// after the surface that shows it), shown by image surfaces and a panel, a
// picture sent to an image surface of its own, and the drawn kinds:
// gradient, bevelled box, colour box, rounded rectangle, a mirror reflecting
// an image, and a row laying its children out. A second run finds the cached
// image's key in the session start.
#include "lx_directconnect.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "controller_sim.h"
#include "headless_options.h"
#include "png_encode.h"
#include "png_read.h"
#include "rvmsg.h"
#include "scoped_temp_dir.h"
#include "tcf.h"
#include "sim_page.h"

namespace {

const unsigned int kRoot = 0x202020;
const unsigned int kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
const unsigned int kMagenta = 0xFF00FF, kCyan = 0x00FFFF, kOrange = 0xFF8000, kSky = 0x80C0FF;
const unsigned int kWhite = 0xFFFFFF, kDarkGreen = 0x008000;

const unsigned char kKey[16] = {0x5E, 0xED, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
const char kKeyName[] = "5EED0102030405060708090A0B0C0D0E.res";

// w x h RGBA pixels: colour a in the first half (left half, or top half when
// bRows), colour b in the other.
std::vector<unsigned char> TwoColours(int w, int h, unsigned int a, unsigned int b, bool bRows)
{
    std::vector<unsigned char> px;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            const unsigned int c = (bRows ? y < h / 2 : x < w / 2) ? a : b;
            px.insert(px.end(), {(unsigned char)(c >> 16), (unsigned char)(c >> 8), (unsigned char)c, 255});
        }
    return px;
}

std::vector<unsigned char> OwnFormat(const std::vector<unsigned char>& rgba, int w, int h)
{
    std::vector<unsigned char> out;
    EXPECT_TRUE(CompressRGBA(rgba.data(), w, h, 0, &out));
    return out;
}

// 20110 (no key), 20167 (the key after the format) or 20166 (the key, no bytes).
void SendImage(CControllerSim& s, short sID, int iImage, int iFormat, const std::vector<unsigned char>& bytes)
{
    CRVMSG msg(0, sID, 0, 1);
    msg.PutInt(iImage);
    msg.PutInt(0);
    msg.PutInt(iFormat);
    if (sID != 20110)
        msg.PutData(kKey, 16);
    if (sID != 20166) {
        msg.PutInt((int)bytes.size());
        msg.PutData(bytes.data(), (int)bytes.size());
    }
    s.Send(msg);
}

// A surface record's head: ID, flags (kind, child records, alpha), both
// positions as shorts, attributes.
void Head(CRVMSG* pMsg, int iID, int iKind, CRVRect rc, int iChildren = 0, int iAttribs = 0)
{
    pMsg->PutInt(iID);
    pMsg->PutInt(iKind | iChildren << 8 | 255 << 20);
    pMsg->PutShortRECT(rc);
    pMsg->PutShortRECT(rc);
    pMsg->PutInt(iAttribs);
}

void ImageStore(CRVMSG* pMsg, int iID, CRVRect rc, int iImage)
{
    Head(pMsg, iID, 2, rc);
    pMsg->PutInt(iImage);
    pMsg->PutInt(iImage);
}

void Rect(CRVMSG* pMsg, int iID, CRVRect rc, unsigned int uColor, int iRadius = 0)
{
    Head(pMsg, iID, 1, rc);
    pMsg->PutColorBYTE(uColor);
    pMsg->PutColorBYTE(uColor);
    pMsg->PutBYTE((unsigned char)iRadius);
}

// Colour bytes and an alpha byte for each colour.
void ColoursWithAlpha(CRVMSG* pMsg, std::vector<unsigned int> colours)
{
    for (unsigned int c : colours) {
        pMsg->PutColorBYTE(c);
        pMsg->PutBYTE(255);
    }
}

// The whole page, sent once the session has started.
void SendPage(CControllerSim& s)
{
    SendRootColour(s, kRoot);

    SendImage(s, 20110, 0x100, 10, OwnFormat(TwoColours(8, 8, kRed, kGreen, false), 8, 8));
    SendImage(s, 20110, 0x102, 5, EncodePNG(TwoColours(64, 36, kMagenta, kCyan, false), 64, 36));
    // Kept in the cache under the key, then taken back under another ID.
    SendImage(s, 20167, 0x103, 5, EncodePNG(TwoColours(4, 4, kSky, kSky, false), 4, 4, PNG_FORMAT_RGB));
    SendImage(s, 20166, 0x104, 5, {});

    // Eleven top-level records, each after the ID of its parent (the root).
    CRVMSG add(10, 20114, 0, 1);
    add.PutInt(0);
    ImageStore(&add, 10, CRVRect(20, 20, 160, 80), 0x100);
    add.PutInt(0);
    ImageStore(&add, 11, CRVRect(200, 20, 160, 80), 0x101);
    add.PutInt(0);
    ImageStore(&add, 12, CRVRect(380, 20, 160, 80), 0x104);
    add.PutInt(0);
    Head(&add, 13, 25, CRVRect(480, 120, 80, 60), 0, 0x10000);     // panel, drawn at full opacity
    add.PutInt(0x102);
    add.PutInt(0);
    Head(&add, 14, 3, CRVRect(600, 20, 120, 80));                   // a picture of its own
    add.PutInt(0);
    add.PutBYTE(0);
    add.PutInt(0);
    Head(&add, 20, 7, CRVRect(20, 200, 100, 100));                  // gradient
    for (int o = 0; o < 2; o++) {
        add.PutColorBYTE(kRed);
        add.PutColorBYTE(kBlue);
        add.PutColorBYTE(0);
    }
    add.PutBYTE(1);
    add.PutInt(0);
    Head(&add, 21, 20, CRVRect(140, 200, 100, 100));                // bevelled box, border 10
    ColoursWithAlpha(&add, {kWhite, kWhite, kWhite, kWhite, kDarkGreen, kDarkGreen});
    add.PutBYTE(10);
    add.PutInt(0);
    Head(&add, 22, 22, CRVRect(260, 200, 100, 100));                // colour box
    ColoursWithAlpha(&add, {kRed, kGreen, kBlue, kWhite});
    add.PutInt(0);
    Rect(&add, 23, CRVRect(380, 200, 100, 100), kYellow, 30);
    add.PutInt(0);
    Head(&add, 24, 9, CRVRect(500, 200, 200, 200), 1);              // mirror, line 100 below its top
    add.PutBYTE(128);
    add.PutBYTE(128);
    add.PutShort(100);
    add.PutShort(100);
    add.PutColorBYTE(0);
    ImageStore(&add, 25, CRVRect(20, 20, 80, 80), 0x101);           // its child, standing on the line
    add.PutInt(0);
    Head(&add, 26, 10, CRVRect(720, 200, 280, 60), 3);              // row, anchor 140, three children
    add.PutShort(140);
    add.PutShort(140);
    Rect(&add, 27, CRVRect(0, 0, 40, 60), kRed);
    Rect(&add, 28, CRVRect(0, 0, 60, 60), kGreen);
    Rect(&add, 29, CRVRect(0, 0, 40, 60), kBlue);
    s.Send(add);

    // After the surfaces that show it: they find it when it comes.
    SendImage(s, 20110, 0x101, 5, EncodePNG(TwoColours(8, 8, kBlue, kYellow, true), 8, 8));

    const std::vector<unsigned char> picture = EncodePNG(TwoColours(6, 4, kOrange, kOrange, false), 6, 4);
    CRVMSG update(0, 20125, 0, 1);      // one record: surface, flags (PNG), length, bytes
    update.PutInt(14);
    update.PutInt(5);
    update.PutInt((int)picture.size());
    update.PutData(picture.data(), (int)picture.size());
    s.Send(update);
}

struct PROBE
{
    int x, y;
    unsigned int expected;
    int tolerance;
    const char* what;
};

unsigned int Faded(unsigned int c)
{
    unsigned int out = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const double v = ((c >> shift) & 0xFF) * (128 / 255.0) + ((kRoot >> shift) & 0xFF) * (1 - 128 / 255.0);
        out |= (unsigned int)(v + 0.5) << shift;
    }
    return out;
}

TEST(ImageEndToEnd, HeadlessScreenshotShowsImagesAndDrawnSurfaces)
{
    ScopedTempDir dir;
    ASSERT_TRUE(dir.ok());
    CControllerSim sim;
    ASSERT_EQ(1, StartPageSim(&sim, SendPage));

    LX_OPTIONS o = HeadlessOptions(sim.Port(), dir / "cache", dir / "page.png", 1500);
    ASSERT_EQ(LX_EXIT_OK, LxRunDirectConnect(o));
    // Every image update is acknowledged.
    EXPECT_NE(sim.WaitFor(20203, 1000), nullptr);
    sim.Stop();

    PNG_RGB png;
    ASSERT_TRUE(ReadScreenshot(o.sScreenshot, &png));
    const PROBE probes[] = {
        {10, 10, kRoot, 2, "bare screen"},
        {60, 60, kRed, 2, "own-format image, left half"},
        {140, 60, kGreen, 2, "own-format image, right half"},
        {15, 60, kRoot, 2, "left of it"},
        {280, 30, kBlue, 2, "PNG sent after its surface, top half"},
        {280, 90, kYellow, 2, "PNG sent after its surface, bottom half"},
        {460, 60, kSky, 2, "image taken from the cache"},
        {490, 150, kMagenta, 2, "panel over the left half of the screen"},
        {550, 150, kCyan, 2, "panel over the right half"},
        {470, 150, kRoot, 2, "left of the panel"},
        {660, 60, kOrange, 2, "picture of a surface of its own"},
        {70, 201, kRed, 6, "gradient, top"},
        {70, 298, kBlue, 6, "gradient, bottom"},
        {145, 250, kWhite, 4, "bevelled box, border"},
        {190, 250, kDarkGreen, 4, "bevelled box, centre"},
        {260, 200, kRed, 7, "colour box, top left"},
        {359, 200, kGreen, 7, "colour box, top right"},
        {260, 299, kBlue, 7, "colour box, bottom left"},
        {359, 299, kWhite, 7, "colour box, bottom right"},
        {430, 250, kYellow, 2, "rounded rectangle"},
        {381, 250, kYellow, 2, "rounded rectangle, middle of the left edge"},
        {381, 201, kRoot, 2, "rounded rectangle, cut corner"},
        {560, 230, kBlue, 2, "image above the mirror line"},
        {560, 290, kYellow, 2, "image just above the line"},
        {560, 310, Faded(kYellow), 4, "reflection just below the line"},
        {560, 370, Faded(kBlue), 4, "reflection further down"},
        {560, 390, kRoot, 2, "below the reflection"},
        {780, 230, kRoot, 2, "row, before its children"},
        {810, 230, kRed, 2, "row, first child"},
        {860, 230, kGreen, 2, "row, second child"},
        {910, 230, kBlue, 2, "row, third child"},
        {940, 230, kRoot, 2, "row, after its children"},
    };
    for (const PROBE& p : probes) {
        const unsigned int got = png.At(p.x, p.y);
        for (int shift = 0; shift <= 16; shift += 8)
            EXPECT_NEAR((int)((got >> shift) & 0xFF), (int)((p.expected >> shift) & 0xFF), p.tolerance)
                << p.what << " at (" << p.x << ", " << p.y << "): " << std::hex << got;
    }

    // The cached image stays for the next session, which lists its key.
    struct stat st;
    EXPECT_EQ(stat((dir / (std::string("cache/") + kKeyName)).c_str(), &st), 0);
    CControllerSim sim2;
    ASSERT_EQ(1, StartPageSim(&sim2, nullptr));
    LX_OPTIONS o2 = HeadlessOptions(sim2.Port(), dir / "cache", dir / "second.png", 200);
    ASSERT_EQ(LX_EXIT_OK, LxRunDirectConnect(o2));
    SIM_SESSION_START start;
    ASSERT_TRUE(sim2.GetLastSessionStart(&start));
    sim2.Stop();
    std::vector<unsigned char> expected = {1, 0, 0, 0};
    expected.insert(expected.end(), kKey, kKey + 16);
    EXPECT_EQ(start.rest, expected);
}

}  // namespace

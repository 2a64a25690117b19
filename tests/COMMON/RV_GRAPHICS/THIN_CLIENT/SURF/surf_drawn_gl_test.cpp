// The colour-drawn surfaces on an offscreen context: the gradient's ends and
// middle, the bevelled frame's bands, corners and centre, the colour box's
// corners (mirrored too) and the per-colour alphas.
#include <initializer_list>
#include <utility>

#include "drawn_fixture.h"
#include "msgids.h"
#include "rvmsg.h"
#include "surf_borderbox.h"
#include "surf_color_vbo.h"
#include "surf_colorbox.h"
#include "surf_gradient.h"

namespace {

const unsigned int kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kWhite = 0xFFFFFF,
                   kBlack = 0x000000;

// The sum of colours by their weights (the GL's interpolation in a triangle).
unsigned int Weighted(std::initializer_list<std::pair<unsigned int, double>> parts)
{
    double ch[3] = {0, 0, 0};
    for (const auto& p : parts)
        for (int i = 0; i < 3; i++)
            ch[i] += ((p.first >> (16 - 8 * i)) & 0xFF) * p.second;
    unsigned int out = 0;
    for (int i = 0; i < 3; i++)
        out |= (unsigned int)(ch[i] + 0.5) << (16 - 8 * i);
    return out;
}

// Colour-and-alpha pairs, then any trailing bytes, as one property payload.
void SetProps(CSurf* s, std::initializer_list<std::pair<unsigned int, int>> colours, std::initializer_list<int> bytes)
{
    CRVMSG msg(0, MSG_SURFACE_PROPS, 64, 1);
    for (const auto& c : colours) {
        msg.PutColorBYTE(c.first);
        msg.PutBYTE((unsigned char)c.second);
    }
    for (int b : bytes)
        msg.PutBYTE((unsigned char)b);
    msg.ResetRead();
    s->SetSurfaceProps(&msg, 0);
}

using SurfDrawnGL = DrawnGL;

TEST_F(SurfDrawnGL, GradientRunsFromTheFirstColourAtTheTopToTheSecondAtTheBottom)
{
    CSurfGradient* g = Add<CSurfGradient>(wnd.get(), 1, CRVRect(10, 10, 40, 20));
    g->SetColors(kRed, kBlue);
    Frame();
    // Pixel centres: row y is at (y + 0.5) / 20 of the way down.
    EXPECT_TRUE(Near(30, 10, Lerp(kRed, kBlue, 0.5 / 20), 3));
    EXPECT_TRUE(Near(30, 19, Lerp(kRed, kBlue, 9.5 / 20), 3));
    EXPECT_TRUE(Near(30, 29, Lerp(kRed, kBlue, 19.5 / 20), 3));
    EXPECT_TRUE(Near(12, 19, Lerp(kRed, kBlue, 9.5 / 20), 3));     // the same across a row
    EXPECT_TRUE(Near(30, 30, kBack));
    EXPECT_TRUE(Near(9, 19, kBack));

    // Translucent: one alpha over the whole gradient.
    g->SetAlpha(128);
    Frame();
    const double a = 128 / 255.0;
    EXPECT_TRUE(Near(30, 19, Mix(Lerp(kRed, kBlue, 9.5 / 20), a, kBack, 1 - a), 3));

    // Orientation 1 has colours of its own.
    CRVMSG msg(0, MSG_SURFACE_PROPS, 32, 1);
    for (unsigned int c : {kRed, kBlue, kBlue, kGreen, kYellow, kYellow})
        msg.PutColorBYTE(c);
    msg.PutBYTE(1);
    msg.ResetRead();
    g->SetSurfaceProps(&msg, 0);
    g->SetAlpha(255);
    g->SetPosition(ORIENT_1, CRVRect(10, 10, 40, 20));
    CMainWnd::m_eOrientation = ORIENT_1;
    Frame();
    EXPECT_TRUE(Near(30, 10, Lerp(kGreen, kYellow, 0.5 / 20), 3));
    EXPECT_TRUE(Near(30, 29, Lerp(kGreen, kYellow, 19.5 / 20), 3));
}

TEST(SurfBorderBox, BorderIsCutToHalfOfTheShorterSideLessOne)
{
    struct CASE
    {
        int b, w, h, expected;
    } cases[] = {
        {8, 10, 10, 4}, {1, 40, 30, 1}, {255, 100, 6, 2}, {255, 4, 100, 1}, {3, 1, 1, 0}, {0, 50, 50, 0},
    };
    for (const CASE& c : cases)
        EXPECT_EQ(CSurfBorderBox::DrawnBorder(c.b, c.w, c.h), c.expected) << c.b << " in " << c.w << "x" << c.h;

    // The 54 vertices stay inside the box whatever border is asked for.
    CSurfBorderBox box(nullptr, 1, CRVRect(0, 0, 10, 10), CRVRect(0, 0, 10, 10));
    SetProps(&box, {{0, 255}, {0, 255}, {0, 255}, {0, 255}, {0, 255}, {0, 255}}, {200});
    RVT_COLOR_VERTEX v[CSurfBorderBox::VERTICES];
    box.BuildVertices(10, 10, v);
    for (const RVT_COLOR_VERTEX& p : v) {
        EXPECT_TRUE(p.x == 0 || p.x == 4 || p.x == 6 || p.x == 10) << p.x;
        EXPECT_TRUE(p.y == 0 || p.y == 4 || p.y == 6 || p.y == 10) << p.y;
    }
}

TEST_F(SurfDrawnGL, BorderBoxShadesItsBandsAndCentre)
{
    // 40 x 30 at (10, 10), border 5: outer top red, outer bottom green, inner
    // top blue, inner bottom yellow, centre white to black.
    CSurfBorderBox* box = Add<CSurfBorderBox>(wnd.get(), 1, CRVRect(10, 10, 40, 30));
    SetProps(box, {{kRed, 255}, {kGreen, 255}, {kBlue, 255}, {kYellow, 255}, {kWhite, 255}, {kBlack, 255}}, {5});
    Frame();
    auto P = [&](int x, int y, unsigned int c) { return Near(10 + x, 10 + y, c, 4); };
    // Top band: outer to inner top colour; bottom band: inner to outer bottom.
    EXPECT_TRUE(P(20, 0, Lerp(kRed, kBlue, 0.1)));
    EXPECT_TRUE(P(20, 4, Lerp(kRed, kBlue, 0.9)));
    EXPECT_TRUE(P(20, 25, Lerp(kYellow, kGreen, 0.1)));
    EXPECT_TRUE(P(20, 29, Lerp(kYellow, kGreen, 0.9)));
    // The centre from its top colour to its bottom colour.
    EXPECT_TRUE(P(20, 5, Lerp(kWhite, kBlack, 0.5 / 20)));
    EXPECT_TRUE(P(20, 24, Lerp(kWhite, kBlack, 19.5 / 20)));
    // Corners: split from the outer corner to the inner one, so the pixel
    // next to the inner corner is nearly all inner colour.
    EXPECT_TRUE(P(4, 4, Weighted({{kRed, 0.1}, {kBlue, 0.9}})));
    EXPECT_TRUE(P(4, 0, Weighted({{kRed, 0.9}, {kBlue, 0.1}})));
    EXPECT_TRUE(P(35, 4, Weighted({{kRed, 0.1}, {kBlue, 0.9}})));
    EXPECT_TRUE(P(4, 25, Weighted({{kGreen, 0.1}, {kYellow, 0.9}})));
    EXPECT_TRUE(P(35, 25, Weighted({{kGreen, 0.1}, {kYellow, 0.9}})));
    // Left side at the top of its band, in the triangle of outer top, inner
    // top and inner bottom.
    EXPECT_TRUE(P(0, 5, Weighted({{kRed, 0.9}, {kBlue, 0.075}, {kYellow, 0.025}})));
    EXPECT_TRUE(Near(9, 20, kBack));
    EXPECT_TRUE(Near(50, 20, kBack));

    // A new size rebuilds the frame: the bottom band follows the bottom.
    box->SetPosition(ORIENT_0, CRVRect(10, 10, 40, 40));
    Frame();
    EXPECT_TRUE(P(20, 39, Lerp(kYellow, kGreen, 0.9)));
    EXPECT_TRUE(P(20, 29, Lerp(kWhite, kBlack, 24.5 / 30)));
}

TEST_F(SurfDrawnGL, BorderBoxColoursCarryTheirOwnAlpha)
{
    // A transparent centre shows the background; a half-transparent band blends.
    CSurfBorderBox* box = Add<CSurfBorderBox>(wnd.get(), 1, CRVRect(10, 10, 40, 30));
    SetProps(box, {{kRed, 128}, {kRed, 128}, {kRed, 128}, {kRed, 128}, {kWhite, 0}, {kWhite, 0}}, {5});
    Frame();
    const double a = 128 / 255.0;
    EXPECT_TRUE(Near(30, 25, kBack));
    EXPECT_TRUE(Near(30, 12, Mix(kRed, a, kBack, 1 - a), 3));
}

TEST_F(SurfDrawnGL, ColourBoxShowsItsFourCorners)
{
    for (int bMirrored : {0, 1}) {
        SCOPED_TRACE(bMirrored);
        CSurfColorBox* box = Add<CSurfColorBox>(wnd.get(), 1, CRVRect(10, 10, 40, 40));
        SetProps(box, {{kRed, 255}, {kGreen, 255}, {kBlue, 255}, {kWhite, 255}}, {});
        if (bMirrored)
            box->Attribs(CSurfColorBox::SA_MIRRORED);
        Frame();
        // A corner pixel is at least 97.5 % its corner's colour (the rest
        // from the neighbours, at most 2.5 % of 255 per channel).
        const unsigned int tl = bMirrored ? kGreen : kRed, tr = bMirrored ? kRed : kGreen;
        const unsigned int bl = bMirrored ? kWhite : kBlue, br = bMirrored ? kBlue : kWhite;
        EXPECT_TRUE(Near(10, 10, tl, 7));
        EXPECT_TRUE(Near(49, 10, tr, 7));
        EXPECT_TRUE(Near(10, 49, bl, 7));
        EXPECT_TRUE(Near(49, 49, br, 7));
        EXPECT_TRUE(Near(50, 30, kBack));
        CSurf* done = wnd->RemoveSubSurf(1);
        ASSERT_NE(done, nullptr);
        delete done;
    }
}

TEST_F(SurfDrawnGL, ColourBoxAlphasMultiplyWithTheSurfaceAlpha)
{
    CSurfColorBox* box = Add<CSurfColorBox>(wnd.get(), 1, CRVRect(10, 10, 40, 40));
    SetProps(box, {{kYellow, 128}, {kYellow, 128}, {kYellow, 128}, {kYellow, 128}}, {});
    Frame();
    const double a = 128 / 255.0;
    EXPECT_TRUE(Near(30, 30, Mix(kYellow, a, kBack, 1 - a), 3));
    box->SetAlpha(128);
    Frame();
    EXPECT_TRUE(Near(30, 30, Mix(kYellow, a * a, kBack, 1 - a * a), 3));
}

}  // namespace

// CSurfXAlign: the row layout (around the anchor, centred, from the left when
// it overflows) and when the row lays its children out again.
#include <gtest/gtest.h>

#include <vector>

#include "matrix.h"
#include "msgids.h"
#include "rvmsg.h"
#include "surf_xalign.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

void SetAnchors(CSurfXAlign* row, int a0, int a1)
{
    CRVMSG msg(0, MSG_SURFACE_PROPS, 8, 1);
    msg.PutShort((short)a0);
    msg.PutShort((short)a1);
    msg.ResetRead();
    row->SetSurfaceProps(&msg, 0);
}

class SurfXAlign : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bRenderGL = CSurf::g_bRenderGL;
        CSurf::g_bRenderGL = 0;
    }
    void TearDown() override { CSurf::g_bRenderGL = m_bRenderGL; }
    // A row of width w at (0, 0) in both orientations with children of the
    // given widths, 7 pixels down and 20 high.
    CSurfXAlign* Row(int w, const std::vector<int>& widths)
    {
        CSurfXAlign* row = new CSurfXAlign(&root, 1, R(0, 0, w, 50), R(0, 0, w, 50));
        root.AddChildTail(row);
        int id = 10;
        for (int cw : widths) {
            CSurf* c = new CSurf(row, id++, R(999, 7, cw, 20), R(999, 7, cw, 20));
            row->AddChildTail(c);
        }
        return row;
    }
    static std::vector<int> Xs(CSurf* row, ORIENT o = ORIENT_0)
    {
        std::vector<int> xs;
        for (CSurf* c = row->FirstChild(); c; c = c->NextSibling())
            xs.push_back(c->Position(o).x);
        return xs;
    }
    void Draw(CSurf* row, ORIENT o = ORIENT_0)
    {
        CClipStack clip(R(0, 0, 800, 600));
        RVT_MATRIX_CONFIG config;
        config.eOrientation = o;
        float m[16];
        MatrixSetIdentity(m);
        row->Render(255, &clip, m, &config);
    }

    CSurf root{nullptr, 0, R(0, 0, 800, 600), R(0, 0, 800, 600)};
    int m_bRenderGL = 0;
};

TEST_F(SurfXAlign, ChildrenAreCentredOnTheAnchorInTheRowOrFromTheLeft)
{
    struct CASE
    {
        int w, anchor;
        std::vector<int> widths, xs;
    } cases[] = {
        {400, 100, {50, 60, 70}, {10, 60, 120}},     // fits around the anchor
        {400, 20, {50, 60, 70}, {110, 160, 220}},    // not around the anchor: centred in the row
        {400, 380, {50, 60, 70}, {110, 160, 220}},   // too near the right end likewise
        {400, 90, {50, 60, 70}, {0, 50, 110}},       // exactly fits: S / 2 = 90
        {100, 50, {80, 60}, {0, 80}},                // wider than the row: from the left
        {101, 50, {51, 50}, {0, 51}},                // S / 2 = 50 rounds down: fits around the anchor
        {100, 50, {}, {}},
    };
    for (const CASE& c : cases) {
        CSurfXAlign* row = Row(c.w, c.widths);
        SetAnchors(row, c.anchor, 0);
        row->XAlignChildren(ORIENT_0);
        EXPECT_EQ(Xs(row), c.xs) << "row " << c.w << " anchor " << c.anchor;
        for (CSurf* ch = row->FirstChild(); ch; ch = ch->NextSibling()) {
            EXPECT_EQ(ch->Position(ORIENT_0).y, 7);         // y and height stay
            EXPECT_EQ(ch->Position(ORIENT_0).height, 20);
            EXPECT_EQ(ch->Position(ORIENT_1).x, 999);       // the other orientation too
        }
        delete root.RemoveSubSurf(1);
    }
}

TEST_F(SurfXAlign, LayoutHappensAtTheDrawAfterAChangeWithoutARedrawRequest)
{
    CSurfXAlign* row = Row(400, {50, 60, 70});
    SetAnchors(row, 100, 300);
    root.StateFlags(0);
    Draw(row);
    EXPECT_EQ(Xs(row), (std::vector<int>{10, 60, 120}));
    EXPECT_EQ(root.State() & CSurf::SS_NEEDS_REDRAW, 0);    // placed without asking for a redraw
    EXPECT_EQ(row->State() & CSurf::SS_FONT_CHANGED, 0);

    // Moved by hand: the row leaves it until something asks for a layout.
    row->FirstChild()->SetPosition(ORIENT_0, R(0, 7, 50, 20));
    Draw(row);
    EXPECT_EQ(Xs(row)[0], 0);

    // A new child asks for one.
    row->AddChildTail(new CSurf(row, 20, R(0, 7, 20, 20), R(0, 7, 20, 20)));
    EXPECT_NE(row->State() & CSurf::SS_FONT_CHANGED, 0);
    Draw(row);
    EXPECT_EQ(Xs(row), (std::vector<int>{0, 50, 110, 180}));   // S = 200, anchor 100

    // Another orientation lays out with its own anchor.
    Draw(row, ORIENT_1);
    EXPECT_EQ(Xs(row, ORIENT_1), (std::vector<int>{200, 250, 310, 380}));
    EXPECT_EQ(Xs(row, ORIENT_0), (std::vector<int>{0, 50, 110, 180}));
}

}  // namespace

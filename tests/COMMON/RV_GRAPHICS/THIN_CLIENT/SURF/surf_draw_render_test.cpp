// The drawing pad on an offscreen GL context: strokes show in the pad's
// colour with their soft sides, new ink is uploaded before the next frame,
// and a map too small to show is not drawn.
#include <gtest/gtest.h>

#include <memory>

#include "mainwnd_gl_fixture.h"
#include "msgids.h"
#include "rvmsg.h"
#include "surf_draw.h"

namespace {

class SurfDrawRender : public MainWndGLFixture
{
protected:
    CSurfDraw* AddPad(CRVRect rc, unsigned int uColor, int iMargin = 3)
    {
        CSurfDraw* pad = new CSurfDraw(wnd.get(), 3, rc, rc);
        CRVMSG props(0, MSG_SURFACE_PROPS, 4, 1);
        props.PutColorBYTE(uColor);
        props.PutBYTE((unsigned char)iMargin);
        props.ResetRead();
        pad->SetSurfaceProps(&props, 0);
        wnd->AddChildTail(pad);
        return pad;
    }
    // A straight stroke between two screen points.
    void Stroke(POINT a, POINT b)
    {
        CClipStack clip(wnd->ClientRect(ORIENT_0));
        wnd->CSurf::OnTouchDown(ORIENT_0, a, 0, &clip);
        wnd->CSurf::OnTouchMove(ORIENT_0, b, 0);
        wnd->CSurf::OnTouchUp(ORIENT_0, b, 0);
    }
    // Red at (x, y), y from the top.
    int Red(int x, int y) const { return (At(x, y) >> 16) & 0xFF; }
    int GreenBlue(int x, int y) const { return ((At(x, y) >> 8) & 0xFF) + (At(x, y) & 0xFF); }
};

TEST_F(SurfDrawRender, StrokesShowInThePadsColourWithSoftSides)
{
    // Pad at (8, 8), 40 x 30; a stroke along pad row 12 lands on map row 11,
    // screen row 19, columns 17 to 37.
    CSurfDraw* pad = AddPad(CRVRect(8, 8, 40, 30), 0xFF0000);
    Frame();
    EXPECT_EQ(Red(27, 19), 0);          // no map yet: nothing drawn

    Stroke(POINT{ 18, 20 }, POINT{ 38, 20 });
    Frame();
    EXPECT_NEAR(Red(27, 19), 255, 2);
    EXPECT_NEAR(Red(18, 19), 255, 2);
    EXPECT_NEAR(Red(36, 19), 255, 2);
    EXPECT_NEAR(Red(27, 18), 85, 3);    // a pixel off the line
    EXPECT_NEAR(Red(27, 20), 85, 3);
    EXPECT_EQ(Red(27, 17), 0);
    EXPECT_EQ(Red(40, 19), 0);
    EXPECT_EQ(GreenBlue(27, 19), 0);

    // New ink is uploaded before the next frame.
    Stroke(POINT{ 18, 30 }, POINT{ 38, 30 });
    Frame();
    EXPECT_NEAR(Red(27, 29), 255, 2);
    EXPECT_NEAR(Red(27, 19), 255, 2);

    // The pad's alpha scales the ink.
    pad->SetAlpha(128);
    Frame();
    EXPECT_NEAR(Red(27, 19), 128, 3);
}

TEST_F(SurfDrawRender, AMapSmallerThanFourByFourIsNotDrawn)
{
    CSurfDraw* pad = AddPad(CRVRect(10, 10, 3, 3), 0x00FF00, 0);
    Stroke(POINT{ 11, 11 }, POINT{ 11, 11 });
    ASSERT_NE(pad->Map(), nullptr);
    ASSERT_EQ(*pad->Map()->Pixel(0, 0), 255);   // ink that could show
    Frame();
    for (int y = 8; y < 16; y++)
        for (int x = 8; x < 16; x++)
            EXPECT_EQ(GreenBlue(x, y), 0) << x << "," << y;
}

}  // namespace

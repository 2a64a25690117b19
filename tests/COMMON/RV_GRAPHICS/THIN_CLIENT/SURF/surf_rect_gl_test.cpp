// CSurfRect drawn on an offscreen context: rounded corners for several radii,
// the narrow-bar circle, the corner image's reuse and rebuilds, and rounded
// rectangles blending like square ones.
#include "drawn_fixture.h"
#include "gl_es.h"
#include "surf_rect.h"

namespace {

const unsigned int kFill = 0xFF8000;

class SurfRectGL : public DrawnGL
{
protected:
    CSurfRect* AddRounded(int iID, CRVRect rc, int iRadius, unsigned int uColor = kFill)
    {
        CSurfRect* r = Add<CSurfRect>(wnd.get(), iID, rc, uColor);
        r->SetRadius(iRadius);
        return r;
    }
};

TEST(SurfRectShape, RoundedShapeKeepsTheCornersInsideTheRectangle)
{
    struct CASE
    {
        int w, h, r;
        RVT_ROUNDED_SHAPE expected;
    } cases[] = {
        {40, 30, 10, {10, 0, 40, 30}},
        {12, 40, 10, {6, 14, 12, 12}},      // narrower than 2r: a circle, centred in the height
        {13, 40, 10, {6, 14, 13, 13}},
        {100, 10, 20, {5, 0, 100, 10}},     // lower than 2r: the radius fits the height
        {12, 8, 10, {4, 0, 12, 8}},         // narrow and low: never taller than the rectangle
        {20, 20, 10, {10, 0, 20, 20}},
    };
    for (const CASE& c : cases) {
        RVT_ROUNDED_SHAPE s = CSurfRect::RoundedShape(c.w, c.h, c.r);
        EXPECT_EQ(s.iRadius, c.expected.iRadius) << c.w << "x" << c.h << " r" << c.r;
        EXPECT_EQ(s.iOffsetY, c.expected.iOffsetY) << c.w << "x" << c.h << " r" << c.r;
        EXPECT_EQ(s.iWidth, c.expected.iWidth) << c.w << "x" << c.h << " r" << c.r;
        EXPECT_EQ(s.iHeight, c.expected.iHeight) << c.w << "x" << c.h << " r" << c.r;
    }
    EXPECT_EQ(CSurfRect::CornerImageSide(10), 52);
    EXPECT_EQ(CSurfRect::CornerImageSide(1), 36);
    EXPECT_EQ(CSurfRect::CornerImageSide(7), 48);   // 46 rounded up
}

TEST_F(SurfRectGL, CornersAreCutByTheRadius)
{
    for (int r : {4, 10, 16}) {
        SCOPED_TRACE(r);
        const CRVRect rc(10, 8, 70, 40);
        AddRounded(1, rc, r);
        Frame();
        const int x0 = rc.x, y0 = rc.y, x1 = rc.x + rc.width - 1, y1 = rc.y + rc.height - 1;
        // The corner pixels lie outside the arc, in every corner.
        EXPECT_TRUE(Near(x0, y0, kBack));
        EXPECT_TRUE(Near(x1, y0, kBack));
        EXPECT_TRUE(Near(x0, y1, kBack));
        EXPECT_TRUE(Near(x1, y1, kBack));
        // So does the diagonal up to well outside the radius...
        const int k = r / 5;
        EXPECT_TRUE(Near(x0 + k, y0 + k, kBack));
        EXPECT_TRUE(Near(x1 - k, y1 - k, kBack));
        // ... while halfway to the arc's centre it is filled.
        EXPECT_TRUE(Near(x0 + r / 2, y0 + r / 2, kFill));
        EXPECT_TRUE(Near(x1 - r / 2, y1 - r / 2, kFill));
        // The straight edges and the middle are filled to the rectangle's border.
        EXPECT_TRUE(Near(x0 + rc.width / 2, y0, kFill));
        EXPECT_TRUE(Near(x0, y0 + rc.height / 2, kFill));
        EXPECT_TRUE(Near(x1, y0 + rc.height / 2, kFill));
        EXPECT_TRUE(Near(x0 + rc.width / 2, y1, kFill));
        EXPECT_TRUE(Near(x0 + rc.width / 2, y0 + rc.height / 2, kFill));
        // And nothing outside it.
        EXPECT_TRUE(Near(x0 + rc.width / 2, y0 - 1, kBack));
        EXPECT_TRUE(Near(x1 + 1, y0 + rc.height / 2, kBack));
        CSurf* done = wnd->RemoveSubSurf(1);
        ASSERT_NE(done, nullptr);
        delete done;
    }
}

TEST_F(SurfRectGL, NarrowBarDrawsACircleInTheMiddleOfItsHeight)
{
    // 12 x 40 with radius 10: a 12 x 12 circle from y 14 to 26 of the bar.
    CSurfRect* r = AddRounded(1, CRVRect(20, 10, 12, 40), 10);
    Frame();
    ASSERT_NE(r->CornerImage(), nullptr);
    EXPECT_EQ(r->CornerImage()->ImageWidth(), CSurfRect::CornerImageSide(6));
    EXPECT_TRUE(Near(26, 10 + 20, kFill));      // the centre
    EXPECT_TRUE(Near(21, 10 + 19, kFill));      // near the left and right edge at the middle
    EXPECT_TRUE(Near(30, 10 + 19, kFill));
    EXPECT_TRUE(Near(26, 10 + 15, kFill));      // near the top and bottom of the circle
    EXPECT_TRUE(Near(26, 10 + 24, kFill));
    EXPECT_TRUE(Near(26, 10 + 12, kBack));      // the bar above and below it stays empty
    EXPECT_TRUE(Near(26, 10 + 28, kBack));
    EXPECT_TRUE(Near(20, 10 + 14, kBack));      // the circle's corners are cut
    EXPECT_TRUE(Near(31, 10 + 25, kBack));
}

TEST_F(SurfRectGL, CornerImageIsReusedUntilRadiusOrColourChange)
{
    CSurfRect* r = AddRounded(1, CRVRect(10, 10, 40, 30), 10);
    Frame();
    CGLDIB* first = r->CornerImage();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->ImageWidth(), 52);
    EXPECT_EQ(first->ImageHeight(), 52);
    // Holding a reference keeps the address: a rebuild cannot reuse it.
    first->Retain();
    r->SetPosition(ORIENT_0, CRVRect(20, 12, 40, 30));     // moved only
    Frame();
    EXPECT_EQ(r->CornerImage(), first);
    EXPECT_TRUE(Near(40, 20, kFill));

    r->SetColor(ORIENT_0, 0x00FF00);
    Frame();
    EXPECT_NE(r->CornerImage(), first);
    EXPECT_TRUE(Near(40, 20, 0x00FF00));
    first->Release();

    CGLDIB* second = r->CornerImage();
    second->Retain();
    r->SetRadius(14);
    Frame();
    EXPECT_NE(r->CornerImage(), second);
    EXPECT_EQ(r->CornerImage()->ImageWidth(), 60);
    second->Release();

    // Another orientation with another colour rebuilds in that colour.
    r->SetColor(ORIENT_1, 0x0000FF);
    r->SetPosition(ORIENT_1, CRVRect(20, 12, 40, 30));
    CMainWnd::m_eOrientation = ORIENT_1;
    Frame();
    EXPECT_TRUE(Near(40, 20, 0x0000FF));
}

TEST_F(SurfRectGL, RoundedRectanglesBlendLikeSquareOnes)
{
    // The same colour at alpha 128, square and rounded, normal and additive:
    // their middles must match.
    const unsigned int c = 0xC0A040;
    CSurfRect* square = Add<CSurfRect>(wnd.get(), 1, CRVRect(2, 2, 40, 28), c);
    CSurfRect* rounded = AddRounded(2, CRVRect(50, 2, 40, 28), 8, c);
    CSurfRect* squareAdd = Add<CSurfRect>(wnd.get(), 3, CRVRect(2, 34, 40, 28), c);
    CSurfRect* roundedAdd = AddRounded(4, CRVRect(50, 34, 40, 28), 8, c);
    for (CSurfRect* r : {square, rounded, squareAdd, roundedAdd})
        r->SetAlpha(128);
    squareAdd->Attribs(CSurfRect::SA_ADDITIVE);
    roundedAdd->Attribs(CSurfRect::SA_ADDITIVE);
    Frame();
    const double a = 128 / 255.0;
    EXPECT_TRUE(Near(22, 16, Mix(c, a, kBack, 1 - a)));
    EXPECT_TRUE(Near(70, 16, Mix(c, a, kBack, 1 - a)));
    EXPECT_TRUE(Near(22, 48, Mix(c, a, kBack, 1)));
    EXPECT_TRUE(Near(70, 48, Mix(c, a, kBack, 1)));
    EXPECT_TRUE(Near(50, 2, kBack));
}

}  // namespace

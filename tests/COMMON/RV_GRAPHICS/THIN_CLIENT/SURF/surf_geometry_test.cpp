// Surface coordinates: positions relative to the parent's client area,
// content offsets, orientation blending and visibility.
#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "rvrect_print.h"
#include "surf.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

// root (0,0) -> a at (100, 50) with content offset (10, 20) -> b at (5, 5)
class SurfGeometry : public ::testing::Test
{
protected:
    void SetUp() override
    {
        a = CRecordingSurf::AddTo(&root, 1, R(100, 50, 200, 200));
        b = CRecordingSurf::AddTo(a, 2, R(5, 5, 30, 30));
        a->SetContentOffset(10, 20);
    }
    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 600, 800) };
    CSurf* a = nullptr;
    CSurf* b = nullptr;
};

TEST_F(SurfGeometry, ContentOffsetMovesTheChildrenOnly)
{
    EXPECT_EQ(a->ScreenRect(ORIENT_0), R(100, 50, 200, 200));
    EXPECT_EQ(b->ScreenRect(ORIENT_0), R(100 + 5 - 10, 50 + 5 - 20, 30, 30));
    EXPECT_EQ(a->XScreenClient(ORIENT_0, 0), 90);
    EXPECT_EQ(a->YScreenClient(ORIENT_0, 0), 30);
    EXPECT_EQ(a->XScreen(ORIENT_0, 0), 100);
    EXPECT_EQ(b->XScreen(ORIENT_0, 1), 96);
    EXPECT_EQ(root.XScreenClient(ORIENT_0, 7), 7);
}

TEST_F(SurfGeometry, OwnContentOffsetCountsWithAttribute80000000)
{
    b->SetContentOffset(3, 4);
    EXPECT_EQ(b->ScreenRect(ORIENT_0), R(95, 35, 30, 30));   // own offset ignored
    b->Attribs(CSurf::SA_OWN_CONTENT_OFFSET);
    EXPECT_EQ(b->ScreenRect(ORIENT_0), R(92, 31, 30, 30));
    EXPECT_EQ(b->YScreen(ORIENT_0, 0), 31);
}

TEST_F(SurfGeometry, EachOrientationHasItsOwnRectangle)
{
    a->SetPosition(ORIENT_1, R(0, 0, 50, 50));
    EXPECT_EQ(b->ScreenRect(ORIENT_1), R(-5, -15, 30, 30));
    EXPECT_EQ(a->ClientRect(ORIENT_1), R(0, 0, 50, 50));
    EXPECT_EQ(a->PreferredSize(ORIENT_1).cx, 50);
    EXPECT_EQ(a->PreferredDY(ORIENT_0, 0), 200);
}

TEST_F(SurfGeometry, ClipRectIsTheScreenSeenFromTheRectangle)
{
    // A rectangle at (1, 2) in b's client area lies at (96, 37) on the screen.
    EXPECT_EQ(b->ClipRect(ORIENT_0, R(1, 2, 10, 10)), R(-96, -37, 800, 600));
    EXPECT_EQ(root.ClipRect(ORIENT_1, R(0, 0, 1, 1)), R(0, 0, 600, 800));
}

TEST(SurfBlend, HalfwayThroughATurnBlendsBothRectangles)
{
    CSurf root(nullptr, 0, R(0, 0, 800, 600), R(0, 0, 600, 800));
    CSurf* s = new CSurf(&root, 1, R(0, 0, 100, 100), R(100, 0, 100, 100));
    root.AddChildTail(s);
    RVT_MATRIX_CONFIG config;
    for (int mode : { 1, 2 }) {
        config.iOrientMode = mode;
        config.iOrientProgress = 500;
        EXPECT_EQ(s->ScreenRect(&config), R(50, 0, 100, 100)) << mode;
    }
    // Mode 1 turns towards orientation 0: progress 1000 ends there.
    config.iOrientMode = 1;
    config.iOrientProgress = 1000;
    EXPECT_EQ(s->ScreenRect(&config).x, 0);
    config.iOrientMode = 2;
    EXPECT_EQ(s->ScreenRect(&config).x, 100);
    EXPECT_EQ(s->Position(&config).x, 100);
    // Surfaces shown in one orientation only keep that orientation's rectangle.
    config.iOrientProgress = 500;
    s->Attribs(CSurf::SA_HIDE_ORIENT_0);
    EXPECT_EQ(s->ScreenRect(&config).x, 100);
    s->Attribs(CSurf::SA_HIDE_ORIENT_1);
    EXPECT_EQ(s->ScreenRect(&config).x, 0);
    config.iOrientMode = 0;
    config.eOrientation = ORIENT_1;
    EXPECT_EQ(s->ScreenRect(&config).x, 100);
}

TEST(SurfVisibility, AnyAncestorCanHide)
{
    struct Case { int iParentAttr; int iParentAlpha; int iChildAttr; ORIENT o; int iVisible; } cases[] = {
        { 0, 255, 0, ORIENT_0, 1 },
        { 0x20, 255, 0, ORIENT_0, 0 },
        { 0x20, 255, 0, ORIENT_1, 1 },
        { 0, 255, 0x40, ORIENT_1, 0 },
        { 0, 255, 0x40, ORIENT_0, 1 },
        { 0, 0, 0, ORIENT_0, 0 },
        { 0x60, 0, 0x60, (ORIENT)3, 1 },   // no such orientation: visible
    };
    for (const Case& c : cases) {
        CSurf root(nullptr, 0, R(0, 0, 10, 10), R(0, 0, 10, 10));
        CSurf* p = new CSurf(&root, 1, R(0, 0, 10, 10), R(0, 0, 10, 10));
        CSurf* s = new CSurf(p, 2, R(0, 0, 10, 10), R(0, 0, 10, 10));
        p->AddChildTail(s);
        root.AddChildTail(p);
        p->Attribs(c.iParentAttr);
        p->SetAlpha(c.iParentAlpha);
        s->Attribs(c.iChildAttr);
        EXPECT_EQ(s->IsVisible(c.o), c.iVisible)
            << std::hex << c.iParentAttr << " " << c.iParentAlpha << " " << c.iChildAttr << " " << c.o;
    }
}

}  // namespace

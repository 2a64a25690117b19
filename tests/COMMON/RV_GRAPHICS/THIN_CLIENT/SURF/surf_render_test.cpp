// The drawing traversal without GL: which surfaces draw, in what order, with
// what alpha and offset, and how clipping and orientation skip them.
#include <gtest/gtest.h>

#include <vector>

#include "engine_fixture.h"
#include "matrix.h"
#include "surf.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

std::vector<int> IDs(const std::vector<RENDER_CALL>& log)
{
    std::vector<int> ids;
    for (const RENDER_CALL& c : log)
        ids.push_back(c.iID);
    return ids;
}

class SurfRender : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CSurf::g_bRenderGL = 0;
        MatrixSetIdentity(matrix);
    }
    // Draws root's children the way the main window does.
    void Draw(int iAlpha = 255)
    {
        CClipStack clip(R(0, 0, 800, 600));
        for (CSurf* p = root.FirstChild(); p; p = p->NextSibling())
            p->Render(iAlpha, &clip, matrix, &config);
        EXPECT_EQ(clip.Depth(), 1);         // every push popped
        EXPECT_EQ(config.iClipCount, 0);    // every stencil clip released
        EXPECT_EQ(config.iOffsetX, 0);      // offsets restored
        EXPECT_EQ(config.iDepth, 0);
    }
    CSurf* Add(CSurf* pParent, int iID, CRVRect rc) { return CRecordingSurf::AddTo(pParent, iID, rc, &log); }

    CSurf root{ nullptr, 0, R(0, 0, 800, 600), R(0, 0, 800, 600) };
    std::vector<RENDER_CALL> log;
    RVT_MATRIX_CONFIG config;
    float matrix[16];
};

TEST_F(SurfRender, ParentsBeforeChildrenInListOrder)
{
    CSurf* a = Add(&root, 1, R(10, 20, 100, 100));
    Add(a, 11, R(5, 5, 10, 10));
    Add(a, 12, R(30, 0, 10, 10));
    Add(&root, 2, R(200, 0, 50, 50));
    Draw();
    ASSERT_EQ(IDs(log), (std::vector<int>{ 1, 11, 12, 2 }));
    EXPECT_EQ(log[0].iDepth, 0);
    EXPECT_EQ(log[1].iDepth, 1);
    // Each draws at the sum of the positions above it.
    EXPECT_EQ(log[1].iOffsetX, 15);
    EXPECT_EQ(log[1].iOffsetY, 25);
    EXPECT_EQ(log[2].iOffsetX, 40);
    EXPECT_EQ(log[3].iOffsetX, 200);
    EXPECT_TRUE(a->State() & CSurf::SS_DRAWN);
}

TEST_F(SurfRender, AlphaMultipliesDownTheTree)
{
    CSurf* a = Add(&root, 1, R(0, 0, 100, 100));
    CSurf* b = Add(a, 2, R(0, 0, 10, 10));
    a->SetAlpha(128);
    b->SetAlpha(128);
    Draw();
    ASSERT_EQ(IDs(log), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ(log[0].iAlpha, 128);
    EXPECT_EQ(log[1].iAlpha, 128 * 128 / 255);
}

TEST_F(SurfRender, NearlyTransparentProductsAreSkipped)
{
    // 254 x 1 is at most 254: not drawn; 255 x 1 is drawn at alpha 1.
    CSurf* a = Add(&root, 1, R(0, 0, 100, 100));
    Add(a, 2, R(0, 0, 10, 10))->SetAlpha(1);
    a->SetAlpha(254);
    Draw();
    EXPECT_EQ(IDs(log), (std::vector<int>{ 1 }));
    log.clear();
    a->SetAlpha(255);
    Draw();
    ASSERT_EQ(IDs(log), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ(log[1].iAlpha, 1);
}

TEST_F(SurfRender, HiddenAndClippedSurfacesDoNotNarrowTheirSiblings)
{
    CSurf* a = Add(&root, 1, R(0, 0, 100, 100));
    Add(a, 2, R(10, 10, 5, 5))->SetHidden(1);
    CSurf* outside = Add(a, 3, R(150, 0, 10, 10));     // beyond the parent: clipped
    Add(a, 4, R(50, 50, 10, 10));
    CSurf* under = Add(outside, 5, R(0, 0, 5, 5));
    Draw();
    EXPECT_EQ(IDs(log), (std::vector<int>{ 1, 4 }));
    EXPECT_FALSE(outside->State() & CSurf::SS_DRAWN);
    EXPECT_FALSE(under->State() & CSurf::SS_DRAWN);
    // The hidden one still counts as visited.
    EXPECT_TRUE(a->FirstChild()->State() & CSurf::SS_DRAWN);
}

TEST_F(SurfRender, EmptySurfacesAreSkippedButTheirSiblingsDraw)
{
    Add(&root, 1, R(0, 0, 0, 10));
    Add(&root, 2, R(0, 0, 10, 10));
    Draw();
    EXPECT_EQ(IDs(log), (std::vector<int>{ 2 }));
}

TEST_F(SurfRender, OrientationHidesWithoutATurnAndFadesDuringOne)
{
    CSurf* only1 = Add(&root, 1, R(0, 0, 10, 10));   // not shown in orientation 0
    CSurf* only0 = Add(&root, 2, R(0, 0, 10, 10));   // not shown in orientation 1
    only1->Attribs(CSurf::SA_HIDE_ORIENT_0);
    only0->Attribs(CSurf::SA_HIDE_ORIENT_1);
    config.eOrientation = ORIENT_0;
    Draw();
    EXPECT_EQ(IDs(log), (std::vector<int>{ 2 }));
    log.clear();
    config.eOrientation = ORIENT_1;
    Draw();
    EXPECT_EQ(IDs(log), (std::vector<int>{ 1 }));
    log.clear();

    // Turning to orientation 1, 30 % of the way: 0x20 fades in, 0x40 out.
    config.iOrientMode = 2;
    config.iOrientProgress = 300;
    Draw(200);
    ASSERT_EQ(IDs(log), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ(log[0].iAlpha, 200 * 300 / 1000);
    EXPECT_EQ(log[1].iAlpha, 200 * 700 / 1000);
}

TEST_F(SurfRender, TransformsRestartTheOffsetUnderTheirOwnMatrix)
{
    CSurf* a = Add(&root, 1, R(100, 100, 200, 100));
    Add(a, 2, R(10, 10, 20, 20));
    a->SetTransform(R(0, 0, 2000, 2000));
    Draw();
    ASSERT_EQ(IDs(log), (std::vector<int>{ 1, 2 }));
    EXPECT_EQ(log[0].iOffsetX, 0);
    EXPECT_EQ(log[1].iOffsetX, 10);
    // The surface's centre stays put: local (100, 50) is screen (200, 150).
    const float* m = a->Matrix();
    EXPECT_FLOAT_EQ(m[0] * 100 + m[12], 200.0f);
    EXPECT_FLOAT_EQ(m[5] * 50 + m[13], 150.0f);
    EXPECT_FLOAT_EQ(m[0], 2.0f);
    EXPECT_FALSE(a->State() & CSurf::SS_TRANSFORM_CHANGED);
}

TEST_F(SurfRender, StencilClipNestsAndCountsOnlyTheOutermost)
{
    CSurf* a = Add(&root, 1, R(0, 0, 100, 100));
    CSurf* b = Add(a, 2, R(10, 10, 50, 50));
    Add(b, 3, R(0, 0, 10, 10));
    Add(&root, 4, R(200, 0, 10, 10));
    a->Attribs(CSurf::SA_STENCIL_CLIP);
    b->Attribs(CSurf::SA_STENCIL_CLIP);
    Draw();
    ASSERT_EQ(IDs(log), (std::vector<int>{ 1, 2, 3, 4 }));
    EXPECT_EQ(log[0].iClipCount, 1);    // set before the surface itself draws
    EXPECT_EQ(log[1].iClipCount, 2);
    EXPECT_EQ(log[2].iClipCount, 2);
    EXPECT_EQ(log[3].iClipCount, 0);
    // The outermost one was remembered for this frame.
    EXPECT_TRUE(config.bStencilValid);
    EXPECT_EQ(config.rcStencil, R(0, 0, 100, 100));

    // A surface without children sets no clip.
    log.clear();
    RVT_MATRIX_CONFIG fresh;
    config = fresh;
    b->DeleteAllSubSurf();
    a->Attribs(0);
    Draw();
    EXPECT_EQ(log[1].iClipCount, 0);
    EXPECT_FALSE(config.bStencilValid);
}

TEST_F(SurfRender, DrawingClearsTheRedrawBit)
{
    CRecordingSurf* a = static_cast<CRecordingSurf*>(Add(&root, 1, R(0, 0, 10, 10)));
    a->m_iState |= CSurf::SS_NEEDS_REDRAW;
    Draw();
    EXPECT_FALSE(a->State() & CSurf::SS_NEEDS_REDRAW);
}

}  // namespace

// CSurfMirror: what its subtree sees on the clip stack (level, line, the
// blend during a turn, nothing when hidden or transparent, a nested mirror),
// and on an offscreen context the reflections themselves: flipped about the
// line and faded by the level.
#include <gtest/gtest.h>

#include <vector>

#include "drawn_fixture.h"
#include "matrix.h"
#include "msgids.h"
#include "rvmsg.h"
#include "surf_gradient.h"
#include "surf_mirror.h"
#include "surf_rect.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

void SetMirror(CSurfMirror* m, int iLevel0, int iLevel1, int iOffset0, int iOffset1)
{
    CRVMSG msg(0, MSG_SURFACE_PROPS, 16, 1);
    msg.PutBYTE((unsigned char)iLevel0);
    msg.PutBYTE((unsigned char)iLevel1);
    msg.PutShort((short)iOffset0);
    msg.PutShort((short)iOffset1);
    msg.PutColorBYTE(0x123456);
    msg.ResetRead();
    m->SetSurfaceProps(&msg, 0);
}

// Records what the clip stack carries when it is drawn.
class CMirrorProbe : public CSurf
{
public:
    struct SEEN
    {
        int iID, iLevel, iLine, iAlpha, iOffsetX, iOffsetY;
    };
    CMirrorProbe(CSurf* pParent, int iID, CRVRect rc, std::vector<SEEN>* pLog) : CSurf(pParent, iID, rc, rc), m_pLog(pLog)
    {
        pParent->AddChildTail(this);
    }
    int RenderThis(int iAlpha, CClipStack* pClip, float*, RVT_MATRIX_CONFIG* pConfig) override
    {
        m_pLog->push_back({ID(), pClip->MirrorAlpha(), pClip->MirrorLine(), iAlpha, pConfig->iOffsetX,
                           pConfig->iOffsetY});
        return 1;
    }

private:
    std::vector<SEEN>* m_pLog;
};

class SurfMirror : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bRenderGL = CSurf::g_bRenderGL;
        CSurf::g_bRenderGL = 0;
        MatrixSetIdentity(matrix);
        mirror = new CSurfMirror(&root, 5, R(10, 100, 300, 80), R(20, 50, 300, 80));
        root.AddChildTail(mirror);
        SetMirror(mirror, 128, 64, 20, -10);
        new CMirrorProbe(mirror, 6, R(5, 4, 30, 30), &seen);
    }
    void TearDown() override { CSurf::g_bRenderGL = m_bRenderGL; }
    int Draw(int iAlpha = 255)
    {
        seen.clear();
        CClipStack clip(R(0, 0, 800, 600));
        int r = mirror->Render(iAlpha, &clip, matrix, &config);
        // The values are gone once the mirror's subtree is drawn, and
        // everything pushed was popped.
        EXPECT_EQ(clip.MirrorAlpha(), 0);
        EXPECT_EQ(clip.MirrorLine(), 0);
        EXPECT_EQ(clip.Depth(), 1);
        EXPECT_EQ(config.iOffsetX, 0);
        EXPECT_EQ(config.iDepth, 0);
        return r;
    }

    CSurf root{nullptr, 0, R(0, 0, 800, 600), R(0, 0, 600, 800)};
    CSurfMirror* mirror = nullptr;
    std::vector<CMirrorProbe::SEEN> seen;
    RVT_MATRIX_CONFIG config;
    float matrix[16];
    int m_bRenderGL = 0;
};

TEST_F(SurfMirror, ChildrenSeeTheOrientationsLevelAndLine)
{
    EXPECT_EQ(mirror->Color(), 0x123456u);
    ASSERT_EQ(Draw(), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iLevel, 128);
    EXPECT_EQ(seen[0].iLine, 100 + 20);             // the mirror's screen y + offset
    EXPECT_EQ(seen[0].iOffsetX, 10 + 5);            // the mirror moves its children
    EXPECT_EQ(seen[0].iOffsetY, 100 + 4);

    config.eOrientation = ORIENT_1;
    ASSERT_EQ(Draw(), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iLevel, 64);
    EXPECT_EQ(seen[0].iLine, 50 - 10);

    // Level 0 in an orientation: no reflection there.
    SetMirror(mirror, 0, 64, 20, -10);
    config.eOrientation = ORIENT_0;
    ASSERT_EQ(Draw(), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iLevel, 0);
}

TEST_F(SurfMirror, LevelAndLineMoveWithTheScreensTurn)
{
    config.iOrientMode = 2;         // turning to orientation 1
    config.iOrientProgress = 250;
    config.eOrientation = ORIENT_1;
    ASSERT_EQ(Draw(), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iLevel, (128 * 750 + 64 * 250) / 1000);
    EXPECT_EQ(seen[0].iLine, 50 + (20 * 750 - 10 * 250) / 1000);

    // Shown only in orientation 1: faded in with the turn.
    mirror->Attribs(CSurf::SA_HIDE_ORIENT_0);
    ASSERT_EQ(Draw(), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iAlpha, 255 * 250 / 1000);
}

TEST_F(SurfMirror, HiddenTransparentOrOrientationHiddenMirrorsDrawNothing)
{
    mirror->SetAlpha(0);
    EXPECT_EQ(Draw(), 0);
    EXPECT_TRUE(seen.empty());
    mirror->SetAlpha(255);
    EXPECT_EQ(Draw(0), 0);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(Draw(128), 1);        // 128 x 255 is not below 255
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].iAlpha, 128);

    mirror->SetHidden(1);
    EXPECT_EQ(Draw(), 0);
    EXPECT_TRUE(seen.empty());
    mirror->SetHidden(0);

    mirror->Attribs(CSurf::SA_HIDE_ORIENT_0);
    EXPECT_EQ(Draw(), 0);
    mirror->Attribs(CSurf::SA_HIDE_ORIENT_1);
    EXPECT_EQ(Draw(), 1);
    config.eOrientation = (ORIENT)3;
    EXPECT_EQ(Draw(), 0);
}

TEST_F(SurfMirror, AMirrorInsideAnotherGivesTheOuterValuesBack)
{
    CSurfMirror* inner = new CSurfMirror(mirror, 7, R(0, 40, 100, 30), R(0, 40, 100, 30));
    mirror->AddChildTail(inner);
    SetMirror(inner, 200, 200, 5, 5);
    new CMirrorProbe(inner, 8, R(0, 0, 10, 10), &seen);
    new CMirrorProbe(mirror, 9, R(50, 0, 10, 10), &seen);   // after the inner mirror
    ASSERT_EQ(Draw(), 1);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[1].iID, 8);
    EXPECT_EQ(seen[1].iLevel, 200);
    EXPECT_EQ(seen[1].iLine, 100 + 40 + 5);
    EXPECT_EQ(seen[2].iID, 9);
    EXPECT_EQ(seen[2].iLevel, 128);
    EXPECT_EQ(seen[2].iLine, 120);
}

// ---- reflections on a real context ----

class SurfMirrorGL : public DrawnGL
{
protected:
    void SetUp() override
    {
        DrawnGL::SetUp();
        if (IsSkipped())
            return;
        // The line at y 30, half strength.
        m = Add<CSurfMirror>(wnd.get(), 1, CRVRect(0, 0, 96, 64));
        SetMirror(m, 128, 128, 30, 30);
    }
    CSurfMirror* m = nullptr;
};

TEST_F(SurfMirrorGL, ReflectionIsTheChildUpsideDownAndFaded)
{
    // A gradient from y 10 to 30, red at the top, blue at the bottom; a
    // rounded rectangle and a square one standing on the line too.
    CSurfGradient* g = Add<CSurfGradient>(m, 2, CRVRect(4, 10, 20, 20));
    g->SetColors(0xFF0000, 0x0000FF);
    CSurfRect* rounded = Add<CSurfRect>(m, 3, CRVRect(30, 10, 30, 20), 0x00FF00u);
    rounded->SetRadius(6);
    Add<CSurfRect>(m, 4, CRVRect(70, 14, 16, 16), 0xFFFF00u);
    Frame();
    const double a = 128 / 255.0;
    auto Faded = [&](unsigned int c) { return Mix(c, a, kBack, 1 - a); };
    // The originals.
    EXPECT_TRUE(Near(14, 11, Lerp(0xFF0000, 0x0000FF, 1.5 / 20), 3));
    EXPECT_TRUE(Near(45, 20, 0x00FF00));
    EXPECT_TRUE(Near(78, 20, 0xFFFF00));
    // Row 30 + k mirrors row 29 - k: blue just below the line, red further down.
    EXPECT_TRUE(Near(14, 31, Faded(Lerp(0xFF0000, 0x0000FF, 18.5 / 20)), 3));
    EXPECT_TRUE(Near(14, 48, Faded(Lerp(0xFF0000, 0x0000FF, 1.5 / 20)), 3));
    EXPECT_TRUE(Near(14, 50, kBack));
    EXPECT_TRUE(Near(3, 40, kBack));
    // The rounded one's corners are mirrored with it; the square one reaches
    // as far below the line as it stands above it.
    EXPECT_TRUE(Near(45, 40, Faded(0x00FF00), 3));
    EXPECT_TRUE(Near(30, 49, kBack));
    EXPECT_TRUE(Near(59, 49, kBack));
    EXPECT_TRUE(Near(78, 31, Faded(0xFFFF00), 3));
    EXPECT_TRUE(Near(78, 45, Faded(0xFFFF00), 3));
    EXPECT_TRUE(Near(78, 47, kBack));
}

TEST_F(SurfMirrorGL, LevelZeroDrawsNoReflection)
{
    SetMirror(m, 0, 128, 30, 30);
    Add<CSurfRect>(m, 4, CRVRect(70, 14, 16, 16), 0xFFFF00u);
    Frame();
    EXPECT_TRUE(Near(78, 20, 0xFFFF00));
    EXPECT_TRUE(Near(78, 40, kBack));
}

}  // namespace

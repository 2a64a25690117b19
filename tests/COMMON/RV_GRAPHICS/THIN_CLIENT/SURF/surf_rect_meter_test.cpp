// CSurfRect as a level meter: its timer, and each step's animation of the
// width to the level's share of the parent (which level, clamping, grow and
// shrink times, the orientation, a meter without a height of its own).
#include <gtest/gtest.h>

#include <memory>

#include "mainwnd.h"
#include "surf_animation.h"
#include "surf_rect.h"

namespace {

CRVRect R(int x, int y, int w, int h)
{
    return CRVRect(x, y, w, h);
}

RVT_AUDIO_LEVELS g_levels;
void Levels(RVT_AUDIO_LEVELS* p)
{
    *p = g_levels;
}

class SurfRectMeter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bRenderGL = CSurf::g_bRenderGL;
        CSurf::g_bRenderGL = 0;
        m_eOrient = CMainWnd::m_eOrientation;
        CMainWnd::m_eOrientation = ORIENT_0;
        wnd.reset(new CMainWnd(nullptr, 1, 800, 600, 600, 800, 1));
        parent = new CSurf(wnd.get(), 2, R(10, 10, 200, 20), R(10, 10, 100, 30));
        wnd->AddChildTail(parent);
        g_levels = RVT_AUDIO_LEVELS();
        CSurfRect::g_pfnAudioLevels = Levels;
    }
    void TearDown() override
    {
        CSurfRect::g_pfnAudioLevels = nullptr;
        wnd.reset();
        CMainWnd::m_eOrientation = m_eOrient;
        CSurf::g_bRenderGL = m_bRenderGL;
    }
    CSurfRect* Meter(int iAttribs, CRVRect rc)
    {
        CSurfRect* m = new CSurfRect(parent, 3, rc, rc, 0x00FF00);
        parent->AddChildTail(m);
        m->Attribs(iAttribs);
        return m;
    }
    // The position animation a step started; null when none.
    static CSurfAnimationPosition* Step(CSurfRect* m)
    {
        m->ExecuteTimer();
        return static_cast<CSurfAnimationPosition*>(m->FindAnimation(AK_POSITION));
    }

    std::unique_ptr<CMainWnd> wnd;
    CSurf* parent = nullptr;
    int m_bRenderGL = 0;
    ORIENT m_eOrient = ORIENT_0;
};

TEST_F(SurfRectMeter, MeterAttributeRunsTheTimerUntilTheMeterGoes)
{
    CSurfRect* plain = Meter(0, R(0, 0, 10, 20));
    EXPECT_FALSE(wnd->HasTimers());
    plain->Attribs(CSurfRect::SA_LEVEL_METER);
    EXPECT_TRUE(wnd->HasTimers());
    plain->Attribs(0);
    EXPECT_FALSE(wnd->HasTimers());

    Meter(CSurfRect::SA_PROGRESS_METER, R(0, 0, 10, 20));
    EXPECT_TRUE(wnd->HasTimers());
    delete parent->RemoveSubSurf(plain);
    EXPECT_TRUE(wnd->HasTimers());
    delete parent->RemoveSubSurf(3);        // the progress meter
    EXPECT_FALSE(wnd->HasTimers());
}

TEST_F(SurfRectMeter, EachStepAnimatesTheWidthToTheLevelsShare)
{
    struct CASE
    {
        const char* name;
        int iAttribs;
        RVT_AUDIO_LEVELS levels;
        CRVRect current;
        int iExpectedWidth;         // -1: no animation
        unsigned int uExpectedMS;
    } cases[] = {
        {"silent", CSurfRect::SA_LEVEL_METER, {0, 0, 50, 50, 50}, R(0, 0, 10, 20), -1, 0},
        {"grows fast", CSurfRect::SA_LEVEL_METER, {1, 0, 50, 0, 0}, R(0, 0, 10, 20), 100, 50},
        {"already there", CSurfRect::SA_LEVEL_METER, {1, 0, 50, 0, 0}, R(0, 0, 100, 20), -1, 0},
        {"falls back slowly", CSurfRect::SA_LEVEL_METER, {1, 0, 20, 0, 0}, R(0, 0, 100, 20), 40, 125},
        {"recording wins", CSurfRect::SA_LEVEL_METER, {1, 1, 10, 80, 0}, R(0, 0, 10, 20), 160, 50},
        {"recording alone", CSurfRect::SA_LEVEL_METER, {0, 1, 0, 30, 0}, R(0, 0, 100, 20), 60, 125},
        {"clamped high", CSurfRect::SA_LEVEL_METER, {1, 0, 250, 0, 0}, R(0, 0, 10, 20), 200, 50},
        {"clamped low", CSurfRect::SA_LEVEL_METER, {1, 0, -5, 0, 0}, R(0, 0, 10, 20), 0, 125},
        {"progress", CSurfRect::SA_PROGRESS_METER, {1, 0, 90, 0, 25}, R(0, 0, 10, 20), 50, 50},
        {"progress falls", CSurfRect::SA_PROGRESS_METER, {1, 0, 90, 0, 25}, R(0, 0, 100, 20), 50, 50},
    };
    for (const CASE& c : cases) {
        SCOPED_TRACE(c.name);
        CSurfRect* m = Meter(c.iAttribs, c.current);
        g_levels = c.levels;
        CSurfAnimationPosition* a = Step(m);
        if (c.iExpectedWidth < 0) {
            EXPECT_EQ(a, nullptr);
        } else {
            ASSERT_NE(a, nullptr);
            CRVRect end = c.current;
            end.width = c.iExpectedWidth;
            EXPECT_EQ(a->EndRect(), end);
            EXPECT_EQ(a->Duration(), c.uExpectedMS);
            EXPECT_EQ(a->Orientation(), ORIENT_0);
        }
        delete parent->RemoveSubSurf(3);
    }
}

TEST_F(SurfRectMeter, MeterFollowsTheCurrentOrientationsParent)
{
    CSurfRect* m = Meter(CSurfRect::SA_LEVEL_METER, R(0, 0, 10, 20));
    CMainWnd::m_eOrientation = ORIENT_1;
    g_levels = {1, 0, 50, 0, 0};
    CSurfAnimationPosition* a = Step(m);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Orientation(), ORIENT_1);
    EXPECT_EQ(a->EndRect(), R(0, 0, 50, 20));       // half of 100
}

TEST_F(SurfRectMeter, MeterWithoutHeightIsAnInsetPillInItsParent)
{
    CSurfRect* m = Meter(CSurfRect::SA_LEVEL_METER, R(0, 0, 0, 0));
    g_levels = {1, 0, 50, 0, 0};
    CSurfAnimationPosition* a = Step(m);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->EndRect(), R(1, 1, 99, 18));       // half of 200 - 2, 20 - 2 high
    EXPECT_EQ(m->Radius(), 9);
}

TEST_F(SurfRectMeter, WithoutAudioLevelsTheMeterStays)
{
    CSurfRect::g_pfnAudioLevels = nullptr;
    CSurfRect* m = Meter(CSurfRect::SA_LEVEL_METER, R(0, 0, 10, 20));
    EXPECT_EQ(Step(m), nullptr);
}

}  // namespace

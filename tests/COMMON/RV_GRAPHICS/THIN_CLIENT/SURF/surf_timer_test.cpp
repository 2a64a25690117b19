// Delay timers: the clock starts at the first check; one-shot timers fire
// once, repeating ones restart from the firing.
#include <gtest/gtest.h>

#include "surf.h"
#include "surf_timer.h"

namespace {

class CCountingSurf : public CSurf
{
public:
    CCountingSurf() : CSurf(nullptr, 1, CRVRect(), CRVRect()) {}
    void ExecuteTimer() override { iFired++; }
    int iFired = 0;
};

timespec At(long ms)
{
    timespec t;
    t.tv_sec = 1000 + ms / 1000;
    t.tv_nsec = (ms % 1000) * 1000000L;
    return t;
}

TEST(SurfTimer, OneShotFiresOnceAfterItsDelay)
{
    CCountingSurf s;
    CSurfTimer t(&s, 100, 0);
    EXPECT_EQ(t.CheckExecute(At(5000)), 100u);   // starts the clock
    EXPECT_EQ(t.CheckExecute(At(5040)), 60u);
    EXPECT_EQ(t.CheckExecute(At(5099)), 1u);
    EXPECT_EQ(s.iFired, 0);
    EXPECT_EQ(t.CheckExecute(At(5100)), 0u);
    EXPECT_EQ(s.iFired, 1);
    EXPECT_TRUE(t.IsDone());
    t.CheckExecute(At(9000));
    EXPECT_EQ(s.iFired, 1);
}

TEST(SurfTimer, RepeatingRestartsFromTheFiring)
{
    CCountingSurf s;
    CSurfTimer t(&s, 250, 1);
    t.CheckExecute(At(0));
    EXPECT_EQ(t.CheckExecute(At(260)), 250u);   // fired late: next one 250 from now
    EXPECT_EQ(s.iFired, 1);
    EXPECT_EQ(t.CheckExecute(At(500)), 10u);
    t.CheckExecute(At(510));
    EXPECT_EQ(s.iFired, 2);
    EXPECT_FALSE(t.IsDone());
}

TEST(SurfTimer, CancelledTimerNeverFires)
{
    CCountingSurf s;
    CSurfTimer t(&s, 10, 1);
    t.CheckExecute(At(0));
    t.Cancel();
    t.CheckExecute(At(100));
    EXPECT_EQ(s.iFired, 0);
    EXPECT_TRUE(t.IsDone());
    EXPECT_EQ(t.Surf(), nullptr);
}

TEST(SurfTimer, ClockDifferencesNeverGoNegative)
{
    EXPECT_EQ(SurfTimeDiffMS(At(1500), At(1499)), 0u);
    EXPECT_EQ(SurfTimeDiffMS(At(999), At(1001)), 2u);
}

}  // namespace

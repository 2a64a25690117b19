#include "RVThread.h"
#include "rvtick.h"

#include <gtest/gtest.h>

#include <stdint.h>

namespace {

TEST(TickTest, DiffIsModulo2To32AcrossTheWrap)
{
    struct Case { uint32_t start, now, elapsed; };
    const Case cases[] = {
        {100, 250, 150},
        {5000, 5000, 0},
        {0xFFFFFFF0u, 0x10u, 0x20u},        // wrapped 32 ms into the next lap
        {0xFFFFFFFFu, 0u, 1u},              // one millisecond across the wrap
        {0x80000000u, 0x7FFFFFFFu, 0xFFFFFFFFu},
        {0u, 0xFFFFFFFFu, 0xFFFFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RVTickDiff(c.start, c.now), c.elapsed) << std::hex << c.start << " -> " << c.now;
}

TEST(TickTest, TicksFollowSleep)
{
    uint32_t start = RVGetTickCount();
    Sleep(60);
    uint32_t elapsed = RVTickSince(start);
    EXPECT_GE(elapsed, 55u);    // the tick truncates to whole milliseconds
    EXPECT_LT(elapsed, 10000u);
}

TEST(TickTest, SleepZeroReturns)
{
    uint32_t start = RVGetTickCount();
    Sleep(0);
    EXPECT_LT(RVTickSince(start), 10000u);
}

}  // namespace

// The texts the demo panel derives from its state.
#include <gtest/gtest.h>

#include "demo_state.h"

namespace {

TEST(DemoState, Degrees)
{
    const struct
    {
        int iTenths;
        const char* pszText;
    } cases[] = {
        {215, "21.5\xC2\xB0"}, {160, "16.0\xC2\xB0"}, {280, "28.0\xC2\xB0"}, {0, "0.0\xC2\xB0"},
        {5, "0.5\xC2\xB0"},    {-5, "-0.5\xC2\xB0"},  {-215, "-21.5\xC2\xB0"},
        {-2147483647 - 1, "-214748364.8\xC2\xB0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.pszText, DemoDegrees(c.iTenths)) << c.iTenths;
}

TEST(DemoState, LightCountsAndStatusLines)
{
    DEMO_STATE s;
    // As the demo household starts: the living room's ceiling and the
    // kitchen's spots.
    EXPECT_EQ(2, s.LightsOn());
    EXPECT_EQ("2 of 6 on", DemoLightsNote(s));
    const char* const initial[DEMO_ROOMS] = {"1 light on", "1 light on", "Lights off", "Lights off"};
    for (int i = 0; i < DEMO_ROOMS; i++)
        EXPECT_EQ(initial[i], DemoRoomStatus(s, i)) << i;

    for (bool& b : s.bLightOn)
        b = true;
    EXPECT_EQ("6 of 6 on", DemoLightsNote(s));
    const char* const all[DEMO_ROOMS] = {"2 lights on", "1 light on", "1 light on", "2 lights on"};
    for (int i = 0; i < DEMO_ROOMS; i++)
        EXPECT_EQ(all[i], DemoRoomStatus(s, i)) << i;
}

TEST(DemoState, SetpointLimitsAndHeating)
{
    const struct
    {
        int iTenths;
        bool bLower, bRaise, bHeating;
    } cases[] = {
        {DEMO_SETPOINT_MIN, false, true, false},
        {DEMO_INDOOR_TENTHS, true, true, false},
        {DEMO_INDOOR_TENTHS + DEMO_SETPOINT_STEP, true, true, true},
        {DEMO_SETPOINT_MAX, true, false, true},
    };
    for (const auto& c : cases) {
        DEMO_STATE s;
        s.iSetpointTenths = c.iTenths;
        EXPECT_EQ(c.bLower, s.CanLower()) << c.iTenths;
        EXPECT_EQ(c.bRaise, s.CanRaise()) << c.iTenths;
        EXPECT_EQ(c.bHeating, s.Heating()) << c.iTenths;
    }
}

}  // namespace

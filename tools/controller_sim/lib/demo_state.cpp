#include "demo_state.h"

#include <stdio.h>

DEMO_STATE::DEMO_STATE()
{
    for (int i = 0; i < DEMO_LIGHTS; i++)
        bLightOn[i] = kDemoLights[i].bInitiallyOn;
}

int DEMO_STATE::LightsOn() const
{
    int n = 0;
    for (bool bOn : bLightOn)
        n += bOn;
    return n;
}

int DEMO_STATE::LightsOnInRoom(int iRoom) const
{
    int n = 0;
    for (int i = 0; i < DEMO_LIGHTS; i++)
        n += bLightOn[i] && kDemoLights[i].iRoom == iRoom;
    return n;
}

std::string DemoDegrees(int iTenths)
{
    const long long v = iTenths < 0 ? -(long long)iTenths : iTenths;
    char text[40];
    snprintf(text, sizeof text, "%s%lld.%lld\xC2\xB0", iTenths < 0 ? "-" : "", v / 10, v % 10);
    return text;
}

std::string DemoRoomStatus(const DEMO_STATE& state, int iRoom)
{
    const int n = state.LightsOnInRoom(iRoom);
    if (n == 0)
        return "Lights off";
    return std::to_string(n) + (n == 1 ? " light on" : " lights on");
}

std::string DemoLightsNote(const DEMO_STATE& state)
{
    return std::to_string(state.LightsOn()) + " of " + std::to_string(DEMO_LIGHTS) + " on";
}

// What one viewer's demo session has changed: the page on screen, which
// lights are on and the heating setpoint; and the texts derived from them.
// Each connection starts from the same state.
#pragma once

#include "demo_layout.h"

#include <string>

struct DEMO_STATE
{
    DEMO_STATE();

    int iPage = DEMO_PAGE_ROOMS;
    bool bLightOn[DEMO_LIGHTS];
    int iSetpointTenths = DEMO_SETPOINT_START;

    int LightsOn() const;
    int LightsOnInRoom(int iRoom) const;
    // The heating runs while the setpoint is above the indoor temperature.
    bool Heating() const { return iSetpointTenths > DEMO_INDOOR_TENTHS; }
    bool CanLower() const { return iSetpointTenths > DEMO_SETPOINT_MIN; }
    bool CanRaise() const { return iSetpointTenths < DEMO_SETPOINT_MAX; }
};

// "21.5°" for 215; "-0.5°" for -5.
std::string DemoDegrees(int iTenths);
// A room tile's status line: "2 lights on", "1 light on", "Lights off".
std::string DemoRoomStatus(const DEMO_STATE& state, int iRoom);
// The lights page's note: "2 of 6 on".
std::string DemoLightsNote(const DEMO_STATE& state);

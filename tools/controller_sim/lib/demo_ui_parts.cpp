// Parts of the demo panel whose look follows the session's state.
#include "demo_ui.h"

namespace {

const int kMiddle = SIM_ALIGN_MIDDLE;

int LightID(int iLight, int iPart)
{
    return DEMO_ID_LIGHT_TILE + 10 * iLight + iPart;
}

}  // namespace

SIM_SURFACE DemoTabLabel(int iTab, bool bSelected)
{
    return SimText(DEMO_ID_TAB_LABEL + iTab, CRVRect(48, 0, 128, 56), kDemoPageNames[iTab],
                   {bSelected ? DEMO_COLOR_TEXT : DEMO_COLOR_DIM_TEXT, 20, kMiddle});
}

SIM_SURFACE DemoPageNote(const DEMO_STATE& state, int iPage)
{
    static const char* const kNotes[DEMO_PAGES] = {"4 rooms", nullptr, "Whole house", "1 camera"};
    const std::string note = iPage == DEMO_PAGE_LIGHTS ? DemoLightsNote(state) : kNotes[iPage];
    return SimText(DEMO_ID_PAGE * (iPage + 1) + DEMO_PAGE_NOTE, CRVRect(456, 20, 328, 48), note.c_str(),
                   {DEMO_COLOR_DIM_TEXT, 17, SIM_ALIGN_RIGHT | kMiddle});
}

SIM_SURFACE DemoRoomStatusText(const DEMO_STATE& state, int iRoom)
{
    const bool bLit = state.LightsOnInRoom(iRoom) > 0;
    return SimText(DEMO_ID_ROOM_TILE + 10 * iRoom + DEMO_ROOM_STATUS, CRVRect(24, 142, 316, 30),
                   DemoRoomStatus(state, iRoom).c_str(), {bLit ? DEMO_COLOR_LIGHT_ON : DEMO_COLOR_DIM_TEXT, 17, 0});
}

SIM_SURFACE DemoLightGlow(int iLight, bool bOn)
{
    // The warm tint over the whole tile; switching fades it rather than
    // flipping the tile's own colour.
    return SimRect(LightID(iLight, DEMO_LIGHT_GLOW), CRVRect(0, 0, 232, 188), DEMO_COLOR_LIGHT_GLOW, 16)
        .Alpha(bOn ? 255 : 0);
}

SIM_SURFACE DemoLightBulb(int iLight, bool bOn)
{
    return SimRect(LightID(iLight, DEMO_LIGHT_BULB), CRVRect(20, 20, 44, 44),
                   bOn ? DEMO_COLOR_LIGHT_ON : DEMO_COLOR_LIGHT_OFF, 22);
}

SIM_SURFACE DemoLightState(int iLight, bool bOn)
{
    return SimText(LightID(iLight, DEMO_LIGHT_STATE), CRVRect(120, 20, 92, 44), bOn ? "On" : "Off",
                   {bOn ? DEMO_COLOR_LIGHT_ON : DEMO_COLOR_OFF_TEXT, 20, SIM_ALIGN_RIGHT | kMiddle});
}

SIM_SURFACE DemoSetpointValue(const DEMO_STATE& state)
{
    return SimText(DEMO_ID_SETPOINT_VALUE, CRVRect(24, 56, 316, 90), DemoDegrees(state.iSetpointTenths).c_str(),
                   {DEMO_COLOR_WARM, 64, SIM_ALIGN_CENTRE | kMiddle});
}

SIM_SURFACE DemoSetpointStatus(const DEMO_STATE& state)
{
    return SimText(DEMO_ID_SETPOINT_STATUS, CRVRect(112, 180, 140, 60), state.Heating() ? "Heating" : "Idle",
                   {state.Heating() ? DEMO_COLOR_WARM : DEMO_COLOR_DIM_TEXT, 18, SIM_ALIGN_CENTRE | kMiddle});
}

int DemoButtonAlpha(bool bEnabled)
{
    return bEnabled ? 255 : 90;
}

#include "demo_layout.h"

const DEMO_ROOM kDemoRooms[DEMO_ROOMS] = {
    {"Living room", 0xFF8A4C, 215, 45},
    {"Kitchen", 0x2EC4A0, 205, 52},
    {"Bedroom", 0xB07CFF, 190, 48},
    {"Office", 0xFFB020, 220, 41},
};

const DEMO_LIGHT kDemoLights[DEMO_LIGHTS] = {
    {"Ceiling", 0, true},
    {"Floor lamp", 0, false},
    {"Spots", 1, true},
    {"Bedside", 2, false},
    {"Desk lamp", 3, false},
    {"Shelf", 3, false},
};

const char* const kDemoPageNames[DEMO_PAGES] = {"Rooms", "Lights", "Climate", "Camera"};

CRVRect DemoTabRect(int iTab)
{
    // In the navigation column: 56 high, 12 apart, from 16 below its top.
    return CRVRect(12, 16 + iTab * 68, 184, 56);
}

CRVRect DemoRoomTileRect(int iRoom)
{
    // Two by two, 24 apart.
    return CRVRect(32 + (iRoom % 2) * 388, 88 + (iRoom / 2) * 212, 364, 188);
}

CRVRect DemoLightTileRect(int iLight)
{
    // Three by two, 28 apart across and 24 down.
    return CRVRect(32 + (iLight % 3) * 260, 88 + (iLight / 3) * 212, 232, 188);
}

unsigned int DemoPageColor(int iPage)
{
    static const unsigned int kColors[DEMO_PAGES] = {0x4C8DFF, 0xFFB020, 0x2EC4A0, 0xB07CFF};
    return iPage >= 0 && iPage < DEMO_PAGES ? kColors[iPage] : DEMO_COLOR_TEXT;
}

// The demo panel's four pages: rooms, lights, climate and camera.
#include "demo_ui.h"

#include <string>

namespace {

const SIM_TEXT_STYLE kLabel = {DEMO_COLOR_DIM_TEXT, 18, SIM_ALIGN_MIDDLE};

int PageID(int iPage)
{
    return DEMO_ID_PAGE * (iPage + 1);
}

std::string Percent(int iValue)
{
    return std::to_string(iValue) + " % RH";
}

void AddRooms(const DEMO_STATE& state, SIM_SURFACE* pPage)
{
    for (int i = 0; i < DEMO_ROOMS; i++) {
        const DEMO_ROOM& room = kDemoRooms[i];
        const int id = DEMO_ID_ROOM_TILE + 10 * i;
        SIM_SURFACE tile = SimRect(id, DemoRoomTileRect(i), DEMO_COLOR_TILE, 16);
        tile.Add(SimRect(id + DEMO_ROOM_ICON, CRVRect(24, 24, 40, 40), room.uColor, 20)
                     .Add(SimRect(id + DEMO_ROOM_ICON_HOLE, CRVRect(13, 13, 14, 14), DEMO_COLOR_TILE, 7)));
        tile.Add(SimText(id + DEMO_ROOM_NAME, CRVRect(80, 22, 260, 44), room.pszName,
                         {DEMO_COLOR_TEXT, 24, SIM_ALIGN_MIDDLE}));
        tile.Add(SimText(id + DEMO_ROOM_TEMPERATURE, CRVRect(24, 84, 200, 56),
                         DemoDegrees(room.iTemperatureTenths).c_str(), {DEMO_COLOR_TEXT, 40, SIM_ALIGN_MIDDLE}));
        tile.Add(SimText(id + DEMO_ROOM_HUMIDITY, CRVRect(204, 92, 136, 40), Percent(room.iHumidity).c_str(),
                         {DEMO_COLOR_DIM_TEXT, 17, SIM_ALIGN_RIGHT | SIM_ALIGN_MIDDLE}));
        tile.Add(DemoRoomStatusText(state, i));
        pPage->Add(std::move(tile));
    }
}

void AddLights(const DEMO_STATE& state, SIM_SURFACE* pPage)
{
    for (int i = 0; i < DEMO_LIGHTS; i++) {
        const int id = DEMO_ID_LIGHT_TILE + 10 * i;
        const bool bOn = state.bLightOn[i];
        SIM_SURFACE tile = SimRect(id, DemoLightTileRect(i), DEMO_COLOR_TILE, 16).Attribs(SIM_ATTR_TOUCHABLE);
        tile.Add(DemoLightGlow(i, bOn));
        tile.Add(DemoLightBulb(i, bOn));
        tile.Add(DemoLightState(i, bOn));
        tile.Add(SimText(id + DEMO_LIGHT_NAME, CRVRect(20, 92, 192, 36), kDemoLights[i].pszName,
                         {DEMO_COLOR_TEXT, 24, SIM_ALIGN_MIDDLE}));
        tile.Add(SimText(id + DEMO_LIGHT_ROOM, CRVRect(20, 128, 192, 30), kDemoRooms[kDemoLights[i].iRoom].pszName,
                         {DEMO_COLOR_DIM_TEXT, 17, SIM_ALIGN_MIDDLE}));
        pPage->Add(std::move(tile));
    }
}

SIM_SURFACE SetpointButton(int iID, const CRVRect& rc, const char* pszSign, bool bEnabled)
{
    return SimRect(iID, rc, DEMO_COLOR_BUTTON, 14)
        .Attribs(SIM_ATTR_TOUCHABLE)
        .Alpha(DemoButtonAlpha(bEnabled))
        .Add(SimText(iID + 1, CRVRect(0, 0, rc.width, rc.height), pszSign,
                     {DEMO_COLOR_TEXT, 36, SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE}));
}

void AddClimate(const DEMO_STATE& state, SIM_SURFACE* pPage)
{
    // The indoor temperature stands on a glossy floor.
    SIM_SURFACE indoor = SimRect(DEMO_ID_INDOOR_CARD, kDemoIndoorCard, DEMO_COLOR_TILE, 16);
    indoor.Add(SimText(DEMO_ID_INDOOR_LABEL, CRVRect(24, 18, 316, 30), "Indoor", kLabel));
    indoor.Add(SimMirror(DEMO_ID_INDOOR_MIRROR, CRVRect(24, 52, 316, 200), 64, 90)
                   .Add(SimText(DEMO_ID_INDOOR_VALUE, CRVRect(0, 8, 316, 96), DemoDegrees(DEMO_INDOOR_TENTHS).c_str(),
                                {DEMO_COLOR_TEXT, 72, SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE})));
    pPage->Add(std::move(indoor));

    SIM_SURFACE setpoint = SimRect(DEMO_ID_SETPOINT_CARD, kDemoSetpointCard, DEMO_COLOR_TILE, 16);
    setpoint.Add(SimText(DEMO_ID_SETPOINT_LABEL, CRVRect(24, 18, 316, 30), "Setpoint", kLabel));
    setpoint.Add(DemoSetpointValue(state));
    setpoint.Add(SetpointButton(DEMO_ID_SETPOINT_MINUS, kDemoMinusButton, "\xE2\x88\x92", state.CanLower()));
    setpoint.Add(DemoSetpointStatus(state));
    setpoint.Add(SetpointButton(DEMO_ID_SETPOINT_PLUS, kDemoPlusButton, "+", state.CanRaise()));
    pPage->Add(std::move(setpoint));

    // Facts in chips, centred in a row with gaps between them.
    static const struct
    {
        const char* pszText;
        int iWidth;
    } kChips[] = {{"Outside 8\xC2\xB0", 168}, {"Humidity 45 %", 188}, {"Air quality good", 208}};
    SIM_SURFACE row = SimRow(DEMO_ID_CHIP_ROW, CRVRect(32, 376, 752, 56), 376);
    for (int i = 0; i < 3; i++) {
        if (i > 0)
            row.Add(SimContainer(DEMO_ID_CHIP_ROW + 21 + i, CRVRect(0, 0, 16, 56)));
        const int id = DEMO_ID_CHIP_ROW + 1 + 2 * i;
        row.Add(SimRect(id, CRVRect(0, 6, kChips[i].iWidth, 44), DEMO_COLOR_TILE, 22)
                    .Add(SimText(id + 1, CRVRect(0, 0, kChips[i].iWidth, 44), kChips[i].pszText,
                                 {0xC8D0DE, 17, SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE})));
    }
    pPage->Add(std::move(row));
}

void AddCamera(SIM_SURFACE* pPage)
{
    const SIM_BORDER_COLORS frameColors = {0x2C364C, 0x1A2030, 0x3C4862, 0x232B3C, 0x1E2A44, 0x0F141E};
    SIM_SURFACE frame = SimBorderBox(DEMO_ID_CAMERA_FRAME, CRVRect(32, 88, 752, 400), frameColors, 6);
    SIM_SURFACE picture = SimGradient(DEMO_ID_CAMERA_PICTURE, CRVRect(6, 6, 740, 388), 0x22314F, 0x0C111B);
    // Darker towards the bottom, under the caption.
    const SIM_CORNER clear = {0x000000, 0}, dark = {0x000000, 170};
    picture.Add(SimColorBox(DEMO_ID_CAMERA_SHADE, CRVRect(0, 268, 740, 120), clear, clear, dark, dark));
    picture.Add(SimRect(DEMO_ID_CAMERA_BODY, CRVRect(322, 100, 96, 64), 0x3A4763, 14)
                    .Add(SimRect(DEMO_ID_CAMERA_LENS, CRVRect(30, 14, 36, 36), 0x5B6B8C, 18)
                             .Add(SimRect(DEMO_ID_CAMERA_PUPIL, CRVRect(10, 10, 16, 16), 0x22314F, 8))));
    picture.Add(SimText(DEMO_ID_CAMERA_MESSAGE, CRVRect(0, 188, 740, 40), "No video in the demo",
                        {0xB8C2D6, 22, SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE}));
    picture.Add(SimRect(DEMO_ID_CAMERA_BADGE, CRVRect(20, 20, 112, 30), 0x5A2530, 15)
                    .Add(SimText(DEMO_ID_CAMERA_BADGE_TEXT, CRVRect(0, 0, 112, 30), "No signal",
                                 {0xFF9AA8, 14, SIM_ALIGN_CENTRE | SIM_ALIGN_MIDDLE})));
    picture.Add(SimText(DEMO_ID_CAMERA_CAPTION, CRVRect(24, 318, 420, 44), "Front door",
                        {DEMO_COLOR_TEXT, 28, SIM_ALIGN_MIDDLE}));
    frame.Add(std::move(picture));
    pPage->Add(std::move(frame));
}

}  // namespace

SIM_SURFACE DemoPage(const DEMO_STATE& state, int iPage)
{
    const int id = PageID(iPage);
    SIM_SURFACE page = SimContainer(id, kDemoPage).Alpha(iPage == state.iPage ? 255 : 0);
    page.Add(SimRect(id + DEMO_PAGE_ACCENT, kDemoPageAccent, DemoPageColor(iPage), 4));
    page.Add(SimText(id + DEMO_PAGE_TITLE, CRVRect(52, 20, 400, 48), kDemoPageNames[iPage],
                     {DEMO_COLOR_TEXT, 30, SIM_ALIGN_MIDDLE}));
    page.Add(DemoPageNote(state, iPage));
    switch (iPage) {
    case DEMO_PAGE_ROOMS: AddRooms(state, &page); break;
    case DEMO_PAGE_LIGHTS: AddLights(state, &page); break;
    case DEMO_PAGE_CLIMATE: AddClimate(state, &page); break;
    case DEMO_PAGE_CAMERA: AddCamera(&page); break;
    default: break;
    }
    return page;
}

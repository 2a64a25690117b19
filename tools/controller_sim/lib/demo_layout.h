// The demo panel's fixed layout: surface IDs, positions, colours and the
// demo household's rooms and lights. Everything the panel draws is placed
// from these values, and the screen positions handed to window tests are
// computed from them, so the two cannot drift apart.
//
// Screen 1024 x 576: a header across the top (64 high), a navigation column
// on the left (208 wide) with one tab per page, and the pages in the rest
// (816 x 512). Inside a page, content starts 32 from the left and 88 from
// the top, below the page title.
#pragma once

#include "rvrect.h"

enum { DEMO_SCREEN_WIDTH = 1024, DEMO_SCREEN_HEIGHT = 576 };

enum DEMO_PAGE
{
    DEMO_PAGE_ROOMS = 0,
    DEMO_PAGE_LIGHTS = 1,
    DEMO_PAGE_CLIMATE = 2,
    DEMO_PAGE_CAMERA = 3,
    DEMO_PAGES = 4,
};

enum { DEMO_ROOMS = 4, DEMO_LIGHTS = 6 };

// Surface IDs. Per-item IDs are a base plus the item's index (tabs) or ten
// times it (tiles, whose parts add 0 to 9).
enum DEMO_ID
{
    DEMO_ID_HEADER = 10,
    DEMO_ID_HEADER_LINE = 11,
    DEMO_ID_LOGO = 12,
    DEMO_ID_LOGO_INNER = 13,
    DEMO_ID_TITLE = 14,
    DEMO_ID_HEADER_NOTE = 15,

    DEMO_ID_NAV = 20,
    DEMO_ID_NAV_EDGE = 21,
    DEMO_ID_TAB_HIGHLIGHT = 22,
    DEMO_ID_NAV_HINT = 23,
    DEMO_ID_TAB = 30,           // + tab: the touchable tab
    DEMO_ID_TAB_DOT = 40,       // + tab
    DEMO_ID_TAB_LABEL = 50,     // + tab

    // Pages: 1000 (Rooms), 2000, 3000, 4000 (Camera); parts add to that.
    DEMO_ID_PAGE = 1000,
    DEMO_PAGE_ACCENT = 1,
    DEMO_PAGE_TITLE = 2,
    DEMO_PAGE_NOTE = 3,

    // Rooms: tile + 10 * room, then the parts.
    DEMO_ID_ROOM_TILE = 1100,
    DEMO_ROOM_ICON = 1,
    DEMO_ROOM_ICON_HOLE = 2,
    DEMO_ROOM_NAME = 3,
    DEMO_ROOM_TEMPERATURE = 4,
    DEMO_ROOM_HUMIDITY = 5,
    DEMO_ROOM_STATUS = 6,

    // Lights: tile + 10 * light (the tile is the touchable part).
    DEMO_ID_LIGHT_TILE = 2100,
    DEMO_LIGHT_GLOW = 1,
    DEMO_LIGHT_BULB = 2,
    DEMO_LIGHT_STATE = 3,
    DEMO_LIGHT_NAME = 4,
    DEMO_LIGHT_ROOM = 5,

    // Climate.
    DEMO_ID_INDOOR_CARD = 3100,
    DEMO_ID_INDOOR_LABEL = 3101,
    DEMO_ID_INDOOR_MIRROR = 3102,
    DEMO_ID_INDOOR_VALUE = 3103,
    DEMO_ID_SETPOINT_CARD = 3110,
    DEMO_ID_SETPOINT_LABEL = 3111,
    DEMO_ID_SETPOINT_VALUE = 3112,
    DEMO_ID_SETPOINT_MINUS = 3113,
    DEMO_ID_SETPOINT_MINUS_SIGN = 3114,
    DEMO_ID_SETPOINT_PLUS = 3115,
    DEMO_ID_SETPOINT_PLUS_SIGN = 3116,
    DEMO_ID_SETPOINT_STATUS = 3117,
    DEMO_ID_CHIP_ROW = 3120,    // chips 3121 + 2 * i, their texts + 1, gaps 3141 + i

    // Camera.
    DEMO_ID_CAMERA_FRAME = 4100,
    DEMO_ID_CAMERA_PICTURE = 4101,
    DEMO_ID_CAMERA_SHADE = 4102,
    DEMO_ID_CAMERA_BODY = 4103,
    DEMO_ID_CAMERA_LENS = 4104,
    DEMO_ID_CAMERA_PUPIL = 4105,
    DEMO_ID_CAMERA_MESSAGE = 4106,
    DEMO_ID_CAMERA_BADGE = 4107,
    DEMO_ID_CAMERA_BADGE_TEXT = 4108,
    DEMO_ID_CAMERA_CAPTION = 4109,
};

// ---- Geometry ----------------------------------------------------------------
// Header and navigation, on the screen.
const CRVRect kDemoHeader(0, 0, DEMO_SCREEN_WIDTH, 64);
const CRVRect kDemoNav(0, 64, 208, DEMO_SCREEN_HEIGHT - 64);
// A page, on the screen; pages slide in from kDemoSlide to the right.
const CRVRect kDemoPage(208, 64, DEMO_SCREEN_WIDTH - 208, DEMO_SCREEN_HEIGHT - 64);
enum { DEMO_SLIDE = 48 };
// Inside a page: the coloured bar before the title, unique to each page.
const CRVRect kDemoPageAccent(32, 28, 8, 32);

// Tab iTab in the navigation column.
CRVRect DemoTabRect(int iTab);
// Tile of a room or a light in its page.
CRVRect DemoRoomTileRect(int iRoom);
CRVRect DemoLightTileRect(int iLight);
// The setpoint buttons in their card; the card in the page.
const CRVRect kDemoIndoorCard(32, 88, 364, 264);
const CRVRect kDemoSetpointCard(420, 88, 364, 264);
const CRVRect kDemoMinusButton(24, 180, 88, 60);
const CRVRect kDemoPlusButton(252, 180, 88, 60);

// ---- Colours (0x00RRGGBB) ----------------------------------------------------
enum : unsigned int
{
    DEMO_COLOR_ROOT = 0x0E1118,
    DEMO_COLOR_HEADER = 0x161C28,
    DEMO_COLOR_NAV = 0x121720,
    DEMO_COLOR_EDGE = 0x222A38,
    DEMO_COLOR_HIGHLIGHT = 0x22304C,
    DEMO_COLOR_TILE = 0x1A2130,
    DEMO_COLOR_BUTTON = 0x27324A,
    DEMO_COLOR_TEXT = 0xFFFFFF,
    DEMO_COLOR_DIM_TEXT = 0x8C96A8,
    DEMO_COLOR_WARM = 0xFFB14A,     // setpoint, heating
    DEMO_COLOR_LIGHT_ON = 0xFFC247,
    DEMO_COLOR_LIGHT_OFF = 0x3A4252,
    DEMO_COLOR_LIGHT_GLOW = 0x3A2F17,
    DEMO_COLOR_OFF_TEXT = 0x6B7487,
    DEMO_COLOR_ACCENT = 0x4C8DFF,
};
// Each page's colour: its tab's dot and its title bar.
unsigned int DemoPageColor(int iPage);

// ---- The demo household --------------------------------------------------------
struct DEMO_ROOM
{
    const char* pszName;
    unsigned int uColor;
    int iTemperatureTenths;     // degrees Celsius x 10
    int iHumidity;              // per cent
};
struct DEMO_LIGHT
{
    const char* pszName;
    int iRoom;
    bool bInitiallyOn;
};
extern const DEMO_ROOM kDemoRooms[DEMO_ROOMS];
extern const DEMO_LIGHT kDemoLights[DEMO_LIGHTS];
extern const char* const kDemoPageNames[DEMO_PAGES];

// Setpoint range and step, in tenths of a degree.
enum { DEMO_SETPOINT_MIN = 160, DEMO_SETPOINT_MAX = 280, DEMO_SETPOINT_STEP = 5, DEMO_SETPOINT_START = 220 };
// The indoor temperature the climate page shows (the living room's).
enum { DEMO_INDOOR_TENTHS = 215 };

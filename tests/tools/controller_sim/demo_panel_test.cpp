// The demo panel as the viewer's engine builds it from the demo controller's
// messages, and what the panel does when the viewer's mouse taps it: tabs
// switch pages, light tiles switch lights, - and + move the setpoint, and a
// new connection starts afresh.
#include <gtest/gtest.h>

#include <vector>

#include "demo_controller.h"
#include "demo_layout.h"
#include "demo_viewer.h"
#include "surf_animation.h"

namespace {

int PageID(int iPage)
{
    return DEMO_ID_PAGE * (iPage + 1);
}

int LightID(int iLight, int iPart = 0)
{
    return DEMO_ID_LIGHT_TILE + 10 * iLight + iPart;
}

class DemoPanel : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(1, m_demo.Start()); }

    // Logged in, session started, the panel built.
    void Open(CEngineViewer& v)
    {
        ASSERT_EQ(1, v.Connect(m_demo.Port(), CDemoController::Password()));
        ASSERT_GE(v.StartSession(), 0);
        // The whole panel comes in one message: its last surface means all.
        ASSERT_TRUE(v.PumpUntil([&] { return v.Find(DEMO_ID_HEADER_LINE) != nullptr; }));
    }

    void ClickTab(CEngineViewer& v, int iTab)
    {
        int x = 0, y = 0;
        ASSERT_EQ(1, CDemoController::TabCenter(iTab, &x, &y));
        v.Click(x, y);
        // The highlight's move comes last of a page change.
        ASSERT_TRUE(v.PumpUntil([&] {
            CSurf* p = v.Find(DEMO_ID_TAB_HIGHLIGHT);
            return p && p->FindAnimation(AK_POSITION) != nullptr;
        })) << "tab " << iTab;
        v.Settle();
    }

    // The page on screen: the one shown at full alpha, with every other hidden.
    int ShownPage(CEngineViewer& v)
    {
        int iShown = -1;
        for (int i = 0; i < DEMO_PAGES; i++) {
            const int a = v.AlphaOf(PageID(i));
            if (a == 255 && iShown < 0)
                iShown = i;
            else if (a != 0)
                return -2;
        }
        return iShown;
    }

    CDemoController m_demo;
};

TEST_F(DemoPanel, FirstPageAfterLoginAndSessionStart)
{
    CEngineViewer v;
    Open(v);
    EXPECT_EQ((unsigned int)DEMO_COLOR_ROOT, v.Wnd()->Color(ORIENT_0));
    EXPECT_EQ("Corvin Demo", v.TextOf(DEMO_ID_TITLE));
    EXPECT_EQ(DEMO_PAGE_ROOMS, ShownPage(v));
    EXPECT_EQ(v.ScreenOf(DEMO_ID_TAB), v.ScreenOf(DEMO_ID_TAB_HIGHLIGHT));

    const char* const names[] = {"Rooms", "Lights", "Climate", "Camera"};
    for (int i = 0; i < DEMO_PAGES; i++) {
        CSurf* pTab = v.Find(DEMO_ID_TAB + i);
        ASSERT_NE(nullptr, pTab) << i;
        EXPECT_TRUE(pTab->Attributes() & 0x400) << "tab " << i << " is not touchable";
        EXPECT_EQ(names[i], v.TextOf(DEMO_ID_TAB_LABEL + i));
        EXPECT_EQ(i == 0 ? (unsigned int)DEMO_COLOR_TEXT : (unsigned int)DEMO_COLOR_DIM_TEXT,
                  v.ColorOf(DEMO_ID_TAB_LABEL + i));
        EXPECT_EQ(names[i], v.TextOf(PageID(i) + DEMO_PAGE_TITLE));
    }

    const struct
    {
        const char* pszName;
        const char* pszStatus;
    } rooms[] = {{"Living room", "1 light on"}, {"Kitchen", "1 light on"}, {"Bedroom", "Lights off"},
                 {"Office", "Lights off"}};
    for (int i = 0; i < DEMO_ROOMS; i++) {
        const int id = DEMO_ID_ROOM_TILE + 10 * i;
        EXPECT_EQ(rooms[i].pszName, v.TextOf(id + DEMO_ROOM_NAME));
        EXPECT_EQ(rooms[i].pszStatus, v.TextOf(id + DEMO_ROOM_STATUS));
        // Inside the page, clear of the navigation column and the screen edges.
        const CRVRect rc = v.ScreenOf(id);
        EXPECT_GE(rc.x, kDemoPage.x) << i;
        EXPECT_LE(rc.x + rc.width, DEMO_SCREEN_WIDTH) << i;
        EXPECT_LE(rc.y + rc.height, DEMO_SCREEN_HEIGHT) << i;
    }
    EXPECT_EQ("21.5\xC2\xB0", v.TextOf(DEMO_ID_ROOM_TILE + DEMO_ROOM_TEMPERATURE));
    EXPECT_EQ("2 of 6 on", v.TextOf(PageID(DEMO_PAGE_LIGHTS) + DEMO_PAGE_NOTE));
    EXPECT_EQ("22.0\xC2\xB0", v.TextOf(DEMO_ID_SETPOINT_VALUE));
}

// Clicks at TabCenter reach their tab; the page slides in from the right and
// the highlight moves there; PageProbe's pixel lies on the page's own colour.
TEST_F(DemoPanel, TabsSwitchPages)
{
    CEngineViewer v;
    Open(v);
    int iFrom = DEMO_PAGE_ROOMS;
    for (int iTab : {1, 2, 3, 0, 2}) {
        SCOPED_TRACE(iTab);
        int x = 0, y = 0;
        ASSERT_EQ(1, CDemoController::TabCenter(iTab, &x, &y));
        v.Click(x, y);
        ASSERT_TRUE(v.PumpUntil([&] {
            CSurf* p = v.Find(DEMO_ID_TAB_HIGHLIGHT);
            return p && p->FindAnimation(AK_POSITION) != nullptr;
        }));
        // On its way in: transparent, a little to the right, moving.
        EXPECT_EQ(0, v.AlphaOf(PageID(iTab)));
        EXPECT_EQ(kDemoPage.x + DEMO_SLIDE, v.ScreenOf(PageID(iTab)).x);
        EXPECT_NE(nullptr, v.Find(PageID(iTab))->FindAnimation(AK_POSITION));
        EXPECT_EQ((unsigned int)DEMO_COLOR_TEXT, v.ColorOf(DEMO_ID_TAB_LABEL + iTab));
        EXPECT_EQ((unsigned int)DEMO_COLOR_DIM_TEXT, v.ColorOf(DEMO_ID_TAB_LABEL + iFrom));

        v.Settle();
        EXPECT_EQ(iTab, ShownPage(v));
        EXPECT_EQ(kDemoPage, v.ScreenOf(PageID(iTab)));
        EXPECT_EQ(v.ScreenOf(DEMO_ID_TAB + iTab), v.ScreenOf(DEMO_ID_TAB_HIGHLIGHT));

        int px = 0, py = 0;
        unsigned int rgb = 0;
        ASSERT_EQ(1, CDemoController::PageProbe(iTab, &px, &py, &rgb));
        const CRVRect accent = v.ScreenOf(PageID(iTab) + DEMO_PAGE_ACCENT);
        EXPECT_TRUE(px >= accent.x && px < accent.x + accent.width && py >= accent.y && py < accent.y + accent.height);
        EXPECT_EQ(rgb, v.ColorOf(PageID(iTab) + DEMO_PAGE_ACCENT));
        iFrom = iTab;
    }
    // Every page has its own probe colour.
    std::vector<unsigned int> colours;
    for (int i = 0; i < DEMO_PAGES; i++) {
        int px, py;
        unsigned int rgb;
        ASSERT_EQ(1, CDemoController::PageProbe(i, &px, &py, &rgb));
        for (unsigned int c : colours)
            EXPECT_NE(c, rgb);
        colours.push_back(rgb);
    }
}

TEST_F(DemoPanel, TappingTheShownTabChangesNothing)
{
    CEngineViewer v;
    Open(v);
    int x = 0, y = 0;
    ASSERT_EQ(1, CDemoController::TabCenter(DEMO_PAGE_ROOMS, &x, &y));
    v.Click(x, y);
    // The next tap's change arrives after anything the first one caused.
    ClickTab(v, DEMO_PAGE_CAMERA);
    EXPECT_EQ(DEMO_PAGE_CAMERA, ShownPage(v));
    EXPECT_EQ(kDemoPage.x - DEMO_SLIDE, v.ScreenOf(PageID(DEMO_PAGE_ROOMS)).x);
}

// Each light switches on a tap and back on the next; its tile, the page's
// count and its room's status line follow.
TEST_F(DemoPanel, LightsToggle)
{
    const struct
    {
        int iLight;
        bool bOnBefore;
        const char* pszNoteAfter;
        const char* pszRoomAfter;
    } cases[] = {
        {0, true, "1 of 6 on", "Lights off"},       // Ceiling, the living room's only lit one
        {1, false, "3 of 6 on", "2 lights on"},     // Floor lamp, living room
        {5, false, "3 of 6 on", "1 light on"},      // Shelf, office
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iLight);
        CEngineViewer v;
        Open(v);
        ClickTab(v, DEMO_PAGE_LIGHTS);
        const int iRoomStatus = DEMO_ID_ROOM_TILE + 10 * kDemoLights[c.iLight].iRoom + DEMO_ROOM_STATUS;
        int x = 0, y = 0;
        ASSERT_EQ(1, CDemoController::LightTileCenter(c.iLight, &x, &y));
        for (bool bOn : {!c.bOnBefore, c.bOnBefore}) {
            v.Click(x, y);
            const char* pszState = bOn ? "On" : "Off";
            ASSERT_TRUE(v.PumpUntil([&] { return v.TextOf(LightID(c.iLight, DEMO_LIGHT_STATE)) == pszState; }));
            v.PumpUntil([&] { return v.Find(LightID(c.iLight, DEMO_LIGHT_GLOW))->FindAnimation(AK_ALPHA) != nullptr; });
            v.Settle();
            EXPECT_EQ(bOn ? (unsigned int)DEMO_COLOR_LIGHT_ON : (unsigned int)DEMO_COLOR_LIGHT_OFF,
                      v.ColorOf(LightID(c.iLight, DEMO_LIGHT_BULB)));
            EXPECT_EQ(bOn ? 255 : 0, v.AlphaOf(LightID(c.iLight, DEMO_LIGHT_GLOW)));
            // Back at full size after the press.
            EXPECT_EQ(CRVRect(0, 0, 1000, 1000), v.Find(LightID(c.iLight))->GetTransform());
            if (bOn != c.bOnBefore) {
                EXPECT_EQ(c.pszNoteAfter, v.TextOf(PageID(DEMO_PAGE_LIGHTS) + DEMO_PAGE_NOTE));
                EXPECT_EQ(c.pszRoomAfter, v.TextOf(iRoomStatus));
            }
        }
        EXPECT_EQ("2 of 6 on", v.TextOf(PageID(DEMO_PAGE_LIGHTS) + DEMO_PAGE_NOTE));
    }
}

TEST_F(DemoPanel, PressShrinksATileAndLettingGoOutsideCancelsTheTap)
{
    CEngineViewer v;
    Open(v);
    ClickTab(v, DEMO_PAGE_LIGHTS);
    int x = 0, y = 0;
    ASSERT_EQ(1, CDemoController::LightTileCenter(0, &x, &y));
    CSurf* pTile = v.Find(LightID(0));
    ASSERT_NE(nullptr, pTile);

    v.Wnd()->OnMouseDown(x, CEngineViewer::HEIGHT - y);
    ASSERT_TRUE(v.PumpUntil([&] { return pTile->FindAnimation(AK_TRANSFORM) != nullptr; }));
    v.Settle();
    const CRVRect pressed = pTile->GetTransform();
    EXPECT_LT(pressed.width, 1000);
    EXPECT_EQ(pressed.width, pressed.height);

    // Dragged off the tile and let go below the tiles.
    v.Wnd()->OnMouseMove(x, CEngineViewer::HEIGHT - 560);
    v.Wnd()->OnMouseUp(x, CEngineViewer::HEIGHT - 560);
    ASSERT_TRUE(v.PumpUntil([&] { return pTile->FindAnimation(AK_TRANSFORM) != nullptr; }));
    // A real tap on another tile: its answer comes after anything the
    // cancelled one caused.
    ASSERT_EQ(1, CDemoController::LightTileCenter(3, &x, &y));
    v.Click(x, y);
    ASSERT_TRUE(v.PumpUntil([&] { return v.TextOf(LightID(3, DEMO_LIGHT_STATE)) == "On"; }));
    v.Settle();
    EXPECT_EQ("On", v.TextOf(LightID(0, DEMO_LIGHT_STATE)));
    EXPECT_EQ(CRVRect(0, 0, 1000, 1000), pTile->GetTransform());
}

// The setpoint moves by half a degree per tap between 16 and 28 degrees; a
// button that cannot move it further is dimmed; the heating runs while the
// setpoint is above the indoor 21.5 degrees.
TEST_F(DemoPanel, SetpointButtons)
{
    const struct
    {
        int iButton;
        int iTaps;
        const char* pszValue;
        const char* pszStatus;
        int iMinusAlpha, iPlusAlpha;
    } cases[] = {
        {DEMO_ID_SETPOINT_PLUS, 1, "22.5\xC2\xB0", "Heating", 255, 255},
        {DEMO_ID_SETPOINT_MINUS, 1, "21.5\xC2\xB0", "Idle", 255, 255},
        {DEMO_ID_SETPOINT_MINUS, 2, "21.0\xC2\xB0", "Idle", 255, 255},
        {DEMO_ID_SETPOINT_PLUS, 14, "28.0\xC2\xB0", "Heating", 255, 90},
        {DEMO_ID_SETPOINT_MINUS, 14, "16.0\xC2\xB0", "Idle", 90, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszValue);
        CEngineViewer v;
        Open(v);
        ClickTab(v, DEMO_PAGE_CLIMATE);
        const CRVRect button = v.ScreenOf(c.iButton);
        for (int i = 0; i < c.iTaps; i++)
            v.Click(button.x + button.width / 2, button.y + button.height / 2);
        // A page change afterwards: all the taps were answered before it.
        ClickTab(v, DEMO_PAGE_ROOMS);
        EXPECT_EQ(c.pszValue, v.TextOf(DEMO_ID_SETPOINT_VALUE));
        EXPECT_EQ(c.pszStatus, v.TextOf(DEMO_ID_SETPOINT_STATUS));
        EXPECT_EQ(c.iMinusAlpha, v.AlphaOf(DEMO_ID_SETPOINT_MINUS));
        EXPECT_EQ(c.iPlusAlpha, v.AlphaOf(DEMO_ID_SETPOINT_PLUS));
    }
}

TEST_F(DemoPanel, DocumentedScreenPositionsHitTheirSurfaces)
{
    CEngineViewer v;
    Open(v);
    ClickTab(v, DEMO_PAGE_LIGHTS);
    for (int i = 0; i < DEMO_LIGHTS; i++) {
        int x = 0, y = 0;
        ASSERT_EQ(1, CDemoController::LightTileCenter(i, &x, &y));
        const CRVRect rc = v.ScreenOf(LightID(i));
        EXPECT_EQ(rc.x + rc.width / 2, x) << i;
        EXPECT_EQ(rc.y + rc.height / 2, y) << i;
    }
    for (int i = 0; i < DEMO_PAGES; i++) {
        int x = 0, y = 0;
        ASSERT_EQ(1, CDemoController::TabCenter(i, &x, &y));
        const CRVRect rc = v.ScreenOf(DEMO_ID_TAB + i);
        EXPECT_EQ(rc.x + rc.width / 2, x) << i;
        EXPECT_EQ(rc.y + rc.height / 2, y) << i;
    }
    // The numbers written down for window tests.
    const struct
    {
        int id;
        CRVRect rc;
    } documented[] = {
        {30, CRVRect(12, 80, 184, 56)},    {31, CRVRect(12, 148, 184, 56)},  {32, CRVRect(12, 216, 184, 56)},
        {33, CRVRect(12, 284, 184, 56)},   {2100, CRVRect(240, 152, 232, 188)},
        {3113, CRVRect(652, 332, 88, 60)}, {3115, CRVRect(880, 332, 88, 60)},
    };
    for (const auto& d : documented)
        EXPECT_EQ(d.rc, v.ScreenOf(d.id)) << d.id;
    int x = 0, y = 0;
    unsigned int rgb = 0;
    EXPECT_EQ(0, CDemoController::TabCenter(4, &x, &y));
    EXPECT_EQ(0, CDemoController::TabCenter(-1, &x, &y));
    EXPECT_EQ(0, CDemoController::LightTileCenter(6, &x, &y));
    EXPECT_EQ(0, CDemoController::PageProbe(4, &x, &y, &rgb));
}

TEST_F(DemoPanel, SecondConnectionStartsOnTheFirstPage)
{
    {
        CEngineViewer first;
        Open(first);
        ClickTab(first, DEMO_PAGE_LIGHTS);
        int x = 0, y = 0;
        ASSERT_EQ(1, CDemoController::LightTileCenter(0, &x, &y));
        first.Click(x, y);
        ASSERT_TRUE(first.PumpUntil([&] { return first.TextOf(LightID(0, DEMO_LIGHT_STATE)) == "Off"; }));
    }
    CEngineViewer second;
    Open(second);
    EXPECT_EQ(DEMO_PAGE_ROOMS, ShownPage(second));
    EXPECT_EQ((unsigned int)DEMO_COLOR_TEXT, second.ColorOf(DEMO_ID_TAB_LABEL + DEMO_PAGE_ROOMS));
    EXPECT_EQ("On", second.TextOf(LightID(0, DEMO_LIGHT_STATE)));
    EXPECT_EQ("2 of 6 on", second.TextOf(PageID(DEMO_PAGE_LIGHTS) + DEMO_PAGE_NOTE));
    // And it answers taps as the first did.
    ClickTab(second, DEMO_PAGE_CAMERA);
    EXPECT_EQ(DEMO_PAGE_CAMERA, ShownPage(second));
}

}  // namespace

// The demo panel's surfaces and the messages that build and change them.
//
// The parts whose look follows the session's state (tab labels, light
// tiles, the setpoint, status lines) are made by one function each, used both
// when the panel is built and when a change re-sends their properties, so a
// changed part looks exactly like a freshly built one.
#pragma once

#include "demo_state.h"
#include "sim_surfaces.h"

#include <functional>

typedef std::function<void(CRVMSG&)> DEMO_SEND;

// ---- Parts that follow the state ------------------------------------------------
SIM_SURFACE DemoTabLabel(int iTab, bool bSelected);
SIM_SURFACE DemoPageNote(const DEMO_STATE& state, int iPage);
SIM_SURFACE DemoRoomStatusText(const DEMO_STATE& state, int iRoom);
SIM_SURFACE DemoLightGlow(int iLight, bool bOn);
SIM_SURFACE DemoLightBulb(int iLight, bool bOn);
SIM_SURFACE DemoLightState(int iLight, bool bOn);
SIM_SURFACE DemoSetpointValue(const DEMO_STATE& state);
SIM_SURFACE DemoSetpointStatus(const DEMO_STATE& state);
// A setpoint button is dimmed while it cannot change the setpoint.
int DemoButtonAlpha(bool bEnabled);

// ---- The panel --------------------------------------------------------------------
// Header with the system name, and the navigation column with the selected tab.
SIM_SURFACE DemoHeader(const char* pszSystemName);
SIM_SURFACE DemoNav(int iSelected);
// Page iPage, shown (alpha 255) when it is the state's page, else hidden.
SIM_SURFACE DemoPage(const DEMO_STATE& state, int iPage);

// Everything for a new session: the root cleared and coloured, then header,
// navigation and the four pages, in the messages that add them.
void DemoSendPanel(const DEMO_STATE& state, const char* pszSystemName, const DEMO_SEND& send);

// ---- Changes ----------------------------------------------------------------------
// From page iFrom to the state's page: tab labels, the highlight sliding to
// the new tab, the old page fading out and the new one sliding and fading in.
void DemoSendPageChange(const DEMO_STATE& state, int iFrom, const DEMO_SEND& send);
// Light iLight switched to the state's value: its tile, the lights note and
// its room's status line.
void DemoSendLight(const DEMO_STATE& state, int iLight, const DEMO_SEND& send);
// The setpoint changed: its value, the heating status and both buttons.
void DemoSendSetpoint(const DEMO_STATE& state, const DEMO_SEND& send);
// A touchable part pressed (shrinks a little) or let go (back to full size).
void DemoSendPress(int iSurface, bool bDown, const DEMO_SEND& send);

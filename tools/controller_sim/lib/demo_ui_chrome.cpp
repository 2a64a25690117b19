// The demo panel's frame: the header with the system name and the
// navigation column with its tabs.
#include "demo_ui.h"

SIM_SURFACE DemoHeader(const char* pszSystemName)
{
    SIM_SURFACE header = SimRect(DEMO_ID_HEADER, kDemoHeader, DEMO_COLOR_HEADER);
    // A ring as the logo.
    header.Add(SimRect(DEMO_ID_LOGO, CRVRect(24, 16, 32, 32), DEMO_COLOR_ACCENT, 10)
                   .Add(SimRect(DEMO_ID_LOGO_INNER, CRVRect(9, 9, 14, 14), DEMO_COLOR_HEADER, 7)));
    header.Add(SimText(DEMO_ID_TITLE, CRVRect(68, 10, 420, 44), pszSystemName ? pszSystemName : "",
                       {DEMO_COLOR_TEXT, 24, SIM_ALIGN_MIDDLE}));
    header.Add(SimText(DEMO_ID_HEADER_NOTE, CRVRect(624, 10, 376, 44), "Demo mode",
                       {DEMO_COLOR_DIM_TEXT, 16, SIM_ALIGN_RIGHT | SIM_ALIGN_MIDDLE}));
    // An accent line along the bottom edge that fades out to the right.
    const SIM_CORNER solid = {DEMO_COLOR_ACCENT, 255}, clear = {DEMO_COLOR_ACCENT, 0};
    header.Add(SimColorBox(DEMO_ID_HEADER_LINE, CRVRect(0, kDemoHeader.height - 2, kDemoHeader.width, 2), solid,
                           clear, solid, clear));
    return header;
}

SIM_SURFACE DemoNav(int iSelected)
{
    SIM_SURFACE nav = SimRect(DEMO_ID_NAV, kDemoNav, DEMO_COLOR_NAV);
    nav.Add(SimRect(DEMO_ID_NAV_EDGE, CRVRect(kDemoNav.width - 1, 0, 1, kDemoNav.height), DEMO_COLOR_EDGE));
    // Drawn under the tabs, and moved from tab to tab.
    nav.Add(SimRect(DEMO_ID_TAB_HIGHLIGHT, DemoTabRect(iSelected), DEMO_COLOR_HIGHLIGHT, 12));
    for (int i = 0; i < DEMO_PAGES; i++) {
        SIM_SURFACE tab = SimContainer(DEMO_ID_TAB + i, DemoTabRect(i)).Attribs(SIM_ATTR_TOUCHABLE);
        tab.Add(SimRect(DEMO_ID_TAB_DOT + i, CRVRect(20, 21, 14, 14), DemoPageColor(i), 7));
        tab.Add(DemoTabLabel(i, i == iSelected));
        nav.Add(std::move(tab));
    }
    nav.Add(SimText(DEMO_ID_NAV_HINT, CRVRect(20, kDemoNav.height - 48, 170, 28), "Tap a tab to switch",
                    {DEMO_COLOR_OFF_TEXT, 14, SIM_ALIGN_MIDDLE}));
    return nav;
}

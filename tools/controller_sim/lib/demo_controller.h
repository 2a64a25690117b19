// CDemoController: a small home-automation panel served on loopback, so that
// the viewer shows a working screen with nothing else running. It is a
// simulated controller (system name "Corvin Demo", password "8Vorx%?") that
// builds the panel after the viewer's session start and answers taps:
// tabs switch pages with a slide, light tiles switch lights, the climate
// page's - and + change the setpoint. Each connection starts afresh on the
// first page. All the work happens on the simulated controller's network
// thread, which never waits on anything but its own socket writes.
//
// Screen 1024 x 576; window coordinates below are pixels from the top left of
// the viewer's 1024 x 576 window (scale 1).
//
//   what                 surface ID (parent)   screen rectangle x, y, w, h   centre
//   Rooms tab            30 (20)               12,  80, 184, 56              104, 108
//   Lights tab           31 (20)               12, 148, 184, 56              104, 176
//   Climate tab          32 (20)               12, 216, 184, 56              104, 244
//   Camera tab           33 (20)               12, 284, 184, 56              104, 312
//   "Ceiling" light      2100 (2000)           240, 152, 232, 188            356, 246
//     (first light tile, Lights page only; the tiles are 2100 + 10 * i)
//   setpoint -           3113 (3110)           652, 332, 88, 60              696, 362
//   setpoint +           3115 (3110)           880, 332, 88, 60              924, 362
//     (Climate page only)
//
// A tap is reported on release; a release outside the surface cancels it. A
// page change takes 250 ms; PageProbe's pixel shows the page once it ends:
// (244, 108) is 0x4C8DFF on Rooms, 0xFFB020 on Lights, 0x2EC4A0 on Climate and
// 0xB07CFF on Camera.
#pragma once

#include <memory>

class CControllerSim;

class CDemoController
{
public:
    enum { TABS = 4, LIGHTS = 6 };

    CDemoController();
    // Stops.
    ~CDemoController();
    CDemoController(const CDemoController&) = delete;
    CDemoController& operator=(const CDemoController&) = delete;

    // Listens on 127.0.0.1:usPort (0: a free port). 1 on success.
    int Start(unsigned short usPort = 0);
    // The port listened on (0 before Start).
    unsigned short Port() const;
    // Closes the connection and the listener; safe to call twice.
    void Stop();

    static const char* SystemName();    // "Corvin Demo"
    static const char* Password();      // "8Vorx%?"

    // Window coordinates of the centre of tab iTab (0 Rooms, 1 Lights, 2
    // Climate, 3 Camera), and of light tile iLight (0 to 5). 1 on success, 0
    // for an index out of range (outputs untouched).
    static int TabCenter(int iTab, int* pX, int* pY);
    static int LightTileCenter(int iLight, int* pX, int* pY);
    // A pixel that shows which page is on screen: at (*pX, *pY) page iTab
    // alone has the colour *pRGB (0x00RRGGBB). 1 on success, 0 out of range.
    static int PageProbe(int iTab, int* pX, int* pY, unsigned int* pRGB);

    // The simulated controller underneath (traffic log, keep-alive, state);
    // the demo's frame hook is its own and must not be replaced.
    CControllerSim& Sim();

private:
    struct IMPL;
    std::unique_ptr<IMPL> m_p;
};

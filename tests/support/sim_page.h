// The controller end of a headless end-to-end run: a simulated controller
// that takes the login of HeadlessOptions (password "pw") and builds its
// page once the session has started, as a real controller does.
#pragma once

#include <functional>

#include "controller_sim.h"
#include "sim_surfaces.h"

// Starts pSim on a free loopback port; fnPage sends the page after each
// session start (message 20000). 1 on success.
inline int StartPageSim(CControllerSim* pSim, std::function<void(CControllerSim&)> fnPage)
{
    pSim->SetPassword("pw");
    if (!pSim->Start(0))
        return 0;
    pSim->SetFrameHook([fnPage](CControllerSim& s, const CRVMSG& frame) {
        if (frame.MessageID() == 20000 && fnPage)
            fnPage(s);
    });
    return 1;
}

// The first thing a page sends: the root surface's colour (a property change
// of surface 0, a rectangle, in both orientations).
inline void SendRootColour(CControllerSim& sim, unsigned int uColour)
{
    CSimBatch batch(20117);
    batch.Props(0, SimRectProps(uColour, 0));
    sim.Send(batch.Message());
}

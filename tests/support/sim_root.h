// The first thing an end-to-end page sends: the root surface's colour (a
// property change of surface 0, a rectangle, in both orientations).
#pragma once

#include "controller_sim.h"
#include "sim_surfaces.h"

inline void SendRootColour(CControllerSim& sim, unsigned int uColour)
{
    CSimBatch batch(20117);
    batch.Props(0, SimRectProps(uColour, 0));
    sim.Send(batch.Message());
}

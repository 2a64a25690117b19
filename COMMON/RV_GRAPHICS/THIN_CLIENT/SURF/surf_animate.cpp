// CSurf: the surface's side of animations.
//
// Surface animations (the CSurfAnimation list, the Animate entry points and
// the per-key updates) are not part of the engine yet. Until they are, no
// surface ever holds an animation, and a value the controller asks to animate
// is applied at once, so the screen ends in the state it asked for.
#include "surf.h"

#include "rvdebug.h"

int CSurf::ProcessAnimations(const timespec&)
{
    // With animations held the surface still counts as running.
    return m_pAnimations ? 1 : 0;
}

void CSurf::DeleteAnimations()
{
    RV_ASSERT(m_pAnimations == nullptr);
    m_pAnimations = nullptr;
}

void CSurf::ProcessAnimationUpdate(CSurfAnimation*) {}

void CSurf::AnimateValue(int iKey, int, int iTo, int, int)
{
    switch (iKey) {
    case 7:
        SetAlpha(iTo);
        break;
    case 20:
    case 21:
    case 22:
        SetRotation(iKey - 20, iTo);
        break;
    default:
        break;
    }
}

void CSurf::OffsetAnimations(unsigned int) {}

void CSurf::SyncAnimation(const timespec&) {}

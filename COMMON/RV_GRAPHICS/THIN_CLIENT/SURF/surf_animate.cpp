// CSurf: the surface's side of animations - starting, retargeting and
// stopping them, the animation thread's round, and applying each new value.
//
// The list is changed only under the main window's animation-list lock. The
// round (ProcessAnimations) calls back into the surface for every new value;
// a callback that stops or replaces an animation only marks it stopped, and
// the round unlinks it, so the walk never meets a freed animation.
#include "surf.h"

#include <algorithm>

#include "mainwnd.h"
#include "rvdebug.h"
#include "surf_animation.h"
#include "surf_timer.h"

namespace {

// The main window's animation-list lock for a scope; none without a main
// window (a detached tree in tests and tools).
class CAnimationListHold
{
public:
    CAnimationListHold() : m_pLock(g_pMainWindow ? g_pMainWindow->AnimationLock() : nullptr)
    {
        if (m_pLock)
            m_pLock->RVLock();
    }
    ~CAnimationListHold()
    {
        if (m_pLock)
            m_pLock->RVUnlock();
    }
    CAnimationListHold(const CAnimationListHold&) = delete;
    CAnimationListHold& operator=(const CAnimationListHold&) = delete;

private:
    CRVCritical* m_pLock;
};

unsigned int NonNegative(int iTime)
{
    return iTime > 0 ? (unsigned int)iTime : 0u;
}

}  // namespace

// ---- the list ----

void CSurf::AddAnimation(CSurfAnimation* pAnimation)
{
    const int bWasEmpty = m_pAnimations == nullptr;
    pAnimation->m_pNext = m_pAnimations;
    m_pAnimations = pAnimation;
    if (bWasEmpty && g_pMainWindow)
        g_pMainWindow->RegisterAnimations(this);
}

void CSurf::RemoveAnimation(CSurfAnimation* pAnimation)
{
    if (m_bInAnimationRound) {
        pAnimation->Stop();
        return;
    }
    for (CSurfAnimation** ppLink = &m_pAnimations; *ppLink; ppLink = &(*ppLink)->m_pNext) {
        if (*ppLink == pAnimation) {
            *ppLink = pAnimation->m_pNext;
            delete pAnimation;
            return;
        }
    }
}

void CSurf::DeleteAnimations()
{
    if (m_bInAnimationRound) {
        for (CSurfAnimation* p = m_pAnimations; p; p = p->m_pNext)
            p->Stop();
        return;
    }
    while (m_pAnimations) {
        CSurfAnimation* pNext = m_pAnimations->m_pNext;
        delete m_pAnimations;
        m_pAnimations = pNext;
    }
}

CSurfAnimation* CSurf::FindAnimation(int iKey)
{
    CAnimationListHold hold;
    for (CSurfAnimation* p = m_pAnimations; p; p = p->m_pNext) {
        if (p->Key() == iKey && !p->IsFinished())
            return p;
    }
    return nullptr;
}

void CSurf::StopAnimation(int iKey, ORIENT eOrient)
{
    CAnimationListHold hold;
    CSurfAnimation* p = m_pAnimations;
    while (p) {
        CSurfAnimation* pNext = p->m_pNext;
        const int bOrient = (int)eOrient == ANIMATION_BOTH_ORIENTATIONS || p->Orientation() == eOrient;
        if (p->Key() == iKey && bOrient)
            RemoveAnimation(p);
        p = pNext;
    }
}

// ---- starting ----

void CSurf::Animate(int iKey, int iFrom, int iTo, unsigned int uDuration, unsigned int uDelay,
                    ACCEL_PROFILE eProfile, int iFlags)
{
    CAnimationListHold hold;
    CSurfAnimation* p = m_pAnimations;
    while (p) {
        CSurfAnimation* pNext = p->m_pNext;
        if (p->Key() == iKey && !p->IsFinished()) {
            if (p->EndValue() == iTo || p->Reset(iTo, uDuration))
                return;
            RemoveAnimation(p);
        }
        p = pNext;
    }
    if (iFrom == iTo)
        return;
    AddAnimation(new CSurfAnimation(iKey, iFrom, iTo, uDuration, uDelay, eProfile, iFlags, CMainWnd::m_eOrientation,
                                    ANIMATION_TERM_WAIT, SurfNow()));
}

void CSurf::Animate(ORIENT eOrient, int iKey, CRVRect rcFrom, CRVRect rcTo, int, unsigned int uDuration,
                    unsigned int uDelay, ACCEL_PROFILE eProfile, ANIMATION_TERM eTerm)
{
    CAnimationListHold hold;
    for (CSurfAnimation* p = m_pAnimations; p; p = p->m_pNext) {
        if (p->Key() == iKey && p->Orientation() == eOrient && !p->IsFinished()) {
            if (p->Reset(rcTo, uDuration))
                return;
            RemoveAnimation(p);
            break;
        }
    }
    if (rcFrom == rcTo)
        return;
    if (uDuration == 0) {
        if (iKey == AK_TRANSFORM)
            SetTransform(rcTo);
        else
            SetPosition(eOrient, rcTo, 1);
        return;
    }
    AddAnimation(
        new CSurfAnimationPosition(eOrient, iKey, rcFrom, rcTo, uDuration, uDelay, eProfile, eTerm, SurfNow()));
}

void CSurf::AnimateColor(int iKey, unsigned int uFrom, unsigned int uTo, unsigned int uDuration)
{
    if (uFrom == uTo)
        return;
    CAnimationListHold hold;
    StopAnimation(iKey, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    AddAnimation(new CSurfAnimationColor(iKey, uFrom, uTo, uDuration, CMainWnd::m_eOrientation, SurfNow()));
}

void CSurf::AnimateWithDecel(int iKey, int iStart, int iVelocity, int iDecel, int iLower, int iUpper)
{
    CAnimationListHold hold;
    StopAnimation(iKey, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    AddAnimation(new CSurfDecelAnimation(iKey, iStart, iVelocity, iDecel, iLower, iUpper, CMainWnd::m_eOrientation,
                                         SurfNow()));
}

void CSurf::AnimateJog(ORIENT eOrient, int iKey, int iStart, int iEnd, int iSpeed, int iThreshold)
{
    CAnimationListHold hold;
    StopAnimation(iKey, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    AddAnimation(new CSurfJogAnimation(eOrient, iKey, iStart, iEnd, iSpeed, iThreshold, SurfNow()));
}

void CSurf::AnimateValue(int iKey, int iFrom, int iTo, int iTime, int iFlags)
{
    if (iTime <= 0) {
        // Now means now: no animation of the key may overwrite the value later.
        StopAnimation(iKey, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
        if (iKey == AK_ALPHA)
            SetAlpha(std::clamp(iTo, 0, 255));
        else if (iKey >= AK_ROTATE_X && iKey <= AK_ROTATE_Z)
            SetRotation(iKey - AK_ROTATE_X, iTo);
        return;
    }
    // Fades run evenly; turns speed up and slow down like moves.
    ACCEL_PROFILE eProfile = iKey == AK_ALPHA ? ACCEL_LINEAR : ACCEL_TRAPEZOID;
    Animate(iKey, iFrom, iTo, NonNegative(iTime), 0, eProfile, iFlags);
}

// ---- the animation thread's round ----

int CSurf::ProcessAnimations(const timespec& now)
{
    CAnimationListHold hold;
    if (!(m_iState & SS_ANIMATIONS_HELD)) {
        // Animations added by the callbacks go to the head and wait for the
        // next round; stopped ones are only marked until the sweep below.
        m_bInAnimationRound = 1;
        for (CSurfAnimation* p = m_pAnimations; p; p = p->m_pNext) {
            if (!p->IsFinished() && p->Update(now))
                ProcessAnimationUpdate(p);
        }
        m_bInAnimationRound = 0;
    }
    int iResult = 0;
    CSurfAnimation** ppLink = &m_pAnimations;
    while (*ppLink) {
        CSurfAnimation* p = *ppLink;
        if (p->IsFinished() && !(m_iState & SS_ANIMATIONS_HELD)) {
            *ppLink = p->m_pNext;
            delete p;
            continue;
        }
        if (p->Term() == ANIMATION_TERM_WAIT)
            iResult = 1;
        else if (iResult == 0)
            iResult = 2;
        ppLink = &p->m_pNext;
    }
    return iResult;
}

void CSurf::OffsetAnimations(unsigned int uMS)
{
    CAnimationListHold hold;
    for (CSurfAnimation* p = m_pAnimations; p; p = p->m_pNext)
        p->AddTimeOffset(uMS);
}

void CSurf::SyncAnimation(const timespec& now)
{
    CAnimationListHold hold;
    for (CSurfAnimation* p = m_pAnimations; p; p = p->m_pNext)
        p->Sync(now);
}

// ---- applying values ----

void CSurf::ProcessAnimationUpdate(CSurfAnimation* pAnimation)
{
    const int iKey = pAnimation->Key();
    switch (iKey) {
    case AK_POSITION:
    case AK_BOUNCE:
        SetPosition(pAnimation->Orientation(), pAnimation->PosRect());
        break;
    case AK_ALPHA: {
        const int v = pAnimation->Value();
        SetAlpha(std::clamp(v, 0, 255));
        break;
    }
    case AK_TRANSFORM:
        SetTransform(pAnimation->PosRect());
        break;
    case AK_ROTATE_X:
    case AK_ROTATE_Y:
    case AK_ROTATE_Z:
        SetRotation(iKey - AK_ROTATE_X, pAnimation->Value());
        // A card turned edge-on shows its other face from here.
        if (pAnimation->HasAlphaFlag())
            SetAlpha(pAnimation->GetAlphaVal());
        break;
    case AK_JOG_LEFT:
    case AK_JOG_RIGHT:
        JogAnimationUpdate(pAnimation);
        break;
    default:
        break;
    }
    if (m_pCacheOwner)
        m_pCacheOwner->StateFlags(m_pCacheOwner->StateFlags() | SS_APPEARANCE);
    if (iKey == AK_ALPHA || (iKey >= AK_ROTATE_X && iKey <= AK_ROTATE_Z))
        Invalidate();
}

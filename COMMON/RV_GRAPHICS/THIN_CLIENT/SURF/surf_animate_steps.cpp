// CSurf: the animation messages 20121 (wait until done) and 20122 (start and
// go on) - a list of steps that move, fade, turn, zoom and bounce surfaces.
//
// After the surface ID: int header flags, int step count, then each step:
// int command, int step flags, int (unused), int target ID, rect, int value
// 1, int value 2, and a 16-bit delay when the step flags have 0x1000. The
// data is read as it comes; a step cut short ends the list.
#include "surf.h"

#include <algorithm>
#include <climits>

#include "RVThread.h"
#include "mainwnd.h"
#include "rvlog.h"
#include "rvmsg.h"
#include "rvtick.h"
#include "surf_animation.h"
#include "surf_timer.h"

namespace {

// Step commands.
enum
{
    STEP_POSITION = 1,
    STEP_ALPHA = 2,
    STEP_ATTRIBUTE = 4,
    STEP_COVER = 8,
    STEP_CURSOR = 32,
    STEP_ROTATION = 34,
    STEP_CURSOR_ALPHA = 35,
    STEP_ZOOM = 4096,
    STEP_BOUNCE = 8192,
    STEP_ATTRIBUTE_EXT = 0x8000,
};
// Step flags.
enum { STEP_AT_ONCE = 0x2, STEP_HAS_DELAY = 0x1000 };
// The pause is waited in slices so that a stopping session is not held up.
enum { PAUSE_SLICE_MS = 20 };

struct ANIMATION_HEADER
{
    unsigned int uDuration;     // of every step not done at once
    ACCEL_PROFILE eProfile;     // of position, transform and rotation steps
    unsigned int uPause;        // ms after all steps
};

struct ANIMATION_STEP
{
    int iCommand;
    int iFlags;
    int iTarget;
    CRVRect rc;
    int iValue1;
    int iValue2;
    unsigned int uDelay;
};

ANIMATION_HEADER ReadHeader(int iFlags)
{
    ANIMATION_HEADER h;
    if ((iFlags & 0x50000) == 0x50000)
        h.uDuration = 900;
    else if (iFlags & 0x40000)
        h.uDuration = 450;
    else
        h.uDuration = 250;
    h.eProfile = (iFlags & 0x8000) ? ACCEL_EASE_OUT : ACCEL_TRAPEZOID;
    h.uPause = ((unsigned int)iFlags >> 16) & 0xFFFF;
    return h;
}

int ReadStep(CRVMSG* pMsg, ANIMATION_STEP* pStep)
{
    pStep->iCommand = pMsg->GetInt();
    pStep->iFlags = pMsg->GetInt();
    pMsg->GetInt();
    pStep->iTarget = pMsg->GetInt();
    pStep->rc = pMsg->GetRECT();
    pStep->iValue1 = pMsg->GetInt();
    pStep->iValue2 = pMsg->GetInt();
    pStep->uDelay = (pStep->iFlags & STEP_HAS_DELAY) ? pMsg->GetWORD() : 0;
    return !pMsg->Error();
}

int ClampAlpha(int v)
{
    return std::clamp(v, 0, 255);
}

// Step offsets come from the controller unchecked; sums saturate rather
// than overflow.
int ClampToInt(long long v)
{
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : (int)v);
}

int Centre(int iStart, int iSize)
{
    return ClampToInt(((long long)iStart * 2 + iSize) / 2);
}

// Per mille of a size; 1000 for a target without size.
int Scale(int iOther, int iTarget)
{
    return iTarget > 0 ? ClampToInt((long long)iOther * 1000 / iTarget) : 1000;
}

// The transform that makes pTarget cover pOther (identity without it).
CRVRect CoverTransform(CSurf* pTarget, CSurf* pOther, ORIENT eOrient)
{
    if (!pOther)
        return CRVRect(0, 0, 1000, 1000);
    const CRVRect t = pTarget->ScreenRect(eOrient);
    const CRVRect o = pOther->ScreenRect(eOrient);
    return CRVRect(ClampToInt((long long)Centre(o.x, o.width) - Centre(t.x, t.width)),
                   ClampToInt((long long)Centre(o.y, o.height) - Centre(t.y, t.height)), Scale(o.width, t.width),
                   Scale(o.height, t.height));
}

// Scale (per mille) about a point given from the surface's top left.
int ZoomOffset(int iPoint, int iSize, int iScale)
{
    const long long u = (long long)iPoint - iSize / 2;
    return ClampToInt(u - u * iScale / 1000);
}

class CStepRunner
{
public:
    CStepRunner(CSurf* pSurf, const ANIMATION_HEADER& header)
        : m_pSurf(pSurf), m_h(header), m_eOrient(CMainWnd::m_eOrientation)
    {
    }
    void Run(const ANIMATION_STEP& s);

private:
    // Inside the addressed surface; traced when missing.
    CSurf* Target(const ANIMATION_STEP& s);
    // Anywhere in the tree.
    CSurf* Anywhere(int iID);

    CSurf* m_pSurf;
    ANIMATION_HEADER m_h;
    ORIENT m_eOrient;
};

CSurf* CStepRunner::Target(const ANIMATION_STEP& s)
{
    CSurf* pTarget = m_pSurf->FindSurface(s.iTarget);
    if (!pTarget)
        RVLog(RV_LOG_DEBUG, "MISSING SURF IN ANIMATEASYNC");
    return pTarget;
}

CSurf* CStepRunner::Anywhere(int iID)
{
    CSurf* pRoot = g_pMainWindow ? static_cast<CSurf*>(g_pMainWindow) : m_pSurf;
    if (!g_pMainWindow)
        while (pRoot->Parent())
            pRoot = pRoot->Parent();
    return pRoot->FindSurface(iID);
}

void CStepRunner::Run(const ANIMATION_STEP& s)
{
    const int bAtOnce = (s.iFlags & STEP_AT_ONCE) != 0;
    const unsigned int uDuration = bAtOnce ? 0 : m_h.uDuration;
    CSurf* pTarget = nullptr;
    switch (s.iCommand) {
    case STEP_POSITION:
    case STEP_ALPHA:
    case STEP_ATTRIBUTE:
    case STEP_COVER:
    case STEP_ROTATION:
    case STEP_ATTRIBUTE_EXT:
        pTarget = Target(s);
        if (!pTarget)
            return;
        break;
    default:
        break;
    }

    switch (s.iCommand) {
    case STEP_POSITION:
        pTarget->Animate(m_eOrient, AK_POSITION, pTarget->Position(m_eOrient), s.rc, s.iFlags, uDuration, s.uDelay,
                         m_h.eProfile, ANIMATION_TERM_WAIT);
        // A move done at once is not drawn by itself.
        if (uDuration == 0)
            pTarget->Invalidate();
        break;
    case STEP_ALPHA:
        if (bAtOnce) {
            pTarget->StopAnimation(AK_ALPHA, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
            pTarget->SetAlpha(ClampAlpha(s.iValue2));
        } else {
            pTarget->Animate(AK_ALPHA, pTarget->Alpha(), ClampAlpha(s.iValue2), uDuration, s.uDelay, ACCEL_LINEAR, 0);
        }
        break;
    case STEP_ATTRIBUTE:
        pTarget->SetAttribute(s.iValue1, s.iValue2, (int)uDuration);
        break;
    case STEP_COVER:
        pTarget->Animate(m_eOrient, AK_TRANSFORM, pTarget->GetTransform(),
                         CoverTransform(pTarget, Anywhere(s.iValue1), m_eOrient), s.iFlags, uDuration, s.uDelay,
                         m_h.eProfile, ANIMATION_TERM_WAIT);
        break;
    case STEP_CURSOR:
        if (g_pMainWindow)
            g_pMainWindow->SetCursorPosition(s.iTarget, (s.iValue1 >> 16) & 0xFFFF, s.iValue1 & 0xFFFF,
                                             (s.iValue2 >> 16) & 0xFFFF, s.iValue2 & 0xFFFF, m_h.uDuration);
        break;
    case STEP_ROTATION: {
        if (s.iValue1 < 0 || s.iValue1 > 2)
            break;
        const int iKey = AK_ROTATE_X + s.iValue1;
        if (bAtOnce) {
            pTarget->StopAnimation(iKey, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
            pTarget->SetRotation(s.iValue1, s.iValue2);
        } else {
            pTarget->Animate(iKey, pTarget->GetRotation(s.iValue1), s.iValue2, uDuration, s.uDelay, m_h.eProfile,
                             s.iFlags);
        }
        break;
    }
    case STEP_CURSOR_ALPHA:
        // The focus cursor fades with the cursor code; without a cursor
        // there is nothing to fade.
        RVLog(RV_LOG_DEBUG, "animation step %d: no focus cursor", s.iCommand);
        break;
    case STEP_ZOOM:
        if (CSurf* pZoomed = Anywhere(s.iValue1)) {
            const CRVRect pos = pZoomed->Position(m_eOrient);
            const CRVRect to(ZoomOffset(s.rc.x, pos.width, s.rc.width), ZoomOffset(s.rc.y, pos.height, s.rc.height),
                             s.rc.width, s.rc.height);
            pZoomed->Animate(m_eOrient, AK_TRANSFORM, pZoomed->GetTransform(), to, s.iFlags, uDuration, s.uDelay,
                             m_h.eProfile, ANIMATION_TERM_WAIT);
        }
        break;
    case STEP_BOUNCE:
        if (CSurf* pBounced = Anywhere(s.iValue1)) {
            const CRVRect from = pBounced->Position(m_eOrient);
            CRVRect to = from;
            to.x = ClampToInt((long long)to.x + s.rc.x);
            to.y = ClampToInt((long long)to.y + s.rc.y);
            pBounced->Animate(m_eOrient, AK_BOUNCE, from, to, s.iFlags, uDuration, s.uDelay, m_h.eProfile,
                              ANIMATION_TERM_WAIT);
        }
        break;
    case STEP_ATTRIBUTE_EXT:
        pTarget->SetAttributeExt((int)((unsigned int)s.iFlags & 0xFFFF0000u), s.iValue1, s.iValue2, (int)uDuration);
        break;
    default:
        break;
    }
}

// Reads the header and runs every step; the pause that follows them.
unsigned int RunSteps(CSurf* pSurf, CRVMSG* pMsg)
{
    pMsg->ResetRead();
    pMsg->GetInt();     // the surface ID
    const ANIMATION_HEADER h = ReadHeader(pMsg->GetInt());
    int iCount = pMsg->GetInt();
    if (pMsg->Error())
        return 0;
    CStepRunner runner(pSurf, h);
    ANIMATION_STEP step;
    for (int i = 0; i < iCount && ReadStep(pMsg, &step); i++)
        runner.Run(step);
    return h.uPause;
}

// Holds back the controller's next messages for the pause. Only a running
// session loop has messages to hold back; one being stopped ends it.
void Pause(unsigned int uMS)
{
    CMainWnd* pWnd = g_pMainWindow;
    if (!pWnd || !pWnd->IsSocketHandlerRunning())
        return;
    const uint32_t uStart = RVGetTickCount();
    for (;;) {
        const uint32_t uPassed = RVTickSince(uStart);
        if (uPassed >= uMS || !(pWnd->RunFlags() & CMainWnd::RUN_SOCKET))
            return;
        const uint32_t uLeft = uMS - uPassed;
        Sleep(uLeft < (uint32_t)PAUSE_SLICE_MS ? uLeft : (uint32_t)PAUSE_SLICE_MS);
    }
}

}  // namespace

void CSurf::ExecuteAnimationAsync(CRVMSG* pMsg)
{
    CMainWnd* pWnd = g_pMainWindow;
    if (pWnd)
        pWnd->AnimationLock()->RVLock();
    const unsigned int uPause = RunSteps(this, pMsg);
    if (!pWnd)
        return;
    pWnd->AnimationLock()->RVUnlock();
    if (uPause) {
        // Drawing and input go on meanwhile.
        pWnd->TreeLock()->RVUnlock();
        Pause(uPause);
        pWnd->TreeLock()->RVLock();
    }
}

void CSurf::ExecuteAnimationSync(CRVMSG* pMsg)
{
    CMainWnd* pWnd = g_pMainWindow;
    if (!pWnd) {
        RunSteps(this, pMsg);
        return;
    }
    pWnd->AnimationLock()->RVLock();
    // Reset under the list lock: a round that ended before these steps
    // cannot then report them done.
    pWnd->ResetWaitAnimations();
    const unsigned int uPause = RunSteps(this, pMsg);
    pWnd->TreeLock()->RVUnlock();
    pWnd->SyncAnimations(SurfNow());
    pWnd->AnimationLock()->RVUnlock();
    // This surface may be gone once the tree lock is free: only the main
    // window is used from here on.
    pWnd->WaitAnimations();
    Pause(uPause);
    pWnd->TreeLock()->RVLock();
}

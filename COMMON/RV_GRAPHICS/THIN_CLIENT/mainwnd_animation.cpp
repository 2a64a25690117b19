// CMainWnd: the animation thread, with the posted procedures, the delay
// timers and the animating surfaces it serves each round.
#include "mainwnd.h"

#include "rvdebug.h"
#include "rvtick.h"
#include "surf_animation.h"
#include "surf_timer.h"

enum { STOP_POLL_MS = 50, WAIT_ANIMATIONS_MS = 2000, WAIT_PROCS_MS = 30000, PENDING_ANIMATION_MS = 5000 };
// The screen's turn: progress 0 .. 1000 over this time.
enum { ORIENT_TURN_FULL = 1000, ORIENT_TURN_MS = 250 };
// A burst of redraws longer than this reports its frame rate.
enum { FPS_TRACE_MS = 100 };

void* CMainWnd::AnimationThreadProc(void* pArg)
{
    static_cast<CMainWnd*>(pArg)->RunAnimationThread();
    return nullptr;
}

void CMainWnd::StartAnimationHandler()
{
    SetRunFlags(RUN_ANIMATION);
    if (!m_AnimThread.IsRunning()) {
        m_AnimThread.Start(AnimationThreadProc, this, THREAD_STACK, "Animation");
        m_AnimThread.SetPriority(ANIMATION_PRIORITY);
    }
}

void CMainWnd::StopAnimationHandler()
{
    ClearRunFlags(RUN_ANIMATION);
    m_AnimWake.SetEvent();
    if (m_AnimThread.IsRunning() && pthread_equal(m_AnimThreadID, pthread_self()))
        return;
    while (m_AnimThread.IsRunning())
        Sleep(STOP_POLL_MS);
}

int CMainWnd::AnythingPending()
{
    if (m_pAnimating || HasTimers() || (StateFlags() & SS_DEFERRED_REDRAW))
        return 1;
    m_QueueLock.RVLock();
    int iProcs = m_iProcCount;
    m_QueueLock.RVUnlock();
    return iProcs > 0;
}

void CMainWnd::RunAnimationThread()
{
    m_AnimThreadID = pthread_self();
    uint32_t uRoundStart = RVGetTickCount();
    while (RunFlags() & RUN_ANIMATION) {
        if (!AnythingPending()) {
            m_AnimWake.WaitSignal(IDLE_WAIT_MS);
        } else {
            uint32_t uElapsed = RVTickSince(uRoundStart);
            if (uElapsed < ROUND_MS)
                m_AnimWake.WaitSignal(ROUND_MS - uElapsed);
        }
        if (!(RunFlags() & RUN_ANIMATION))
            break;

        RunPostedProcs();
        uRoundStart = RVGetTickCount();
        AnimationRound();
    }
}

void CMainWnd::AnimationRound()
{
    const timespec now = SurfNow();
    RunTimers(now);

    int bWalked = 0;
    RunAnimations(now, &bWalked);

    RVT_MATRIX_CONFIG config;
    config.eOrientation = m_eOrientation;
    config.iOrientMode = m_iOrientAnimMode;
    config.iOrientProgress = m_iOrientAnimProgress;
    m_bRedrawRequested = 0;
    ValidateScreen(&config);
    CountRedraw(m_bRedrawRequested);
}

void CMainWnd::RunPostedProcs()
{
    m_QueueLock.RVLock();
    if (m_iProcCount == 0) {
        m_QueueLock.RVUnlock();
        return;
    }
    for (int i = 0; i < m_iProcCount; i++)
        m_pProcs[i]->DoProc();
    m_iProcCount = 0;
    m_QueueLock.RVUnlock();
    m_ProcsDone.SetEvent();
}

void CMainWnd::RunTimers(const timespec& now)
{
    if (!HasTimers())
        return;
    // Timer callbacks touch their surfaces: tree lock first, as everywhere.
    m_TreeLock.RVLock();
    m_TimerLock.RVLock();
    m_bTimersRunning = 1;
    for (CSurfTimer* p = m_pTimers; p; p = p->m_pNext) {
        if (!p->IsDone())
            p->CheckExecute(now);
    }
    m_bTimersRunning = 0;
    CSurfTimer** ppLink = &m_pTimers;
    while (*ppLink) {
        CSurfTimer* p = *ppLink;
        if (p->IsDone()) {
            *ppLink = p->m_pNext;
            delete p;
        } else {
            ppLink = &p->m_pNext;
        }
    }
    m_TimerLock.RVUnlock();
    m_TreeLock.RVUnlock();
}

int CMainWnd::RunAnimations(const timespec& now, int* pbWalked)
{
    int iResult = 0;
    m_bAnimationsRunning = 1;
    if (m_pAnimating) {
        *pbWalked = 1;
        m_TreeLock.RVLock();
        m_AnimLock.RVLock();
        CSurf** ppLink = &m_pAnimating;
        while (*ppLink) {
            CSurf* pSurf = *ppLink;
            int iState = pSurf->ProcessAnimations(now);
            // A surface that left the list in its own round (removed from
            // the tree by one of its updates) is already unlinked.
            if (*ppLink != pSurf)
                continue;
            if (iState == 0) {
                *ppLink = pSurf->m_pNextAnimating;
                pSurf->m_pNextAnimating = nullptr;
                pSurf->AnimationsCompleted();
                continue;
            }
            if (iState == 1 || iResult == 0)
                iResult = iState;
            ppLink = &pSurf->m_pNextAnimating;
        }
        if (iResult != 1)
            m_AnimsDone.SetEvent();
        m_AnimLock.RVUnlock();
        m_TreeLock.RVUnlock();
    }
    m_bAnimationsRunning = 0;
    return iResult;
}

void CMainWnd::CountRedraw(int bRedrawn)
{
    if (bRedrawn) {
        if (m_uBurstRedraws++ == 0)
            m_uBurstStart = RVGetTickCount();
        return;
    }
    if (m_uBurstRedraws > 1) {
        uint32_t uLength = RVTickSince(m_uBurstStart);
        if (uLength > FPS_TRACE_MS)
            RVLog(RV_LOG_DEBUG, "%d fps (%d ms)\n", (int)(m_uBurstRedraws * 1000 / uLength), (int)uLength);
    }
    m_uBurstRedraws = 0;
}

// ---- animating surfaces ----

void CMainWnd::RegisterAnimations(CSurf* pSurf)
{
    m_AnimLock.RVLock();
    int bListed = 0;
    for (CSurf* p = m_pAnimating; p; p = p->m_pNextAnimating) {
        if (p == pSurf) {
            bListed = 1;
            break;
        }
    }
    if (!bListed) {
        pSurf->m_pNextAnimating = m_pAnimating;
        m_pAnimating = pSurf;
    }
    m_AnimLock.RVUnlock();
    SetAnimationExecuteEvent();
}

void CMainWnd::UnRegisterAnimations(CSurf* pSurf)
{
    m_AnimLock.RVLock();
    for (CSurf** ppLink = &m_pAnimating; *ppLink; ppLink = &(*ppLink)->m_pNextAnimating) {
        if (*ppLink == pSurf) {
            *ppLink = pSurf->m_pNextAnimating;
            pSurf->m_pNextAnimating = nullptr;
            break;
        }
    }
    m_AnimLock.RVUnlock();
}

void CMainWnd::OffsetAnimationTimes(unsigned int uMS)
{
    m_AnimLock.RVLock();
    for (CSurf* p = m_pAnimating; p; p = p->m_pNextAnimating)
        p->OffsetAnimations(uMS);
    m_AnimLock.RVUnlock();
}

void CMainWnd::SyncAnimations(const timespec& now)
{
    m_AnimLock.RVLock();
    for (CSurf* p = m_pAnimating; p; p = p->m_pNextAnimating)
        p->SyncAnimation(now);
    m_AnimLock.RVUnlock();
}

void CMainWnd::WaitAnimations()
{
    m_AnimLock.RVLock();
    const int bAnimating = m_pAnimating != nullptr;
    m_AnimLock.RVUnlock();
    if (bAnimating && m_AnimThread.IsRunning())
        m_AnimsDone.WaitSignal(WAIT_ANIMATIONS_MS);
}

void CMainWnd::ResetWaitAnimations()
{
    m_AnimsDone.ResetEvent();
}

int CMainWnd::AnimationsDone()
{
    return m_AnimsDone.WaitSignal(0);
}

// ---- the screen's turn ----

void CMainWnd::StartOrientationTurn(ORIENT eOrient)
{
    m_AnimLock.RVLock();
    StopAnimation(AK_TURN_TO_0, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    StopAnimation(AK_TURN_TO_1, (ORIENT)ANIMATION_BOTH_ORIENTATIONS);
    m_iOrientAnimMode = eOrient == ORIENT_1 ? 2 : 1;
    m_iOrientAnimProgress = 0;
    Animate(eOrient == ORIENT_1 ? AK_TURN_TO_1 : AK_TURN_TO_0, 0, ORIENT_TURN_FULL, ORIENT_TURN_MS, 0, ACCEL_LINEAR,
            0);
    m_AnimLock.RVUnlock();
}

void CMainWnd::ProcessAnimationUpdate(CSurfAnimation* pAnimation)
{
    const int iKey = pAnimation->Key();
    if (iKey != AK_TURN_TO_0 && iKey != AK_TURN_TO_1) {
        CSurfRect::ProcessAnimationUpdate(pAnimation);
        return;
    }
    // Drawing blends the two orientations' rectangles by the progress; at
    // the end the screen shows the new orientation alone.
    if (pAnimation->IsFinished()) {
        m_iOrientAnimMode = 0;
        m_iOrientAnimProgress = 0;
    } else {
        m_iOrientAnimProgress = pAnimation->Value();
    }
    SetStateBits(SS_NEEDS_REDRAW);
}

void CMainWnd::SetPendingAnimation()
{
    m_uPendingAnimationTime = RVGetTickCount();
    m_bPendingAnimation = 1;
}

int CMainWnd::IsPendingAnimation()
{
    if (!m_bPendingAnimation)
        return 0;
    if (RVTickSince(m_uPendingAnimationTime) < PENDING_ANIMATION_MS)
        return 1;
    m_bPendingAnimation = 0;
    return 0;
}

void CMainWnd::ClearPendingAnimation()
{
    m_bPendingAnimation = 0;
}

// ---- delay timers ----

void CMainWnd::SetDelayCallback(CSurf* pSurf, unsigned int uDelay, int bRepeat)
{
    CSurfTimer* pTimer = new CSurfTimer(pSurf, uDelay, bRepeat);
    m_TimerLock.RVLock();
    pTimer->m_pNext = m_pTimers;
    m_pTimers = pTimer;
    m_TimerLock.RVUnlock();
    // Start 20 ms rounds now rather than after the idle wait.
    SetAnimationExecuteEvent();
}

void CMainWnd::CancelDelayCallback(CSurf* pSurf)
{
    m_TimerLock.RVLock();
    CSurfTimer** ppLink = &m_pTimers;
    while (*ppLink) {
        CSurfTimer* p = *ppLink;
        if (p->Surf() != pSurf) {
            ppLink = &p->m_pNext;
        } else if (m_bTimersRunning) {
            // A timer callback cancelling: the round unlinks it afterwards.
            p->Cancel();
            ppLink = &p->m_pNext;
        } else {
            *ppLink = p->m_pNext;
            delete p;
        }
    }
    m_TimerLock.RVUnlock();
}

int CMainWnd::HasTimers()
{
    m_TimerLock.RVLock();
    int bAny = m_pTimers != nullptr;
    m_TimerLock.RVUnlock();
    return bAny;
}

// ---- posted procedures ----

int CMainWnd::PostProc(CMainThreadProc* pProc)
{
    m_QueueLock.RVLock();
    if (m_iProcCount >= MAX_PROCS) {
        m_QueueLock.RVUnlock();
        return 0;
    }
    m_pProcs[m_iProcCount++] = pProc;
    m_ProcsDone.ResetEvent();
    m_QueueLock.RVUnlock();
    SetAnimationExecuteEvent();
    return 1;
}

void CMainWnd::ClearPendingProcs()
{
    m_QueueLock.RVLock();
    m_iProcCount = 0;
    m_QueueLock.RVUnlock();
    m_ProcsDone.SetEvent();
}

void CMainWnd::WaitProc()
{
    WaitProc(WAIT_PROCS_MS);
}

void CMainWnd::WaitProc(unsigned int uMS)
{
    m_QueueLock.RVLock();
    int iPending = m_iProcCount;
    m_QueueLock.RVUnlock();
    if (iPending)
        m_ProcsDone.WaitSignal(uMS);
}

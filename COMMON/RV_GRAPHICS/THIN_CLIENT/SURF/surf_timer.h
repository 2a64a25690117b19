// CSurfTimer: a delayed or repeating callback of a surface, run by the main
// window's animation thread (CMainWnd::SetDelayCallback).
#pragma once

#include <time.h>

class CSurf;

class CSurfTimer
{
public:
    // Delay in milliseconds; bRepeat non-zero fires every delay, 0 once.
    CSurfTimer(CSurf* pSurf, unsigned int uDelay, int bRepeat);
    virtual ~CSurfTimer();

    CSurfTimer(const CSurfTimer&) = delete;
    CSurfTimer& operator=(const CSurfTimer&) = delete;

    // Called every animation round. The first call starts the clock. When the
    // delay has passed the surface's ExecuteTimer runs; a repeating timer then
    // restarts from now, a one-shot one marks itself done. Returns the
    // milliseconds until the timer is due (0 when it just fired or is done).
    unsigned int CheckExecute(const timespec& now);

    // Done without firing again (cancelled while the timer list is walked).
    void Cancel() { m_bDone = 1; m_pSurf = nullptr; }
    CSurf* Surf() const { return m_pSurf; }
    int IsDone() const { return m_bDone; }

    CSurfTimer* m_pNext;    // link of the main window's timer list

private:
    CSurf* m_pSurf;
    unsigned int m_uDelay;
    int m_bRepeat;
    timespec m_tStart;
    int m_bStarted;
    int m_bDone;
};

// Milliseconds from start to now (0 when now lies before start).
unsigned int SurfTimeDiffMS(const timespec& start, const timespec& now);
// The clock every surface timer and animation reads (monotonic).
timespec SurfNow();
// Replaces that clock (tests drive time step by step); null restores the
// monotonic one. The function may be called from any thread.
void SurfSetClock(timespec (*pfnNow)());

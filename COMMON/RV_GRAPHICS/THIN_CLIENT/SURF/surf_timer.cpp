#include "surf_timer.h"

#include "surf.h"

unsigned int SurfTimeDiffMS(const timespec& start, const timespec& now)
{
    long long ms = (long long)(now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    if (ms < 0)
        return 0;
    return ms > 0xFFFFFFFFLL ? 0xFFFFFFFFu : (unsigned int)ms;
}

namespace {

timespec (*volatile g_pfnSurfClock)() = nullptr;

}  // namespace

timespec SurfNow()
{
    if (timespec (*pfn)() = __atomic_load_n(&g_pfnSurfClock, __ATOMIC_ACQUIRE))
        return pfn();
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

void SurfSetClock(timespec (*pfnNow)())
{
    __atomic_store_n(&g_pfnSurfClock, pfnNow, __ATOMIC_RELEASE);
}

CSurfTimer::CSurfTimer(CSurf* pSurf, unsigned int uDelay, int bRepeat)
    : m_pNext(nullptr), m_pSurf(pSurf), m_uDelay(uDelay), m_bRepeat(bRepeat), m_tStart(), m_bStarted(0), m_bDone(0)
{
}

CSurfTimer::~CSurfTimer() = default;

unsigned int CSurfTimer::CheckExecute(const timespec& now)
{
    if (m_bDone)
        return 0;
    if (!m_bStarted) {
        m_bStarted = 1;
        m_tStart = now;
        return m_uDelay;
    }
    unsigned int elapsed = SurfTimeDiffMS(m_tStart, now);
    if (elapsed < m_uDelay)
        return m_uDelay - elapsed;
    // Mark a one-shot timer done before the callback, so a callback that
    // starts a fresh timer for the same surface is never mistaken for this one.
    if (m_bRepeat)
        m_tStart = now;
    else
        m_bDone = 1;
    if (m_pSurf)
        m_pSurf->ExecuteTimer();
    return m_bRepeat ? m_uDelay : 0;
}

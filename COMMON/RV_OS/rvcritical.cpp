#include "rvcritical.h"

#include "RVThread.h"
#include "rvdebug.h"
#include "rvtick.h"

CRVCritical::CRVCritical()
{
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    int err = pthread_mutex_init(&m_mutex, &attr);
    RV_ASSERT(err == 0);
    pthread_mutexattr_destroy(&attr);
}

CRVCritical::~CRVCritical()
{
    pthread_mutex_destroy(&m_mutex);
}

int CRVCritical::RVLock()
{
    int err = pthread_mutex_lock(&m_mutex);
    if (err != 0) {
        AssertDlg(__FILE__, __LINE__, err);
        return 0;
    }
    return 1;
}

int CRVCritical::RVLock(const char*, int)
{
    return RVLock(10, 5000);
}

int CRVCritical::RVLockSilent()
{
    return RVLock(10, 5000);
}

int CRVCritical::RVLockFast()
{
    return RVLock(10, 250);
}

int CRVCritical::RVLock(int iIntervalMs, int iTimeoutMs)
{
    uint32_t interval = iIntervalMs > 0 ? (uint32_t)iIntervalMs : 0;
    uint32_t timeout = iTimeoutMs > 0 ? (uint32_t)iTimeoutMs : 0;
    uint32_t start = RVGetTickCount();
    for (;;) {
        if (RVTryLock())
            return 1;
        uint32_t elapsed = RVTickSince(start);
        if (elapsed >= timeout)
            return 0;
        // Never sleep past the time-out.
        uint32_t left = timeout - elapsed;
        Sleep(interval < left ? interval : left);
    }
}

int CRVCritical::RVUnlock()
{
    int err = pthread_mutex_unlock(&m_mutex);
    if (err != 0) {
        AssertDlg(__FILE__, __LINE__, err);
        return 0;
    }
    return 1;
}

int CRVCritical::RVTryLock()
{
    return pthread_mutex_trylock(&m_mutex) == 0 ? 1 : 0;
}

// CRVSemaphore: an event, a signalled flag that threads wait on.
//
// Manual reset: the flag stays set until ResetEvent and releases every waiter.
// Automatic reset: each SetEvent releases one waiter, whose successful wait
// clears the flag. Both start unsignalled. The flag is tested and changed only
// under the event's own mutex, so a SetEvent that races with a waiter about to
// sleep is never lost.
#pragma once

#include "RVThread.h"

#include <pthread.h>

class CRVSemaphore
{
public:
    explicit CRVSemaphore(int bManual);
    virtual ~CRVSemaphore();

    CRVSemaphore(const CRVSemaphore&) = delete;
    CRVSemaphore& operator=(const CRVSemaphore&) = delete;

    // Each returns 1.
    int SetEvent();
    int ResetEvent();
    // 1 when signalled within ms milliseconds (clearing the flag in automatic
    // mode), 0 on time-out. 0 ms only tests the flag. A cancellation point.
    RV_CANCELLATION_POINT int WaitSignal(unsigned int ms);

    // The same on an event pointer; 0 for a null event.
    static int SetEvent(CRVSemaphore* pEvent);
    static int ResetEvent(CRVSemaphore* pEvent);
    static int WaitSignal(CRVSemaphore* pEvent, unsigned int ms);

private:
    pthread_cond_t m_cond;
    pthread_mutex_t m_mutex;
    int m_bSignalled;
    int m_bManual;
};

class CRVManualSemaphore : public CRVSemaphore
{
public:
    CRVManualSemaphore() : CRVSemaphore(1) {}
};

class CRVAutoSemaphore : public CRVSemaphore
{
public:
    CRVAutoSemaphore() : CRVSemaphore(0) {}
};

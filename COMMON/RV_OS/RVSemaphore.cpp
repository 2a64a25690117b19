#include "RVSemaphore.h"

#include "rvdebug.h"

#include <errno.h>
#include <time.h>

namespace {

// Releases the mutex when the scope ends, also when a cancelled wait unwinds
// the stack: pthread_cond_timedwait is left with the mutex held then, and an
// event whose mutex stays locked would block every later SetEvent.
struct Unlocker
{
    pthread_mutex_t* pMutex;
    ~Unlocker() { pthread_mutex_unlock(pMutex); }
};

}  // namespace

CRVSemaphore::CRVSemaphore(int bManual)
    : m_bSignalled(0), m_bManual(bManual ? 1 : 0)
{
    pthread_mutex_init(&m_mutex, nullptr);
    // Deadlines on the monotonic clock: a change of the system time must not
    // stretch or cut a wait.
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    int err = pthread_cond_init(&m_cond, &attr);
    RV_ASSERT(err == 0);
    pthread_condattr_destroy(&attr);
}

CRVSemaphore::~CRVSemaphore()
{
    pthread_cond_destroy(&m_cond);
    pthread_mutex_destroy(&m_mutex);
}

int CRVSemaphore::SetEvent()
{
    pthread_mutex_lock(&m_mutex);
    m_bSignalled = 1;
    // A manual event stays set, so every waiter may go; an automatic one
    // lets exactly one through.
    if (m_bManual)
        pthread_cond_broadcast(&m_cond);
    else
        pthread_cond_signal(&m_cond);
    pthread_mutex_unlock(&m_mutex);
    return 1;
}

int CRVSemaphore::ResetEvent()
{
    pthread_mutex_lock(&m_mutex);
    m_bSignalled = 0;
    pthread_mutex_unlock(&m_mutex);
    return 1;
}

int CRVSemaphore::WaitSignal(unsigned int ms)
{
    pthread_mutex_lock(&m_mutex);
    Unlocker unlock{&m_mutex};
    if (!m_bSignalled && ms > 0) {
        timespec deadline;
        clock_gettime(CLOCK_MONOTONIC, &deadline);
        deadline.tv_sec += ms / 1000;
        deadline.tv_nsec += (long)(ms % 1000) * 1000000L;
        if (deadline.tv_nsec >= 1000000000L) {
            deadline.tv_sec += 1;
            deadline.tv_nsec -= 1000000000L;
        }
        // Loop on the flag: a wake-up alone proves nothing (spurious wake-ups,
        // or another waiter took an automatic signal first).
        while (!m_bSignalled) {
            if (pthread_cond_timedwait(&m_cond, &m_mutex, &deadline) == ETIMEDOUT)
                break;
        }
    }
    int result = m_bSignalled;
    if (result && !m_bManual)
        m_bSignalled = 0;
    return result;
}

int CRVSemaphore::SetEvent(CRVSemaphore* pEvent)
{
    return pEvent ? pEvent->SetEvent() : 0;
}

int CRVSemaphore::ResetEvent(CRVSemaphore* pEvent)
{
    return pEvent ? pEvent->ResetEvent() : 0;
}

int CRVSemaphore::WaitSignal(CRVSemaphore* pEvent, unsigned int ms)
{
    return pEvent ? pEvent->WaitSignal(ms) : 0;
}

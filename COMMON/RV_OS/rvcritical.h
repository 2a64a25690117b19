// CRVCritical: the engine's lock, a recursive mutex.
//
// Recursive because code that holds a lock (the tree lock above all) calls into
// code that takes it again; it is released after as many RVUnlock calls as
// successful locks. The timed forms poll a non-blocking try, so they never wait
// past their time-out even when the owner never lets go.
#pragma once

#include <pthread.h>

class CRVCritical
{
public:
    CRVCritical();
    virtual ~CRVCritical();

    CRVCritical(const CRVCritical&) = delete;
    CRVCritical& operator=(const CRVCritical&) = delete;

    // Blocks until the lock is held; 1, or 0 (reported) if the mutex failed.
    int RVLock();
    // Debug form: the location only helps a reader of a hung thread's stack.
    // Tries every 10 ms for 5000 ms; 1 when taken, 0 on time-out.
    int RVLock(const char* pszFile, int iLine);
    // Tries every 10 ms for 5000 ms.
    int RVLockSilent();
    // Tries every 10 ms for 250 ms.
    int RVLockFast();
    // Tries every iIntervalMs for iTimeoutMs (negative values count as 0).
    int RVLock(int iIntervalMs, int iTimeoutMs);

    // 1 once released; 0 (reported) when the calling thread does not hold it.
    int RVUnlock();
    // 1 if taken without waiting, else 0.
    int RVTryLock();

private:
    pthread_mutex_t m_mutex;
};

// Holds a lock for its scope; a null lock (an object that has none in this
// process, such as a tree without a main window) is no lock at all.
class CRVHold
{
public:
    explicit CRVHold(CRVCritical* pLock) : m_pLock(pLock)
    {
        if (m_pLock)
            m_pLock->RVLock();
    }
    ~CRVHold()
    {
        if (m_pLock)
            m_pLock->RVUnlock();
    }
    CRVHold(const CRVHold&) = delete;
    CRVHold& operator=(const CRVHold&) = delete;

private:
    CRVCritical* m_pLock;
};

// CRVThread: starts and supervises one worker thread; Sleep.
//
// One owner starts and watches each thread object; the object itself is not
// locked. Ending is cooperative: owners ask their procedure to return (a flag
// and an event), wait with WaitComplete, and fall back to Terminate only when
// it does not.
#pragma once

#include <pthread.h>

typedef void* (*RVTHREAD_PROC)(void* pArg);

// Marks the engine's own functions that block in a cancellation point
// (Terminate cancels there). The stack unwinds through them without running
// their epilogues; under AddressSanitizer their guard zones would stay marked
// and trip the sanitizer when the unwinding reaches an instrumented caller.
#define RV_CANCELLATION_POINT __attribute__((no_sanitize("address")))

class CRVThread
{
public:
    CRVThread();
    // Detaches a thread that is still held: never waits, never cancels.
    virtual ~CRVThread();

    CRVThread(const CRVThread&) = delete;
    CRVThread& operator=(const CRVThread&) = delete;

    // Runs pProc(pArg) on a new thread with default attributes (the stack size
    // and the name are accepted for the callers' benefit and not applied). An
    // earlier thread still held is detached and runs on by itself. Returns the
    // creation error code, 0 on success.
    int Start(RVTHREAD_PROC pProc, void* pArg, int iStackSize = 0, const char* pszName = nullptr);

    // 1 while the procedure runs. Once it has returned, joins the thread, drops
    // it and returns 0; 0 as well when no thread is held.
    int IsRunning();
    // 1 exactly once after a started thread has ended; 0 while it runs or when
    // nothing was started.
    int SignalCompleted();
    // Checks every 100 ms for at most ms milliseconds; 1 when the thread has ended.
    int WaitComplete(unsigned int ms);
    // WaitComplete, then Terminate a thread that is still running (returns 0).
    int WaitCompleteOrTerminate(unsigned int ms);
    // Cancels a running thread (at its next cancellation point) and lets go of it.
    void Terminate();

    // Not applied on this platform.
    void SetPriority(int) {}
    void RegisterThreadID() {}

    // What the running thread and its owner share; freed by the last of the two.
    struct STATE;

private:
    void DropThread();

    pthread_t m_hThread;
    int m_bStarted;
    STATE* m_pState;    // null when no thread is held
};

// Suspends the calling thread for ms milliseconds (a cancellation point).
RV_CANCELLATION_POINT void Sleep(unsigned int ms);

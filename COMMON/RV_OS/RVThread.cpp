#include "RVThread.h"

#include "rvdebug.h"
#include "rvtick.h"

#include <errno.h>
#include <time.h>

#include <atomic>
#include <new>

struct CRVThread::STATE
{
    RVTHREAD_PROC pProc;
    void* pArg;
    std::atomic<int> bDone{0};
    std::atomic<int> nRefs{2};      // the owner's and the thread's

    void Release()
    {
        if (nRefs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
};

namespace {

// Marks the state done however the procedure leaves: by returning, by
// pthread_exit or by cancellation (both unwind the stack through here).
struct DoneGuard
{
    CRVThread::STATE* pState;
    ~DoneGuard()
    {
        pState->bDone.store(1, std::memory_order_release);
        pState->Release();
    }
};

void* ThreadMain(void* pParam)
{
    DoneGuard guard{static_cast<CRVThread::STATE*>(pParam)};
    return guard.pState->pProc(guard.pState->pArg);
}

}  // namespace

CRVThread::CRVThread()
    : m_hThread(), m_bStarted(0), m_pState(nullptr)
{
}

CRVThread::~CRVThread()
{
    if (m_pState)
        pthread_detach(m_hThread);
    DropThread();
}

void CRVThread::DropThread()
{
    if (m_pState)
        m_pState->Release();
    m_pState = nullptr;
}

int CRVThread::Start(RVTHREAD_PROC pProc, void* pArg, int, const char*)
{
    if (!pProc) {
        RV_ASSERT(pProc);
        return EINVAL;
    }
    if (m_pState) {
        pthread_detach(m_hThread);
        DropThread();
    }
    STATE* pState = new (std::nothrow) STATE;
    if (!pState)
        return ENOMEM;
    pState->pProc = pProc;
    pState->pArg = pArg;
    int err = pthread_create(&m_hThread, nullptr, ThreadMain, pState);
    if (err != 0) {
        delete pState;
        return err;
    }
    m_pState = pState;
    m_bStarted = 1;
    return 0;
}

int CRVThread::IsRunning()
{
    if (!m_pState)
        return 0;
    // The done flag answers what probing the thread would ask, without
    // touching a handle that may already be gone.
    if (!m_pState->bDone.load(std::memory_order_acquire))
        return 1;
    pthread_join(m_hThread, nullptr);
    DropThread();
    return 0;
}

int CRVThread::SignalCompleted()
{
    if (!m_bStarted || IsRunning())
        return 0;
    m_bStarted = 0;
    return 1;
}

int CRVThread::WaitComplete(unsigned int ms)
{
    uint32_t start = RVGetTickCount();
    for (;;) {
        if (!IsRunning())
            return 1;
        uint32_t elapsed = RVTickSince(start);
        if (elapsed >= ms)
            return 0;
        uint32_t left = ms - elapsed;
        Sleep(left < 100 ? left : 100);
    }
}

int CRVThread::WaitCompleteOrTerminate(unsigned int ms)
{
    if (WaitComplete(ms))
        return 1;
    Terminate();
    return 0;
}

void CRVThread::Terminate()
{
    if (!IsRunning())
        return;
    // Cancel before detaching: once detached, a thread that ends frees its
    // handle, and cancelling it then would touch freed memory.
    pthread_cancel(m_hThread);
    pthread_detach(m_hThread);
    DropThread();
}

void Sleep(unsigned int ms)
{
    timespec left;
    left.tv_sec = ms / 1000;
    left.tv_nsec = (long)(ms % 1000) * 1000000L;
    // A signal handler interrupting the sleep must not cut it short.
    while (nanosleep(&left, &left) == -1 && errno == EINTR) {
    }
}

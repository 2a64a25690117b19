// CLxMainThread: runs calls on the interface thread, the one that owns the
// windows and handles input.
//
// Engine threads use it for what the window system allows only there (the
// save dialog, the camera preview). The interface thread's loop calls
// RunPending whenever it wakes; a wake-up hook (an SDL event in window mode)
// shortens its sleep when a call is queued. Close releases every waiter, so a
// thread that is being stopped never hangs on a loop that no longer runs.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class CLxMainThread
{
public:
    // The constructing thread is the interface thread.
    CLxMainThread();
    ~CLxMainThread();

    CLxMainThread(const CLxMainThread&) = delete;
    CLxMainThread& operator=(const CLxMainThread&) = delete;

    int IsMainThread() const;
    // Called (from the queuing thread) after a call has been queued.
    void SetWakeup(std::function<void()> wakeup);

    // Runs fn on the interface thread: at once when called there; otherwise
    // queued, and with bWait the caller blocks until it has run. 1 when it ran
    // (or, without bWait, was queued); 0 once the queue is closed, in which case
    // fn does not run.
    int Run(std::function<void()> fn, int bWait);

    // Interface thread: runs every queued call, in order.
    void RunPending();
    // Interface thread: sleeps up to uMs milliseconds or until a call is queued.
    void WaitForWork(unsigned int uMs);

    // Refuses further calls and releases every waiter with 0; queued calls are
    // dropped. Open undoes it.
    void Close();
    void Open();

private:
    struct ITEM;

    std::thread::id m_MainThread;
    std::mutex m_Mutex;
    std::condition_variable m_Changed;
    std::deque<std::shared_ptr<ITEM>> m_Queue;
    std::function<void()> m_Wakeup;
    bool m_bClosed = false;
};

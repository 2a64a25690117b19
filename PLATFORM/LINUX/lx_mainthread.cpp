#include "lx_mainthread.h"

#include <chrono>

struct CLxMainThread::ITEM
{
    std::function<void()> fn;
    bool bStarted = false;
    bool bDone = false;
};

CLxMainThread::CLxMainThread() : m_MainThread(std::this_thread::get_id()) {}

CLxMainThread::~CLxMainThread()
{
    Close();
}

int CLxMainThread::IsMainThread() const
{
    return std::this_thread::get_id() == m_MainThread ? 1 : 0;
}

void CLxMainThread::SetWakeup(std::function<void()> wakeup)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Wakeup = std::move(wakeup);
}

int CLxMainThread::Run(std::function<void()> fn, int bWait)
{
    if (IsMainThread()) {
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (m_bClosed)
                return 0;
        }
        fn();
        return 1;
    }
    auto pItem = std::make_shared<ITEM>();
    pItem->fn = std::move(fn);
    std::function<void()> wakeup;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bClosed)
            return 0;
        m_Queue.push_back(pItem);
        wakeup = m_Wakeup;
    }
    m_Changed.notify_all();
    if (wakeup)
        wakeup();
    if (!bWait)
        return 1;
    std::unique_lock<std::mutex> lock(m_Mutex);
    // A call that has started is waited for even after Close: it may still
    // write to what the caller handed it.
    m_Changed.wait(lock, [&] { return pItem->bDone || (m_bClosed && !pItem->bStarted); });
    return pItem->bDone ? 1 : 0;
}

void CLxMainThread::RunPending()
{
    for (;;) {
        std::shared_ptr<ITEM> pItem;
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            if (m_Queue.empty() || m_bClosed)
                return;
            pItem = m_Queue.front();
            m_Queue.pop_front();
            pItem->bStarted = true;
        }
        pItem->fn();
        {
            std::lock_guard<std::mutex> lock(m_Mutex);
            pItem->bDone = true;
        }
        m_Changed.notify_all();
    }
}

void CLxMainThread::WaitForWork(unsigned int uMs)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Changed.wait_for(lock, std::chrono::milliseconds(uMs), [&] { return !m_Queue.empty() || m_bClosed; });
}

void CLxMainThread::Close()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bClosed = true;
        m_Queue.clear();
    }
    m_Changed.notify_all();
}

void CLxMainThread::Open()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bClosed = false;
}

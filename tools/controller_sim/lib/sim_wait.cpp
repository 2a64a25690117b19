// Recording the viewer's frames and waiting for them (or for any change of
// the sim's state). Each waiter has its own event, so that one change wakes
// every waiter and none misses it.
#include "sim_impl.h"

#include "rvtick.h"

#include <algorithm>

void CControllerSim::IMPL::Notify()
{
    CSimLock lock(csState);
    for (CRVSemaphore* pEvent : waiters)
        pEvent->SetEvent();
}

int CControllerSim::IMPL::WaitUntil(const std::function<bool()>& pred, unsigned int uMs)
{
    CRVAutoSemaphore event;
    uint32_t start = RVGetTickCount();
    {
        CSimLock lock(csState);
        if (pred())
            return 1;
        if (bStop)
            return 0;
        waiters.push_back(&event);
    }
    int result = 0;
    for (;;) {
        uint32_t used = RVTickSince(start);
        if (used >= uMs)
            break;
        event.WaitSignal(uMs - used);
        CSimLock lock(csState);
        if (pred()) {
            result = 1;
            break;
        }
        if (bStop)
            break;
    }
    CSimLock lock(csState);
    waiters.erase(std::remove(waiters.begin(), waiters.end(), &event), waiters.end());
    return result;
}

void CControllerSim::IMPL::Record(const CRVMSG& msg)
{
    {
        CSimLock lock(csState);
        if (frames.size() >= SIM_MAX_RECORDED)
            frames.pop_front();
        frames.push_back(SIM_RECORDED{uNextSeq++, uConnection, 0, std::unique_ptr<CRVMSG>(msg.CreateCopy())});
    }
    Notify();
}

std::unique_ptr<CRVMSG> CControllerSim::WaitFor(short sMessageID, unsigned int uMs)
{
    std::unique_ptr<CRVMSG> found;
    m_p->WaitUntil(
        [&] {
            for (SIM_RECORDED& f : m_p->frames) {
                if (!f.bSeen && f.pMsg && f.pMsg->MessageID() == sMessageID) {
                    f.bSeen = 1;
                    found.reset(f.pMsg->CreateCopy());
                    return true;
                }
            }
            return false;
        },
        uMs);
    return found;
}

std::vector<std::unique_ptr<CRVMSG>> CControllerSim::Frames() const
{
    CSimLock lock(m_p->csState);
    std::vector<std::unique_ptr<CRVMSG>> copies;
    for (const SIM_RECORDED& f : m_p->frames)
        copies.emplace_back(f.pMsg->CreateCopy());
    return copies;
}

int CControllerSim::CountFrames(int iMessageID) const
{
    CSimLock lock(m_p->csState);
    int n = 0;
    for (const SIM_RECORDED& f : m_p->frames)
        n += iMessageID == -1 || f.pMsg->MessageID() == iMessageID;
    return n;
}

void CControllerSim::ClearFrames()
{
    CSimLock lock(m_p->csState);
    m_p->frames.clear();
}

#include "lx_syslocator.h"

#include <time.h>

namespace {

// Elapsed times must not jump with the wall clock, or the list would drop or
// keep systems wrongly when the time is set.
double NowSeconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (double)ts.tv_sec + (double)ts.tv_nsec / 1e9;
}

} // namespace

CLocalSystem::CLocalSystem(const CRVString& name, uint32_t dwIP, uint16_t wPort, int iType, int iSubType)
    : m_Name(name),
      m_dwIP(dwIP),
      m_wPort(wPort),
      m_iType(iType),
      m_iSubType(iSubType),
      m_dLastSeen(NowSeconds()),
      m_bKnownSystem(0)
{
}

double CLocalSystem::LastPingTime() const
{
    return NowSeconds() - m_dLastSeen;
}

void CLocalSystem::ResetPingTime()
{
    m_dLastSeen = NowSeconds();
}

int CLocalSystem::IsSameSystem(const CLocalSystem* pOther) const
{
    return pOther != nullptr && pOther->m_dwIP == m_dwIP ? 1 : 0;
}

int CLocalSystem::IsCompatibleSystem() const
{
    if (m_iType >= 2 && m_iType <= 5)
        return 0;
    if (m_iSubType & 0x10)
        return 0;
    return (m_iSubType & 0x20) ? 1 : 0;
}

CLxSysLocator::CLxSysLocator(uint32_t dwTargetIP, uint16_t wTargetPort)
    : m_Locator(INTERVAL_MS, dwTargetIP, wTargetPort)
{
}

CLocalSystem* CLxSysLocator::FindNextLocalSystem()
{
    RVT_PINGA answer;
    if (!m_Locator.CollectNextSystem(&answer, POLL_MS))
        return nullptr;
    // The parsed record's name is always terminated within its 28 bytes.
    return new CLocalSystem(CRVString(answer.szName), answer.dwIP, answer.wPort, answer.byType,
                            answer.bySubType);
}

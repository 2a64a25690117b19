#include "statussink.h"

#include <atomic>
#include <string>

#include "rvutf8.h"

namespace {

std::atomic<STATUS_SINK_SET_STATUS> g_pfnSetStatus{ nullptr };

}  // namespace

void CStatusSink::SetBridge(STATUS_SINK_SET_STATUS pfnSetStatus)
{
    g_pfnSetStatus.store(pfnSetStatus);
}

void CStatusSink::SetStatus(CRVString sStatus)
{
    STATUS_SINK_SET_STATUS pfn = g_pfnSetStatus.load();
    if (m_pTarget == nullptr || pfn == nullptr)
        return;
    std::string text = RVToUtf8(sStatus);
    pfn(m_pTarget, text.c_str());
}

int CStatusSink::DoWaitProc()
{
    return 1;
}

void CStatusSink::RegisterLocalGateway(CRVString, unsigned int, unsigned short)
{
}

int CStatusSink::IsValidGateway(CRVString)
{
    return 1;
}

// The traffic log: one line per write or frame, readable and greppable, for
// bug reports ("recv" is what the viewer sent, "send" what the sim wrote).
#include "sim_impl.h"

#include "rvtick.h"

namespace {

// Data bytes shown per line; the rest is marked, not printed.
const size_t kMaxLogged = 65536;

}  // namespace

int CControllerSim::OpenLog(const char* pszPath)
{
    CSimLock lock(m_p->csLog);
    if (m_p->pLog)
        fclose(m_p->pLog);
    m_p->pLog = nullptr;
    if (!pszPath)
        return 1;
    m_p->pLog = fopen(pszPath, "w");
    return m_p->pLog != nullptr;
}

void CControllerSim::IMPL::LogBytes(const char* pszDirection, const unsigned char* p, size_t n, int bFrame)
{
    CSimLock lock(csLog);
    if (!pLog)
        return;
    fprintf(pLog, "%s +%u ms", pszDirection, (unsigned int)RVTickSince(tickStart));
    if (bFrame && n >= RV_HEADER_SIZE) {
        RVT_HEADER h = RVLoadHeader(p);
        fprintf(pLog, " id %d sender %d len %u", h.sMessageID, h.sSenderID, h.uLength);
        p += RV_HEADER_SIZE;
        n -= RV_HEADER_SIZE;
    } else {
        fprintf(pLog, " raw %zu bytes", n);
    }
    if (n)
        fputs(" data ", pLog);
    for (size_t i = 0; i < n && i < kMaxLogged; i++)
        fprintf(pLog, "%02x", p[i]);
    if (n > kMaxLogged)
        fprintf(pLog, " ... (%zu more bytes)", n - kMaxLogged);
    fputc('\n', pLog);
    fflush(pLog);
}

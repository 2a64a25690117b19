#include "lx_interrupt.h"

#include <string.h>

namespace {

volatile sig_atomic_t g_bInterrupted = 0;

void OnInterrupt(int)
{
    g_bInterrupted = 1;
}

}  // namespace

CLxInterruptScope::CLxInterruptScope()
{
    g_bInterrupted = 0;
    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, &m_OldInt);
    sigaction(SIGTERM, &sa, &m_OldTerm);
}

CLxInterruptScope::~CLxInterruptScope()
{
    sigaction(SIGINT, &m_OldInt, nullptr);
    sigaction(SIGTERM, &m_OldTerm, nullptr);
}

volatile sig_atomic_t* CLxInterruptScope::Flag()
{
    return &g_bInterrupted;
}

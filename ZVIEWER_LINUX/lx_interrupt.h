// SIGINT and SIGTERM end a run of the viewer like closing its window, for the
// time a CLxInterruptScope lives.
#pragma once

#include <signal.h>

class CLxInterruptScope
{
public:
    CLxInterruptScope();
    ~CLxInterruptScope();

    CLxInterruptScope(const CLxInterruptScope&) = delete;
    CLxInterruptScope& operator=(const CLxInterruptScope&) = delete;

    // Set by the handler; loops poll it.
    static volatile sig_atomic_t* Flag();

private:
    struct sigaction m_OldInt;
    struct sigaction m_OldTerm;
};

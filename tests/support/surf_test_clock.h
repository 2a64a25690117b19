// A clock for surface timers and animations that only moves when a test
// says so: installed for the scope, read from any thread.
#pragma once

#include <atomic>

#include "surf_timer.h"

class CSurfTestClock
{
public:
    CSurfTestClock()
    {
        Ms() = 0;
        SurfSetClock(Now);
    }
    ~CSurfTestClock() { SurfSetClock(nullptr); }
    CSurfTestClock(const CSurfTestClock&) = delete;
    CSurfTestClock& operator=(const CSurfTestClock&) = delete;

    // Milliseconds since the start of the test.
    void Set(long long ms) { Ms() = ms; }
    long long Get() const { return Ms(); }
    static timespec At(long long ms)
    {
        timespec t;
        t.tv_sec = 1000 + ms / 1000;
        t.tv_nsec = (long)(ms % 1000) * 1000000L;
        return t;
    }

private:
    static std::atomic<long long>& Ms()
    {
        static std::atomic<long long> ms{ 0 };
        return ms;
    }
    static timespec Now() { return At(Ms()); }
};

// CLxSleepWatch: tells the application when the system is about to sleep and
// when it woke up, from logind's PrepareForSleep signal on the system bus.
//
// The application polls Fd() (for Events()) in its loop and calls Dispatch()
// when it is ready; Dispatch calls OnWillSleep or OnDidWake on that thread.
// Without a system bus or without logind nothing is watched: Open() says so
// once in the log and the application runs on without it.
#pragma once

#include <functional>

struct sd_bus;
struct sd_bus_slot;

class CLxSleepWatch
{
public:
    CLxSleepWatch() = default;
    ~CLxSleepWatch();

    CLxSleepWatch(const CLxSleepWatch&) = delete;
    CLxSleepWatch& operator=(const CLxSleepWatch&) = delete;

    // Connects to the system bus ($DBUS_SYSTEM_BUS_ADDRESS, else the
    // standard socket) and subscribes to logind's signal. 1 when watching;
    // 0 with a logged reason.
    int Open();
    // Closing from a handler takes effect when Dispatch returns.
    void Close();
    bool IsOpen() const { return m_pBus != nullptr; }

    // The descriptor to poll, -1 when not open, and the poll events it wants.
    int Fd() const;
    short Events() const;
    // Handles everything that arrived; 0 normally, -1 when the bus connection
    // failed (the watch is closed then).
    int Dispatch();

    // Called by Dispatch for each signal from logind. A handler must not
    // destroy the watch.
    std::function<void()> OnWillSleep;
    std::function<void()> OnDidWake;

private:
    sd_bus* m_pBus = nullptr;
    sd_bus_slot* m_pSlot = nullptr;
    bool m_bDispatching = false;
    bool m_bClosePending = false;
};

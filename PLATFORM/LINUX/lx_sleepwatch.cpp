#include "lx_sleepwatch.h"

#include <string.h>
#include <systemd/sd-bus.h>

#include "rvlog.h"

namespace {

const char kLogind[] = "org.freedesktop.login1";
// Only logind's own signal counts: anybody on the bus may send one with the
// same interface and member, and a fake sleep would drop the user's session.
const char kMatch[] =
    "type='signal',sender='org.freedesktop.login1',interface='org.freedesktop.login1.Manager',"
    "member='PrepareForSleep',path='/org/freedesktop/login1'";

int OnSignal(sd_bus_message* pMsg, void* pThis, sd_bus_error*)
{
    CLxSleepWatch* pWatch = static_cast<CLxSleepWatch*>(pThis);
    int bSleeping = 0;
    if (sd_bus_message_read(pMsg, "b", &bSleeping) < 0) {
        RVLog(RV_LOG_WARN, "sleep watch: PrepareForSleep without its boolean, ignored");
        return 0;
    }
    RVLog(RV_LOG_INFO, "PrepareForSleep(%s)", bSleeping ? "true" : "false");
    const std::function<void()>& handler = bSleeping ? pWatch->OnWillSleep : pWatch->OnDidWake;
    if (handler)
        handler();
    return 0;
}

}  // namespace

CLxSleepWatch::~CLxSleepWatch()
{
    Close();
}

int CLxSleepWatch::Open()
{
    Close();
    sd_bus* pBus = nullptr;
    int r = sd_bus_open_system(&pBus);
    if (r < 0) {
        RVLog(RV_LOG_INFO, "sleep and wake are not watched: no system bus (%s)", strerror(-r));
        return 0;
    }
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* pReply = nullptr;
    r = sd_bus_call_method(pBus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                           "NameHasOwner", &error, &pReply, "s", kLogind);
    int bHasOwner = 0;
    if (r >= 0)
        r = sd_bus_message_read(pReply, "b", &bHasOwner);
    sd_bus_message_unref(pReply);
    if (r < 0 || !bHasOwner) {
        RVLog(RV_LOG_INFO, "sleep and wake are not watched: %s", r < 0 ? (error.message ? error.message : strerror(-r))
                                                                        : "logind is not running");
        sd_bus_error_free(&error);
        sd_bus_unref(pBus);
        return 0;
    }
    sd_bus_error_free(&error);
    r = sd_bus_add_match(pBus, &m_pSlot, kMatch, &OnSignal, this);
    if (r < 0) {
        RVLog(RV_LOG_INFO, "sleep and wake are not watched: cannot subscribe (%s)", strerror(-r));
        sd_bus_unref(pBus);
        m_pSlot = nullptr;
        return 0;
    }
    m_pBus = pBus;
    return 1;
}

void CLxSleepWatch::Close()
{
    // sd-bus is inside its processing while a handler runs.
    if (m_bDispatching) {
        m_bClosePending = true;
        return;
    }
    m_bClosePending = false;
    if (m_pSlot)
        m_pSlot = sd_bus_slot_unref(m_pSlot);
    if (m_pBus)
        m_pBus = sd_bus_flush_close_unref(m_pBus);
}

int CLxSleepWatch::Fd() const
{
    return m_pBus ? sd_bus_get_fd(m_pBus) : -1;
}

short CLxSleepWatch::Events() const
{
    if (m_pBus == nullptr)
        return 0;
    const int r = sd_bus_get_events(m_pBus);
    return r < 0 ? 0 : (short)r;
}

int CLxSleepWatch::Dispatch()
{
    if (m_pBus == nullptr)
        return -1;
    int r;
    do {
        m_bDispatching = true;
        r = sd_bus_process(m_pBus, nullptr);
        m_bDispatching = false;
    } while (r > 0 && !m_bClosePending);
    if (m_bClosePending) {
        Close();
        return 0;
    }
    if (r < 0) {
        RVLog(RV_LOG_WARN, "sleep watch: the system bus failed (%s); sleep and wake are no longer watched",
              strerror(-r));
        Close();
        return -1;
    }
    return 0;
}


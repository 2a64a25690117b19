// The sleep watch against a private message bus standing in for the system
// bus; a connection of the test itself plays logind.
#include "lx_sleepwatch.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <systemd/sd-bus.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "scoped_env.h"

extern char** environ;

namespace {

bool OnPath(const char* pszProgram)
{
    const std::string sCommand = std::string("command -v ") + pszProgram + " >/dev/null 2>&1";
    return system(sCommand.c_str()) == 0;
}

// A dbus-daemon of the test's own, ended by its PID.
class CPrivateBus
{
public:
    ~CPrivateBus() { Stop(); }

    bool Start()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const char* argv[] = {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address=1", nullptr};
        const int r = posix_spawnp(&m_pid, "dbus-daemon", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        if (r != 0) {
            m_pid = -1;
            close(fds[0]);
            return false;
        }
        // The daemon prints its address once it listens.
        char c;
        pollfd p = {fds[0], POLLIN, 0};
        while (poll(&p, 1, 5000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            m_sAddress += c;
        close(fds[0]);
        return !m_sAddress.empty();
    }

    void Stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    const std::string& Address() const { return m_sAddress; }

private:
    pid_t m_pid = -1;
    std::string m_sAddress;
};

// A bus connection that owns logind's name and sends its signal.
class CFakeLogind
{
public:
    ~CFakeLogind() { sd_bus_flush_close_unref(m_pBus); }

    bool Connect(const std::string& sAddress)
    {
        return sd_bus_new(&m_pBus) >= 0 && sd_bus_set_address(m_pBus, sAddress.c_str()) >= 0 &&
               sd_bus_set_bus_client(m_pBus, 1) >= 0 && sd_bus_start(m_pBus) >= 0 &&
               sd_bus_request_name(m_pBus, "org.freedesktop.login1", 0) >= 0;
    }
    bool PrepareForSleep(bool bSleeping)
    {
        return sd_bus_emit_signal(m_pBus, "/org/freedesktop/login1", "org.freedesktop.login1.Manager",
                                  "PrepareForSleep", "b", (int)bSleeping) >= 0 &&
               sd_bus_flush(m_pBus) >= 0;
    }

private:
    sd_bus* m_pBus = nullptr;
};

int RunAndWait(const std::vector<const char*>& args)
{
    std::vector<char*> argv;
    for (const char* p : args)
        argv.push_back(const_cast<char*>(p));
    argv.push_back(nullptr);
    pid_t pid;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class LxSleepWatchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!OnPath("dbus-daemon") || !OnPath("dbus-send"))
            GTEST_SKIP() << "dbus-daemon or dbus-send is not installed";
        ASSERT_TRUE(m_bus.Start());
        m_pEnv.reset(new CScopedEnv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.Address().c_str()));
        m_watch.OnWillSleep = [this] { m_events += "sleep;"; };
        m_watch.OnDidWake = [this] { m_events += "wake;"; };
    }

    // Polls and dispatches until done() or iMs pass; the last Dispatch result.
    int DispatchUntil(const std::function<bool()>& done, int iMs = 5000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(iMs);
        int r = 0;
        while (!done() && std::chrono::steady_clock::now() < end) {
            pollfd p = {m_watch.Fd(), m_watch.Events(), 0};
            if (p.fd < 0)
                break;
            poll(&p, 1, 100);
            r = m_watch.Dispatch();
            if (r < 0)
                break;
        }
        return r;
    }

    CPrivateBus m_bus;
    std::unique_ptr<CScopedEnv> m_pEnv;
    CLxSleepWatch m_watch;
    std::string m_events;
};

TEST(LxSleepWatch, NoSystemBusMeansNotWatched)
{
    CScopedEnv env("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/zviewer-test-bus");
    CLxSleepWatch watch;
    EXPECT_EQ(0, watch.Open());
    EXPECT_FALSE(watch.IsOpen());
    EXPECT_EQ(-1, watch.Fd());
    EXPECT_EQ(-1, watch.Dispatch());
}

TEST_F(LxSleepWatchTest, NoLogindMeansNotWatched)
{
    EXPECT_EQ(0, m_watch.Open());
    EXPECT_FALSE(m_watch.IsOpen());
}

TEST_F(LxSleepWatchTest, LogindsSignalsCallTheHandlersInOrder)
{
    CFakeLogind logind;
    ASSERT_TRUE(logind.Connect(m_bus.Address()));
    ASSERT_EQ(1, m_watch.Open());
    ASSERT_GE(m_watch.Fd(), 0);

    // Anybody may send a signal of that name; only logind's count.
    ASSERT_EQ(0, RunAndWait({"dbus-send", ("--bus=" + m_bus.Address()).c_str(), "--type=signal",
                             "/org/freedesktop/login1", "org.freedesktop.login1.Manager.PrepareForSleep",
                             "boolean:true"}));
    ASSERT_TRUE(logind.PrepareForSleep(true));
    ASSERT_TRUE(logind.PrepareForSleep(false));
    EXPECT_EQ(0, DispatchUntil([this] { return m_events.find("wake;") != std::string::npos; }));
    // Anything late would show now.
    DispatchUntil([] { return false; }, 300);
    EXPECT_EQ("sleep;wake;", m_events);
}

TEST_F(LxSleepWatchTest, AHandlerMayCloseTheWatch)
{
    CFakeLogind logind;
    ASSERT_TRUE(logind.Connect(m_bus.Address()));
    ASSERT_EQ(1, m_watch.Open());
    m_watch.OnWillSleep = [this] {
        m_events += "sleep;";
        m_watch.Close();
    };
    ASSERT_TRUE(logind.PrepareForSleep(true));
    ASSERT_TRUE(logind.PrepareForSleep(false));
    DispatchUntil([this] { return !m_watch.IsOpen(); });
    EXPECT_FALSE(m_watch.IsOpen());
    EXPECT_EQ("sleep;", m_events);   // the wake after it is not delivered
}

TEST_F(LxSleepWatchTest, ALostBusClosesTheWatch)
{
    {
        CFakeLogind logind;
        ASSERT_TRUE(logind.Connect(m_bus.Address()));
        ASSERT_EQ(1, m_watch.Open());
    }
    m_bus.Stop();
    EXPECT_EQ(-1, DispatchUntil([] { return false; }));
    EXPECT_FALSE(m_watch.IsOpen());
    EXPECT_EQ("", m_events);
}

}  // namespace

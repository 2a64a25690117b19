// zcontroller-sim: a simulated controller on 127.0.0.1 for the viewer.
#include "controller_sim.h"
#include "demo_controller.h"
#include "sim_announcer.h"
#include "rvlog.h"

#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

namespace {

volatile sig_atomic_t g_bQuit = 0;

void OnSignal(int) { g_bQuit = 1; }

const char kUsage[] =
    "usage: zcontroller-sim [options]\n"
    "  --demo              serve the demo panel (system \"Corvin Demo\", its password)\n"
    "  --port N            listen on 127.0.0.1:N (0, the default: a free port)\n"
    "  --password P        password the login is checked against (default empty)\n"
    "  --challenge TEXT    fixed login challenge (default: random per connection)\n"
    "  --reject-with ID    answer a wrong login with message ID (default: silence)\n"
    "  --no-login-check    answer the session start even without a login\n"
    "  --session-id N      session ID of the session-start answer (default 1)\n"
    "  --name TEXT         system name (default \"Simulated Controller\")\n"
    "  --keepalive MS      echo message every MS ms after login (default 3000, 0 off)\n"
    "  --script FILE       run FILE on every connection (format: README.md)\n"
    "  --log FILE          write the traffic of both directions to FILE\n"
    "  --once              exit when the first connection ends\n"
    "  --announce N        answer discovery queries on UDP 127.0.0.1:N (0: a free\n"
    "                      port) with this controller's name and port\n"
    "  --demo-layout       print where the demo's tabs are and which pixel shows\n"
    "                      each page (for window tests), and exit\n"
    "  --log-level LEVEL   debug, info, warn (default), error or off\n";

bool ParseUInt(const char* text, unsigned long max, unsigned long* pOut)
{
    char* end = nullptr;
    if (!text || !*text || *text == '-')
        return false;
    unsigned long v = strtoul(text, &end, 0);
    if (*end || v > max)
        return false;
    *pOut = v;
    return true;
}

int Usage(const char* why)
{
    if (why)
        fprintf(stderr, "zcontroller-sim: %s\n", why);
    fputs(kUsage, why ? stderr : stdout);
    return why ? 2 : 0;
}

// "tab N X Y" for each tab's centre and "probe N X Y RRGGBB" for the pixel
// that shows page N, in window coordinates.
int PrintDemoLayout()
{
    for (int i = 0; i < CDemoController::TABS; i++) {
        int x = 0, y = 0;
        unsigned int rgb = 0;
        if (CDemoController::TabCenter(i, &x, &y))
            printf("tab %d %d %d\n", i, x, y);
        if (CDemoController::PageProbe(i, &x, &y, &rgb))
            printf("probe %d %d %d %06X\n", i, x, y, rgb);
    }
    return 0;
}

bool HasOption(int argc, char** argv, const char* pszOption)
{
    for (int i = 1; i < argc; i++)
        if (strcmp(argv[i], pszOption) == 0)
            return true;
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    // The demo brings its own sim with its name and password; the other
    // options apply to that sim as to a plain one.
    const bool bDemo = HasOption(argc, argv, "--demo");
    std::unique_ptr<CDemoController> demo(bDemo ? new CDemoController : nullptr);
    std::unique_ptr<CControllerSim> plain(bDemo ? nullptr : new CControllerSim);
    CControllerSim& sim = bDemo ? demo->Sim() : *plain;
    CSimScript script;
    unsigned long port = 0;
    bool bOnce = false, bScript = false, bAnnounce = false;
    unsigned long announcePort = 0;
    std::string sName = bDemo ? CDemoController::SystemName() : "Simulated Controller";
    const char* pszLog = nullptr;
    if (const char* env = getenv("ZV_LOG")) {
        RV_LOG_LEVEL level;
        if (RVParseLogLevel(env, &level))
            RVSetLogLevel(level);
    }

    for (int i = 1; i < argc; i++) {
        std::string opt = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        unsigned long n;
        if (opt == "--help" || opt == "-h")
            return Usage(nullptr);
        if (opt == "--once") {
            bOnce = true;
            continue;
        }
        if (opt == "--demo")
            continue;
        if (opt == "--demo-layout")
            return PrintDemoLayout();
        if (opt == "--no-login-check") {
            sim.SetRequireLogin(0);
            continue;
        }
        if (!value)
            return Usage((opt + " needs a value").c_str());
        i++;
        if (opt == "--port") {
            if (!ParseUInt(value, 65535, &port))
                return Usage("bad --port");
        } else if (opt == "--password") {
            sim.SetPassword(value);
        } else if (opt == "--challenge") {
            sim.SetChallenge(value);
        } else if (opt == "--reject-with") {
            if (!ParseUInt(value, 65535, &n))
                return Usage("bad --reject-with");
            sim.SetWrongPasswordReply((short)n);
        } else if (opt == "--session-id") {
            char* end = nullptr;
            long v = strtol(value, &end, 0);
            if (!*value || *end)
                return Usage("bad --session-id");
            sim.SetSessionID((int)v);
        } else if (opt == "--name") {
            sim.SetSystemName(value);
            sName = value;
        } else if (opt == "--announce") {
            if (!ParseUInt(value, 65535, &announcePort))
                return Usage("bad --announce");
            bAnnounce = true;
        } else if (opt == "--keepalive") {
            if (!ParseUInt(value, 3600000, &n))
                return Usage("bad --keepalive");
            sim.SetKeepAlive((unsigned int)n);
        } else if (opt == "--script") {
            if (!script.ParseFile(value)) {
                fprintf(stderr, "zcontroller-sim: %s: %s\n", value, script.Error().c_str());
                return 2;
            }
            bScript = true;
        } else if (opt == "--log") {
            pszLog = value;
        } else if (opt == "--log-level") {
            RV_LOG_LEVEL level;
            if (!RVParseLogLevel(value, &level))
                return Usage("bad --log-level");
            RVSetLogLevel(level);
        } else {
            return Usage(("unknown option " + opt).c_str());
        }
    }
    if (bDemo && bScript)
        return Usage("--demo and --script cannot be combined");
    if (pszLog && !sim.OpenLog(pszLog)) {
        fprintf(stderr, "zcontroller-sim: cannot write %s\n", pszLog);
        return 2;
    }

    struct sigaction sa;
    memset(&sa, 0, sizeof sa);
    sa.sa_handler = OnSignal;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    if (!sim.Start((unsigned short)port)) {
        fprintf(stderr, "zcontroller-sim: cannot listen on 127.0.0.1:%lu\n", port);
        return 1;
    }
    printf("zcontroller-sim listening on 127.0.0.1:%u\n", sim.Port());
    CSimAnnouncer announcer;
    if (bAnnounce) {
        if (!announcer.Start((unsigned short)announcePort, sim.Port(), sName.c_str())) {
            fprintf(stderr, "zcontroller-sim: cannot answer discovery on UDP 127.0.0.1:%lu\n", announcePort);
            sim.Stop();
            return 1;
        }
        printf("zcontroller-sim announcing on 127.0.0.1:%u\n", announcer.Port());
    }
    fflush(stdout);

    int rc = 0;
    while (!g_bQuit) {
        if (!sim.WaitConnected(200))
            continue;
        if (bScript) {
            std::string error;
            if (!sim.RunScript(script, &error)) {
                fprintf(stderr, "zcontroller-sim: script: %s\n", error.c_str());
                rc = 1;
            }
        }
        while (!g_bQuit && !sim.WaitDisconnected(200)) {
        }
        if (bOnce)
            break;
    }
    sim.Stop();
    return rc;
}

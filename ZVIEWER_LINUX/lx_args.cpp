#include "lx_args.h"

#include <arpa/inet.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>

namespace {

const char kUsage[] =
    "Usage: zviewer [OPTION]...\n"
    "Thin-client viewer for a home-automation controller.\n"
    "Without --connect or --demo it opens the connect window, which lists the\n"
    "controllers on the local network and connects to one by name or HOST:PORT.\n"
    "\n"
    "  --demo                run the built-in demo controller and view it\n"
    "  --connect HOST:PORT   connect directly to the controller at HOST:PORT\n"
    "  --password P          password for the login (default: empty)\n"
    "  --headless            draw offscreen instead of in a window\n"
    "  --screenshot FILE     write the screen to FILE (PNG) and exit\n"
    "  --frames N            ... after N frames have been drawn\n"
    "  --wait-ms T           ... or after T milliseconds, whichever comes first\n"
    "                        (default 2000 ms; at most 10000 ms with --frames alone)\n"
    "  --cache-dir DIR       cache directory (default $XDG_CACHE_HOME/zviewer)\n"
    "  --locator IP:PORT     connect window: send discovery queries there instead\n"
    "                        of the local broadcast on port 444\n"
    "  --log-level LEVEL     debug, info, warn (default), error or off\n"
    "  --version             print the version and exit\n"
    "  --help                print this help and exit\n"
    "\n"
    "In the viewer window, Ctrl+Q closes the viewer.\n"
    "\n"
    "Exit status: 0 done, 2 bad command line, 3 cannot connect, 4 login failed,\n"
    "5 session start failed, 6 connection lost, 7 no display or OpenGL,\n"
    "8 screenshot failed, 1 other errors.\n";

int ParseNumber(const char* psz, long lMin, long lMax, long* pOut)
{
    if (psz == nullptr || *psz < '0' || *psz > '9')
        return 0;
    char* end = nullptr;
    errno = 0;
    long v = strtol(psz, &end, 10);
    if (*end != '\0' || errno != 0 || v < lMin || v > lMax)
        return 0;
    *pOut = v;
    return 1;
}

// HOST:PORT with a non-empty host and a port from 1 to 65535. The last colon
// separates them; a host with colons of its own (IPv6) is refused, since the
// link is IPv4.
int ParseAddress(const std::string& s, std::string* pHost, unsigned short* pPort)
{
    const size_t colon = s.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return 0;
    const std::string host = s.substr(0, colon);
    if (host.find(':') != std::string::npos || host.find('[') != std::string::npos)
        return 0;
    long port = 0;
    if (!ParseNumber(s.c_str() + colon + 1, 1, 65535, &port))
        return 0;
    *pHost = host;
    *pPort = (unsigned short)port;
    return 1;
}

int Fail(std::string* pError, const std::string& why)
{
    if (pError)
        *pError = why;
    return 0;
}

}  // namespace

const char* LxUsageText()
{
    return kUsage;
}

int LxParseArgs(int argc, const char* const* argv, LX_OPTIONS* pOptions, std::string* pError)
{
    LX_OPTIONS o;
    bool bConnect = false, bDemo = false, bPassword = false;
    for (int i = 1; i < argc; ++i) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            *pOptions = LX_OPTIONS();
            pOptions->eAction = LX_ACTION_HELP;
            return 1;
        }
        if (!strcmp(argv[i], "--version")) {
            *pOptions = LX_OPTIONS();
            pOptions->eAction = LX_ACTION_VERSION;
            return 1;
        }
    }
    for (int i = 1; i < argc; ++i) {
        std::string opt = argv[i];
        std::string value;
        bool bHasValue = false;
        const size_t eq = opt.find('=');
        if (opt.compare(0, 2, "--") == 0 && eq != std::string::npos) {
            value = opt.substr(eq + 1);
            opt.erase(eq);
            bHasValue = true;
        }
        if (opt == "--headless" || opt == "--demo") {
            if (bHasValue)
                return Fail(pError, "option '" + opt + "' takes no value");
            (opt == "--demo" ? bDemo : o.bHeadless) = true;
            continue;
        }
        static const char* const kValued[] = {"--connect", "--password", "--screenshot", "--frames",
                                              "--wait-ms", "--cache-dir", "--log-level", "--locator"};
        bool bKnown = false;
        for (const char* k : kValued)
            bKnown = bKnown || opt == k;
        if (!bKnown) {
            if (opt.compare(0, 1, "-") == 0)
                return Fail(pError, "unknown option '" + opt + "'");
            return Fail(pError, "unexpected argument '" + opt + "'");
        }
        if (!bHasValue) {
            if (i + 1 >= argc)
                return Fail(pError, "option '" + opt + "' needs a value");
            value = argv[++i];
        }
        long n = 0;
        if (opt == "--connect") {
            if (!ParseAddress(value, &o.sHost, &o.wPort))
                return Fail(pError, "bad address '" + value + "' (expected HOST:PORT, port 1 to 65535)");
            bConnect = true;
        } else if (opt == "--locator") {
            std::string sIP;
            in_addr addr;
            if (!ParseAddress(value, &sIP, &o.wLocatorPort) || inet_pton(AF_INET, sIP.c_str(), &addr) != 1)
                return Fail(pError, "bad locator address '" + value + "' (expected IPv4:PORT)");
            o.dwLocatorIP = addr.s_addr;
            o.bLocator = true;
        } else if (opt == "--password") {
            o.sPassword = value;
            bPassword = true;
        } else if (opt == "--screenshot") {
            if (value.empty())
                return Fail(pError, "option '--screenshot' needs a file name");
            o.sScreenshot = value;
        } else if (opt == "--frames") {
            if (!ParseNumber(value.c_str(), 1, 1000000, &n))
                return Fail(pError, "bad frame count '" + value + "' (1 to 1000000)");
            o.iFrames = (int)n;
        } else if (opt == "--wait-ms") {
            if (!ParseNumber(value.c_str(), 1, 3600000, &n))
                return Fail(pError, "bad time '" + value + "' (1 to 3600000 ms)");
            o.iWaitMs = (int)n;
        } else if (opt == "--cache-dir") {
            if (value.empty())
                return Fail(pError, "option '--cache-dir' needs a directory");
            o.sCacheDir = value;
        } else {   // --log-level
            if (!RVParseLogLevel(value.c_str(), &o.eLogLevel))
                return Fail(pError, "bad log level '" + value + "' (debug, info, warn, error or off)");
            o.bLogLevel = true;
        }
    }
    if (bConnect && bDemo)
        return Fail(pError, "--connect and --demo exclude each other");
    if (bDemo && bPassword)
        return Fail(pError, "--demo knows its password; --password needs --connect");
    if (!bConnect && !bDemo) {
        if (o.bHeadless || bPassword || !o.sScreenshot.empty())
            return Fail(pError, "--headless, --password and --screenshot need --connect or --demo");
    } else if (o.bLocator) {
        return Fail(pError, "--locator is for the connect window, not with --connect or --demo");
    }
    if (o.sScreenshot.empty() && (o.iFrames || o.iWaitMs))
        return Fail(pError, "--frames and --wait-ms need --screenshot");
    if (!o.sScreenshot.empty() && o.iWaitMs == 0)
        o.iWaitMs = o.iFrames ? LX_SCREENSHOT_CEILING_MS : LX_DEFAULT_SCREENSHOT_WAIT_MS;
    o.eAction = bConnect ? LX_ACTION_CONNECT : bDemo ? LX_ACTION_DEMO : LX_ACTION_APP;
    *pOptions = o;
    return 1;
}

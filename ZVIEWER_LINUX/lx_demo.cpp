#include "lx_demo.h"

#include <stdio.h>

#include "demo_controller.h"
#include "lx_directconnect.h"
#include "rvlog.h"

LX_EXIT_CODE LxRunDemo(const LX_OPTIONS& options)
{
    if (options.bLogLevel)
        RVSetLogLevel(options.eLogLevel);
    CDemoController demo;
    if (!demo.Start(0)) {
        fprintf(stderr, "zviewer: cannot start the demo controller on 127.0.0.1\n");
        return LX_EXIT_FAILURE;
    }
    RVLog(RV_LOG_INFO, "demo controller on 127.0.0.1:%u", (unsigned)demo.Port());
    LX_OPTIONS o = options;
    o.eAction = LX_ACTION_CONNECT;
    o.sHost = "127.0.0.1";
    o.wPort = demo.Port();
    o.sPassword = CDemoController::Password();
    const LX_EXIT_CODE code = LxRunDirectConnect(o);
    demo.Stop();
    return code;
}

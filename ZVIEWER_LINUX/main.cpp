// zviewer: thin-client viewer for a home-automation controller.
#include <cstdio>
#include <string>

#include "appdelegate.h"
#include "lx_args.h"
#include "lx_demo.h"
#include "lx_directconnect.h"
#include "lx_exitcodes.h"

int main(int argc, char** argv)
{
    LX_OPTIONS options;
    std::string why;
    if (!LxParseArgs(argc, argv, &options, &why)) {
        std::fprintf(stderr, "zviewer: %s (see 'zviewer --help')\n", why.c_str());
        return LX_EXIT_USAGE;
    }
    switch (options.eAction) {
    case LX_ACTION_VERSION:
        std::printf("zviewer %s\n", ZVIEWER_VERSION);
        return LX_EXIT_OK;
    case LX_ACTION_HELP:
        std::fputs(LxUsageText(), stdout);
        return LX_EXIT_OK;
    case LX_ACTION_CONNECT:
        return LxRunDirectConnect(options);
    case LX_ACTION_DEMO:
        return LxRunDemo(options);
    case LX_ACTION_APP:
    default:
        return CAppDelegate::Run(options);
    }
}

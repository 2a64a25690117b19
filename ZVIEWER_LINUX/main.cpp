// zviewer: thin-client viewer for a home-automation controller.
#include <cstdio>
#include <cstring>

namespace {

const char kUsage[] =
    "Usage: zviewer [OPTION]...\n"
    "Thin-client viewer for a home-automation controller.\n"
    "\n"
    "  --version      print the version and exit\n"
    "  --help         print this help and exit\n";

}  // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("zviewer %s\n", ZVIEWER_VERSION);
            return 0;
        }
        if (!std::strcmp(argv[i], "--help")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "zviewer: unknown option '%s'\n", argv[i]);
        std::fputs("Try 'zviewer --help' for more information.\n", stderr);
        return 2;
    }
    std::fputs(kUsage, stdout);
    return 0;
}

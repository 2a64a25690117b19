#include "lx_sysinfo.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "lx_makedirs.h"

namespace {

// The first line of the file, at most 256 bytes, without trailing blanks.
std::string ReadFirstLine(const char* pszPath)
{
    char line[257] = "";
    FILE* f = fopen(pszPath, "r");
    if (f == nullptr)
        return "";
    if (fgets(line, sizeof line, f) == nullptr)
        line[0] = '\0';
    fclose(f);
    size_t n = strlen(line);
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r' || line[n - 1] == ' '))
        line[--n] = '\0';
    return line;
}

}  // namespace

std::string LxFormatOSVersion(const char* pszRelease)
{
    int v[3] = {0, 0, 0};
    const char* p = pszRelease ? pszRelease : "";
    for (int i = 0; i < 3; ++i) {
        if (*p < '0' || *p > '9')
            break;
        long n = strtol(p, const_cast<char**>(&p), 10);
        v[i] = n > 1000000 ? 1000000 : (int)n;
        if (*p != '.')
            break;
        ++p;
    }
    char text[40];
    snprintf(text, sizeof text, "%d.%d.%d", v[0], v[1], v[2]);
    return text;
}

void LxGetClientInfo(CRVString* pInfo4)
{
    const std::string sID = ReadFirstLine("/etc/machine-id");
    char host[256] = "";
    if (gethostname(host, sizeof host - 1) != 0)
        host[0] = '\0';
    host[sizeof host - 1] = '\0';
    struct utsname un;
    const std::string sVersion = LxFormatOSVersion(uname(&un) == 0 ? un.release : "");
    pInfo4[0] = CRVString(sID.c_str());
    pInfo4[1] = CRVString(host);
    pInfo4[2] = CRVString(sID.c_str());
    pInfo4[3] = CRVString(sVersion.c_str());
}

int LxPrepareCacheDir(const char* pszOverride, std::string* pDir, std::string* pError)
{
    std::string dir;
    const char* pszXdg = getenv("XDG_CACHE_HOME");
    const char* pszHome = getenv("HOME");
    if (pszOverride && *pszOverride)
        dir = pszOverride;
    else if (pszXdg && *pszXdg == '/')   // relative values are invalid by the XDG rules
        dir = std::string(pszXdg) + "/zviewer";
    else if (pszHome && *pszHome)
        dir = std::string(pszHome) + "/.cache/zviewer";
    else {
        *pError = "no cache directory: neither XDG_CACHE_HOME nor HOME is set";
        return 0;
    }
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (!LxMakeDirs(dir, pError))
        return 0;
    *pDir = dir + "/";
    return 1;
}

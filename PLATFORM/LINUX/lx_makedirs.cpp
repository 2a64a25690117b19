#include "lx_makedirs.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

int LxMakeDirs(const std::string& sDir, std::string* pError)
{
    for (size_t pos = 1; pos <= sDir.size(); ++pos) {
        if (pos != sDir.size() && sDir[pos] != '/')
            continue;
        const std::string part = sDir.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            *pError = part + ": " + strerror(errno);
            return 0;
        }
    }
    struct stat st;
    if (sDir.empty() || stat(sDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *pError = sDir + ": not a directory";
        return 0;
    }
    return 1;
}

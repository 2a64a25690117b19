// A private folder for one fuzzing process under $TMPDIR (or /tmp), for
// targets whose inputs make the code under test write files. It goes, with
// whatever the inputs left in it, when the process exits.
#pragma once

#include <stdlib.h>

#include <string>
#include <vector>

#include "rvdir.h"

inline std::vector<std::string>& FuzzDirsToRemove()
{
    static std::vector<std::string> dirs;
    return dirs;
}

// "<tmp>/zv_fuzz_<pszTag>_XXXXXX", made now; aborts when it cannot be.
inline std::string FuzzPrivateDir(const char* pszTag)
{
    const char* pszTmp = getenv("TMPDIR");
    std::string sDir = std::string(pszTmp && *pszTmp ? pszTmp : "/tmp") + "/zv_fuzz_" + pszTag + "_XXXXXX";
    if (!mkdtemp(&sDir[0]))
        abort();
    if (FuzzDirsToRemove().empty())
        atexit([] {
            for (const std::string& s : FuzzDirsToRemove())
                TAVO_RemoveDirectory(CRVString(s.c_str()));
        });
    FuzzDirsToRemove().push_back(sDir);
    return sDir;
}

// Resource-cache files as another program (or a damaged disk) may have left
// them: the input is written as the file of one key and read back, and its
// first bytes also name a file in the directory that Read() lists. A file
// reads back only when it holds its whole stated length, within the limit,
// and then exactly; one that does not is removed.
#include "resource_mgr.h"
#include "fuzz_tempdir.h"
#include "rvdir.h"
#include "rvlog.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace {

std::string g_sDir;
const unsigned char kKey[16] = {0xC0, 0xFF, 0xEE, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

int LE32(const uint8_t* p)
{
    return (int)((uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    RVSetLogLevel(RV_LOG_OFF);
    g_sDir = FuzzPrivateDir("rescache");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2 * 1000 * 1000)
        return 0;
    CResourceManager cache(g_sDir.c_str());
    char szPath[CResourceManager::PATH_BUFFER];
    Check(cache.GetResourcePath(kKey, szPath));
    FILE* f = fopen(szPath, "wb");
    if (!f)
        abort();
    if (size)
        fwrite(data, 1, size, f);
    fclose(f);

    CResourceData res;
    const int bLoaded = cache.LoadResource(kKey, &res);
    const int iLength = size >= 8 ? LE32(data + 4) : -1;
    const bool bWhole = size >= 8 && iLength >= 0 && iLength <= CResourceData::MAX_LENGTH && size - 8 >= (size_t)iLength;
    Check(bLoaded == (bWhole ? 1 : 0));
    if (bLoaded) {
        Check(res.m_iType == LE32(data) && res.m_iLength == iLength);
        Check(iLength == 0 || memcmp(res.m_pData, data + 8, (size_t)iLength) == 0);
    } else {
        Check(access(szPath, F_OK) != 0);
    }

    // A file named by the first bytes (made printable, no separators).
    std::string name;
    for (size_t i = 0; i < size && i < 40; i++) {
        const char c = (char)data[i];
        name += (c >= 0x21 && c <= 0x7E && c != '/') ? c : 'A';
    }
    if (!name.empty() && name != "." && name != "..") {
        const std::string path = g_sDir + "/" + name;
        if (FILE* g = fopen(path.c_str(), "wb"))
            fclose(g);
        const int n = cache.Read();
        Check(n >= 0 && n <= 2);
        Check(n == cache.Count());
        unlink(path.c_str());
    }
    unlink(szPath);
    return 0;
}

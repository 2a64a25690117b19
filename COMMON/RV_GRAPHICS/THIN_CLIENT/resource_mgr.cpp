// CResourceManager: the key list, the cache files and their names.
#include "resource_mgr.h"

#include "rvlog.h"
#include "rvmsg.h"
#include "rvwire.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kDigits[] = "0123456789ABCDEF";
const size_t kNameLength = 2 * CResourceManager::KEY_BYTES + 4;     // digits and ".res"

char g_szCacheDirectory[CResourceManager::MAX_DIRECTORY + 1];

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The key a file name stands for: exactly the 32 upper-case digits that
// GetResourcePath writes, then ".res" in any case. Anything else is not a
// cache file, or one that could never be found again by its key.
int KeyFromName(const char* pszName, unsigned char* pKey)
{
    if (strlen(pszName) != kNameLength || strcasecmp(pszName + kNameLength - 4, ".res") != 0)
        return 0;
    for (int i = 0; i < CResourceManager::KEY_BYTES; i++) {
        const int hi = HexValue(pszName[2 * i]), lo = HexValue(pszName[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return 0;
        pKey[i] = (unsigned char)(hi << 4 | lo);
    }
    return 1;
}

// Type, length and data into an open file; 1 when all of it was written.
int WriteResourceFile(FILE* pFile, int iType, const unsigned char* pData, int iLength)
{
    unsigned char header[8];
    // Little-endian, as the link's values.
    RVStore32(header, (unsigned int)iType);
    RVStore32(header + 4, (unsigned int)iLength);
    if (fwrite(header, 1, sizeof header, pFile) != sizeof header)
        return 0;
    return iLength == 0 || fwrite(pData, 1, (size_t)iLength, pFile) == (size_t)iLength;
}

// The file's type, length and data into *pOut; 0 when it is not all there.
int ReadResourceFile(FILE* pFile, CResourceData* pOut)
{
    unsigned char header[8];
    if (fread(header, 1, sizeof header, pFile) != sizeof header)
        return 0;
    const int iLength = (int)RVLoad32(header + 4);
    if (!pOut->Alloc(iLength))
        return 0;
    pOut->m_iType = (int)RVLoad32(header);
    return iLength == 0 || fread(pOut->m_pData, 1, (size_t)iLength, pFile) == (size_t)iLength;
}

}  // namespace

// ---- CResourceData ----

int CResourceData::Alloc(int iLength)
{
    Free();
    if (iLength < 0 || iLength > MAX_LENGTH)
        return 0;
    // One byte at least, so that an empty resource still has a buffer.
    m_pData = static_cast<unsigned char*>(malloc(iLength ? (size_t)iLength : 1));
    if (!m_pData)
        return 0;
    m_iLength = iLength;
    return 1;
}

void CResourceData::Free()
{
    free(m_pData);
    m_pData = nullptr;
    m_iLength = 0;
}

// ---- CResourceManager ----

void CResourceManager::SetCacheDirectory(const char* pszDirectory)
{
    g_szCacheDirectory[0] = 0;
    if (pszDirectory && strlen(pszDirectory) <= MAX_DIRECTORY)
        strcpy(g_szCacheDirectory, pszDirectory);
}

const char* CResourceManager::CacheDirectory()
{
    return g_szCacheDirectory;
}

CResourceManager::CResourceManager(const char* pszDirectory) : m_pKeys(nullptr), m_iCount(0), m_iCapacity(0)
{
    m_szDirectory[0] = 0;
    if (!pszDirectory)
        return;
    size_t n = strlen(pszDirectory);
    if (n > MAX_DIRECTORY)
        return;
    // Without its trailing separators ("/" itself stays).
    while (n > 1 && pszDirectory[n - 1] == '/')
        n--;
    memcpy(m_szDirectory, pszDirectory, n);
    m_szDirectory[n] = 0;
}

CResourceManager::~CResourceManager()
{
    free(m_pKeys);
}

int CResourceManager::AllocLocked(int iCount)
{
    if (iCount < 0 || iCount > MAX_KEYS)
        return 0;
    if (iCount <= m_iCapacity)
        return 1;
    const int iCapacity = (iCount + 16) / 16 * 16 + 16;
    void* p = realloc(m_pKeys, (size_t)iCapacity * KEY_BYTES);
    if (!p)
        return 0;
    m_pKeys = static_cast<unsigned char*>(p);
    m_iCapacity = iCapacity;
    return 1;
}

int CResourceManager::AllocResources(int iCount)
{
    CRVHold hold(&m_Lock);
    return AllocLocked(iCount);
}

unsigned char* CResourceManager::AddResource()
{
    CRVHold hold(&m_Lock);
    if (!AllocLocked(m_iCount + 1))
        return nullptr;
    return m_pKeys + (size_t)m_iCount++ * KEY_BYTES;
}

int CResourceManager::Read()
{
    CRVHold hold(&m_Lock);
    m_iCount = 0;
    if (!m_szDirectory[0])
        return 0;
    DIR* pDir = opendir(m_szDirectory);
    if (!pDir)
        return 0;
    while (dirent* pEntry = readdir(pDir)) {
        unsigned char key[KEY_BYTES];
        if (!KeyFromName(pEntry->d_name, key))
            continue;
        // The same key may be on disk twice, as ".res" and ".RES".
        if (FindResource(key))
            continue;
        unsigned char* pSlot = AddResource();
        if (!pSlot)
            break;
        memcpy(pSlot, key, KEY_BYTES);
    }
    closedir(pDir);
    return m_iCount;
}

void CResourceManager::LoadConfig(CRVMSG* pMsg)
{
    CRVHold hold(&m_Lock);
    pMsg->PutInt(m_iCount);
    for (int i = 0; i < m_iCount; i++)
        pMsg->PutData(m_pKeys + (size_t)i * KEY_BYTES, KEY_BYTES);
}

int CResourceManager::FindResource(const unsigned char* pKey)
{
    CRVHold hold(&m_Lock);
    for (int i = 0; i < m_iCount; i++)
        if (memcmp(m_pKeys + (size_t)i * KEY_BYTES, pKey, KEY_BYTES) == 0)
            return 1;
    return 0;
}

int CResourceManager::Count()
{
    CRVHold hold(&m_Lock);
    return m_iCount;
}

int CResourceManager::Key(int i, unsigned char* pKey)
{
    CRVHold hold(&m_Lock);
    if (i < 0 || i >= m_iCount)
        return 0;
    memcpy(pKey, m_pKeys + (size_t)i * KEY_BYTES, KEY_BYTES);
    return 1;
}

int CResourceManager::GetResourcePath(const unsigned char* pKey, char* pszPath)
{
    if (!m_szDirectory[0]) {
        pszPath[0] = 0;
        return 0;
    }
    char szName[2 * KEY_BYTES + 1];
    for (int i = 0; i < KEY_BYTES; i++) {
        szName[2 * i] = kDigits[pKey[i] >> 4];
        szName[2 * i + 1] = kDigits[pKey[i] & 15];
    }
    szName[2 * KEY_BYTES] = 0;
    // The root directory already ends in its separator.
    const char* pszSep = strcmp(m_szDirectory, "/") == 0 ? "" : "/";
    snprintf(pszPath, PATH_BUFFER, "%s%s%s.res", m_szDirectory, pszSep, szName);
    return 1;
}

int CResourceManager::SaveResource(const unsigned char* pKey, RESOURCE_TYPE eType, const unsigned char* pData,
                                   int iLength)
{
    if (!pKey || iLength < 0 || iLength > CResourceData::MAX_LENGTH || (iLength > 0 && !pData))
        return 0;
    CRVHold hold(&m_Lock);
    char szPath[PATH_BUFFER];
    if (!GetResourcePath(pKey, szPath))
        return 0;
    char szTemp[PATH_BUFFER + 4];
    snprintf(szTemp, sizeof szTemp, "%s.tmp", szPath);
    FILE* pFile = fopen(szTemp, "wb");
    if (!pFile) {
        RVLog(RV_LOG_WARN, "resource cache: cannot write %s", szTemp);
        return 0;
    }
    int bDone = WriteResourceFile(pFile, (int)eType, pData, iLength);
    bDone = (fclose(pFile) == 0) && bDone;
    if (bDone)
        bDone = rename(szTemp, szPath) == 0;
    if (!bDone) {
        unlink(szTemp);
        RVLog(RV_LOG_WARN, "resource cache: cannot write %s", szPath);
    }
    return bDone;
}

int CResourceManager::LoadResource(const unsigned char* pKey, CResourceData* pOut)
{
    if (!pKey || !pOut)
        return 0;
    CRVHold hold(&m_Lock);
    char szPath[PATH_BUFFER];
    if (!GetResourcePath(pKey, szPath))
        return 0;
    // A link or a directory under a key's name is not ours to follow.
    struct stat st;
    int bDone = lstat(szPath, &st) == 0 && S_ISREG(st.st_mode);
    if (bDone) {
        FILE* pFile = fopen(szPath, "rb");
        bDone = pFile && ReadResourceFile(pFile, pOut);
        if (pFile)
            fclose(pFile);
    }
    if (!bDone) {
        RVLog(RV_LOG_WARN, "Error Could not load resource: %s", szPath);
        pOut->Free();
        unlink(szPath);
    }
    return bDone;
}

// CResourceManager: the resource cache, a directory of files keyed by 16-byte
// keys, so that the controller can tell the viewer to use data it already
// holds (images, sounds) instead of sending it again. The keys found on disk
// are listed at the session start. One per process,
// CMainWnd::g_pResourceManager, rooted in the viewer's cache directory so
// that it survives restarts.
//
// Files: "<directory>/<key as 32 upper-case hex digits>.res", holding an
// int32 resource type, an int32 length and that many bytes (little-endian).
// Names are made from hex digits only, so no key can name a file outside the
// directory; only plain files are read, never what a link points to. Files
// are written under a temporary name and renamed, so a reader never sees a
// half-written one.
//
// Thread-safe: every operation takes the cache's own lock.
#pragma once

#include "rvcritical.h"

class CRVMSG;

enum RESOURCE_TYPE
{
    RESOURCE_TYPE_SOUND = 1,
    RESOURCE_TYPE_GRAPHIC = 2,      // graphic-store images and PNG image updates
    RESOURCE_TYPE_JPEG = 3,
    RESOURCE_TYPE_GIF = 4,
};

// One resource read back from the cache.
class CResourceData
{
public:
    enum { MAX_LENGTH = 1000000 };

    CResourceData() = default;
    ~CResourceData() { Free(); }
    CResourceData(const CResourceData&) = delete;
    CResourceData& operator=(const CResourceData&) = delete;

    // Room for iLength bytes (what was held is freed first); 0 for a length
    // outside 0 to MAX_LENGTH or no memory, and the data stays empty.
    int Alloc(int iLength);
    void Free();

    int m_iType = 0;
    unsigned char* m_pData = nullptr;
    int m_iLength = 0;
};

class CResourceManager
{
public:
    enum
    {
        KEY_BYTES = 16,
        MAX_DIRECTORY = 510,
        // Directory, '/', 32 digits, ".res" and the terminator fit.
        PATH_BUFFER = MAX_DIRECTORY + 1 + 2 * KEY_BYTES + 4 + 1,
        // The session start lists every key; this many keep that message far
        // below the largest frame the controller takes.
        MAX_KEYS = 60000,
    };

    // A directory longer than MAX_DIRECTORY characters, or none, leaves the
    // cache without a directory: nothing is read or written then.
    explicit CResourceManager(const char* pszDirectory);
    ~CResourceManager();
    CResourceManager(const CResourceManager&) = delete;
    CResourceManager& operator=(const CResourceManager&) = delete;

    // Forgets the keys and lists the directory again: every file named as
    // GetResourcePath names a key (".res" compared without regard to case)
    // adds that key. The number of keys found.
    int Read();
    // Appends int count, then each key as a 16-byte block: the end of the
    // session-start message.
    void LoadConfig(CRVMSG* pMsg);
    // Creates or replaces the key's file; 1 when everything was written. The
    // key list is not changed until the next Read().
    int SaveResource(const unsigned char* pKey, RESOURCE_TYPE eType, const unsigned char* pData, int iLength);
    // The key's file into *pOut; 1 on success. A file that is missing, not a
    // plain file, cut short or longer than CResourceData::MAX_LENGTH is
    // logged ("Error Could not load resource: %s"), deleted, and 0 returned.
    int LoadResource(const unsigned char* pKey, CResourceData* pOut);
    // 1 when the key was listed by the last Read().
    int FindResource(const unsigned char* pKey);
    // A new key slot at the end of the list (its bytes for the caller to
    // fill), or null when the list cannot grow.
    unsigned char* AddResource();
    // Room for at least iCount keys: the capacity becomes
    // (count + 16) / 16 x 16 + 16. 0 when out of memory or above MAX_KEYS.
    int AllocResources(int iCount);
    // "<directory>/<32 upper-case hex digits>.res" into pszPath (at least
    // PATH_BUFFER bytes); 0 when the cache has no directory.
    int GetResourcePath(const unsigned char* pKey, char* pszPath);

    int Count();
    // The i-th key's 16 bytes, copied out; 0 for an index out of range.
    int Key(int i, unsigned char* pKey);
    const char* Directory() const { return m_szDirectory; }

    // Where the front end keeps the viewer's cache; the cache is rooted
    // there when the session start creates it.
    static void SetCacheDirectory(const char* pszDirectory);
    static const char* CacheDirectory();

private:
    int AllocLocked(int iCount);

    char m_szDirectory[MAX_DIRECTORY + 1];
    unsigned char* m_pKeys;
    int m_iCount;
    int m_iCapacity;
    CRVCritical m_Lock;
};

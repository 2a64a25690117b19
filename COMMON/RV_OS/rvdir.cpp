// Directory enumeration with a name filter, and the directory helpers.
#include "rvdir.h"

#include "rvdebug.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <ftw.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

// ------------------------------------------------------------ directories

int DirectoryExists(const CRVString& path)
{
    CRVString p;
    if (!NarrowPath(path, p))
        return 0;
    DIR* dir = opendir(NarrowText(p));
    if (!dir)
        return 0;
    closedir(dir);
    return 1;
}

int TAVO_CreateDirectory(const CRVString& path)
{
    CRVString p;
    if (!NarrowPath(path, p))
        return 0;
    RVLog(RV_LOG_DEBUG, "Creating Dir: %s", NarrowText(p));
    // Owner only: these folders hold the resource cache and downloaded fonts,
    // which must not be writable by other users of the machine.
    return mkdir(NarrowText(p), 0700) == 0;
}

static int RemoveOne(const char* path, const struct stat*, int, struct FTW*)
{
    return std::remove(path) == 0 ? 0 : -1;
}

int TAVO_RemoveDirectory(const CRVString& path)
{
    CRVString p;
    if (!NarrowPath(path, p))
        return 0;
    // Only a real directory: a symbolic link to one must not take its target along.
    struct stat st;
    if (lstat(NarrowText(p), &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;
    return nftw(NarrowText(p), RemoveOne, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

// ----------------------------------------------------------- CRVFileFinder

namespace {

// Case-insensitive (ASCII) search; the index of the first occurrence of
// needle in the first n bytes of hay, or -1.
int FindNoCase(const char* hay, size_t n, const char* needle)
{
    size_t m = std::strlen(needle);
    for (size_t i = 0; m <= n && i <= n - m; ++i) {
        size_t k = 0;
        while (k < m && std::tolower((unsigned char)hay[i + k]) == std::tolower((unsigned char)needle[k]))
            ++k;
        if (k == m)
            return (int)i;
    }
    return -1;
}

CRVString Narrow(CRVString s)
{
    s.ConvertTochar();   // cannot fail: made from narrow text
    return s;
}

bool IsWildcardOrEmpty(const char* part, size_t n) { return n == 0 || (n == 1 && part[0] == '*'); }

}  // namespace

CRVFileFinder::CRVFileFinder(const CRVString& directory, const CRVString& pattern, int flags)
    : m_sDirectory(TYPE_CHAR), m_sNameFilter(TYPE_CHAR), m_sExtFilter(TYPE_CHAR), m_bMatchNothing(0),
      m_nFlags(flags), m_pDir(nullptr)
{
    if (NarrowPath(directory, m_sDirectory)) {
        const char* d = NarrowText(m_sDirectory);
        size_t n = std::strlen(d);
        while (n && (d[n - 1] == '/' || d[n - 1] == '\\'))
            --n;
        // Trimming the root would leave no directory at all: keep it.
        if (!n && d[0] == '/')
            n = 1;
        m_sDirectory = Narrow(m_sDirectory.Left((int)n));
        m_pDir = opendir(NarrowText(m_sDirectory));
    }

    CRVString p;
    if (!NarrowPath(pattern, p)) {
        m_bMatchNothing = 1;
        return;
    }
    const char* text = NarrowText(p);
    const char* dot = std::strchr(text, '.');
    size_t nameLen = dot ? (size_t)(dot - text) : std::strlen(text);
    if (!IsWildcardOrEmpty(text, nameLen))
        m_sNameFilter = Narrow(p.Left((int)nameLen));
    if (dot && !IsWildcardOrEmpty(dot + 1, std::strlen(dot + 1)))
        m_sExtFilter = CRVString(dot + 1);
}

CRVFileFinder::~CRVFileFinder()
{
    if (m_pDir)
        closedir(m_pDir);
}

int CRVFileFinder::Matches(const char* name) const
{
    if (m_bMatchNothing)
        return 0;
    const char* nameFilter = NarrowText(m_sNameFilter);
    const char* extFilter = NarrowText(m_sExtFilter);
    if (!*nameFilter && !*extFilter)
        return 1;
    const char* lastDot = std::strrchr(name, '.');
    if (!lastDot)
        return 0;
    size_t dotAt = (size_t)(lastDot - name);
    // The name filter may start anywhere up to the last dot.
    if (*nameFilter) {
        int at = FindNoCase(name, std::strlen(name), nameFilter);
        if (at < 0 || (size_t)at > dotAt)
            return 0;
    }
    if (*extFilter && FindNoCase(lastDot + 1, std::strlen(lastDot + 1), extFilter) < 0)
        return 0;
    return 1;
}

int CRVFileFinder::GetNextEntry(RV_FILE_ENTRY& entry)
{
    while (m_pDir) {
        struct dirent* d = readdir(m_pDir);
        if (!d) {
            closedir(m_pDir);
            m_pDir = nullptr;
            break;
        }
        if (!Matches(d->d_name))
            continue;

        std::memset(&entry, 0, sizeof entry);
        std::strncpy(entry.szName, d->d_name, sizeof entry.szName - 1);
        bool dots = !std::strcmp(d->d_name, ".") || !std::strcmp(d->d_name, "..");
        bool wantSize = (m_nFlags & (RV_FIND_SIZE_TIME | RV_FIND_SIZE)) != 0;
        bool isDir = d->d_type == DT_DIR;
        struct stat st;
        bool haveStat = false;
        if (wantSize || d->d_type == DT_UNKNOWN || d->d_type == DT_LNK) {
            CRVString full = ConcatDirectory(entry);
            haveStat = stat(NarrowText(full), &st) == 0;
            if (haveStat)
                isDir = S_ISDIR(st.st_mode);
        }
        entry.nKind = (dots ? 0 : RV_ENTRY_VALID) | (isDir ? RV_ENTRY_DIR : 0);
        if (wantSize && haveStat)
            entry.dwSize = st.st_size > 0xFFFFFFFF ? 0xFFFFFFFFu : (uint32_t)st.st_size;
        if ((m_nFlags & RV_FIND_SIZE_TIME) && haveStat) {
            struct tm t;
            if (gmtime_r(&st.st_mtime, &t)) {
                entry.tModified = RV_FILE_TIME{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                                               t.tm_hour, t.tm_min, t.tm_sec};
            }
        }
        return 1;
    }
    return 0;
}

int CRVFileFinder::GetNextFile(RV_FILE_ENTRY& entry)
{
    while (GetNextEntry(entry)) {
        if (entry.nKind == RV_ENTRY_VALID)
            return 1;
    }
    return 0;
}

CRVString CRVFileFinder::ConcatDirectory(const RV_FILE_ENTRY& entry) const
{
    CRVString full(TYPE_CHAR);
    const char* dir = NarrowText(m_sDirectory);
    // The root is kept as "/" so that its entries do not become "//name".
    full.Format("%s/%s", std::strcmp(dir, "/") ? dir : "", entry.szName);
    return full;
}

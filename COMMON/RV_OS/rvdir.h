// Directory enumeration with a name filter, and the small file-system helpers
// the engine uses (exists, delete, rename, copy, create and remove
// directories). Every helper returns 1 on success and 0 on failure.
//
// Paths are CRVStrings handed to the C library in narrow form; a path with a
// character that has no narrow form fails instead of naming some other file.
#pragma once

#include "rvstring.h"

#include <dirent.h>
#include <stdint.h>
#include <wchar.h>

// Sets narrow to a narrow copy of path for the C library; 0 (narrow empty)
// when path has a character with no narrow form.
int NarrowPath(const CRVString& path, CRVString& narrow);
// The text of a string that NarrowPath or FixPath made narrow.
inline const char* NarrowText(const CRVString& narrow) { return static_cast<const char*>(narrow.GetData()); }

// Converts the path to narrow, turns every '\' into '/' and collapses runs of
// '/' into one. 0 (path unchanged) when it cannot be narrowed.
int FixPath(CRVString& path);

// FixPath, then whether the path is accessible.
int FileExists(const CRVString& path);
// Whether the directory can be opened.
int DirectoryExists(const CRVString& path);

int TAVO_DeleteFile(const CRVString& path);
int TAVO_MoveFile(const CRVString& from, const CRVString& to);
// Copies the data and the extended attributes. Copying a file onto itself
// is refused. The third argument is accepted for callers that pass one.
int TAVO_CopyFile(const CRVString& from, const CRVString& to, int unused = 0);
// Creates one directory with permissions 0707 (less the process umask).
int TAVO_CreateDirectory(const CRVString& path);
// Removes the directory and everything below it; symbolic links are removed,
// never followed.
int TAVO_RemoveDirectory(const CRVString& path);
// Sets permissions 0777 (chmod does not apply the umask).
int TAVO_MakeExec(const CRVString& path);
// Decimal value of the text (leading blanks and a sign allowed, stops at the
// first non-digit, clamped to the int range); 0 for null.
int TAVO_wtoi(const wchar_t* text);
// Always 0: failures are reported by return values only.
int TAVO_GetLastError();

// Kind bits of a directory entry.
#define RV_ENTRY_VALID 0x1   // set for every entry except "." and ".."
#define RV_ENTRY_DIR 0x2     // set for directories

// What GetNextEntry fills in besides name and kind.
#define RV_FIND_SIZE_TIME 0x1   // size and modification time
#define RV_FIND_SIZE 0x2        // size only

// Modification time as UTC calendar fields.
struct RV_FILE_TIME {
    int nYear;     // e.g. 2024
    int nMonth;    // 1..12
    int nDay;      // 1..31
    int nHour;
    int nMinute;
    int nSecond;
};

struct RV_FILE_ENTRY {
    char szName[1024];     // at most 1023 bytes and a terminator
    int nKind;             // RV_ENTRY_ bits; a plain file has kind 1
    uint32_t dwSize;       // when asked for; 0xFFFFFFFF for 4 GB and more
    RV_FILE_TIME tModified;  // when asked for (RV_FIND_SIZE_TIME)
};

class CRVFileFinder {
public:
    // Trailing '\' and '/' are trimmed from the directory, which is then
    // opened. The pattern is split at its first '.': a name part other than
    // "" or "*" filters names, an extension part other than "" or "*" filters
    // extensions (each a case-insensitive substring match).
    CRVFileFinder(const CRVString& directory, const CRVString& pattern, int flags = 0);
    virtual ~CRVFileFinder();

    CRVFileFinder(const CRVFileFinder&) = delete;
    CRVFileFinder& operator=(const CRVFileFinder&) = delete;

    // The next entry that passes the filter; 0 at the end (the directory is
    // then closed).
    virtual int GetNextEntry(RV_FILE_ENTRY& entry);
    // The next entry that is a plain file (kind 1).
    virtual int GetNextFile(RV_FILE_ENTRY& entry);
    // "directory/name".
    virtual CRVString ConcatDirectory(const RV_FILE_ENTRY& entry) const;

    static int IsValid(const RV_FILE_ENTRY& entry) { return (entry.nKind & RV_ENTRY_VALID) != 0; }
    static int IsDir(const RV_FILE_ENTRY& entry) { return (entry.nKind & RV_ENTRY_DIR) != 0; }

    // Whether a name passes this finder's filter.
    int Matches(const char* name) const;

private:
    CRVString m_sDirectory;    // narrow, without trailing separators
    CRVString m_sNameFilter;   // narrow; empty: no name filter
    CRVString m_sExtFilter;    // narrow; empty: no extension filter
    int m_bMatchNothing;       // the pattern had no narrow form
    int m_nFlags;
    DIR* m_pDir;
};

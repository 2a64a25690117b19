// CRVFile: the stream, the write cache and the read cache. The typed value
// encodings are in rvfilevalues.cpp.
#include "rvfile.h"

#include "rvdebug.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

CRVFile::CRVFile(const CRVString& path, int cacheSize)
    : m_sPath(path), m_pFile(nullptr), m_bInfoValid(0), m_pCache(nullptr), m_nCacheSize(0),
      m_nCacheFill(0), m_nCachePos(0), m_eMode(0)
{
    std::memset(&m_Info, 0, sizeof m_Info);
    // A path with no narrow form names no file: every open then fails.
    if (!FixPath(m_sPath))
        m_sPath = CRVString(TYPE_CHAR);
    RV_ASSERT(cacheSize >= 0);
    if (cacheSize < 0)
        cacheSize = RV_FILE_CACHE_DEFAULT;
    m_pCache = static_cast<uint8_t*>(std::malloc(cacheSize ? (size_t)cacheSize : 1));
    // Without memory for the cache the file still works, uncached.
    m_nCacheSize = m_pCache ? cacheSize : 0;
}

CRVFile::~CRVFile()
{
    Close();
    std::free(m_pCache);
}

int CRVFile::Open(int mode, int, int, int)
{
    Close();
    const char* how = mode == RV_FILE_READ ? "r" : mode == RV_FILE_WRITE ? "wb" : mode == RV_FILE_APPEND ? "a" : nullptr;
    if (!how || !*PathText())
        return 0;
    m_pFile = std::fopen(PathText(), how);
    if (!m_pFile)
        return 0;
    // Writes are gathered in our own cache; a second buffer in the stream
    // would only delay them and copy them once more.
    if (mode != RV_FILE_READ)
        std::setvbuf(m_pFile, nullptr, _IONBF, 0);
    m_eMode = mode;
    m_nCacheFill = m_nCachePos = 0;
    return 1;
}

int CRVFile::Close()
{
    if (!m_pFile)
        return 1;
    int ok = WriteCache();
    if (std::fclose(m_pFile) != 0)
        ok = 0;
    m_pFile = nullptr;
    m_eMode = 0;
    m_nCacheFill = m_nCachePos = 0;
    return ok;
}

int CRVFile::IsOpen() const { return m_pFile != nullptr; }

int CRVFile::Exists()
{
    if (!*PathText())
        return 0;
    FILE* f = std::fopen(PathText(), "r");
    if (!f)
        return 0;
    std::fclose(f);
    return 1;
}

int64_t CRVFile::GetLength()
{
    // Bytes still in the cache belong to the file as far as the caller knows.
    if (IsWriting()) {
        WriteCache();
        std::fflush(m_pFile);
    }
    m_bInfoValid = stat(PathText(), &m_Info) == 0;
    if (!m_bInfoValid) {
        RVLog(RV_LOG_DEBUG, "Bad stat on file %s", PathText());
        return 0;
    }
    return (int64_t)m_Info.st_size;
}

uint32_t CRVFile::GetCheckSum()
{
    // An open read stream is summed from the start and left rewound; in any
    // other state a private stream is used so that this object's is untouched.
    FILE* f;
    if (IsReading()) {
        f = m_pFile;
        DropReadCache();
        std::rewind(f);
    } else {
        if (IsWriting() && !Flush())
            return 0;
        f = std::fopen(PathText(), "r");
        if (!f)
            return 0;
    }
    uint8_t block[10000];
    uint32_t sum = 0;
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, f)) > 0) {
        for (size_t i = 0; i < n; ++i)
            sum += block[i];
    }
    int failed = std::ferror(f);
    if (f == m_pFile)
        std::rewind(f);
    else
        std::fclose(f);
    return failed ? 0 : sum;
}

int CRVFile::WriteCache()
{
    if (!IsWriting() || !m_nCacheFill)
        return 1;
    size_t n = (size_t)m_nCacheFill;
    m_nCacheFill = 0;
    return std::fwrite(m_pCache, 1, n, m_pFile) == n;
}

int CRVFile::Write(const void* data, int n)
{
    if (!IsWriting() || n < 0 || (n && !data))
        return 0;
    if (!n)
        return 1;
    if ((int64_t)m_nCacheFill + n >= m_nCacheSize && !WriteCache())
        return 0;
    if (n >= m_nCacheSize)
        return std::fwrite(data, 1, (size_t)n, m_pFile) == (size_t)n;
    std::memcpy(m_pCache + m_nCacheFill, data, (size_t)n);
    m_nCacheFill += n;
    return 1;
}

int CRVFile::WriteBytes(const void* data, int n) { return Write(data, n); }

int CRVFile::ReadBytes(void* buffer, int n) { return ReadThroughCache(buffer, n, 0); }

int CRVFile::ReadBytesBuffered(void* buffer, int n) { return ReadThroughCache(buffer, n, 1); }

int CRVFile::ReadThroughCache(void* buffer, int n, int bRefill)
{
    if (!IsReading() || n < 0 || (n && !buffer))
        return 0;
    uint8_t* out = static_cast<uint8_t*>(buffer);
    int cached = m_nCacheFill - m_nCachePos;
    int take = n < cached ? n : cached;
    std::memcpy(out, m_pCache + m_nCachePos, (size_t)take);
    m_nCachePos += take;
    int rest = n - take;
    if (!rest)
        return 1;
    if (!bRefill || rest > m_nCacheSize)
        return std::fread(out + take, 1, (size_t)rest, m_pFile) == (size_t)rest;
    m_nCacheFill = (int)std::fread(m_pCache, 1, (size_t)m_nCacheSize, m_pFile);
    m_nCachePos = rest < m_nCacheFill ? rest : m_nCacheFill;
    std::memcpy(out + take, m_pCache, (size_t)m_nCachePos);
    return m_nCachePos == rest;
}

int CRVFile::Seek(long offset, int whence)
{
    if (!m_pFile || (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END))
        return 0;
    if (IsWriting()) {
        if (!WriteCache())
            return 0;
        return std::fseek(m_pFile, offset, whence) == 0;
    }
    long unread = m_nCacheFill - m_nCachePos;
    if (unread > 0) {
        long ahead = -1;   // how far forward inside the cache, if it is
        if (whence == SEEK_CUR) {
            ahead = offset;
        } else if (whence == SEEK_SET) {
            long here = GetFilePointer();
            if (here >= 0)
                ahead = offset - here;
        }
        if (ahead >= 0 && ahead <= unread) {
            m_nCachePos += (int)ahead;
            return 1;
        }
    }
    // The stream stands `unread` bytes past the logical position.
    if (whence == SEEK_CUR) {
        if (offset < LONG_MIN + unread)
            return 0;
        offset -= unread;
    }
    DropReadCache();
    return std::fseek(m_pFile, offset, whence) == 0;
}

int CRVFile::SeekFast(long offset, int whence) { return Seek(offset, whence); }

long CRVFile::GetFilePointer()
{
    if (!m_pFile)
        return -1;
    long at = std::ftell(m_pFile);
    if (at < 0)
        return -1;
    if (IsWriting())
        return at + m_nCacheFill;
    return at - (m_nCacheFill - m_nCachePos);
}

int CRVFile::Flush()
{
    if (!m_pFile)
        return 0;
    if (!IsWriting())
        return 1;
    int ok = WriteCache();
    return std::fflush(m_pFile) == 0 && ok;
}

int CRVFile::SetBufferSize(int n)
{
    if (n < 0 || n < m_nCacheFill)
        return 0;
    uint8_t* cache = static_cast<uint8_t*>(std::malloc(n ? (size_t)n : 1));
    if (!cache)
        return 0;
    std::memcpy(cache, m_pCache, (size_t)m_nCacheFill);
    std::free(m_pCache);
    m_pCache = cache;
    m_nCacheSize = n;
    return 1;
}

int CRVFile::IsEOF()
{
    if (!IsReading())
        return 1;
    if (m_nCachePos < m_nCacheFill)
        return 0;
    int c = std::fgetc(m_pFile);
    if (c == EOF)
        return 1;
    std::ungetc(c, m_pFile);
    return 0;
}

int CRVFile::IsReadError() { return m_pFile && std::ferror(m_pFile) ? 1 : 0; }

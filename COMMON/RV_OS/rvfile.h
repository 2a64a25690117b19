// CRVFile: the engine's binary file, with a write cache and typed values.
//
// Stored files (fonts, the resource cache, settings) are made of these value
// encodings, all little-endian with no alignment or padding:
//   byte 1 byte; WORD/short 2; DWORD/int/UINT 4;
//   string: a 32-bit count word, then the characters. Bit 31 clear: 8-bit
//     characters, the count is the number of bytes. Bit 31 set: UTF-16 code
//     units, bits 0..30 hold the number of bytes (2 per unit). No terminator.
//   IP address: four 16-bit values, one octet each.
// Files may come from other programs: a string whose count is out of range
// reads as an empty string and fails, and a read past the end fails.
//
// Every operation is virtual so that a memory-backed subclass can replace
// the storage. Not synchronised.
#pragma once

#include "rvdir.h"
#include "rvstring.h"

#include <stdint.h>
#include <stdio.h>
#include <sys/stat.h>

enum RV_FILE_MODE {
    RV_FILE_READ = 1,     // "r"
    RV_FILE_WRITE = 2,    // "wb", truncating
    RV_FILE_APPEND = 3,   // "a"
};

#define RV_FILE_CACHE_DEFAULT 5000
// Largest string byte count a reader accepts; anything above is taken for
// damage rather than a string.
#define RV_FILE_MAX_STRING_BYTES 25000

class CRVFile {
public:
    // The path is normalised with FixPath; nothing is opened.
    explicit CRVFile(const CRVString& path, int cacheSize = RV_FILE_CACHE_DEFAULT);
    // Writes the cache out and closes.
    virtual ~CRVFile();

    CRVFile(const CRVFile&) = delete;
    CRVFile& operator=(const CRVFile&) = delete;

    // Opens in an RV_FILE_MODE (an open file is closed first); the other
    // arguments are accepted and not used.
    virtual int Open(int mode, int unused1 = 0, int unused2 = 0, int unused3 = 0);
    // Writes the cache out (write and append modes) and closes; 1 when there
    // was nothing to close.
    virtual int Close();
    virtual int IsOpen() const;
    // Whether the path can be opened for reading.
    virtual int Exists();
    // Size on disk (pending cached bytes are written out first); 0 when the
    // file cannot be examined.
    virtual int64_t GetLength();
    // Unsigned 32-bit sum of all bytes of the file; 0 when it cannot be read.
    virtual uint32_t GetCheckSum();

    // Append to the write cache; the cache is written out before it would
    // fill, and blocks as large as the cache go straight to the stream.
    virtual int Write(const void* data, int n);
    virtual int WriteBytes(const void* data, int n);
    // What remains in the cache, then the stream; 1 only if all n bytes came.
    virtual int ReadBytes(void* buffer, int n);
    // As ReadBytes, refilling the cache a block at a time; requests larger
    // than the cache bypass it.
    virtual int ReadBytesBuffered(void* buffer, int n);
    // whence is SEEK_SET, SEEK_CUR or SEEK_END. A forward seek that stays
    // inside the read cache only moves the cache position.
    virtual int Seek(long offset, int whence);
    virtual int SeekFast(long offset, int whence = SEEK_SET);
    // The logical position (what the caller has read or written so far);
    // -1 when not open.
    virtual long GetFilePointer();
    // Writes the cache and flushes the stream.
    virtual int Flush();
    // A new cache of n bytes keeping the cached bytes; refused below the fill.
    virtual int SetBufferSize(int n);

    virtual int ReadByte(uint8_t& value);
    virtual int WriteByte(uint8_t value);
    virtual int ReadWORD(uint16_t& value);
    virtual int WriteWORD(uint16_t value);
    virtual int ReadShort(int16_t& value);
    virtual int WriteShort(int16_t value);
    virtual int ReadDWORD(uint32_t& value);
    virtual int WriteDWORD(uint32_t value);
    virtual int ReadInt(int32_t& value);
    virtual int WriteInt(int32_t value);
    virtual int ReadUINT(unsigned int& value);
    virtual int WriteUINT(unsigned int value);
    // The string keeps the width of the data read. Fails (string empty) on a
    // count above RV_FILE_MAX_STRING_BYTES (no character bytes are read then),
    // on text longer than a CRVString holds (the bytes are skipped), and on
    // a short read.
    virtual int ReadString(CRVString& value);
    // Narrow strings as 8-bit text, wide strings as UTF-16 (characters past
    // U+FFFF as surrogate pairs).
    virtual int WriteString(const CRVString& value);
    // The 8-bit form whenever the text can be narrowed, else the wide form.
    virtual int WriteStringSmall(const CRVString& value);
    // ip holds the address as in in_addr.s_addr: octets in memory order.
    virtual int ReadIP(uint32_t& ip);
    virtual int WriteIP(uint32_t ip);

    // Whether nothing more can be read (also when not open for reading).
    virtual int IsEOF();
    // Whether the stream reported a read error.
    virtual int IsReadError();

    const CRVString& GetPath() const { return m_sPath; }

protected:
    int IsWriting() const { return m_pFile && (m_eMode == RV_FILE_WRITE || m_eMode == RV_FILE_APPEND); }
    int IsReading() const { return m_pFile && m_eMode == RV_FILE_READ; }
    // Writes pending bytes out (write modes); the cache is empty afterwards.
    int WriteCache();
    // ReadBytes (bRefill 0) and ReadBytesBuffered (bRefill 1): the cached
    // bytes first, then the rest straight from the stream, or through a
    // refilled cache when bRefill is set and the rest fits it.
    int ReadThroughCache(void* buffer, int n, int bRefill);
    // Forgets read-ahead bytes (read mode) without moving the stream.
    void DropReadCache() { m_nCacheFill = m_nCachePos = 0; }
    const char* PathText() const { return NarrowText(m_sPath); }

    CRVString m_sPath;          // narrow after FixPath; empty if that failed
    FILE* m_pFile;
    struct stat m_Info;
    int m_bInfoValid;
    uint8_t* m_pCache;
    int m_nCacheSize;
    int m_nCacheFill;
    int m_nCachePos;            // read position inside the cache (read mode)
    int m_eMode;                // RV_FILE_MODE, 0 when closed
};

// CRVMSG: one message between the viewer and the controller.
//
// A message is built by a sequence of typed Puts and read back by the same
// sequence of Gets; the wire has no type tags. The record keeps its frame in
// one block: an 8-byte RVT_HEADER copy followed by the data. An owning record
// allocates and grows that block; a wrapping record reads a received frame in
// place and never writes into its data.
//
// Reading never goes past the data, whatever the frame holds. A Get that does
// not fit sets the error flag and yields 0; a value that is missing as a whole
// leaves the index where it was (a string whose characters run past the data
// leaves it after the count word). The flag is sticky only for the string, colour and RECT* readers, which refuse
// to read while it is set; the plain value readers neither test nor clear it.
// A handler checks Error() after its last Get to know the message was whole.
#pragma once

#include "rvrect.h"
#include "rvstring.h"
#include "rvwire.h"

#include <string.h>

// Strings whose count word announces more bytes than this are skipped and
// read as empty.
#define RV_MAX_MSG_STRING 10000u

class CRVMSG
{
public:
    // Empty record: identifiers -1, no block, data size 0, critical 0.
    explicit CRVMSG(int bOwnsBuffer);
    // Owning record with a block for uReserve data bytes; the data size starts
    // at uReserve (zero bytes) until the first Put. Above RV_MAX_MSG_DATA the
    // record has no block and owns nothing.
    CRVMSG(short sSenderID, short sMessageID, unsigned int uReserve, int bCritical);
    // Wraps a received frame in place (no copy; the frame must hold the header
    // and its `length` data bytes and outlive the record). A length above
    // RV_MAX_MSG_DATA leaves the record empty.
    explicit CRVMSG(RVT_HEADER* pFrame);
    // Owning copy of another record's header and data; critical is copied.
    explicit CRVMSG(const CRVMSG* pOther);
    virtual ~CRVMSG();

    CRVMSG(const CRVMSG&) = delete;
    CRVMSG& operator=(const CRVMSG&) = delete;

    short SenderID() const { return m_Header.sSenderID; }
    short MessageID() const { return m_Header.sMessageID; }
    int Critical() const { return m_bCritical; }
    int DataSize() const { return (int)m_Header.uLength; }
    void SenderID(short sSenderID);
    void MessageID(short sMessageID);
    // Sets the data size, after the caller wrote the data through Data(). An
    // owning record grows its block as needed (freshly grown bytes are zero);
    // a wrapping record cannot pass the frame it wraps. Returns 0 and changes
    // nothing for a size that cannot be held.
    int SetDataSize(int iSize);
    // The frame ready to send (header refreshed from the fields), MSGSize() bytes.
    RVT_HEADER* MSG();
    int MSGSize() const { return DataSize() + RV_HEADER_SIZE; }

    // New owning records on the heap, index 0, critical 1; the caller deletes
    // them. A copy that would pass RV_MAX_MSG_DATA comes back empty.
    CRVMSG* CreateCopy() const;
    CRVMSG* CreateCopyWithPadding(int nPad) const;     // nPad zero bytes appended
    CRVMSG* CreateCopyFromReadIndex() const;           // only the unread rest

    // Rewinds for a fresh read from the start, which also clears the error flag.
    void ResetRead();
    // Moves the index by n, kept within 0 .. data size.
    void AdvanceReadIndex(int n);
    unsigned char* Data() { return m_pBuffer ? m_pBuffer + RV_HEADER_SIZE : nullptr; }
    // The data at the index (at most the end of the data); null without a block.
    unsigned char* GetReadPointer();
    unsigned int ReadIndex() const { return m_uIndex; }
    // Data bytes from the index to the end.
    int BytesLeft() const { return m_uIndex < m_Header.uLength ? (int)(m_Header.uLength - m_uIndex) : 0; }
    int Error() const { return m_bError; }
    int OwnsBuffer() const { return m_bOwnsBuffer; }
    unsigned int Capacity() const { return m_uCapacity; }

    // Same message ID, data size and data bytes; the sender ID is not compared.
    int IsSameMSG(const CRVMSG* pOther) const;

    // Re-use for building: new message ID and critical flag, no data, index 0,
    // error cleared, room for iReserve bytes.
    void Reset(int iMessageID, int iReserve, int bCritical);
    // Becomes an owning copy of the frame (index 0). Returns 0 and leaves the
    // record empty for a length above RV_MAX_MSG_DATA.
    int LoadHeader(const RVT_HEADER* pFrame);

    // Writers store at the index and make it the new data size. They return 1,
    // or 0 with nothing written when the record does not own its block or the
    // data would pass RV_MAX_MSG_DATA.
    int PutBYTE(unsigned char b);
    int PutChar(char c);
    int PutShort(short s);
    int PutWORD(unsigned short w);
    int PutInt(int i);
    int PutIP(unsigned int uAddress);   // each address byte, lowest first, as a 16-bit value
    int PutData(const unsigned char* pSrc, int n);          // then zero bytes to a multiple of 4
    int PutDataNoAlign(const unsigned char* pSrc, int n);
    int PutString(const CRVString& s);
    int PutColor(unsigned int uColor);        // 0x00RRGGBB as three ints
    int PutColorBYTE(unsigned int uColor);    // 0x00RRGGBB as three bytes
    int PutRECT(RECT r);                      // inclusive edges to x, y, width, height
    int PutRECT(const CRVRect& r);
    int PutShortRECT(const CRVRect& r);       // four signed 16-bit values

    // Value readers: the value, or 0 (empty string, zero rectangle) when the
    // data is exhausted. The fixed-width ones are inline: they are the inner
    // loop of every handler.
    unsigned char GetBYTE() { const unsigned char* p = Take(1); return p ? *p : 0; }
    short GetShort() { const unsigned char* p = Take(2); return p ? (short)RVLoad16(p) : 0; }
    unsigned short GetWORD() { const unsigned char* p = Take(2); return p ? RVLoad16(p) : 0; }
    int GetInt() { const unsigned char* p = Take(4); return p ? (int)RVLoad32(p) : 0; }
    long long GetInt64() { const unsigned char* p = Take(8); return p ? (long long)RVLoad64(p) : 0; }
    unsigned int GetColorBYTE();    // refuses while the error flag is set
    // Each missing value reads as 0 (and sets the flag); the flag is not tested.
    CRVRect GetRECT()
    {
        if (const unsigned char* p = Take(16))
            return CRVRect((int)RVLoad32(p), (int)RVLoad32(p + 4), (int)RVLoad32(p + 8), (int)RVLoad32(p + 12));
        return GetPartialRECT();
    }
    CRVRect GetShortRECT();
    CRVString GetString();          // refuses while the error flag is set

    // Out-parameter readers: 1 on success, 0 on failure (out-parameter
    // untouched). A null out-pointer skips the value.
    int GetChar(char* pc) { return GetFixed(pc, 1, [](const unsigned char* p) { return (char)*p; }); }
    int GetBYTE(unsigned char* pb) { return GetFixed(pb, 1, [](const unsigned char* p) { return *p; }); }
    int GetShort(short* ps) { return GetFixed(ps, 2, [](const unsigned char* p) { return (short)RVLoad16(p); }); }
    int GetWORD(unsigned short* pw) { return GetFixed(pw, 2, RVLoad16); }
    int GetInt(int* pi) { return GetFixed(pi, 4, [](const unsigned char* p) { return (int)RVLoad32(p); }); }
    int GetInt64(long long* pll) { return GetFixed(pll, 8, [](const unsigned char* p) { return (long long)RVLoad64(p); }); }
    int GetData(unsigned char* pDst, int n);     // then skips the pad to a multiple of 4
    // Refuses while the error flag is set. Inline with the count checks: a
    // handler reads a string in nearly every record.
    int GetString(CRVString* pString)
    {
        if (m_bError)
            return 0;
        const unsigned char* p = Take(4);   // sets the flag when it fails
        if (!p)
            return 0;
        unsigned int count = RVLoad32(p);
        unsigned int bytes = count & ~RV_STRING_WIDE;
        // The characters must lie in the data; the index stays after the count
        // word. Take left the index within the data.
        if (bytes > m_Header.uLength - m_uIndex) {
            m_bError = 1;
            return 0;
        }
        if (pString && !FillShort(pString, p + 4, count))
            FillString(pString, p + 4, bytes, (count & RV_STRING_WIDE) != 0);
        m_uIndex += (unsigned int)RVAlign4(bytes);
        return 1;
    }
    int GetColor(unsigned int* puColor);        // refuses while the error flag is set
    int GetRECT(RECT* pRect);                   // refuses while the error flag is set

private:
    void Clear();
    void Empty();
    int Grow(size_t nDataBytes);
    int CopyFrom(const CRVMSG& src, size_t nOffset, size_t nPad);
    unsigned char* PrepareWrite(size_t n);
    void CommitWrite(size_t n)
    {
        m_uIndex += (unsigned int)n;
        m_Header.uLength = m_uIndex;
    }
    // The data at the index if n bytes remain, advancing past them; otherwise
    // null with the error flag set and the index unchanged.
    const unsigned char* Take(size_t n)
    {
        // One test in 64 bits: the sum cannot wrap, and an index left past the
        // data fails it too.
        if (!m_pBuffer || (unsigned long long)m_uIndex + n > m_Header.uLength) {
            m_bError = 1;
            return nullptr;
        }
        const unsigned char* p = m_pBuffer + RV_HEADER_SIZE + m_uIndex;
        m_uIndex += (unsigned int)n;
        return p;
    }
    template <typename T, typename Load>
    int GetFixed(T* pOut, size_t n, Load load)
    {
        const unsigned char* p = Take(n);
        if (!p)
            return 0;
        if (pOut)
            *pOut = load(p);
        return 1;
    }
    CRVRect GetPartialRECT();
    static void FillString(CRVString* pString, const unsigned char* chars, size_t bytes, bool wide);
    // A label of 1 to 16 characters into a string of its form, the common
    // case, filled inline; false (nothing done) for any other string.
    static bool FillShort(CRVString* pString, const unsigned char* chars, unsigned int count)
    {
        if (count - 1u < 16u) {     // narrow, 1 to 16 bytes
            if (pString->GetType() != TYPE_CHAR)
                return false;
            CopyShort(pString->GetBufferSetLength((int)count), chars, count);
            return true;
        }
        if (count - (RV_STRING_WIDE | 2u) < 31u) {     // wide, 2 to 32 bytes
            if (pString->GetType() != TYPE_WCHAR)
                return false;
            int n = (int)((count & ~RV_STRING_WIDE) / 2);
            auto* w = static_cast<wchar_t*>(pString->GetBufferSetLength(n));
            if (w && n >= 8) {
                // At most two blocks: Widen's loop is not needed.
                Widen8(w, chars);
                Widen8(w + n - 8, chars + 2 * (n - 8));
            } else {
                Widen(w, chars, n);
            }
            return true;
        }
        return false;
    }
    // n (1 to 16) bytes as two fixed-size moves that may overlap, instead of
    // a call into the library's memcpy; nothing when pDst is null.
    static void CopyShort(void* pDst, const unsigned char* pSrc, unsigned int n)
    {
        unsigned char* d = static_cast<unsigned char*>(pDst);
        if (!d)
            return;
        if (n >= 8) {
            unsigned long long a, b;
            memcpy(&a, pSrc, 8);
            memcpy(&b, pSrc + n - 8, 8);
            memcpy(d, &a, 8);
            memcpy(d + n - 8, &b, 8);
        } else if (n >= 4) {
            unsigned int a, b;
            memcpy(&a, pSrc, 4);
            memcpy(&b, pSrc + n - 4, 4);
            memcpy(d, &a, 4);
            memcpy(d + n - 4, &b, 4);
        } else {
            for (unsigned int i = 0; i < n; ++i)
                d[i] = pSrc[i];
        }
    }
    // n UTF-16 units to wide characters, zero-extended; nothing when pDst is
    // null. The last block of 8 overlaps the one before it rather than
    // leaving a tail; shorter texts go one unit at a time.
    static void Widen(void* pDst, const unsigned char* pSrc, int n)
    {
        wchar_t* w = static_cast<wchar_t*>(pDst);
        if (!w)
            return;
        if (n >= 8) {
            for (int i = 0; i < n - 8; i += 8)
                Widen8(w + i, pSrc + 2 * i);
            Widen8(w + n - 8, pSrc + 2 * (n - 8));
        } else {
            for (int i = 0; i < n; ++i)
                w[i] = RVLoad16(pSrc + 2 * i);
        }
    }
    // Eight units; the fixed trip count lets the compiler use vector instructions.
    static void Widen8(wchar_t* pDst, const unsigned char* pSrc)
    {
        unsigned short u[8];
        memcpy(u, pSrc, sizeof u);
        for (int k = 0; k < 8; ++k)
            pDst[k] = u[k];
    }

    RVT_HEADER m_Header;        // sender ID, message ID, data size, as on the wire
    int m_bCritical;
    unsigned char* m_pBuffer;   // header copy, then the data; null when there is no block
    unsigned int m_uCapacity;   // block size, header included
    unsigned int m_uIndex;      // read and write position in the data
    int m_bOwnsBuffer;
    int m_bError;
};

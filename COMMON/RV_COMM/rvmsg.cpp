#include "rvmsg.h"

#include <new>

#include "rvdebug.h"

namespace {

// Edge and span conversions of hostile rectangles wrap in two's complement
// instead of overflowing a signed int.
int LastOf(int start, int size) { return (int)((unsigned int)start + (unsigned int)size - 1u); }
int SpanOf(int first, int last) { return (int)((unsigned int)last - (unsigned int)first + 1u); }

}  // namespace

// ---------------------------------------------------------------------------
// Construction

void CRVMSG::Clear()
{
    m_Header.sSenderID = -1;
    m_Header.sMessageID = -1;
    m_Header.uLength = 0;
    m_bCritical = 0;
    m_pBuffer = nullptr;
    m_uCapacity = 0;
    m_uIndex = 0;
    m_bOwnsBuffer = 0;
    m_bError = 0;
}

// Drops the block and the identifiers; what the record owns is freed.
void CRVMSG::Empty()
{
    if (m_bOwnsBuffer)
        delete[] m_pBuffer;
    int bOwns = m_bOwnsBuffer;
    int bCritical = m_bCritical;
    Clear();
    m_bOwnsBuffer = bOwns;
    m_bCritical = bCritical;
}

CRVMSG::CRVMSG(int bOwnsBuffer)
{
    Clear();
    m_bOwnsBuffer = bOwnsBuffer;
}

CRVMSG::CRVMSG(short sSenderID, short sMessageID, unsigned int uReserve, int bCritical)
{
    Clear();
    m_Header.sSenderID = sSenderID;
    m_Header.sMessageID = sMessageID;
    m_bCritical = bCritical;
    if (uReserve > RV_MAX_MSG_DATA) {
        RVLog(RV_LOG_WARN, "message %d: reserve of %u bytes refused", sMessageID, uReserve);
        return;
    }
    m_bOwnsBuffer = 1;
    if (Grow(uReserve))
        m_Header.uLength = uReserve;
}

CRVMSG::CRVMSG(RVT_HEADER* pFrame)
{
    Clear();
    RV_ASSERT(pFrame);
    if (!pFrame)
        return;
    RVT_HEADER h = RVLoadHeader(pFrame);
    if (h.uLength > RV_MAX_MSG_DATA)
        return;
    m_Header = h;
    m_pBuffer = reinterpret_cast<unsigned char*>(pFrame);
    m_uCapacity = h.uLength + RV_HEADER_SIZE;
    m_bCritical = 1;
}

CRVMSG::CRVMSG(const CRVMSG* pOther)
{
    Clear();
    m_bOwnsBuffer = 1;
    RV_ASSERT(pOther);
    if (!pOther)
        return;
    CopyFrom(*pOther, 0, 0);
    m_bCritical = pOther->m_bCritical;
}

CRVMSG::~CRVMSG()
{
    if (m_bOwnsBuffer)
        delete[] m_pBuffer;
}

// Makes room for nDataBytes of data by the capacity rule: the header, the data
// and 1 to 512 bytes of headroom, in a whole number of 512-byte units. The old
// block is kept as it is; new bytes are zero so that nothing stale can be sent.
int CRVMSG::Grow(size_t nDataBytes)
{
    RV_ASSERT(m_bOwnsBuffer);
    if (!m_bOwnsBuffer || nDataBytes > RV_MAX_MSG_DATA)
        return 0;
    size_t capacity = (nDataBytes + RV_HEADER_SIZE + 512) & ~(size_t)511;
    unsigned char* p = new (std::nothrow) unsigned char[capacity];
    if (!p) {
        RVLog(RV_LOG_ERROR, "message %d: out of memory for %zu bytes", m_Header.sMessageID, capacity);
        return 0;
    }
    size_t kept;
    if (m_pBuffer) {
        kept = m_uCapacity < capacity ? m_uCapacity : capacity;
        memcpy(p, m_pBuffer, kept);
        delete[] m_pBuffer;
    } else {
        RVStoreHeader(p, m_Header);
        kept = RV_HEADER_SIZE;
    }
    memset(p + kept, 0, capacity - kept);
    m_pBuffer = p;
    m_uCapacity = (unsigned int)capacity;
    return 1;
}

// This record's identifiers and the data of src from nOffset on, followed by
// nPad zero bytes. On a size above the limit the record is left empty.
int CRVMSG::CopyFrom(const CRVMSG& src, size_t nOffset, size_t nPad)
{
    size_t srcSize = src.m_pBuffer ? src.m_Header.uLength : 0;
    size_t kept = nOffset < srcSize ? srcSize - nOffset : 0;
    if (kept + nPad > RV_MAX_MSG_DATA) {
        RVLog(RV_LOG_WARN, "message %d: copy of %zu bytes refused", src.m_Header.sMessageID, kept + nPad);
        return 0;
    }
    m_Header.sSenderID = src.m_Header.sSenderID;
    m_Header.sMessageID = src.m_Header.sMessageID;
    if (!src.m_pBuffer && nPad == 0)
        return 1;
    if (!Grow(kept + nPad)) {
        Empty();
        return 0;
    }
    if (kept)
        memcpy(m_pBuffer + RV_HEADER_SIZE, src.m_pBuffer + RV_HEADER_SIZE + nOffset, kept);
    m_Header.uLength = (unsigned int)(kept + nPad);
    return 1;
}

// ---------------------------------------------------------------------------
// Header access, copies, position

void CRVMSG::SenderID(short sSenderID)
{
    m_Header.sSenderID = sSenderID;
    if (m_pBuffer)
        RVStoreHeader(m_pBuffer, m_Header);
}

void CRVMSG::MessageID(short sMessageID)
{
    m_Header.sMessageID = sMessageID;
    if (m_pBuffer)
        RVStoreHeader(m_pBuffer, m_Header);
}

int CRVMSG::SetDataSize(int iSize)
{
    RV_ASSERT(iSize >= 0 && (unsigned int)iSize <= RV_MAX_MSG_DATA);
    if (iSize < 0 || (unsigned int)iSize > RV_MAX_MSG_DATA)
        return 0;
    size_t needed = (size_t)iSize + RV_HEADER_SIZE;
    if (needed > m_uCapacity && (iSize > 0 || m_pBuffer)) {
        if (!m_bOwnsBuffer) {
            RV_ASSERT(!"data size beyond a wrapped frame");
            return 0;
        }
        if (!Grow((size_t)iSize))
            return 0;
    }
    m_Header.uLength = (unsigned int)iSize;
    if (m_pBuffer)
        RVStoreHeader(m_pBuffer, m_Header);
    return 1;
}

RVT_HEADER* CRVMSG::MSG()
{
    if (!m_pBuffer)
        return &m_Header;
    RVStoreHeader(m_pBuffer, m_Header);
    return reinterpret_cast<RVT_HEADER*>(m_pBuffer);
}

CRVMSG* CRVMSG::CreateCopy() const
{
    return CreateCopyWithPadding(0);
}

CRVMSG* CRVMSG::CreateCopyWithPadding(int nPad) const
{
    RV_ASSERT(nPad >= 0);
    CRVMSG* pCopy = new CRVMSG(1);
    pCopy->CopyFrom(*this, 0, nPad > 0 ? (size_t)nPad : 0);
    pCopy->m_bCritical = 1;
    return pCopy;
}

CRVMSG* CRVMSG::CreateCopyFromReadIndex() const
{
    CRVMSG* pCopy = new CRVMSG(1);
    pCopy->CopyFrom(*this, m_uIndex, 0);
    pCopy->m_bCritical = 1;
    return pCopy;
}

void CRVMSG::ResetRead()
{
    m_uIndex = 0;
    m_bError = 0;
}

void CRVMSG::AdvanceReadIndex(int n)
{
    long long index = (long long)m_uIndex + n;
    if (index < 0)
        index = 0;
    if (index > (long long)m_Header.uLength)
        index = m_Header.uLength;
    m_uIndex = (unsigned int)index;
}

unsigned char* CRVMSG::GetReadPointer()
{
    if (!m_pBuffer)
        return nullptr;
    unsigned int at = m_uIndex < m_Header.uLength ? m_uIndex : m_Header.uLength;
    return m_pBuffer + RV_HEADER_SIZE + at;
}

int CRVMSG::IsSameMSG(const CRVMSG* pOther) const
{
    if (!pOther || pOther->m_Header.sMessageID != m_Header.sMessageID ||
        pOther->m_Header.uLength != m_Header.uLength)
        return 0;
    if (m_Header.uLength == 0)
        return 1;
    return memcmp(m_pBuffer + RV_HEADER_SIZE, pOther->m_pBuffer + RV_HEADER_SIZE, m_Header.uLength) == 0;
}

void CRVMSG::Reset(int iMessageID, int iReserve, int bCritical)
{
    m_Header.sMessageID = (short)iMessageID;
    m_bCritical = bCritical;
    m_Header.uLength = 0;
    m_uIndex = 0;
    m_bError = 0;
    RV_ASSERT(iReserve >= 0 && (unsigned int)iReserve <= RV_MAX_MSG_DATA);
    if (iReserve < 0 || (unsigned int)iReserve > RV_MAX_MSG_DATA)
        return;
    if ((size_t)iReserve + RV_HEADER_SIZE > m_uCapacity)
        Grow((size_t)iReserve);   // asserts on a wrapping record, which cannot grow
}

int CRVMSG::LoadHeader(const RVT_HEADER* pFrame)
{
    RV_ASSERT(pFrame);
    if (!m_bOwnsBuffer) {
        // Let go of the wrapped frame: the record owns what it holds from now on.
        int bCritical = m_bCritical;
        Clear();
        m_bOwnsBuffer = 1;
        m_bCritical = bCritical;
    }
    m_uIndex = 0;
    m_bError = 0;
    RVT_HEADER h = pFrame ? RVLoadHeader(pFrame) : RVT_HEADER{-1, -1, 0};
    if (!pFrame || h.uLength > RV_MAX_MSG_DATA) {
        Empty();
        return 0;
    }
    size_t frameSize = (size_t)h.uLength + RV_HEADER_SIZE;
    unsigned char* pOld = nullptr;
    if (frameSize > m_uCapacity) {
        // The frame may lie in the old block, which is freed only after the copy.
        pOld = m_pBuffer;
        m_pBuffer = nullptr;
        m_uCapacity = 0;
        if (!Grow(h.uLength)) {
            delete[] pOld;
            Empty();
            return 0;
        }
    }
    memmove(m_pBuffer, pFrame, frameSize);
    delete[] pOld;
    m_Header = h;
    return 1;
}

// ---------------------------------------------------------------------------
// Writing

// Room for n bytes at the index, or null when this record may not write them.
unsigned char* CRVMSG::PrepareWrite(size_t n)
{
    if (!m_bOwnsBuffer) {
        RV_ASSERT(!"write to a message that wraps someone else's frame");
        return nullptr;
    }
    size_t end = (size_t)m_uIndex + n;
    if (end > RV_MAX_MSG_DATA) {
        RVLog(RV_LOG_WARN, "message %d: data would pass %u bytes, write refused", m_Header.sMessageID,
              RV_MAX_MSG_DATA);
        return nullptr;
    }
    if (end + RV_HEADER_SIZE > m_uCapacity && !Grow(end))
        return nullptr;
    // The index can lie a few bytes past the data (a string whose last pad was
    // missing); those bytes become part of the data, so they are zeroed.
    if (m_uIndex > m_Header.uLength)
        memset(m_pBuffer + RV_HEADER_SIZE + m_Header.uLength, 0, m_uIndex - m_Header.uLength);
    return m_pBuffer + RV_HEADER_SIZE + m_uIndex;
}

int CRVMSG::PutBYTE(unsigned char b)
{
    unsigned char* p = PrepareWrite(1);
    if (!p)
        return 0;
    *p = b;
    CommitWrite(1);
    return 1;
}

int CRVMSG::PutChar(char c) { return PutBYTE((unsigned char)c); }

int CRVMSG::PutWORD(unsigned short w)
{
    unsigned char* p = PrepareWrite(2);
    if (!p)
        return 0;
    RVStore16(p, w);
    CommitWrite(2);
    return 1;
}

int CRVMSG::PutShort(short s) { return PutWORD((unsigned short)s); }

int CRVMSG::PutInt(int i)
{
    unsigned char* p = PrepareWrite(4);
    if (!p)
        return 0;
    RVStore32(p, (unsigned int)i);
    CommitWrite(4);
    return 1;
}

int CRVMSG::PutIP(unsigned int uAddress)
{
    unsigned char* p = PrepareWrite(8);
    if (!p)
        return 0;
    for (int i = 0; i < 4; ++i)
        RVStore16(p + 2 * i, (unsigned short)((uAddress >> (8 * i)) & 0xFF));
    CommitWrite(8);
    return 1;
}

int CRVMSG::PutData(const unsigned char* pSrc, int n)
{
    RV_ASSERT(n >= 0 && (pSrc || n == 0));
    if (n < 0 || (!pSrc && n > 0))
        return 0;
    size_t padded = RVAlign4((size_t)n);
    unsigned char* p = PrepareWrite(padded);
    if (!p)
        return 0;
    if (n)
        memcpy(p, pSrc, (size_t)n);
    memset(p + n, 0, padded - (size_t)n);
    CommitWrite(padded);
    return 1;
}

int CRVMSG::PutDataNoAlign(const unsigned char* pSrc, int n)
{
    RV_ASSERT(n >= 0 && (pSrc || n == 0));
    if (n < 0 || (!pSrc && n > 0))
        return 0;
    unsigned char* p = PrepareWrite((size_t)n);
    if (!p)
        return 0;
    if (n)
        memcpy(p, pSrc, (size_t)n);
    CommitWrite((size_t)n);
    return 1;
}

// Count word, characters (8-bit as they are, wide as the low 16 bits of each
// character, little-endian), then zero bytes to a multiple of 4.
int CRVMSG::PutString(const CRVString& s)
{
    size_t chars = s.GetLength() > 0 ? (size_t)s.GetLength() : 0;
    bool wide = s.GetType() == TYPE_WCHAR;
    size_t bytes = wide ? 2 * chars : chars;
    size_t padded = RVAlign4(bytes);
    unsigned char* p = PrepareWrite(4 + padded);
    if (!p)
        return 0;
    RVStore32(p, (unsigned int)bytes | (wide ? RV_STRING_WIDE : 0u));
    p += 4;
    if (wide) {
        const wchar_t* src = static_cast<const wchar_t*>(s.GetData());
        for (size_t i = 0; i < chars; ++i)
            RVStore16(p + 2 * i, (unsigned short)src[i]);
    } else if (chars) {
        memcpy(p, s.GetData(), chars);
    }
    memset(p + bytes, 0, padded - bytes);
    CommitWrite(4 + padded);
    return 1;
}

int CRVMSG::PutColor(unsigned int uColor)
{
    unsigned char* p = PrepareWrite(12);
    if (!p)
        return 0;
    RVStore32(p, (uColor >> 16) & 0xFF);
    RVStore32(p + 4, (uColor >> 8) & 0xFF);
    RVStore32(p + 8, uColor & 0xFF);
    CommitWrite(12);
    return 1;
}

int CRVMSG::PutColorBYTE(unsigned int uColor)
{
    unsigned char* p = PrepareWrite(3);
    if (!p)
        return 0;
    p[0] = (unsigned char)(uColor >> 16);
    p[1] = (unsigned char)(uColor >> 8);
    p[2] = (unsigned char)uColor;
    CommitWrite(3);
    return 1;
}

int CRVMSG::PutRECT(RECT r)
{
    return PutRECT(CRVRect(r.left, r.top, SpanOf(r.left, r.right), SpanOf(r.top, r.bottom)));
}

int CRVMSG::PutRECT(const CRVRect& r)
{
    unsigned char* p = PrepareWrite(16);
    if (!p)
        return 0;
    RVStore32(p, (unsigned int)r.x);
    RVStore32(p + 4, (unsigned int)r.y);
    RVStore32(p + 8, (unsigned int)r.width);
    RVStore32(p + 12, (unsigned int)r.height);
    CommitWrite(16);
    return 1;
}

int CRVMSG::PutShortRECT(const CRVRect& r)
{
    unsigned char* p = PrepareWrite(8);
    if (!p)
        return 0;
    RVStore16(p, (unsigned short)r.x);
    RVStore16(p + 2, (unsigned short)r.y);
    RVStore16(p + 4, (unsigned short)r.width);
    RVStore16(p + 6, (unsigned short)r.height);
    CommitWrite(8);
    return 1;
}

// ---------------------------------------------------------------------------
// Reading

int CRVMSG::GetData(unsigned char* pDst, int n)
{
    RV_ASSERT(n >= 0);
    if (n < 0)
        return 0;
    if (n == 0)
        return 1;
    const unsigned char* p = Take((size_t)n);
    if (!p)
        return 0;
    if (pDst)
        memcpy(pDst, p, (size_t)n);
    // The pad of the last block may be missing; the index then lies past the
    // data and later reads fail.
    m_uIndex += (unsigned int)(RVAlign4((size_t)n) - (size_t)n);
    return 1;
}

// The string as the wire holds it: `bytes` bytes of 8-bit characters, or of
// UTF-16 units (zero-extended, pairs not joined) when wide. A count above the
// string limit, or one a string cannot hold, gives an empty string. The
// caller's string is filled in place when it already has this form, so that
// a string re-used across records keeps its buffer.
void CRVMSG::FillString(CRVString* pString, const unsigned char* chars, size_t bytes, bool wide)
{
    CRVSTRING_TYPE type = wide ? TYPE_WCHAR : TYPE_CHAR;
    if (pString->GetType() != type)
        *pString = CRVString(type);
    int n = bytes > RV_MAX_MSG_STRING ? 0 : (int)(wide ? bytes / 2 : bytes);
    void* dst = pString->GetBufferSetLength(n);   // null (string empty) for 0 or too long
    if (wide)
        Widen(dst, chars, n);
    else if (dst)
        memcpy(dst, chars, (size_t)n);
}

CRVString CRVMSG::GetString()
{
    CRVString s;
    GetString(&s);
    return s;
}

int CRVMSG::GetColor(unsigned int* puColor)
{
    if (m_bError)
        return 0;
    const unsigned char* p = Take(12);
    if (!p)
        return 0;
    // Each component is one byte on the way out; a malformed value cannot
    // spill into its neighbours or the unused top byte.
    unsigned int c = (RVLoad32(p) & 0xFF) << 16 | (RVLoad32(p + 4) & 0xFF) << 8 | (RVLoad32(p + 8) & 0xFF);
    if (puColor)
        *puColor = c;
    return 1;
}

unsigned int CRVMSG::GetColorBYTE()
{
    if (m_bError)
        return 0;
    unsigned int c = 0;
    for (int i = 0; i < 3; ++i)
        c = c << 8 | GetBYTE();
    return c;
}

int CRVMSG::GetRECT(RECT* pRect)
{
    if (m_bError)
        return 0;
    const unsigned char* p = Take(16);
    if (!p)
        return 0;
    if (pRect) {
        int x = (int)RVLoad32(p), y = (int)RVLoad32(p + 4);
        pRect->left = x;
        pRect->top = y;
        pRect->right = LastOf(x, (int)RVLoad32(p + 8));
        pRect->bottom = LastOf(y, (int)RVLoad32(p + 12));
    }
    return 1;
}

CRVRect CRVMSG::GetPartialRECT()
{
    int x = GetInt(), y = GetInt(), w = GetInt(), h = GetInt();
    return CRVRect(x, y, w, h);
}

CRVRect CRVMSG::GetShortRECT()
{
    if (const unsigned char* p = Take(8))
        return CRVRect((short)RVLoad16(p), (short)RVLoad16(p + 2), (short)RVLoad16(p + 4), (short)RVLoad16(p + 6));
    int x = GetShort(), y = GetShort(), w = GetShort(), h = GetShort();
    return CRVRect(x, y, w, h);
}

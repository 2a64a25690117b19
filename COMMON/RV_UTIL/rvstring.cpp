// CRVString: storage and the shared empties, construction and assignment,
// conversion between the forms, direct buffer access, search, substrings and
// comparison.
#include "rvstring.h"

#include <stdint.h>
#include <string.h>

#include "rvdebug.h"
#include "rvstring_units.h"

using namespace rvstr;

// The shared empties. Every empty string points at one of these instead of
// allocating, so nothing may ever free them or write into them.
static char g_NULL[1] = { 0 };
static wchar_t g_WNULL[1] = { 0 };
char* CRVString::m_pNULL = g_NULL;
wchar_t* CRVString::m_pWNULL = g_WNULL;

namespace {

// Characters before the terminator; stops counting at limit + 1 so that a
// huge caller text is never walked further than needed to reject it.
int MeasureText(const void* p, CRVSTRING_TYPE eType, int limit)
{
    size_t n = eType == TYPE_CHAR ? strnlen(static_cast<const char*>(p), (size_t)limit + 1)
                                  : wcsnlen(static_cast<const wchar_t*>(p), (size_t)limit + 1);
    return static_cast<int>(n);
}

// A narrow char argument may arrive sign-extended ('\xE9' is -23): take it as the byte.
unsigned int NormalizeChar(wchar_t ch)
{
    if (ch < 0 && ch >= -128)
        return static_cast<unsigned int>(ch) & 0xFF;
    return static_cast<unsigned int>(ch);
}

unsigned int FoldAscii(unsigned int ch)
{
    return (ch >= 'A' && ch <= 'Z') ? ch + ('a' - 'A') : ch;
}

// strcmp-style comparison of two zero-terminated texts of any widths, code
// point by code point; with bFold, ASCII letters compare case-insensitively
// (what strcasecmp does in the C locale). A string's own buffer is never read
// past its length (nA, nB), whatever a caller wrote into it; a caller's text
// (length -1) is read up to its terminator.
int CompareTexts(const void* a, CRVSTRING_TYPE ta, int nA, const void* b, CRVSTRING_TYPE tb, int nB, bool bFold)
{
    size_t limitA = nA < 0 ? SIZE_MAX : static_cast<size_t>(nA);
    size_t limitB = nB < 0 ? SIZE_MAX : static_cast<size_t>(nB);
    for (size_t i = 0;; i++) {
        unsigned int ca = i < limitA ? Unit(a, ta, i) : 0;
        unsigned int cb = i < limitB ? Unit(b, tb, i) : 0;
        if (bFold) {
            ca = FoldAscii(ca);
            cb = FoldAscii(cb);
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

// Character i of the n characters at p, for the indexing operators once the
// string is in the form T (bConverted). The terminator reads as 0 through a
// scratch character, so it cannot be overwritten; any other index is
// reported and yields the scratch too.
template <typename T>
T& CharRef(int bConverted, T* p, int n, int i)
{
    static T s_chScratch;
    s_chScratch = 0;
    if (bConverted) {
        if (i >= 0 && i < n)
            return p[i];
        if (i == n)
            return s_chScratch;
    }
    AssertDlg(__FILE__, __LINE__, i);
    return s_chScratch;
}

} // namespace

// ---------------------------------------------------------------------------
// Storage

int CRVString::IsShared() const
{
    return m_pBuffer == reinterpret_cast<unsigned char*>(g_NULL) ||
           m_pBuffer == reinterpret_cast<unsigned char*>(g_WNULL);
}

void CRVString::FreeBuffer()
{
    if (!IsShared())
        delete[] m_pBuffer;
    m_pBuffer = nullptr;
}

void CRVString::SetEmpty(CRVSTRING_TYPE eType)
{
    FreeBuffer();
    m_eType = eType;
    if (eType == TYPE_CHAR) {
        m_pBuffer = reinterpret_cast<unsigned char*>(g_NULL);
        m_iLength = 1;
    } else {
        m_pBuffer = reinterpret_cast<unsigned char*>(g_WNULL);
        m_iLength = 4;
    }
}

// Takes ownership of a buffer holding nChars characters plus terminator. The
// buffer must come from AllocRounded (directly or through Alloc / WAlloc) with
// at least that many bytes: GetBufferSetLength relies on every owned buffer
// holding its length rounded up to 16 bytes.
void CRVString::Adopt(CRVSTRING_TYPE eType, unsigned char* pBuffer, int nChars)
{
    FreeBuffer();
    m_eType = eType;
    m_pBuffer = pBuffer;
    m_iLength = (nChars + 1) * CharSize(eType);
}

// Replaces the content by nChars characters of pSrc (any width) stored as eType.
// The caller has checked that every character fits eType. The new buffer is
// filled before the old one is freed, so pSrc may point into this string.
// Fails (string left empty of eType) past the size limit.
int CRVString::SetText(CRVSTRING_TYPE eType, const void* pSrc, CRVSTRING_TYPE eSrcType, int nChars)
{
    if (nChars <= 0) {
        SetEmpty(eType);
        return 1;
    }
    if (nChars > MaxChars(eType)) {
        SetEmpty(eType);
        return 0;
    }
    unsigned char* p = AllocRounded(static_cast<size_t>(nChars + 1) * CharSize(eType));
    if (!p) {
        SetEmpty(eType);
        return 0;
    }
    if (eType == eSrcType) {
        memcpy(p, pSrc, static_cast<size_t>(nChars) * CharSize(eType));
    } else {
        for (int i = 0; i < nChars; i++)
            PutUnit(p, eType, i, Unit(pSrc, eSrcType, i));
    }
    PutUnit(p, eType, nChars, 0);
    Adopt(eType, p, nChars);
    return 1;
}

// Appends nChars characters of pSrc in the current form. Fails, changing
// nothing, past the size limit.
int CRVString::Append(const void* pSrc, CRVSTRING_TYPE eSrcType, int nChars)
{
    if (nChars <= 0)
        return 1;
    int nOld = GetLength();
    if (nChars > MaxChars(m_eType) - nOld)
        return 0;
    int nNew = nOld + nChars;
    int size = CharSize(m_eType);
    unsigned char* p = AllocRounded(static_cast<size_t>(nNew + 1) * size);
    if (!p)
        return 0;
    memcpy(p, m_pBuffer, static_cast<size_t>(nOld) * size);
    for (int i = 0; i < nChars; i++)
        PutUnit(p, m_eType, nOld + i, Unit(pSrc, eSrcType, i));
    PutUnit(p, m_eType, nNew, 0);
    Adopt(m_eType, p, nNew);
    return 1;
}

unsigned int CRVString::UnitAt(int i) const
{
    return Unit(m_pBuffer, m_eType, i);
}

// Wide to narrow if every character is at most nMaxChar; unchanged otherwise.
int CRVString::Narrow(unsigned int nMaxChar)
{
    if (m_eType == TYPE_CHAR)
        return 1;
    int n = GetLength();
    for (int i = 0; i < n; i++) {
        if (UnitAt(i) > nMaxChar)
            return 0;
    }
    return SetText(TYPE_CHAR, m_pBuffer, TYPE_WCHAR, n);
}

// ---------------------------------------------------------------------------
// Construction and assignment

CRVString::CRVString() : m_eType(TYPE_WCHAR), m_pBuffer(reinterpret_cast<unsigned char*>(g_WNULL)), m_iLength(4)
{
}

CRVString::CRVString(CRVSTRING_TYPE eType) : CRVString()
{
    if (eType != TYPE_CHAR && eType != TYPE_WCHAR) {
        AssertDlg(__FILE__, __LINE__, 0);
        return;
    }
    SetEmpty(eType);
}

CRVString::CRVString(const char* psz) : CRVString()
{
    RV_ASSERT(psz);
    if (psz)
        SetText(TYPE_CHAR, psz, TYPE_CHAR, MeasureText(psz, TYPE_CHAR, kMaxNarrowChars));
    else
        SetEmpty(TYPE_CHAR);
}

CRVString::CRVString(const wchar_t* psz) : CRVString()
{
    RV_ASSERT(psz);
    if (psz)
        SetText(TYPE_WCHAR, psz, TYPE_WCHAR, MeasureText(psz, TYPE_WCHAR, kMaxWideChars));
}

CRVString::CRVString(const char* pszA, const char* pszB) : CRVString(TYPE_CHAR)
{
    RV_ASSERT(pszA && pszB);
    int nA = pszA ? MeasureText(pszA, TYPE_CHAR, kMaxNarrowChars) : 0;
    int nB = pszB ? MeasureText(pszB, TYPE_CHAR, kMaxNarrowChars) : 0;
    if (SetText(TYPE_CHAR, pszA, TYPE_CHAR, nA) && !Append(pszB, TYPE_CHAR, nB))
        SetEmpty(TYPE_CHAR);
}

CRVString::CRVString(const wchar_t* pszA, const wchar_t* pszB) : CRVString()
{
    RV_ASSERT(pszA && pszB);
    int nA = pszA ? MeasureText(pszA, TYPE_WCHAR, kMaxWideChars) : 0;
    int nB = pszB ? MeasureText(pszB, TYPE_WCHAR, kMaxWideChars) : 0;
    if (SetText(TYPE_WCHAR, pszA, TYPE_WCHAR, nA) && !Append(pszB, TYPE_WCHAR, nB))
        SetEmpty(TYPE_WCHAR);
}

CRVString::CRVString(const CRVString& s) : CRVString()
{
    SetText(s.m_eType, s.m_pBuffer, s.m_eType, s.GetLength());
}

CRVString::CRVString(CRVString&& s) noexcept
    : m_eType(s.m_eType), m_pBuffer(s.m_pBuffer), m_iLength(s.m_iLength)
{
    s.m_eType = TYPE_WCHAR;
    s.m_pBuffer = reinterpret_cast<unsigned char*>(g_WNULL);
    s.m_iLength = 4;
}

CRVString::~CRVString()
{
    FreeBuffer();
}

CRVString& CRVString::operator=(const CRVString& s)
{
    if (&s != this)
        SetText(s.m_eType, s.m_pBuffer, s.m_eType, s.GetLength());
    return *this;
}

CRVString& CRVString::operator=(CRVString&& s) noexcept
{
    if (&s != this) {
        FreeBuffer();
        m_eType = s.m_eType;
        m_pBuffer = s.m_pBuffer;
        m_iLength = s.m_iLength;
        s.m_eType = TYPE_WCHAR;
        s.m_pBuffer = reinterpret_cast<unsigned char*>(g_WNULL);
        s.m_iLength = 4;
    }
    return *this;
}

CRVString& CRVString::operator=(const char* psz)
{
    RV_ASSERT(psz);
    if (!psz) {
        SetEmpty(m_eType);
        return *this;
    }
    // Widening always fits the character type; only the size can fail.
    SetText(m_eType, psz, TYPE_CHAR, MeasureText(psz, TYPE_CHAR, MaxChars(m_eType)));
    return *this;
}

CRVString& CRVString::operator=(const wchar_t* psz)
{
    RV_ASSERT(psz);
    if (!psz) {
        SetEmpty(m_eType);
        return *this;
    }
    int n = MeasureText(psz, TYPE_WCHAR, MaxChars(m_eType));
    if (m_eType == TYPE_CHAR) {
        for (int i = 0; i < n; i++) {
            if (Unit(psz, TYPE_WCHAR, i) > 254) {
                SetEmpty(TYPE_CHAR);
                return *this;
            }
        }
    }
    SetText(m_eType, psz, TYPE_WCHAR, n);
    return *this;
}

CRVString& CRVString::operator+=(const char* psz)
{
    RV_ASSERT(psz);
    if (!psz)
        return *this;
    int n = MeasureText(psz, TYPE_CHAR, kMaxNarrowChars);
    // A wide string that cannot be narrowed takes the text widened instead,
    // so that nothing it holds is lost.
    ConvertTochar();
    Append(psz, TYPE_CHAR, n);
    return *this;
}

CRVString& CRVString::operator+=(const wchar_t* psz)
{
    RV_ASSERT(psz);
    if (!psz)
        return *this;
    int n = MeasureText(psz, TYPE_WCHAR, kMaxWideChars);
    if (ConvertTowchar_t())
        Append(psz, TYPE_WCHAR, n);
    return *this;
}

CRVString& CRVString::operator+=(const CRVString& s)
{
    if (&s == this) {
        CRVString copy(s);
        return *this += copy;
    }
    if (s.m_eType == TYPE_CHAR)
        return *this += reinterpret_cast<const char*>(s.m_pBuffer);
    return *this += reinterpret_cast<const wchar_t*>(s.m_pBuffer);
}

// ---------------------------------------------------------------------------
// Conversion

int CRVString::ConvertTochar()
{
    return Narrow(254);
}

int CRVString::ConvertTo8Bit()
{
    return Narrow(255);
}

// A narrow string of more than 4999 characters has no wide form within the size
// limit: it then stays narrow and intact, and the conversion reports failure.
int CRVString::ConvertTowchar_t()
{
    if (m_eType == TYPE_WCHAR)
        return 1;
    int n = GetLength();
    if (n > kMaxWideChars)
        return 0;
    CRVString wide;
    if (!wide.SetText(TYPE_WCHAR, m_pBuffer, TYPE_CHAR, n))
        return 0;
    *this = static_cast<CRVString&&>(wide);
    return 1;
}

int CRVString::ConvertToTCHAR()
{
    return ConvertTowchar_t();
}

CRVString::operator char*()
{
    static char s_szEmpty[1];
    if (ConvertTochar())
        return reinterpret_cast<char*>(m_pBuffer);
    s_szEmpty[0] = 0;   // a caller may have written into it
    return s_szEmpty;
}

CRVString::operator wchar_t*()
{
    static wchar_t s_szEmpty[1];
    if (ConvertTowchar_t())
        return reinterpret_cast<wchar_t*>(m_pBuffer);
    s_szEmpty[0] = 0;
    return s_szEmpty;
}

// ---------------------------------------------------------------------------
// Direct buffer access

void* CRVString::GetBuffer(int n)
{
    if (n < 0) {
        AssertDlg(__FILE__, __LINE__, n);
        n = 0;
    }
    int size = CharSize(m_eType);
    if (n > MaxChars(m_eType))
        return nullptr;
    // The shared empties are never handed out for writing.
    if (m_iLength / size > n && !IsShared())
        return m_pBuffer;
    size_t nBytes = static_cast<size_t>(n + 1) * size;
    size_t nRounded = (nBytes + 15) & ~static_cast<size_t>(15);
    unsigned char* p = AllocRounded(nBytes);
    if (!p)
        return nullptr;
    memset(p, 0, nRounded);
    size_t nKeep = static_cast<size_t>(m_iLength) < nBytes ? static_cast<size_t>(m_iLength) : nBytes;
    memcpy(p, m_pBuffer, nKeep);
    FreeBuffer();
    m_pBuffer = p;
    m_iLength = static_cast<int>(nBytes);
    return p;
}

// GetBufferSetLength when the string's own buffer has no room (or is one of
// the shared empties): a fresh buffer of exactly n characters, zero-filled.
void* CRVString::SetLengthAllocating(int n)
{
    if (n < 0)
        AssertDlg(__FILE__, __LINE__, n);
    if (n <= 0 || n > MaxChars(m_eType)) {
        SetEmpty(m_eType);
        return nullptr;
    }
    size_t nBytes = static_cast<size_t>(n + 1) * CharSize(m_eType);
    unsigned char* p = AllocRounded(nBytes);
    if (!p) {
        SetEmpty(m_eType);
        return nullptr;
    }
    memset(p, 0, nBytes);
    Adopt(m_eType, p, n);
    return p;
}

char* CRVString::GetBufferCHAR(int n)
{
    if (!ConvertTochar()) {
        AssertDlg(__FILE__, __LINE__, 0);
        return nullptr;
    }
    return static_cast<char*>(GetBuffer(n));
}

wchar_t* CRVString::GetBufferWCHAR(int n)
{
    if (!ConvertTowchar_t())
        return nullptr;
    return static_cast<wchar_t*>(GetBuffer(n));
}

TCHAR* CRVString::GetBufferTCHAR(int n)
{
    return GetBufferWCHAR(n);
}

int CRVString::ReleaseBuffer(int n)
{
    if (n < -1) {
        AssertDlg(__FILE__, __LINE__, n);
        n = -1;
    }
    if (IsShared() || n == 0) {
        SetEmpty(m_eType);
        return m_iLength;
    }
    int size = CharSize(m_eType);
    int nCapacity = m_iLength / size - 1;     // characters before the last slot
    int nCount;
    if (n == -1) {
        // Bounded: a caller that filled the whole buffer gets it cut, not overrun.
        nCount = 0;
        while (nCount < nCapacity && UnitAt(nCount) != 0)
            nCount++;
    } else {
        nCount = n < nCapacity ? n : nCapacity;
    }
    if (nCount == 0) {
        SetEmpty(m_eType);
        return m_iLength;
    }
    PutUnit(m_pBuffer, m_eType, nCount, 0);
    m_iLength = (nCount + 1) * size;
    return m_iLength;
}

wchar_t& CRVString::operator[](int i)
{
    int bConverted = ConvertTowchar_t();
    return CharRef(bConverted, reinterpret_cast<wchar_t*>(m_pBuffer), GetLength(), i);
}

char& CRVString::CharAt(int i)
{
    int bConverted = ConvertTochar();
    return CharRef(bConverted, reinterpret_cast<char*>(m_pBuffer), GetLength(), i);
}

char* CRVString::Alloc(int nBytes)
{
    if (nBytes < 0) {
        AssertDlg(__FILE__, __LINE__, nBytes);
        nBytes = 0;
    }
    return reinterpret_cast<char*>(AllocRounded(static_cast<size_t>(nBytes)));
}

wchar_t* CRVString::WAlloc(int nChars)
{
    if (nChars < 0) {
        AssertDlg(__FILE__, __LINE__, nChars);
        nChars = 0;
    }
    return reinterpret_cast<wchar_t*>(AllocRounded(static_cast<size_t>(nChars) * 4));
}

void CRVString::Free(void* p)
{
    if (p == g_NULL || p == g_WNULL)
        return;
    delete[] static_cast<unsigned char*>(p);
}

// ---------------------------------------------------------------------------
// Search and substrings

int CRVString::Find(wchar_t ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    unsigned int c = NormalizeChar(ch);
    int n = GetLength();
    for (int i = nStart; i < n; i++) {
        if (UnitAt(i) == c)
            return i;
    }
    return -1;
}

int CRVString::ReverseFind(wchar_t ch) const
{
    unsigned int c = NormalizeChar(ch);
    for (int i = GetLength() - 1; i >= 0; i--) {
        if (UnitAt(i) == c)
            return i;
    }
    return -1;
}

CRVString CRVString::Left(int n) const
{
    int nLen = GetLength();
    if (n < 0)
        n = 0;
    if (n > nLen)
        n = nLen;
    CRVString s(m_eType);
    s.SetText(m_eType, m_pBuffer, m_eType, n);
    return s;
}

CRVString CRVString::Right(int n) const
{
    int nLen = GetLength();
    if (n < 0)
        n = 0;
    if (n > nLen)
        n = nLen;
    CRVString s(m_eType);
    s.SetText(m_eType, m_pBuffer + static_cast<size_t>(nLen - n) * CharSize(m_eType), m_eType, n);
    return s;
}

CRVString CRVString::Mid(int nStart, int nCount) const
{
    int nLen = GetLength();
    if (nCount < 0)
        AssertDlg(__FILE__, __LINE__, nCount);
    if (nCount <= 0 || nStart < 0 || nStart >= nLen)
        return CRVString();
    if (nCount > nLen - nStart)
        nCount = nLen - nStart;
    CRVString s(m_eType);
    s.SetText(m_eType, m_pBuffer + static_cast<size_t>(nStart) * CharSize(m_eType), m_eType, nCount);
    return s;
}

CRVString CRVString::Mid(int nStart) const
{
    return Mid(nStart, GetLength() - (nStart < 0 ? 0 : nStart));
}

// ---------------------------------------------------------------------------
// Comparison. Mixed widths compare code point by code point, which gives what
// comparing converted copies gives, and stays right where a copy could not be
// narrowed.

int CRVString::Compare(const CRVString& s) const
{
    return CompareTexts(m_pBuffer, m_eType, GetLength(), s.m_pBuffer, s.m_eType, s.GetLength(), false);
}

int CRVString::Compare(const char* psz) const
{
    RV_ASSERT(psz);
    if (!psz)
        return 1;
    return CompareTexts(m_pBuffer, m_eType, GetLength(), psz, TYPE_CHAR, -1, false);
}

int CRVString::Compare(const wchar_t* psz) const
{
    RV_ASSERT(psz);
    if (!psz)
        return 1;
    return CompareTexts(m_pBuffer, m_eType, GetLength(), psz, TYPE_WCHAR, -1, false);
}

int CRVString::CompareNoCase(const CRVString& s)
{
    ConvertTochar();
    return CompareTexts(m_pBuffer, m_eType, GetLength(), s.m_pBuffer, s.m_eType, s.GetLength(), true);
}

int CRVString::CompareNoCase(const char* psz)
{
    RV_ASSERT(psz);
    ConvertTochar();
    if (!psz)
        return 1;
    return CompareTexts(m_pBuffer, m_eType, GetLength(), psz, TYPE_CHAR, -1, true);
}

int CRVString::CompareNoCase(const wchar_t* psz)
{
    RV_ASSERT(psz);
    ConvertTochar();
    if (!psz)
        return 1;
    return CompareTexts(m_pBuffer, m_eType, GetLength(), psz, TYPE_WCHAR, -1, true);
}

// ---------------------------------------------------------------------------

CRVXString::CRVXString(const char* pszText, const char* pszContext) : CRVString(TYPE_CHAR)
{
    (void)pszContext;
    RV_ASSERT(pszText);
    if (pszText)
        CRVString::operator=(pszText);
}

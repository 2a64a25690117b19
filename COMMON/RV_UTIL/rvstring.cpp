#include "rvstring.h"

#include <new>
#include <stdarg.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "rvdebug.h"

// The shared empties. Every empty string points at one of these instead of
// allocating, so nothing may ever free them or write into them.
static char g_NULL[1] = { 0 };
static wchar_t g_WNULL[1] = { 0 };
char* CRVString::m_pNULL = g_NULL;
wchar_t* CRVString::m_pWNULL = g_WNULL;

namespace {

const int kMaxNarrowChars = RVSTRING_MAX_BYTES - 1;
const int kMaxWideChars = RVSTRING_MAX_BYTES / 4 - 1;

int CharSize(CRVSTRING_TYPE eType)
{
    return eType == TYPE_CHAR ? 1 : 4;
}

int MaxChars(CRVSTRING_TYPE eType)
{
    return eType == TYPE_CHAR ? kMaxNarrowChars : kMaxWideChars;
}

// Character i of a text of either width, as an unsigned code point.
unsigned int Unit(const void* p, CRVSTRING_TYPE eType, size_t i)
{
    if (eType == TYPE_CHAR)
        return static_cast<const unsigned char*>(p)[i];
    return static_cast<unsigned int>(static_cast<const wchar_t*>(p)[i]);
}

void PutUnit(void* p, CRVSTRING_TYPE eType, size_t i, unsigned int ch)
{
    if (eType == TYPE_CHAR)
        static_cast<unsigned char*>(p)[i] = static_cast<unsigned char>(ch);
    else
        static_cast<wchar_t*>(p)[i] = static_cast<wchar_t>(ch);
}

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

int HexDigit(unsigned int ch)
{
    if (ch >= '0' && ch <= '9')
        return static_cast<int>(ch - '0');
    if (ch >= 'a' && ch <= 'f')
        return static_cast<int>(ch - 'a' + 10);
    if (ch >= 'A' && ch <= 'F')
        return static_cast<int>(ch - 'A' + 10);
    return -1;
}

// Rounded allocation shared by Alloc and the string internals; null on failure.
unsigned char* AllocRounded(size_t nBytes)
{
    size_t rounded = (nBytes + 15) & ~static_cast<size_t>(15);
    if (rounded == 0)
        rounded = 16;
    return new (std::nothrow) unsigned char[rounded];
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

// Takes ownership of a buffer holding nChars characters plus terminator.
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
    static wchar_t s_chScratch;
    s_chScratch = 0;
    if (ConvertTowchar_t()) {
        // The terminator reads as 0 through the scratch, so it cannot be overwritten.
        if (i >= 0 && i < GetLength())
            return reinterpret_cast<wchar_t*>(m_pBuffer)[i];
        if (i == GetLength())
            return s_chScratch;
    }
    AssertDlg(__FILE__, __LINE__, i);
    return s_chScratch;
}

char& CRVString::CharAt(int i)
{
    static char s_chScratch;
    s_chScratch = 0;
    if (ConvertTochar()) {
        if (i >= 0 && i < GetLength())
            return reinterpret_cast<char*>(m_pBuffer)[i];
        if (i == GetLength())
            return s_chScratch;
    }
    AssertDlg(__FILE__, __LINE__, i);
    return s_chScratch;
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
// Formatting

namespace {

// Private copy of a wide format in which every %s conversion without a length
// modifier becomes %ls, so that it takes a wide string argument (a bare %s in a
// wide format would read a wide argument as narrow). *pbChanged tells whether
// anything was rewritten. Null if the copy cannot be allocated.
wchar_t* WidenStringDirectives(const wchar_t* pszFormat, int* pbChanged)
{
    size_t n = wcslen(pszFormat);
    // Each directive is at least two characters and grows by one.
    wchar_t* out = CRVString::WAlloc(static_cast<int>(n + n / 2 + 1));
    if (!out)
        return nullptr;
    *pbChanged = 0;
    size_t k = 0;
    size_t i = 0;
    while (i < n) {
        wchar_t ch = pszFormat[i++];
        out[k++] = ch;
        if (ch != L'%')
            continue;
        if (i < n && pszFormat[i] == L'%') {
            out[k++] = pszFormat[i++];
            continue;
        }
        // flags, argument position, width and precision
        while (i < n && wcschr(L"-+ #0'*$.123456789", pszFormat[i]))
            out[k++] = pszFormat[i++];
        bool bLength = false;
        while (i < n && wcschr(L"hlLqjzt", pszFormat[i])) {
            out[k++] = pszFormat[i++];
            bLength = true;
        }
        if (i < n && pszFormat[i] == L's' && !bLength) {
            out[k++] = L'l';
            *pbChanged = 1;
        }
    }
    out[k] = 0;
    return out;
}

} // namespace

int CRVString::Format(const char* pszFormat, ...)
{
    SetEmpty(TYPE_CHAR);
    RV_ASSERT(pszFormat);
    if (!pszFormat)
        return 0;
    va_list args;
    va_start(args, pszFormat);
    int r = FormatNarrowV(pszFormat, args);
    va_end(args);
    return r;
}

int CRVString::Format(const wchar_t* pszFormat, ...)
{
    SetEmpty(TYPE_WCHAR);
    RV_ASSERT(pszFormat);
    if (!pszFormat)
        return 0;
    int bChanged = 0;
    wchar_t* pszRewritten = WidenStringDirectives(pszFormat, &bChanged);
    if (!pszRewritten)
        return 0;
    va_list args;
    va_start(args, pszFormat);
    int r = FormatWideV(bChanged ? pszRewritten : pszFormat, args);
    va_end(args);
    Free(pszRewritten);
    return r;
}

// Short results come out of a stack buffer; longer ones are formatted again
// into an exact heap buffer. -1 (an encoding error) is retried with growing
// buffers up to the size limit. Every attempt restarts the argument list.
int CRVString::FormatNarrowV(const char* pszFormat, va_list args)
{
    char stack[255];
    va_list a;
    va_copy(a, args);
    int r = vsnprintf(stack, sizeof(stack), pszFormat, a);
    va_end(a);
    if (r >= 0 && r < static_cast<int>(sizeof(stack))) {
        SetText(TYPE_CHAR, stack, TYPE_CHAR, r);
        return r;
    }
    if (r >= 0) {
        if (r > kMaxNarrowChars)
            return 0;
        unsigned char* p = AllocRounded(static_cast<size_t>(r) + 1);
        if (!p)
            return 0;
        va_copy(a, args);
        int r2 = vsnprintf(reinterpret_cast<char*>(p), static_cast<size_t>(r) + 1, pszFormat, a);
        va_end(a);
        if (r2 <= 0 || r2 > r) {
            delete[] p;
            return 0;
        }
        Adopt(TYPE_CHAR, p, r2);
        return r2;
    }
    for (int size = 512; size <= RVSTRING_MAX_BYTES; size += 256) {
        unsigned char* p = AllocRounded(static_cast<size_t>(size));
        if (!p)
            return 0;
        va_copy(a, args);
        r = vsnprintf(reinterpret_cast<char*>(p), static_cast<size_t>(size) - 1, pszFormat, a);
        va_end(a);
        if (r > 0 && r < size - 1) {
            Adopt(TYPE_CHAR, p, r);
            return r;
        }
        delete[] p;
        if (r == 0 || r > kMaxNarrowChars)
            return 0;
    }
    return 0;
}

// vswprintf reports -1 when the output does not fit, so the wide form can only
// grow its buffer: 256 characters on the stack, then 512, 768, ... on the heap
// while the buffer stays within the size limit.
int CRVString::FormatWideV(const wchar_t* pszFormat, va_list args)
{
    wchar_t stack[256];
    va_list a;
    va_copy(a, args);
    int r = vswprintf(stack, 255, pszFormat, a);
    va_end(a);
    if (r >= 0) {
        SetText(TYPE_WCHAR, stack, TYPE_WCHAR, r);
        return r;
    }
    for (int nChars = 512; nChars * 4 <= RVSTRING_MAX_BYTES; nChars += 256) {
        wchar_t* p = WAlloc(nChars);
        if (!p)
            return 0;
        va_copy(a, args);
        r = vswprintf(p, static_cast<size_t>(nChars) - 1, pszFormat, a);
        va_end(a);
        if (r > 0) {
            Adopt(TYPE_WCHAR, reinterpret_cast<unsigned char*>(p), r);
            return r;
        }
        Free(p);
        if (r == 0)
            return 0;
    }
    return 0;
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
// Editing

// Removes leading (bLeft) or trailing characters found in the zero-terminated set.
void CRVString::Trim(const void* pSet, CRVSTRING_TYPE eSetType, int bLeft)
{
    int n = GetLength();
    auto inSet = [&](unsigned int ch) {
        for (size_t k = 0;; k++) {
            unsigned int c = Unit(pSet, eSetType, k);
            if (c == 0)
                return false;
            if (c == ch)
                return true;
        }
    };
    int nCut = 0;
    if (bLeft) {
        while (nCut < n && inSet(UnitAt(nCut)))
            nCut++;
    } else {
        while (nCut < n && inSet(UnitAt(n - 1 - nCut)))
            nCut++;
    }
    if (nCut == 0)
        return;
    if (nCut == n) {
        SetEmpty(m_eType);
        return;
    }
    int size = CharSize(m_eType);
    if (bLeft)
        memmove(m_pBuffer, m_pBuffer + static_cast<size_t>(nCut) * size, static_cast<size_t>(n - nCut) * size);
    PutUnit(m_pBuffer, m_eType, n - nCut, 0);
    m_iLength = (n - nCut + 1) * size;
}

// The string is first brought to the set's width; when that is not possible
// (a narrow set on text above 254, a wide set on a very long narrow text) the
// trim still works on the string as it is, character by character.
void CRVString::TrimLeft(const char* pszSet)
{
    RV_ASSERT(pszSet);
    if (!pszSet)
        return;
    ConvertTochar();
    Trim(pszSet, TYPE_CHAR, 1);
}

void CRVString::TrimLeft(const wchar_t* pszSet)
{
    RV_ASSERT(pszSet);
    if (!pszSet)
        return;
    ConvertTowchar_t();
    Trim(pszSet, TYPE_WCHAR, 1);
}

void CRVString::TrimRight(const char* pszSet)
{
    RV_ASSERT(pszSet);
    if (!pszSet)
        return;
    ConvertTochar();
    Trim(pszSet, TYPE_CHAR, 0);
}

void CRVString::TrimRight(const wchar_t* pszSet)
{
    RV_ASSERT(pszSet);
    if (!pszSet)
        return;
    ConvertTowchar_t();
    Trim(pszSet, TYPE_WCHAR, 0);
}

void CRVString::Replace(char chFrom, char chTo)
{
    ConvertTochar();
    unsigned int from = static_cast<unsigned char>(chFrom);
    unsigned int to = static_cast<unsigned char>(chTo);
    int n = GetLength();
    for (int i = 0; i < n; i++) {
        if (UnitAt(i) == from)
            PutUnit(m_pBuffer, m_eType, i, to);
    }
}

// toupper/tolower of the C locale: ASCII letters only; bytes 128-255 and all
// other code points are left as they are.
void CRVString::MakeUpper()
{
    int n = GetLength();
    for (int i = 0; i < n; i++) {
        unsigned int ch = UnitAt(i);
        if (ch >= 'a' && ch <= 'z')
            PutUnit(m_pBuffer, m_eType, i, ch - ('a' - 'A'));
    }
}

void CRVString::MakeLower()
{
    int n = GetLength();
    for (int i = 0; i < n; i++) {
        unsigned int ch = UnitAt(i);
        if (ch >= 'A' && ch <= 'Z')
            PutUnit(m_pBuffer, m_eType, i, ch + ('a' - 'A'));
    }
}

namespace {

void ReverseWide(wchar_t* p, int n)
{
    for (int i = 0, j = n - 1; i < j; i++, j--) {
        wchar_t t = p[i];
        p[i] = p[j];
        p[j] = t;
    }
}

} // namespace

// Reversing everything and then each run of characters below 256 back again
// gives the display order: right-to-left characters reversed, embedded
// left-to-right runs (digits, Latin text) kept readable.
void CRVString::ConvertRTL()
{
    if (m_eType != TYPE_WCHAR)
        return;
    wchar_t* p = reinterpret_cast<wchar_t*>(m_pBuffer);
    int n = GetLength();
    if (n < 2)
        return;
    ReverseWide(p, n);
    int i = 0;
    while (i < n) {
        if (static_cast<unsigned int>(p[i]) >= 256) {
            i++;
            continue;
        }
        int j = i;
        while (j < n && static_cast<unsigned int>(p[j]) < 256)
            j++;
        ReverseWide(p + i, j - i);
        i = j;
    }
}

void CRVString::Reverse()
{
    int n = GetLength();
    for (int i = 0, j = n - 1; i < j; i++, j--) {
        unsigned int a = UnitAt(i);
        PutUnit(m_pBuffer, m_eType, i, UnitAt(j));
        PutUnit(m_pBuffer, m_eType, j, a);
    }
}

namespace {

// One decoding step at index i of a text of n characters: stores the decoded
// character and returns how many input characters it used. A '%' without
// enough hex digits after it stands for itself.
int DecodeStep(const void* p, CRVSTRING_TYPE eType, int i, int n, unsigned int* pch)
{
    unsigned int ch = Unit(p, eType, i);
    if (ch == '+') {
        *pch = ' ';
        return 1;
    }
    if (ch == '%') {
        if (n - i > 5 && (Unit(p, eType, i + 1) == 'u' || Unit(p, eType, i + 1) == 'U')) {
            unsigned int value = 0;
            int k = 2;
            for (; k < 6; k++) {
                int d = HexDigit(Unit(p, eType, i + k));
                if (d < 0)
                    break;
                value = (value << 4) | static_cast<unsigned int>(d);
            }
            if (k == 6) {
                *pch = value;
                return 6;
            }
        }
        if (n - i > 2) {
            int hi = HexDigit(Unit(p, eType, i + 1));
            int lo = HexDigit(Unit(p, eType, i + 2));
            if (hi >= 0 && lo >= 0) {
                *pch = static_cast<unsigned int>((hi << 4) | lo);
                return 3;
            }
        }
    }
    *pch = ch;
    return 1;
}

} // namespace

int CRVString::URLDecode()
{
    int n = GetLength();
    int nOut = 0;
    unsigned int ch;
    for (int i = 0; i < n; nOut++)
        i += DecodeStep(m_pBuffer, m_eType, i, n, &ch);
    if (nOut > kMaxWideChars)
        return 0;   // only a long narrow text can get here
    if (nOut == 0) {
        SetEmpty(TYPE_WCHAR);
        return 1;
    }
    wchar_t* out = WAlloc(nOut + 1);
    if (!out)
        return 0;
    int k = 0;
    for (int i = 0; i < n; k++) {
        i += DecodeStep(m_pBuffer, m_eType, i, n, &ch);
        out[k] = static_cast<wchar_t>(ch);
    }
    out[k] = 0;
    Adopt(TYPE_WCHAR, reinterpret_cast<unsigned char*>(out), k);
    return 1;
}

int CRVString::IsNumeric(wchar_t ch)
{
    if (ch >= L'0' && ch <= L'9')
        return 1;
    switch (ch) {
    case L'%': case L'-': case L'.':
    case L'A': case L'F': case L'H': case L'K': case L'M': case L'Z':
    case L'a': case L'f': case L'h': case L'k': case L'm': case L'z':
    case 176:   // degree sign
        return 1;
    default:
        return 0;
    }
}

int CRVString::IsNumeric() const
{
    int n = GetLength();
    for (int i = 0; i < n; i++) {
        unsigned int ch = UnitAt(i);
        // The degree sign counts only in wide text.
        if (m_eType == TYPE_CHAR && ch == 176)
            return 0;
        if (!IsNumeric(static_cast<wchar_t>(ch)))
            return 0;
    }
    return 1;
}

void CRVString::CopyFrom(const char* pFirst, const char* pEnd)
{
    if (!pFirst || !pEnd || pEnd < pFirst) {
        AssertDlg(__FILE__, __LINE__, 0);
        return;
    }
    ptrdiff_t n = pEnd - pFirst;
    if (n > kMaxNarrowChars) {
        SetEmpty(TYPE_CHAR);
        return;
    }
    SetText(TYPE_CHAR, pFirst, TYPE_CHAR, static_cast<int>(n));
}

// ---------------------------------------------------------------------------

CRVXString::CRVXString(const char* pszText, const char* pszContext) : CRVString(TYPE_CHAR)
{
    (void)pszContext;
    RV_ASSERT(pszText);
    if (pszText)
        CRVString::operator=(pszText);
}

// ---------------------------------------------------------------------------
// Number helpers

namespace {

template <typename T>
int HexValue(const T* psz, int n)
{
    if (!psz || n < 0 || n > 24) {
        RV_ASSERT(psz && n >= 0);
        return 0;
    }
    unsigned int value = 0;
    for (int i = 0; i < n; i++) {
        int d = HexDigit(static_cast<unsigned int>(psz[i]));
        if (d < 0)      // also stops at the terminator of a short text
            break;
        value = (value << 4) | static_cast<unsigned int>(d);
    }
    return static_cast<int>(value);
}

template <typename T>
int DecValue(const T* psz, int n)
{
    if (!psz || n < 0 || n > 24) {
        RV_ASSERT(psz && n >= 0);
        return 0;
    }
    unsigned int value = 0;
    for (int i = 0; i < n; i++) {
        unsigned int ch = static_cast<unsigned int>(psz[i]) & 0xFF;
        if (ch < '0' || ch > '9')
            break;
        value = value * 10 + (ch - '0');
    }
    return static_cast<int>(value & 0xFFFF);
}

} // namespace

int HexToInt(const char* psz, int n)
{
    return HexValue(reinterpret_cast<const unsigned char*>(psz), n);
}

int HexToInt(const wchar_t* psz, int n)
{
    return HexValue(psz, n);
}

int DecToInt(const char* psz, int n)
{
    return DecValue(reinterpret_cast<const unsigned char*>(psz), n);
}

int DecToInt(const wchar_t* psz, int n)
{
    return DecValue(psz, n);
}

int IsBit(unsigned int dwValue, int nBit)
{
    if (nBit < 0 || nBit > 31) {
        AssertDlg(__FILE__, __LINE__, nBit);
        return 0;
    }
    return (dwValue >> nBit) & 1;
}

void SetBit(unsigned char* pByte, int nBit, int bOn)
{
    if (!pByte || nBit < 0 || nBit > 7) {
        AssertDlg(__FILE__, __LINE__, nBit);
        return;
    }
    if (bOn)
        *pByte = static_cast<unsigned char>(*pByte | (1u << nBit));
    else
        *pByte = static_cast<unsigned char>(*pByte & ~(1u << nBit));
}

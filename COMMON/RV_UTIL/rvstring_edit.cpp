// CRVString editing in place (trimming, case, display order, URL decoding),
// the character tests, and the small number helpers kept with the strings.
#include "rvstring.h"

#include <string.h>

#include "rvdebug.h"
#include "rvstring_units.h"

using namespace rvstr;

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
// Number helpers

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

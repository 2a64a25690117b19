// CRVString: the engine's one string type.
//
// A string holds either narrow text (8-bit characters, read as ISO 8859-1) or
// wide text (32-bit wchar_t, one code point each) and switches form in place
// when an operation needs the other one; wide is the default. Copies are always
// deep. A buffer never exceeds RVSTRING_MAX_BYTES bytes, terminator included.
//
// Note that several "reading" operations (operator char*, CompareNoCase) change
// the form of the object they are called on; a string is not thread-safe.
#pragma once

#include <stdarg.h>
#include <stddef.h>
#include <wchar.h>

#ifndef RV_TCHAR_DEFINED
#define RV_TCHAR_DEFINED
typedef wchar_t TCHAR;
#endif

enum CRVSTRING_TYPE
{
    TYPE_WCHAR = 0,     // the buffer holds 32-bit characters
    TYPE_CHAR = 1,      // the buffer holds 8-bit characters
};

// Largest buffer a string may own, terminator included.
#define RVSTRING_MAX_BYTES 20000

class CRVString
{
public:
    CRVString();                                    // empty wide string
    explicit CRVString(CRVSTRING_TYPE eType);       // empty string of that type
    CRVString(const char* psz);                     // narrow copy
    CRVString(const wchar_t* psz);                  // wide copy
    CRVString(const char* pszA, const char* pszB);  // narrow concatenation
    CRVString(const wchar_t* pszA, const wchar_t* pszB); // wide concatenation
    CRVString(const CRVString& s);                  // deep copy, takes s's type
    CRVString(CRVString&& s) noexcept;              // takes s's buffer; s becomes empty wide
    virtual ~CRVString();

    CRVString& operator=(const CRVString& s);       // deep copy, takes s's type
    CRVString& operator=(CRVString&& s) noexcept;
    CRVString& operator=(const char* psz);          // keeps the current type
    CRVString& operator=(const wchar_t* psz);       // keeps the current type

    CRVString& operator+=(const char* psz);         // becomes narrow, then appends
    CRVString& operator+=(const wchar_t* psz);      // becomes wide, then appends
    CRVString& operator+=(const CRVString& s);      // appends s in s's own width

    // Conversion in place; non-zero on success, 0 on failure (string unchanged).
    int ConvertTochar();        // fails if a character is above 254
    int ConvertTo8Bit();        // fails if a character is above 255
    int ConvertTowchar_t();     // always succeeds
    int ConvertToTCHAR();       // same as ConvertTowchar_t

    // ConvertTochar then the buffer; a static empty text if that fails.
    operator char*();
    // ConvertTowchar_t then the buffer.
    operator wchar_t*();

    // Direct access. GetBuffer(n) gives room for at least n + 1 characters of the
    // current type (null if that would pass the size limit); ReleaseBuffer fixes
    // the length afterwards (-1: measure up to the terminator) and returns it in bytes.
    void* GetBuffer(int n);
    virtual char* GetBufferCHAR(int n);
    wchar_t* GetBufferWCHAR(int n);
    TCHAR* GetBufferTCHAR(int n);
    int ReleaseBuffer(int n = -1);
    // The string becomes n characters of its current type, and its buffer is
    // returned for the caller to write exactly those n characters (the
    // terminator is already in place; the n slots hold old characters or
    // zeros until then). The string's own allocation is reused whenever it has
    // room, so a string refilled record after record allocates only when it
    // grows. n = 0 leaves the string empty and returns null, as do n past the
    // size limit and lack of memory.
    void* GetBufferSetLength(int n)
    {
        // An owned buffer holds at least its length in bytes rounded up to 16:
        // every allocation is rounded so, and a string only shortens in place.
        // A non-empty string never points at the shared empties.
        int shift = m_eType == TYPE_CHAR ? 0 : 2;
        int nRoom = (((m_iLength + 15) & ~15) >> shift) - 1;
        if (n > 0 && n <= nRoom && m_iLength > (1 << shift)) {
            m_iLength = (n + 1) << shift;
            if (shift)
                reinterpret_cast<wchar_t*>(m_pBuffer)[n] = 0;
            else
                m_pBuffer[n] = 0;
            return m_pBuffer;
        }
        return SetLengthAllocating(n);
    }

    // Wide character i (the string is made wide first). Out of range indexes are
    // reported and yield a reference to a scratch character, never the buffer.
    wchar_t& operator[](int i);
    // Narrow byte i (the string is made narrow first); out of range as above.
    char& CharAt(int i);

    static char* Alloc(int nBytes);         // nBytes rounded up to a multiple of 16
    static wchar_t* WAlloc(int nChars);     // 4 * nChars bytes, rounded likewise
    static void Free(void* p);              // ignores null

    // printf-style formatting; returns the number of characters produced, or 0
    // (string left empty) when the result would pass the size limit. In the
    // wide form every %s takes a wide string argument.
    int Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));
    int Format(const wchar_t* pszFormat, ...);

    // Index of the first ch at or after nStart (negative counts as 0), or -1.
    // A negative narrow char such as '\xE9' matches the byte / code point 0xE9.
    int Find(wchar_t ch, int nStart = 0) const;
    int ReverseFind(wchar_t ch) const;

    CRVString Left(int n) const;
    CRVString Right(int n) const;
    CRVString Mid(int nStart, int nCount) const;
    CRVString Mid(int nStart) const;        // from nStart to the end

    // strcmp sign convention; mixed types compare through a converted copy.
    int Compare(const CRVString& s) const;
    int Compare(const char* psz) const;     // -1 if this wide text cannot be narrowed
    int Compare(const wchar_t* psz) const;
    // Content equality. Without these, s == "text" would compile as a pointer
    // comparison through operator char*.
    bool operator==(const CRVString& s) const { return Compare(s) == 0; }
    bool operator==(const char* psz) const { return Compare(psz) == 0; }
    bool operator==(const wchar_t* psz) const { return Compare(psz) == 0; }
    bool operator!=(const CRVString& s) const { return Compare(s) != 0; }
    bool operator!=(const char* psz) const { return Compare(psz) != 0; }
    bool operator!=(const wchar_t* psz) const { return Compare(psz) != 0; }
    // ASCII case-insensitive, always narrow: converts this string to narrow.
    int CompareNoCase(const CRVString& s);
    int CompareNoCase(const char* psz);
    int CompareNoCase(const wchar_t* psz);

    // Remove leading / trailing characters found in the set (in place).
    void TrimLeft(const char* pszSet);
    void TrimLeft(const wchar_t* pszSet);
    void TrimRight(const char* pszSet);
    void TrimRight(const wchar_t* pszSet);

    void Replace(char chFrom, char chTo);   // becomes narrow first
    void MakeUpper();
    void MakeLower();
    void ConvertRTL();      // right-to-left display order; runs below 256 keep their order
    void Reverse();         // reverses the order of the characters
    // '+', %XX and %uXXXX decoded in place; the result is wide. 0 (string
    // unchanged) when the decoded text does not fit a wide buffer.
    int URLDecode();

    int IsNumeric() const;
    static int IsNumeric(wchar_t ch);

    // Takes the narrow bytes [pFirst, pEnd); ignored if either is null or pEnd < pFirst.
    void CopyFrom(const char* pFirst, const char* pEnd);

    int GetLength() const
    {
        return m_eType == TYPE_CHAR ? m_iLength - 1 : m_iLength / 4 - 1;
    }
    int IsEmpty() const { return GetLength() <= 0; }
    CRVSTRING_TYPE GetType() const { return m_eType; }
    // Bytes held, terminator included (1 for an empty narrow string, 4 for wide).
    int GetByteLength() const { return m_iLength; }
    // The raw bytes in the current form (terminator included), without converting.
    // Read-only: the buffer may be the shared empty text.
    const void* GetData() const { return m_pBuffer; }

    static char* m_pNULL;       // shared empty narrow text, never freed
    static wchar_t* m_pWNULL;   // shared empty wide text, never freed

private:
    int IsShared() const;
    void FreeBuffer();
    void SetEmpty(CRVSTRING_TYPE eType);
    void Adopt(CRVSTRING_TYPE eType, unsigned char* pBuffer, int nChars);
    void* SetLengthAllocating(int n);
    int SetText(CRVSTRING_TYPE eType, const void* pSrc, CRVSTRING_TYPE eSrcType, int nChars);
    int Append(const void* pSrc, CRVSTRING_TYPE eSrcType, int nChars);
    int Narrow(unsigned int nMaxChar);
    unsigned int UnitAt(int i) const;
    void Trim(const void* pSet, CRVSTRING_TYPE eSetType, int bLeft);
    int FormatNarrowV(const char* pszFormat, va_list args);
    int FormatWideV(const wchar_t* pszFormat, va_list args);

    CRVSTRING_TYPE m_eType;
    unsigned char* m_pBuffer;
    int m_iLength;
};

// Marks user-visible text for translation; the context word is not used.
class CRVXString : public CRVString
{
public:
    CRVXString(const char* pszText, const char* pszContext);
    using CRVString::operator=;
};

// Value of one hex digit (0-9, a-f, A-F), -1 for any other character. A
// narrow char may be passed as it is: a negative one is not a digit either.
int HexDigit(unsigned int ch);
// Value of the first n characters as hex digits (stops at the first non-digit);
// 0 when n exceeds 24.
int HexToInt(const char* psz, int n);
int HexToInt(const wchar_t* psz, int n);
// Value of the first n characters as a decimal number, cut to 16 bits
// (stops at the first non-digit); 0 when n exceeds 24. The wide form reads the
// low byte of each character.
int DecToInt(const char* psz, int n);
int DecToInt(const wchar_t* psz, int n);
// Bit number nBit (0..31) of dwValue.
int IsBit(unsigned int dwValue, int nBit);
// Sets or clears bit nBit (0..7) of *pByte.
void SetBit(unsigned char* pByte, int nBit, int bOn);

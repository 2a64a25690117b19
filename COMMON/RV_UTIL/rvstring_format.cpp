// CRVString::Format: printf-style formatting into a narrow or wide string.
#include "rvstring.h"

#include <stdarg.h>
#include <stdio.h>
#include <wchar.h>

#include "rvdebug.h"
#include "rvstring_units.h"

using namespace rvstr;

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

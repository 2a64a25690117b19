#include "rvutf8.h"

#include "rvstring.h"

namespace {

bool IsScalarValue(char32_t c)
{
    return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

}  // namespace

void RVAppendUtf8(std::string* pOut, char32_t c)
{
    if (!IsScalarValue(c))
        c = 0xFFFD;
    if (c < 0x80) {
        pOut->push_back((char)c);
    } else if (c < 0x800) {
        pOut->push_back((char)(0xC0 | (c >> 6)));
        pOut->push_back((char)(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        pOut->push_back((char)(0xE0 | (c >> 12)));
        pOut->push_back((char)(0x80 | ((c >> 6) & 0x3F)));
        pOut->push_back((char)(0x80 | (c & 0x3F)));
    } else {
        pOut->push_back((char)(0xF0 | (c >> 18)));
        pOut->push_back((char)(0x80 | ((c >> 12) & 0x3F)));
        pOut->push_back((char)(0x80 | ((c >> 6) & 0x3F)));
        pOut->push_back((char)(0x80 | (c & 0x3F)));
    }
}

std::string RVToUtf8(const CRVString& s)
{
    std::string out;
    int n = s.GetLength();
    if (n <= 0)
        return out;
    if (s.GetType() == TYPE_CHAR) {
        const unsigned char* p = static_cast<const unsigned char*>(s.GetData());
        for (int i = 0; i < n; i++)
            RVAppendUtf8(&out, p[i]);
    } else {
        const wchar_t* p = static_cast<const wchar_t*>(s.GetData());
        for (int i = 0; i < n; i++)
            RVAppendUtf8(&out, (char32_t)p[i]);
    }
    return out;
}

int RVUtf8Next(const char* p, size_t n, char32_t* pc)
{
    if (n == 0)
        return 0;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    const unsigned char b = s[0];
    if (b < 0x80) {
        *pc = b;
        return 1;
    }
    char32_t c;
    size_t extra;
    char32_t min;
    if ((b & 0xE0) == 0xC0) {
        c = b & 0x1F, extra = 1, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        c = b & 0x0F, extra = 2, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        c = b & 0x07, extra = 3, min = 0x10000;
    } else {
        return 0;
    }
    if (n <= extra)
        return 0;
    for (size_t k = 1; k <= extra; k++) {
        if ((s[k] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (s[k] & 0x3F);
    }
    if (c < min || !IsScalarValue(c))
        return 0;
    *pc = c;
    return (int)extra + 1;
}

int RVUtf8Decode(const char* p, size_t n, std::u32string* pOut)
{
    pOut->clear();
    size_t i = 0;
    while (i < n) {
        char32_t c;
        int len = RVUtf8Next(p + i, n - i, &c);
        if (len == 0)
            return 0;
        pOut->push_back(c);
        i += (size_t)len;
    }
    return 1;
}

std::wstring RVUtf8ToWide(const char* p, size_t n)
{
    std::wstring out;
    size_t i = 0;
    while (i < n) {
        char32_t c;
        int len = RVUtf8Next(p + i, n - i, &c);
        if (len == 0) {
            c = 0xFFFD;
            len = 1;
        }
        out.push_back((wchar_t)c);
        i += (size_t)len;
    }
    return out;
}

CRVString RVWideFromUtf8(const std::string& s)
{
    return CRVString(RVUtf8ToWide(s.data(), s.size()).c_str());
}

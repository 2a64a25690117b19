#include "sim_text.h"

#include "rvstring.h"

int SimDecodeUtf8(const char* p, size_t n, std::u32string* pOut)
{
    pOut->clear();
    const unsigned char* s = reinterpret_cast<const unsigned char*>(p);
    size_t i = 0;
    while (i < n) {
        unsigned char b = s[i];
        char32_t c;
        size_t extra;
        char32_t min;
        if (b < 0x80) {
            pOut->push_back(b);
            i++;
            continue;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F, extra = 1, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F, extra = 2, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07, extra = 3, min = 0x10000;
        } else {
            return 0;
        }
        if (n - i <= extra)
            return 0;
        for (size_t k = 1; k <= extra; k++) {
            if ((s[i + k] & 0xC0) != 0x80)
                return 0;
            c = (c << 6) | (s[i + k] & 0x3F);
        }
        if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return 0;
        pOut->push_back(c);
        i += extra + 1;
    }
    return 1;
}

void SimAppendUtf8(std::string* pOut, char32_t c)
{
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

int SimMakeString(const std::u32string& text, int bWide, CRVString* pOut)
{
    int n = (int)text.size();
    if (text.size() > (size_t)RVSTRING_MAX_BYTES)
        return 0;
    if (n == 0) {
        *pOut = CRVString(bWide ? TYPE_WCHAR : TYPE_CHAR);
        return 1;
    }
    CRVString s(bWide ? TYPE_WCHAR : TYPE_CHAR);
    if (bWide) {
        wchar_t* p = s.GetBufferWCHAR(n);
        if (!p)
            return 0;
        for (int i = 0; i < n; i++) {
            if (text[i] > 0xFFFF)
                return 0;
            p[i] = (wchar_t)text[i];
        }
    } else {
        char* p = static_cast<char*>(s.GetBuffer(n));
        if (!p)
            return 0;
        for (int i = 0; i < n; i++) {
            if (text[i] > 0xFF)
                return 0;
            p[i] = (char)(unsigned char)text[i];
        }
    }
    s.ReleaseBuffer(n);
    *pOut = s;
    return 1;
}

int SimMakeStringUtf8(const std::string& strUtf8, CRVString* pOut)
{
    std::u32string text;
    if (!SimDecodeUtf8(strUtf8.data(), strUtf8.size(), &text))
        return 0;
    int bWide = 0;
    for (char32_t c : text)
        bWide |= c > 0xFF;
    return SimMakeString(text, bWide, pOut);
}

std::string SimToUtf8(const CRVString& s)
{
    int n = s.GetLength();
    if (n <= 0 || !s.GetData())
        return std::string();
    if (s.GetType() == TYPE_CHAR)
        return std::string(static_cast<const char*>(s.GetData()), (size_t)n);
    const wchar_t* p = static_cast<const wchar_t*>(s.GetData());
    std::string out;
    // The wire's wide strings are UTF-16 units: join surrogate pairs, and
    // replace lone halves so that the result stays valid UTF-8.
    for (int i = 0; i < n; i++) {
        char32_t c = (char32_t)p[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && (char32_t)p[i + 1] >= 0xDC00 &&
            (char32_t)p[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((char32_t)p[i + 1] - 0xDC00);
            i++;
        } else if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
        SimAppendUtf8(&out, c);
    }
    return out;
}

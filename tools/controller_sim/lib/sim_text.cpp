#include "sim_text.h"

#include "rvstring.h"
#include "rvutf8.h"

int SimDecodeUtf8(const char* p, size_t n, std::u32string* pOut)
{
    return RVUtf8Decode(p, n, pOut);
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
    // The wire's wide strings are UTF-16 units: join surrogate pairs. A lone
    // half is written as U+FFFD, so that the result stays valid UTF-8.
    for (int i = 0; i < n; i++) {
        char32_t c = (char32_t)p[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && (char32_t)p[i + 1] >= 0xDC00 &&
            (char32_t)p[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + ((char32_t)p[i + 1] - 0xDC00);
            i++;
        }
        RVAppendUtf8(&out, c);
    }
    return out;
}

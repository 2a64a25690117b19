#include "lx_utf8.h"

#include <stdint.h>

std::wstring LxUtf8ToWide(const std::string& s)
{
    std::wstring out;
    size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = (unsigned char)s[i];
        const int nMore = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        uint32_t cp = nMore <= 0 ? c : c & (0x3Fu >> nMore);
        bool bOk = nMore >= 0 && i + (size_t)nMore < s.size();
        for (int k = 1; bOk && k <= nMore; ++k) {
            const unsigned char cc = (unsigned char)s[i + (size_t)k];
            bOk = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        // Overlong forms, surrogates and values above U+10FFFF are not text.
        static const uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (bOk && (cp < kMin[nMore] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF))
            bOk = false;
        if (!bOk) {
            out.push_back((wchar_t)0xFFFD);
            ++i;
            continue;
        }
        out.push_back((wchar_t)cp);
        i += (size_t)nMore + 1;
    }
    return out;
}

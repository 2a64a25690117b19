#include "rvutf8.h"

#include "rvstring.h"

namespace {

void AppendUtf8(std::string* pOut, unsigned int c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
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

}  // namespace

std::string RVToUtf8(const CRVString& s)
{
    std::string out;
    int n = s.GetLength();
    if (n <= 0)
        return out;
    if (s.GetType() == TYPE_CHAR) {
        const unsigned char* p = static_cast<const unsigned char*>(s.GetData());
        for (int i = 0; i < n; i++)
            AppendUtf8(&out, p[i]);
    } else {
        const wchar_t* p = static_cast<const wchar_t*>(s.GetData());
        for (int i = 0; i < n; i++)
            AppendUtf8(&out, (unsigned int)p[i]);
    }
    return out;
}

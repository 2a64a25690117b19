// Arbitrary bytes through the string operations that take text or indexes from
// outside: decoding, display reordering, number parsing, searching, cutting,
// trimming and the narrow/wide conversions. Each result is checked for a
// well-formed buffer (terminator in place, length within the size limit).
#include "rvstring.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

void CheckWellFormed(const CRVString& s)
{
    int n = s.GetLength();
    int size = s.GetType() == TYPE_CHAR ? 1 : 4;
    if (s.GetType() != TYPE_CHAR && s.GetType() != TYPE_WCHAR)
        abort();
    if (n < 0 || s.GetByteLength() != (n + 1) * size || s.GetByteLength() > RVSTRING_MAX_BYTES)
        abort();
    const unsigned char* p = static_cast<const unsigned char*>(s.GetData());
    for (int k = 0; k < size; k++) {
        if (p[n * size + k] != 0)
            abort();
    }
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos;
    int Int()
    {
        int v = 0;
        for (int k = 0; k < 2; k++)
            v = (v << 8) | (pos < size ? data[pos++] : 0);
        return v - 0x8000 / 4;      // mostly small, sometimes negative
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 64 * 1024)
        return 0;
    Reader r { data, size, 0 };
    int a = r.Int(), b = r.Int();
    uint8_t sel = size ? data[0] : 0;

    // The same bytes as narrow text and, 4 bytes at a time, as wide text.
    std::vector<char> narrow(data, data + size);
    narrow.push_back(0);
    std::vector<wchar_t> wide(size / 4 + 1, 0);
    memcpy(wide.data(), data, (size / 4) * 4);

    CRVString n(narrow.data());
    CRVString w(wide.data());
    CheckWellFormed(n);
    CheckWellFormed(w);

    // Numbers read only the characters they are given.
    std::vector<char> exact(data, data + size);
    int limit = static_cast<int>(size < 30 ? size : 30);
    HexToInt(exact.data(), limit);
    DecToInt(exact.data(), limit);
    std::vector<wchar_t> exactWide(wide.begin(), wide.end() - 1);
    int wideLimit = static_cast<int>(exactWide.size() < 30 ? exactWide.size() : 30);
    HexToInt(exactWide.data(), wideLimit);
    DecToInt(exactWide.data(), wideLimit);

    for (CRVString* s : { &n, &w }) {
        CRVString t(*s);
        t.Find(static_cast<wchar_t>(b), a);
        t.ReverseFind(static_cast<wchar_t>(a));
        CheckWellFormed(t.Left(a));
        CheckWellFormed(t.Right(b));
        CheckWellFormed(t.Mid(a, b < 0 ? -b : b));
        CheckWellFormed(t.Mid(b));
        t[a] = L'x';
        t.CharAt(b) = 'x';
        CheckWellFormed(t);

        CRVString u(*s);
        u.IsNumeric();
        u.URLDecode();
        CheckWellFormed(u);
        u.ConvertRTL();
        CheckWellFormed(u);

        CRVString v(*s);
        if (sel & 1)
            v.TrimLeft(" \t%+");
        else
            v.TrimRight(L" \t%+\x20AC");
        if (sel & 2)
            v.TrimLeft(L"0123456789");
        else
            v.TrimRight("0123456789");
        CheckWellFormed(v);
        v.MakeUpper();
        v.Reverse();
        v.Compare(*s);
        v.CompareNoCase(w);

        CRVString c(*s);
        c.ConvertTo8Bit();
        CheckWellFormed(c);
        c.ConvertTochar();
        c.ConvertTowchar_t();
        CheckWellFormed(c);
        c += narrow.data();
        c += wide.data();
        CheckWellFormed(c);
        void* p = c.GetBuffer(a < 0 ? 0 : a);
        if (p) {
            int cap = c.GetByteLength();
            memset(p, 'z', static_cast<size_t>(cap));
            c.ReleaseBuffer(b < -1 ? -1 : b);
        }
        CheckWellFormed(c);
    }
    return 0;
}

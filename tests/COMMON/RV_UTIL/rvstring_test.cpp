#include "rvstring.h"

#include <gtest/gtest.h>

#include <string.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The content as code points, read straight from the buffer without
// converting the string (most operations under test change the form).
std::wstring Text(const CRVString& s)
{
    std::wstring w;
    for (int i = 0; i < s.GetLength(); i++) {
        if (s.GetType() == TYPE_CHAR)
            w += (wchar_t) static_cast<const unsigned char*>(s.GetData())[i];
        else
            w += static_cast<const wchar_t*>(s.GetData())[i];
    }
    return w;
}

// Checks type, the byte length (terminator included), the terminator itself
// and the content; empties must sit on the shared buffers.
void ExpectString(const CRVString& s, CRVSTRING_TYPE type, const std::wstring& text)
{
    ASSERT_EQ(type, s.GetType());
    int size = type == TYPE_CHAR ? 1 : 4;
    EXPECT_EQ((int)(text.size() + 1) * size, s.GetByteLength());
    EXPECT_EQ((int)text.size(), s.GetLength());
    EXPECT_EQ(text, Text(s));
    if (type == TYPE_CHAR) {
        EXPECT_EQ(0, static_cast<const char*>(s.GetData())[text.size()]);
    } else {
        EXPECT_EQ(0, static_cast<const wchar_t*>(s.GetData())[text.size()]);
    }
    if (text.empty()) {
        EXPECT_EQ(type == TYPE_CHAR ? (const void*)CRVString::m_pNULL : (const void*)CRVString::m_pWNULL, s.GetData());
    }
}

std::string Repeat(char c, int n) { return std::string((size_t)n, c); }
std::wstring WRepeat(wchar_t c, int n) { return std::wstring((size_t)n, c); }

CRVString Narrow(const char* text) { return CRVString(text); }
CRVString Wide(const wchar_t* text) { return CRVString(text); }

class RVStringTest : public ::testing::Test {
protected:
    // Nothing may ever write into the shared empties.
    void TearDown() override
    {
        EXPECT_EQ(0, CRVString::m_pNULL[0]);
        EXPECT_EQ(0, CRVString::m_pWNULL[0]);
    }
};

TEST_F(RVStringTest, ConstructionAndWireLayout)
{
    ExpectString(CRVString(), TYPE_WCHAR, L"");
    ExpectString(CRVString(TYPE_CHAR), TYPE_CHAR, L"");
    ExpectString(CRVString(TYPE_WCHAR), TYPE_WCHAR, L"");
    ExpectString(CRVString((CRVSTRING_TYPE)7), TYPE_WCHAR, L"");
    ExpectString(Narrow(""), TYPE_CHAR, L"");
    ExpectString(Wide(L""), TYPE_WCHAR, L"");
    ExpectString(Narrow("a\xE9z"), TYPE_CHAR, L"a\xE9z");
    ExpectString(Wide(L"a\x20AC"), TYPE_WCHAR, L"a\x20AC");
    ExpectString(CRVString("ab", "cd"), TYPE_CHAR, L"abcd");
    ExpectString(CRVString(L"ab", L"cd"), TYPE_WCHAR, L"abcd");
    EXPECT_EQ(20, CRVString(L"ab", L"cd").GetByteLength());
    ExpectString(CRVString("", ""), TYPE_CHAR, L"");
    ExpectString(CRVXString("Monday", "Time"), TYPE_CHAR, L"Monday");

    // The wire carries these bytes as they stand.
    CRVString n("abc");
    EXPECT_EQ(0, memcmp("abc", n.GetData(), 4));
    CRVString w(L"ab");
    const unsigned char wire[12] = { 'a', 0, 0, 0, 'b', 0, 0, 0, 0, 0, 0, 0 };
    EXPECT_EQ(0, memcmp(wire, w.GetData(), 12));
}

TEST_F(RVStringTest, CopiesAreDeepAndTakeTheSourceType)
{
    CRVString a("abc");
    CRVString b(a);
    ExpectString(b, TYPE_CHAR, L"abc");
    EXPECT_NE(a.GetData(), b.GetData());
    CRVString c(L"\x20AC");
    c = a;
    ExpectString(c, TYPE_CHAR, L"abc");
    c = c;
    ExpectString(c, TYPE_CHAR, L"abc");
    CRVString d(static_cast<CRVString&&>(b));
    ExpectString(d, TYPE_CHAR, L"abc");
    ExpectString(b, TYPE_WCHAR, L"");
    // Assigning a text that lies inside the string itself.
    d = static_cast<const char*>(d.GetData()) + 1;
    ExpectString(d, TYPE_CHAR, L"bc");
}

TEST_F(RVStringTest, AssignmentKeepsTheTargetType)
{
    CRVString s;
    s = "abc";
    ExpectString(s, TYPE_WCHAR, L"abc");
    EXPECT_EQ(16, s.GetByteLength());
    EXPECT_STREQ("abc", (char*)s);
    ExpectString(s, TYPE_CHAR, L"abc");
    EXPECT_EQ(4, s.GetByteLength());

    s = L"x\xFEy";
    ExpectString(s, TYPE_CHAR, L"x\xFEy");
    s = L"x\x20AC";
    ExpectString(s, TYPE_CHAR, L"");
    s = L"\xFF";      // 255 is not accepted by the narrowing assignment either
    ExpectString(s, TYPE_CHAR, L"");

    CRVString w;
    w = "\xE9";
    ExpectString(w, TYPE_WCHAR, L"\xE9");
    w = "";
    ExpectString(w, TYPE_WCHAR, L"");

    CRVXString x("a", "Time");
    x = "b";
    ExpectString(x, TYPE_CHAR, L"b");
}

TEST_F(RVStringTest, ConversionInPlace)
{
    struct Case {
        std::wstring text;
        int toChar, to8Bit;
    } cases[] = {
        { L"abc", 1, 1 },
        { L"", 1, 1 },
        { L"a\xFE", 1, 1 },
        { L"a\xFF", 0, 1 },
        { L"a\x100", 0, 0 },
        { L"\x20AC", 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        CRVString s(c.text.c_str());
        EXPECT_EQ(c.toChar, s.ConvertTochar() != 0);
        ExpectString(s, c.toChar ? TYPE_CHAR : TYPE_WCHAR, c.text);
        CRVString t(c.text.c_str());
        EXPECT_EQ(c.to8Bit, t.ConvertTo8Bit() != 0);
        ExpectString(t, c.to8Bit ? TYPE_CHAR : TYPE_WCHAR, c.text);
        if (c.to8Bit) {
            EXPECT_TRUE(t.ConvertTowchar_t());
            ExpectString(t, TYPE_WCHAR, c.text);
        }
    }

    CRVString n("\xE9\xFF");
    EXPECT_TRUE(n.ConvertToTCHAR());
    ExpectString(n, TYPE_WCHAR, L"\xE9\xFF");
    EXPECT_TRUE(n.ConvertTowchar_t());

    // operator char* on text that cannot be narrowed: empty text, string intact.
    CRVString e(L"\x20AC");
    EXPECT_STREQ("", (char*)e);
    ExpectString(e, TYPE_WCHAR, L"\x20AC");
    EXPECT_STREQ(L"\x20AC", (wchar_t*)e);
}

TEST_F(RVStringTest, SizeLimit)
{
    std::string n19999 = Repeat('x', 19999), n20000 = Repeat('x', 20000);
    std::wstring w4999 = WRepeat(L'y', 4999), w5000 = WRepeat(L'y', 5000);

    CRVString s(TYPE_CHAR);
    s = n19999.c_str();
    EXPECT_EQ(19999, s.GetLength());
    EXPECT_EQ(20000, s.GetByteLength());
    CRVString copy(s);
    EXPECT_EQ(19999, copy.GetLength());
    s = n20000.c_str();
    ExpectString(s, TYPE_CHAR, L"");
    ExpectString(CRVString(n20000.c_str()), TYPE_CHAR, L"");
    EXPECT_EQ(19999, CRVString(n19999.c_str()).GetLength());

    CRVString w;
    w = w4999.c_str();
    EXPECT_EQ(20000, w.GetByteLength());
    w = w5000.c_str();
    ExpectString(w, TYPE_WCHAR, L"");
    ExpectString(CRVString(w5000.c_str()), TYPE_WCHAR, L"");
    // Narrow text assigned to a wide string is measured in its wide form.
    w = Repeat('x', 5000).c_str();
    ExpectString(w, TYPE_WCHAR, L"");
    w = Repeat('x', 4999).c_str();
    EXPECT_EQ(4999, w.GetLength());

    // Concatenations past the limit yield empty strings.
    ExpectString(CRVString(Repeat('x', 10000).c_str(), Repeat('x', 10000).c_str()), TYPE_CHAR, L"");
    EXPECT_EQ(19999, CRVString(Repeat('x', 10000).c_str(), Repeat('x', 9999).c_str()).GetLength());
    ExpectString(CRVString(WRepeat(L'y', 2500).c_str(), WRepeat(L'y', 2500).c_str()), TYPE_WCHAR, L"");
    EXPECT_EQ(4999, CRVString(WRepeat(L'y', 2500).c_str(), WRepeat(L'y', 2499).c_str()).GetLength());

    // Appending past the limit leaves the string as it was.
    CRVString a(Repeat('x', 19998).c_str());
    a += "yz";
    EXPECT_EQ(19998, a.GetLength());
    a += "y";
    EXPECT_EQ(19999, a.GetLength());
    CRVString b(WRepeat(L'y', 4998).c_str());
    b += L"ab";
    EXPECT_EQ(4998, b.GetLength());
    b += L"a";
    EXPECT_EQ(4999, b.GetLength());

    // A long narrow string has no wide form within the limit: it stays narrow.
    CRVString longNarrow(Repeat('x', 5000).c_str());
    EXPECT_FALSE(longNarrow.ConvertTowchar_t());
    EXPECT_EQ(TYPE_CHAR, longNarrow.GetType());
    EXPECT_EQ(5000, longNarrow.GetLength());
    EXPECT_STREQ(L"", (wchar_t*)longNarrow);
    EXPECT_EQ(nullptr, longNarrow.GetBufferWCHAR(10));
    EXPECT_EQ(5000, longNarrow.GetLength());
}

TEST_F(RVStringTest, Append)
{
    CRVString w(L"ab");
    w += "cd";
    ExpectString(w, TYPE_CHAR, L"abcd");
    w += L"\x20AC";
    ExpectString(w, TYPE_WCHAR, L"abcd\x20AC");
    // Narrow text on a wide string that cannot be narrowed: appended in wide form.
    w += "\xE9";
    ExpectString(w, TYPE_WCHAR, L"abcd\x20AC\xE9");

    CRVString e(L"xy");
    e += "";
    ExpectString(e, TYPE_CHAR, L"xy");      // the conversion is still done
    e += L"";
    ExpectString(e, TYPE_WCHAR, L"xy");

    CRVString self("ab");
    self += self;
    ExpectString(self, TYPE_CHAR, L"abab");
    CRVString t(L"\x20AC");
    self += t;
    ExpectString(self, TYPE_WCHAR, L"abab\x20AC");
}

TEST_F(RVStringTest, GetBufferAndReleaseBuffer)
{
    CRVString s(TYPE_CHAR);
    char* p = s.GetBufferCHAR(10);
    ASSERT_NE(nullptr, p);
    EXPECT_NE(CRVString::m_pNULL, p);
    EXPECT_EQ(11, s.GetByteLength());
    for (int i = 0; i < 11; i++)
        EXPECT_EQ(0, p[i]);
    strcpy(p, "hello");
    EXPECT_EQ(6, s.ReleaseBuffer(-1));
    ExpectString(s, TYPE_CHAR, L"hello");

    // Big enough already: the same buffer comes back, content kept.
    EXPECT_EQ(p, s.GetBuffer(3));
    EXPECT_EQ(3, s.ReleaseBuffer(2));
    ExpectString(s, TYPE_CHAR, L"he");

    // Growing keeps the old text and zero-fills the rest.
    p = s.GetBufferCHAR(6);
    EXPECT_STREQ("he", p);
    memcpy(p, "abcdefg", 7);    // fills every slot, terminator included
    EXPECT_EQ(7, s.ReleaseBuffer(-1));
    ExpectString(s, TYPE_CHAR, L"abcdef");
    s.GetBuffer(10);
    EXPECT_EQ(11, s.ReleaseBuffer(100));  // cut at the capacity, zero-filled tail kept
    EXPECT_EQ(10, s.GetLength());
    EXPECT_EQ(0, static_cast<const char*>(s.GetData())[10]);
    EXPECT_EQ(1, s.ReleaseBuffer(0));
    ExpectString(s, TYPE_CHAR, L"");

    // Even GetBuffer(0) on an empty string gives a private buffer.
    CRVString w;
    wchar_t* q = w.GetBufferWCHAR(0);
    ASSERT_NE(nullptr, q);
    EXPECT_NE(CRVString::m_pWNULL, q);
    EXPECT_EQ(4, w.ReleaseBuffer(-1));
    ExpectString(w, TYPE_WCHAR, L"");

    q = w.GetBufferTCHAR(3);
    wcscpy(q, L"\x20AC" L"ab");
    EXPECT_EQ(16, w.ReleaseBuffer(-1));
    ExpectString(w, TYPE_WCHAR, L"\x20AC" L"ab");
    EXPECT_EQ(nullptr, w.GetBufferCHAR(5));  // cannot be narrowed
    ExpectString(w, TYPE_WCHAR, L"\x20AC" L"ab");

    // The limit: null and unchanged.
    CRVString n("abc");
    EXPECT_EQ(nullptr, n.GetBuffer(20000));
    EXPECT_NE(nullptr, n.GetBuffer(19999));
    n.ReleaseBuffer(-1);
    ExpectString(n, TYPE_CHAR, L"abc");
    CRVString m(L"abc");
    EXPECT_EQ(nullptr, m.GetBuffer(5000));
    ExpectString(m, TYPE_WCHAR, L"abc");
    EXPECT_NE(nullptr, m.GetBuffer(4999));
    m.ReleaseBuffer(-1);
    ExpectString(m, TYPE_WCHAR, L"abc");

    // Releasing without a GetBuffer on an empty string keeps the shared empty.
    CRVString z(TYPE_CHAR);
    EXPECT_EQ(1, z.ReleaseBuffer(5));
    ExpectString(z, TYPE_CHAR, L"");
}

TEST_F(RVStringTest, GetBufferSetLength)
{
    // From an empty string: a private, zero-filled buffer of exactly n characters.
    CRVString s(TYPE_CHAR);
    char* p = static_cast<char*>(s.GetBufferSetLength(5));
    ASSERT_NE(nullptr, p);
    EXPECT_NE(CRVString::m_pNULL, p);
    ExpectString(s, TYPE_CHAR, std::wstring(5, L'\0'));
    memcpy(p, "hello", 5);
    ExpectString(s, TYPE_CHAR, L"hello");

    // Shorter or longer within its 16-byte allocation: the same buffer.
    EXPECT_EQ(p, s.GetBufferSetLength(2));
    ExpectString(s, TYPE_CHAR, L"he");
    EXPECT_EQ(p, s.GetBufferSetLength(15));
    memcpy(p, "fifteen letters", 15);
    ExpectString(s, TYPE_CHAR, L"fifteen letters");
    // One more does not fit: a fresh zero-filled buffer.
    char* q = static_cast<char*>(s.GetBufferSetLength(16));
    ASSERT_NE(nullptr, q);
    EXPECT_NE(p, q);
    ExpectString(s, TYPE_CHAR, std::wstring(16, L'\0'));

    // Wide strings stay wide; four characters no longer fit 16 bytes.
    CRVString w(L"abc");
    const void* wide = w.GetData();
    EXPECT_EQ(wide, w.GetBufferSetLength(1));
    ExpectString(w, TYPE_WCHAR, L"a");
    wchar_t* wp = static_cast<wchar_t*>(w.GetBufferSetLength(3));
    EXPECT_EQ(wide, wp);
    wcsncpy(wp, L"\x20AC" L"yz", 3);
    ExpectString(w, TYPE_WCHAR, L"\x20AC" L"yz");
    EXPECT_NE(wide, w.GetBufferSetLength(4));
    ExpectString(w, TYPE_WCHAR, std::wstring(4, L'\0'));

    // The limits are those of GetBuffer.
    CRVString n(TYPE_CHAR);
    EXPECT_NE(nullptr, n.GetBufferSetLength(19999));
    EXPECT_EQ(19999, n.GetLength());
    CRVString m;
    EXPECT_NE(nullptr, m.GetBufferSetLength(4999));
    EXPECT_EQ(4999, m.GetLength());

    // Nothing to write into: null, and the string is the shared empty of its type.
    struct Bad {
        CRVSTRING_TYPE type;
        int n;
    } bad[] = {
        { TYPE_CHAR, 0 }, { TYPE_CHAR, -1 }, { TYPE_CHAR, 20000 }, { TYPE_CHAR, 0x7FFFFFFF },
        { TYPE_WCHAR, 0 }, { TYPE_WCHAR, -5 }, { TYPE_WCHAR, 5000 }, { TYPE_WCHAR, 0x7FFFFFFF },
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(testing::Message() << b.type << " " << b.n);
        for (const char* start : { "", "some text" }) {
            CRVString t(b.type);
            t = start;
            EXPECT_EQ(nullptr, t.GetBufferSetLength(b.n));
            ExpectString(t, b.type, L"");
        }
    }
}

// GetBufferSetLength reuses an allocation up to the string's byte length
// rounded to 16, so every way a string gets its buffer must leave at least that
// much: each case fills the whole room (a sanitizer build reports any overrun).
TEST_F(RVStringTest, GetBufferSetLengthFillsTheRoomOfEveryBuffer)
{
    struct Case {
        const char* name;
        std::function<CRVString()> make;
    };
    const Case cases[] = {
        { "narrow copy", [] { return CRVString("abc"); } },
        { "wide copy", [] { return CRVString(L"abcdefg"); } },
        { "narrow concatenation", [] { return CRVString("ab", "cdefghijklmnopq"); } },
        { "wide concatenation", [] { return CRVString(L"ab", L"cd"); } },
        { "appended", [] { CRVString s("abc"); s += "defghijklmnopqrs"; return s; } },
        { "wide appended", [] { CRVString s(L"abc"); s += L"d"; return s; } },
        { "narrow format", [] { CRVString s; s.Format("%d", 12345); return s; } },
        { "long narrow format", [] { CRVString s; s.Format("%s", Repeat('x', 300).c_str()); return s; } },
        { "wide format", [] { CRVString s; s.Format(L"%d", 42); return s; } },
        { "long wide format", [] { CRVString s; s.Format(L"%ls", WRepeat(L'y', 300).c_str()); return s; } },
        { "URL decoded", [] { CRVString s(L"a%41b+c"); s.URLDecode(); return s; } },
        { "trimmed", [] { CRVString s("   abc   "); s.TrimLeft(" "); s.TrimRight(" "); return s; } },
        { "cut by ReleaseBuffer", [] { CRVString s(TYPE_CHAR); strcpy(s.GetBufferCHAR(40), "ab"); s.ReleaseBuffer(-1); return s; } },
        { "grown by GetBuffer", [] { CRVString s(L"ab"); s.GetBuffer(9); s.ReleaseBuffer(9); return s; } },
        { "narrowed", [] { CRVString s(L"abcdef"); s.ConvertTochar(); return s; } },
        { "widened", [] { CRVString s("abcdef"); s.ConvertTowchar_t(); return s; } },
        { "substring", [] { return CRVString("hello world").Mid(3, 4); } },
        { "copied from bytes", [] { const char* t = "hello"; CRVString s; s.CopyFrom(t, t + 5); return s; } },
        { "set before", [] { CRVString s(TYPE_CHAR); s.GetBufferSetLength(7); s.GetBufferSetLength(2); return s; } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRVString s = c.make();
        ASSERT_GT(s.GetLength(), 0);
        int size = s.GetType() == TYPE_CHAR ? 1 : 4;
        int room = ((s.GetByteLength() + 15) & ~15) / size - 1;
        const void* before = s.GetData();
        void* p = s.GetBufferSetLength(room);
        EXPECT_EQ(before, p);
        ASSERT_NE(nullptr, p);
        for (int i = 0; i < room; i++) {
            if (size == 1)
                static_cast<char*>(p)[i] = 'z';
            else
                static_cast<wchar_t*>(p)[i] = L'z';
        }
        ExpectString(s, s.GetType(), std::wstring((size_t)room, L'z'));
    }
}

TEST_F(RVStringTest, IndexingStaysInBounds)
{
    CRVString s("abc");
    EXPECT_EQ(L'b', s[1]);
    EXPECT_EQ(TYPE_WCHAR, s.GetType());
    s[1] = 0x20AC;
    ExpectString(s, TYPE_WCHAR, L"a\x20AC" L"c");
    EXPECT_EQ(0, s[3]);                  // the terminator reads as 0 ...
    s[3] = L'x';                          // ... but cannot be overwritten
    s[-1] = L'x';
    s[100] = L'x';
    ExpectString(s, TYPE_WCHAR, L"a\x20AC" L"c");

    CRVString e;
    e[0] = L'x';
    ExpectString(e, TYPE_WCHAR, L"");

    CRVString n(L"abc");
    EXPECT_EQ('c', n.CharAt(2));
    EXPECT_EQ(TYPE_CHAR, n.GetType());
    n.CharAt(0) = 'z';
    n.CharAt(3) = 'x';
    n.CharAt(-5) = 'x';
    ExpectString(n, TYPE_CHAR, L"zbc");
    CRVString en(TYPE_CHAR);
    en.CharAt(0) = 'x';
    ExpectString(en, TYPE_CHAR, L"");
    CRVString wide(L"\x20AC");
    wide.CharAt(0) = 'x';                // cannot be narrowed: scratch
    ExpectString(wide, TYPE_WCHAR, L"\x20AC");
}

TEST_F(RVStringTest, AllocAndFree)
{
    char* p = CRVString::Alloc(20);
    ASSERT_NE(nullptr, p);
    memset(p, 1, 32);                     // rounded up to 32 bytes
    CRVString::Free(p);
    wchar_t* w = CRVString::WAlloc(5);
    ASSERT_NE(nullptr, w);
    memset(w, 1, 32);                     // 20 bytes rounded up to 32
    CRVString::Free(w);
    CRVString::Free(nullptr);
    CRVString::Free(CRVString::m_pNULL);  // the shared empties are never freed
    CRVString::Free(CRVString::m_pWNULL);
}

TEST_F(RVStringTest, FormatNarrow)
{
    CRVString s;
    EXPECT_EQ(1, s.Format("%d", 5));
    ExpectString(s, TYPE_CHAR, L"5");
    EXPECT_EQ(0, s.Format("%s", ""));
    ExpectString(s, TYPE_CHAR, L"");

    // Around the stack buffer and at the limit.
    for (int n : { 254, 255, 256, 300, 19999 }) {
        SCOPED_TRACE(n);
        std::string text = Repeat('q', n - 1) + "!";
        EXPECT_EQ(n, s.Format("%s", text.c_str()));
        EXPECT_EQ(n, s.GetLength());
        EXPECT_STREQ(text.c_str(), (char*)s);
    }
    EXPECT_EQ(300, s.Format("%0300d", 7));
    EXPECT_EQ('7', s.CharAt(299));

    EXPECT_EQ(0, s.Format("%s", Repeat('q', 20000).c_str()));
    ExpectString(s, TYPE_CHAR, L"");

    // An encoding error (-1 from vsnprintf) ends empty after the retries.
    s = "before";
    EXPECT_EQ(0, s.Format("%ls", L"\x20AC"));
    ExpectString(s, TYPE_CHAR, L"");
}

TEST_F(RVStringTest, FormatWide)
{
    CRVString arg(L"x\x20AC");
    CRVString s("old");
    EXPECT_EQ(5, s.Format(L"%s-%d", (wchar_t*)arg, 42));
    ExpectString(s, TYPE_WCHAR, L"x\x20AC-42");

    struct Case {
        const wchar_t* format;
        const wchar_t* expected;
    } cases[] = {
        { L"%4s|", L"  ab|" },
        { L"%-4s|", L"ab  |" },
        { L"%.1s", L"a" },
        { L"%ls", L"ab" },
        { L"%%s %s", L"%s ab" },
        { L"s%s", L"sab" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.format)));
        EXPECT_EQ((int)wcslen(c.expected), s.Format(c.format, L"ab"));
        ExpectString(s, TYPE_WCHAR, c.expected);
    }
    EXPECT_EQ(0, s.Format(L""));
    ExpectString(s, TYPE_WCHAR, L"");

    // 254 characters fit the stack buffer; longer results come from the heap
    // ladder, whose largest buffer within the limit holds 4862 characters.
    for (int n : { 254, 255, 256, 600, 4862 }) {
        SCOPED_TRACE(n);
        std::wstring text = WRepeat(L'\x20AC', n - 1) + L"!";
        EXPECT_EQ(n, s.Format(L"%s", text.c_str()));
        ExpectString(s, TYPE_WCHAR, text);
    }
    s = L"before";
    EXPECT_EQ(0, s.Format(L"%s", WRepeat(L'q', 4863).c_str()));
    ExpectString(s, TYPE_WCHAR, L"");
    EXPECT_EQ(0, s.Format(L"%s", WRepeat(L'q', 30000).c_str()));
    ExpectString(s, TYPE_WCHAR, L"");
}

TEST_F(RVStringTest, FindAndSubstrings)
{
    for (CRVSTRING_TYPE type : { TYPE_CHAR, TYPE_WCHAR }) {
        SCOPED_TRACE(type);
        CRVString s(L"abcab\xE9");
        if (type == TYPE_CHAR) {
            ASSERT_TRUE(s.ConvertTochar());
        }
        EXPECT_EQ(1, s.Find(L'b'));
        EXPECT_EQ(4, s.Find(L'b', 2));
        EXPECT_EQ(1, s.Find(L'b', -3));
        EXPECT_EQ(-1, s.Find(L'b', 5));
        EXPECT_EQ(-1, s.Find(L'b', 100));
        EXPECT_EQ(-1, s.Find(L'z'));
        EXPECT_EQ(5, s.Find('\xE9'));        // a sign-extended narrow char
        EXPECT_EQ(5, s.Find(L'\xE9'));
        EXPECT_EQ(4, s.ReverseFind(L'b'));
        EXPECT_EQ(-1, s.ReverseFind(L'z'));
        EXPECT_EQ(type, s.GetType());

        struct Case {
            CRVString got;
            CRVSTRING_TYPE type;
            const wchar_t* expected;
        } cases[] = {
            { s.Left(2), type, L"ab" },
            { s.Left(100), type, L"abcab\xE9" },
            { s.Left(-1), type, L"" },
            { s.Right(2), type, L"b\xE9" },
            { s.Right(100), type, L"abcab\xE9" },
            { s.Right(0), type, L"" },
            { s.Mid(1, 3), type, L"bca" },
            { s.Mid(4, 100), type, L"b\xE9" },
            { s.Mid(3), type, L"ab\xE9" },
            { s.Mid(6, 2), TYPE_WCHAR, L"" },
            { s.Mid(-1, 2), TYPE_WCHAR, L"" },
            { s.Mid(1, 0), TYPE_WCHAR, L"" },
            { s.Mid(1, -2), TYPE_WCHAR, L"" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::PrintToString(std::wstring(c.expected)));
            ExpectString(c.got, c.type, c.expected);
        }
    }
    EXPECT_EQ(-1, CRVString().Find(L'a'));
    EXPECT_EQ(-1, CRVString(TYPE_CHAR).ReverseFind(L'a'));

    CRVString abc("abc");
    ExpectString(abc.Left(100), TYPE_CHAR, L"abc");
    ExpectString(abc.Mid(5, 2), TYPE_WCHAR, L"");
    ExpectString(abc.Right(2), TYPE_CHAR, L"bc");
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST_F(RVStringTest, Compare)
{
    struct Case {
        const wchar_t* a;
        bool aNarrow;
        const wchar_t* b;
        bool bNarrow;
        int sign;
    } cases[] = {
        { L"abc", true, L"abc", true, 0 },
        { L"abc", false, L"abc", false, 0 },
        { L"abc", true, L"abc", false, 0 },
        { L"abc", false, L"abd", true, -1 },
        { L"abd", true, L"abc", false, 1 },
        { L"ab", true, L"abc", true, -1 },
        { L"", false, L"", true, 0 },
        { L"\xE9", true, L"\xE9", false, 0 },
        { L"\xFF", false, L"\xFF", true, 0 },
        { L"\x20AC", false, L"a", true, 1 },
        { L"a", true, L"\x20AC", false, -1 },
        { L"ABC", false, L"abc", true, -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.a) + L" / " + c.b));
        CRVString a(c.a), b(c.b);
        if (c.aNarrow) {
            ASSERT_TRUE(a.ConvertTo8Bit());
        }
        if (c.bNarrow) {
            ASSERT_TRUE(b.ConvertTo8Bit());
        }
        CRVSTRING_TYPE aType = a.GetType(), bType = b.GetType();
        EXPECT_EQ(c.sign, Sign(a.Compare(b)));
        if (c.bNarrow) {
            EXPECT_EQ(c.sign, Sign(a.Compare(static_cast<const char*>(b.GetData()))));
        } else {
            EXPECT_EQ(c.sign, Sign(a.Compare(static_cast<const wchar_t*>(b.GetData()))));
        }
        EXPECT_EQ(c.sign == 0, a == b);
        EXPECT_EQ(c.sign != 0, a != b);
        EXPECT_EQ(aType, a.GetType());      // Compare never converts
        EXPECT_EQ(bType, b.GetType());
    }
    // Content, not pointers.
    CRVString s("abc");
    std::string other = "abc";
    EXPECT_TRUE(s == other.c_str());
    EXPECT_TRUE(s == L"abc");
    EXPECT_TRUE(s != "abd");
    EXPECT_TRUE(CRVString(L"\x20AC") != "");
}

TEST_F(RVStringTest, CompareNoCase)
{
    CRVString s(L"abc");
    EXPECT_EQ(0, s.CompareNoCase("ABC"));
    EXPECT_EQ(TYPE_CHAR, s.GetType());

    struct Case {
        const wchar_t* a;
        const wchar_t* b;
        int sign;
        CRVSTRING_TYPE after;
    } cases[] = {
        { L"Hello", L"hELLO", 0, TYPE_CHAR },
        { L"abc", L"ABD", -1, TYPE_CHAR },
        { L"b", L"A", 1, TYPE_CHAR },
        { L"\xC9", L"\xE9", -1, TYPE_CHAR },         // ASCII folding only
        { L"\x20AC" L"A", L"\x20AC" L"a", 0, TYPE_WCHAR },
        { L"x", L"\x20AC", -1, TYPE_CHAR },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.a) + L" / " + c.b));
        CRVString a1(c.a), a2(c.a), a3(c.a);
        EXPECT_EQ(c.sign, Sign(a1.CompareNoCase(c.b)));
        EXPECT_EQ(c.after, a1.GetType());
        EXPECT_EQ(c.sign, Sign(a2.CompareNoCase(CRVString(c.b))));
        CRVString b(c.b);
        if (b.ConvertTochar()) {
            EXPECT_EQ(c.sign, Sign(a3.CompareNoCase((char*)b)));
        }
    }
}

TEST_F(RVStringTest, Trim)
{
    struct Case {
        const wchar_t* text;
        bool left;
        const wchar_t* expected;
    } cases[] = {
        { L"   ", true, L"" },
        { L"   ", false, L"" },
        { L"  ab ", true, L"ab " },
        { L"  ab ", false, L"  ab" },
        { L"ab", true, L"ab" },
        { L"", false, L"" },
        { L"\t x\t", true, L"x\t" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        CRVString n(c.text);
        ASSERT_TRUE(n.ConvertTochar());
        const void* before = n.GetData();
        c.left ? n.TrimLeft(" \t") : n.TrimRight(" \t");
        ExpectString(n, TYPE_CHAR, c.expected);
        if (*c.expected) {
            EXPECT_EQ(before, n.GetData());    // moved in place
        }

        CRVString w(c.text);
        c.left ? w.TrimLeft(L" \t") : w.TrimRight(L" \t");
        ExpectString(w, TYPE_WCHAR, c.expected);
    }
    // A set of the other width: the string takes the set's width and is trimmed.
    CRVString a(L"  \x20AC ");
    a.TrimLeft(" ");
    ExpectString(a, TYPE_WCHAR, L"\x20AC ");
    CRVString b("xxab");
    b.TrimLeft(L"x");
    ExpectString(b, TYPE_WCHAR, L"ab");
    CRVString c(L"abyy");
    c.TrimRight("y");
    ExpectString(c, TYPE_CHAR, L"ab");
}

TEST_F(RVStringTest, Editing)
{
    CRVString r(L"a.b.c");
    r.Replace('.', ',');
    ExpectString(r, TYPE_CHAR, L"a,b,c");
    CRVString r2(L"\x20AC.\xE9");
    r2.Replace('\xE9', 'e');
    ExpectString(r2, TYPE_WCHAR, L"\x20AC.e");

    CRVString u("aZ\xE9\xC9 1");
    u.MakeUpper();
    ExpectString(u, TYPE_CHAR, L"AZ\xE9\xC9 1");
    u.MakeLower();
    ExpectString(u, TYPE_CHAR, L"az\xE9\xC9 1");
    CRVString uw(L"a\xE9\x20AC");
    uw.MakeUpper();
    ExpectString(uw, TYPE_WCHAR, L"A\xE9\x20AC");

    CRVString v("abc");
    v.Reverse();
    ExpectString(v, TYPE_CHAR, L"cba");
    CRVString vw(L"a\x20AC");
    vw.Reverse();
    ExpectString(vw, TYPE_WCHAR, L"\x20AC" L"a");
}

TEST_F(RVStringTest, ConvertRTL)
{
    const wchar_t A = 0x5D0, B = 0x5D1, E = 0x5D4;
    struct Case {
        std::wstring in, out;
    } cases[] = {
        { { A, B, L'c', L'd', E }, { E, L'c', L'd', B, A } },
        { L"abc", L"abc" },
        { { A, B, E }, { E, B, A } },
        { { L'1', L'2', A, L' ', L'x', B }, { B, L' ', L'x', A, L'1', L'2' } },
        { L"", L"" },
        { { A }, { A } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.in));
        CRVString s(c.in.c_str());
        s.ConvertRTL();
        ExpectString(s, TYPE_WCHAR, c.out);
    }
    CRVString n("ab");
    n.ConvertRTL();
    ExpectString(n, TYPE_CHAR, L"ab");
}

TEST_F(RVStringTest, URLDecode)
{
    struct Case {
        const wchar_t* in;
        std::wstring out;
    } cases[] = {
        { L"a+b%41%u20AC", L"a b" L"A\x20AC" },
        { L"%", L"%" },
        { L"%4", L"%4" },
        { L"%41", L"A" },
        { L"%zz", L"%zz" },
        { L"%u12", L"%u12" },
        { L"%u123", L"%u123" },
        { L"%U0041x", L"Ax" },
        { L"%u00", L"%u00" },
        { L"%u12G4", L"%u12G4" },
        { L"%e9", L"\xE9" },
        { L"%%41", L"%A" },
        { L"%C3%A9", L"\xC3\xA9" },          // bytes are not combined
        { L"%00x", std::wstring(L"\0x", 2) },
        { L"", L"" },
        { L"\x20AC+", L"\x20AC " },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.in)));
        CRVString w(c.in);
        EXPECT_TRUE(w.URLDecode());
        ExpectString(w, TYPE_WCHAR, c.out);
        CRVString n(c.in);
        if (n.ConvertTochar()) {
            EXPECT_TRUE(n.URLDecode());
            ExpectString(n, TYPE_WCHAR, c.out);
        }
    }

    // A long narrow text decodes when the result fits a wide buffer ...
    std::string encoded;
    for (int i = 0; i < 4000; i++)
        encoded += "%41";
    CRVString s(encoded.c_str());
    EXPECT_TRUE(s.URLDecode());
    ExpectString(s, TYPE_WCHAR, WRepeat(L'A', 4000));
    // ... and is left as it was when it does not.
    CRVString t(Repeat('+', 6000).c_str());
    EXPECT_FALSE(t.URLDecode());
    ExpectString(t, TYPE_CHAR, std::wstring(6000, L'+'));
}

TEST_F(RVStringTest, IsNumeric)
{
    struct Case {
        const wchar_t* text;
        int narrow, wide;
    } cases[] = {
        { L"", 1, 1 },
        { L"0123456789", 1, 1 },
        { L"-12.5%", 1, 1 },
        { L"AFHKMZafhkmz", 1, 1 },
        { L"21\xB0" L"C", 0, 0 },
        { L"21\xB0", 0, 1 },
        { L"1 2", 0, 0 },
        { L"+1", 0, 0 },
        { L"1b", 0, 0 },
        { L"\x20AC", -1, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.text)));
        CRVString w(c.text);
        EXPECT_EQ(c.wide, w.IsNumeric() != 0);
        if (c.narrow >= 0) {
            ASSERT_TRUE(w.ConvertTochar());
            EXPECT_EQ(c.narrow, w.IsNumeric() != 0);
        }
    }
    EXPECT_TRUE(CRVString::IsNumeric(L'7'));
    EXPECT_TRUE(CRVString::IsNumeric((wchar_t)176));
    EXPECT_FALSE(CRVString::IsNumeric(L'x'));
    EXPECT_FALSE(CRVString::IsNumeric((wchar_t)(176 + 256)));
}

TEST_F(RVStringTest, CopyFrom)
{
    const char* text = "hello world";
    CRVString s;
    s.CopyFrom(text + 6, text + 11);
    ExpectString(s, TYPE_CHAR, L"world");
    s.CopyFrom(text, text);
    ExpectString(s, TYPE_CHAR, L"");
    s = "keep";
    s.CopyFrom(nullptr, text);
    s.CopyFrom(text, nullptr);
    s.CopyFrom(text + 3, text + 1);
    ExpectString(s, TYPE_CHAR, L"keep");
    // From inside the string itself.
    const char* own = static_cast<const char*>(s.GetData());
    s.CopyFrom(own + 1, own + 3);
    ExpectString(s, TYPE_CHAR, L"ee");
    std::string big = Repeat('x', 20000);
    s.CopyFrom(big.data(), big.data() + 20000);
    ExpectString(s, TYPE_CHAR, L"");
}

TEST_F(RVStringTest, NumberHelpers)
{
    struct Case {
        const char* text;
        int n;
        int hex, dec;
    } cases[] = {
        { "1F", 2, 0x1F, 1 },
        { "ff", 1, 0xF, 0 },
        { "123", 3, 0x123, 123 },
        { "123", 2, 0x12, 12 },
        { "12", 20, 0x12, 12 },          // stops at the terminator
        { "1x3", 3, 0x1, 1 },
        { "70000", 5, 0x70000, 70000 & 0xFFFF },
        { "000000000000000000000001", 24, 1, 1 },
        { "0000000000000000000000001", 25, 0, 0 },
        { "12", 0, 0, 0 },
        { "12", -1, 0, 0 },
        { "DEADBEEF", 8, (int)0xDEADBEEF, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " n=" << c.n);
        // An exact-size copy, so that reading past it would be caught.
        std::vector<char> narrow(c.text, c.text + strlen(c.text) + 1);
        std::wstring wideText(c.text, c.text + strlen(c.text));
        std::vector<wchar_t> wide(wideText.c_str(), wideText.c_str() + wideText.size() + 1);
        EXPECT_EQ(c.hex, HexToInt(narrow.data(), c.n));
        EXPECT_EQ(c.hex, HexToInt(wide.data(), c.n));
        EXPECT_EQ(c.dec, DecToInt(narrow.data(), c.n));
        EXPECT_EQ(c.dec, DecToInt(wide.data(), c.n));
    }
    const wchar_t lowByte[] = { 0x131, 0x232, 0 };   // low bytes '1' and '2'
    EXPECT_EQ(12, DecToInt(lowByte, 2));
    // Never further than n, even without a terminator.
    const char noTerm[2] = { '4', '2' };
    EXPECT_EQ(0x42, HexToInt(noTerm, 2));
    EXPECT_EQ(42, DecToInt(noTerm, 2));

    EXPECT_EQ(1, IsBit(0x80000000u, 31));
    EXPECT_EQ(0, IsBit(0x80000000u, 30));
    EXPECT_EQ(1, IsBit(5u, 2));
    EXPECT_EQ(0, IsBit(0xFFFFFFFFu, 32));
    EXPECT_EQ(0, IsBit(0xFFFFFFFFu, -1));
    unsigned char b = 0x0F;
    SetBit(&b, 7, 1);
    SetBit(&b, 0, 0);
    EXPECT_EQ(0x8E, b);
    SetBit(&b, 8, 1);
    SetBit(&b, -1, 0);
    SetBit(nullptr, 1, 1);
    EXPECT_EQ(0x8E, b);
}

} // namespace

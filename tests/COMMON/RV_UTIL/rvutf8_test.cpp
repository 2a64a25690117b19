// The one UTF-8 codec: encoding at every length boundary, the strict decoder's
// refusals, the replacing decoder on the same input, and a round trip of every
// Unicode scalar value.
#include "rvutf8.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "rvstring.h"

namespace {

TEST(RVAppendUtf8, LengthBoundariesAndValuesUtf8CannotCarry)
{
    const struct
    {
        char32_t c;
        std::string want;
    } cases[] = {
        {0x00, std::string("\0", 1)},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0xD7FF, "\xED\x9F\xBF"},
        {0xD800, "\xEF\xBF\xBD"},      // surrogates become U+FFFD
        {0xDFFF, "\xEF\xBF\xBD"},
        {0xE000, "\xEE\x80\x80"},
        {0xFFFF, "\xEF\xBF\xBF"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        {0x110000, "\xEF\xBF\xBD"},    // beyond Unicode
        {0xFFFFFFFF, "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        std::string out = "x";   // appends, keeps what was there
        RVAppendUtf8(&out, c.c);
        EXPECT_EQ("x" + c.want, out) << std::hex << (unsigned)c.c;
    }
}

TEST(RVToUtf8, NarrowIsLatin1AndWideIsCodePoints)
{
    EXPECT_EQ("", RVToUtf8(CRVString(TYPE_CHAR)));
    EXPECT_EQ("", RVToUtf8(CRVString(TYPE_WCHAR)));
    EXPECT_EQ("caf\xC3\xA9 \xC3\xBF", RVToUtf8(CRVString("caf\xE9 \xFF")));
    EXPECT_EQ("\xE2\x82\xAC\xF0\x9F\x98\x80", RVToUtf8(CRVString(L"\u20AC\U0001F600")));
    // A wide string holding UTF-16 halves: each is a surrogate, not text.
    const wchar_t halves[] = {0xD83D, 0xDE00, 0};
    EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", RVToUtf8(CRVString(halves)));
}

// Each input through both decoders: the strict one either gives want or
// refuses, the replacing one always gives replaced.
TEST(RVUtf8Decode, StrictRefusesWhatTheReplacingDecoderRepairs)
{
    const struct
    {
        const char* pszName;
        std::string in;
        bool bValid;
        std::u32string want;      // strict result when valid
        std::wstring replaced;
    } cases[] = {
        {"empty", "", true, U"", L""},
        {"ascii with NUL", std::string("a\0b", 3), true, std::u32string(U"a\0b", 3), std::wstring(L"a\0b", 3)},
        {"every length", "\x7F\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80", true, U"\x7F\u0080\u0800\U00010000",
         L"\x7F\u0080\u0800\U00010000"},
        {"last scalar values", "\xED\x9F\xBF\xEE\x80\x80\xF4\x8F\xBF\xBF", true, U"\uD7FF\uE000\U0010FFFF",
         L"\uD7FF\uE000\U0010FFFF"},
        {"overlong two-byte", "\xC1\xBF", false, U"", L"\uFFFD\uFFFD"},
        {"overlong four-byte", "\xF0\x8F\xBF\xBF", false, U"", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"last surrogate", "\xED\xBF\xBF", false, U"", L"\uFFFD\uFFFD\uFFFD"},
        {"lead F5", "\xF5\x80\x80\x80", false, U"", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"five-byte lead", "\xF8\x88\x80\x80\x80", false, U"", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut short after valid text", "ok\xF0\x9F\x98", false, U"", L"ok\uFFFD\uFFFD\uFFFD"},
        {"second continuation missing", "\xE2\x82x", false, U"", L"\uFFFD\uFFFDx"},
        {"lone continuation", "\xBF", false, U"", L"\uFFFD"},
    };
    for (const auto& c : cases) {
        std::u32string got;
        EXPECT_EQ(c.bValid ? 1 : 0, RVUtf8Decode(c.in.data(), c.in.size(), &got)) << c.pszName;
        if (c.bValid) {
            EXPECT_EQ(c.want, got) << c.pszName;
        }
        EXPECT_EQ(c.replaced, RVUtf8ToWide(c.in.data(), c.in.size())) << c.pszName;
    }
}

TEST(RVUtf8Next, LengthOfTheFirstSequenceOnly)
{
    char32_t c = 0;
    EXPECT_EQ(0, RVUtf8Next("", 0, &c));
    EXPECT_EQ(1, RVUtf8Next("ab", 2, &c));
    EXPECT_EQ(U'a', c);
    EXPECT_EQ(3, RVUtf8Next("\xE2\x82\xAC\xFF", 4, &c));   // what follows is not looked at
    EXPECT_EQ(U'\u20AC', c);
    // The length given is a hard end, even with more bytes in memory.
    EXPECT_EQ(0, RVUtf8Next("\xE2\x82\xAC", 2, &c));
}

// Every scalar value encodes to the bytes the decoders read back as that value
// alone, in one sequence of the shortest length.
TEST(RVUtf8, EveryScalarValueRoundTrips)
{
    std::string all;
    std::u32string want;
    for (char32_t c = 0; c <= 0x10FFFF; c++) {
        if (c == 0xD800)
            c = 0xE000;
        std::string one;
        RVAppendUtf8(&one, c);
        size_t wantLen = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        ASSERT_EQ(wantLen, one.size()) << std::hex << (unsigned)c;
        char32_t back = 0;
        ASSERT_EQ((int)wantLen, RVUtf8Next(one.data(), one.size(), &back)) << std::hex << (unsigned)c;
        ASSERT_EQ(c, back);
        all += one;
        want.push_back(c);
    }
    std::u32string got;
    ASSERT_EQ(1, RVUtf8Decode(all.data(), all.size(), &got));
    EXPECT_EQ(want, got);
    std::wstring wide = RVUtf8ToWide(all.data(), all.size());
    EXPECT_TRUE(std::equal(want.begin(), want.end(), wide.begin(), wide.end()));
}

}  // namespace

#include "lx_utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(LxUtf8ToWide, DecodesAndReplacesWhatIsNotText)
{
    struct
    {
        const char* pszName;
        std::string in;
        std::wstring want;
    } const cases[] = {
        {"ascii", "abc", L"abc"},
        {"two to four bytes", "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80", L"\u00E9\u20AC\U0001F600"},
        {"empty", "", L""},
        {"embedded NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
        {"overlong slash", "\xC0\xAF", L"\uFFFD\uFFFD"},
        {"overlong three-byte", "\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD"},
        {"surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut short at the end", "a\xE2\x82", L"a\uFFFD\uFFFD"},
        {"lead byte then ascii", "\xC3x", L"\uFFFDx"},
        {"lone continuation", "\x80z", L"\uFFFDz"},
        {"invalid lead", "\xFF\xFE", L"\uFFFD\uFFFD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.want, LxUtf8ToWide(c.in)) << c.pszName;
}

}  // namespace

// Message strings as the simulated controller records them: 8-bit bytes kept,
// wide strings read as UTF-16 and written as valid UTF-8.
#include "sim_text.h"

#include <gtest/gtest.h>

#include "rvstring.h"

namespace {

TEST(SimToUtf8, EightBitBytesStayAndUtf16BecomesValidUtf8)
{
    const wchar_t pair[] = {0xD83D, 0xDE00, 0};
    const wchar_t lowThenHigh[] = {0xDE00, 0xD83D, 0};
    const wchar_t highAtEnd[] = {L'a', 0xD83D, 0};
    const wchar_t highThenText[] = {0xD83D, L'b', 0};
    const wchar_t beyondUnicode[] = {(wchar_t)0x110000, 0};
    const struct
    {
        const char* pszName;
        CRVString s;
        std::string want;
    } cases[] = {
        {"empty", CRVString(TYPE_WCHAR), ""},
        {"8-bit bytes as they are", CRVString("caf\xE9"), "caf\xE9"},
        {"wide text", CRVString(L"caf\u00E9 \u20AC"), "caf\xC3\xA9 \xE2\x82\xAC"},
        {"surrogate pair joined", CRVString(pair), "\xF0\x9F\x98\x80"},
        {"halves in the wrong order", CRVString(lowThenHigh), "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"high half at the end", CRVString(highAtEnd), "a\xEF\xBF\xBD"},
        {"high half before text", CRVString(highThenText), "\xEF\xBF\xBD" "b"},
        {"beyond Unicode", CRVString(beyondUnicode), "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.want, SimToUtf8(c.s)) << c.pszName;
}

}  // namespace

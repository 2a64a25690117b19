// The one hex digit reader behind HexToInt, URL decoding, hex to binary and the
// simulated controller's scripts.
#include "rvstring.h"

#include <gtest/gtest.h>

namespace {

TEST(HexDigit, ExactlyTheTwentyTwoDigitsHaveAValue)
{
    const char* const pszDigits = "0123456789abcdef";
    for (unsigned int ch = 0; ch < 0x400; ch++) {
        int want = -1;
        for (int v = 0; v < 16; v++) {
            if (ch == (unsigned char)pszDigits[v] || (v >= 10 && ch == (unsigned int)(pszDigits[v] - 'a' + 'A')))
                want = v;
        }
        EXPECT_EQ(want, HexDigit(ch)) << std::hex << ch;
    }
    // Look-alikes beyond ASCII, a sign-extended narrow char and the top of the range.
    for (unsigned int ch : {0xFF10u, 0xFF21u, 0x10030u, 0x80000030u, 0xFFFFFFFFu})
        EXPECT_EQ(-1, HexDigit(ch)) << std::hex << ch;
    EXPECT_EQ(-1, HexDigit((unsigned int)(char)'\xB0'));
}

}  // namespace

#include "rvmd5.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

namespace {

// RFC 1321 appendix A.5.
struct Vector { const char* text; const char* digest; };
const Vector kSuite[] = {
    {"", "d41d8cd98f00b204e9800998ecf8427e"},
    {"a", "0cc175b9c0f1b6a831c399e269772661"},
    {"abc", "900150983cd24fb0d6963f7d28e17f72"},
    {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
    {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
    {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
     "57edf4a22be3c955ac49da2e2107b67a"},
};

TEST(MD5Test, Rfc1321Suite)
{
    for (const Vector& v : kSuite) {
        CMD5 md5;
        md5.update(v.text);
        md5.finalize();
        EXPECT_STREQ(md5.hex_digest(), v.digest) << '"' << v.text << '"';
        // The raw digest is what the hex digits spell.
        const unsigned char* raw = md5.raw_digest();
        char hex[33];
        for (int i = 0; i < 16; ++i)
            snprintf(hex + 2 * i, 3, "%02x", raw[i]);
        EXPECT_STREQ(hex, v.digest);
    }
}

TEST(MD5Test, SplitUpdatesGiveTheSameDigest)
{
    // Every split point of the 80-byte text, so that each crossing of the
    // 64-byte block and the padding boundary is exercised.
    const Vector& v = kSuite[6];
    const unsigned int n = (unsigned int)strlen(v.text);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(v.text);
    for (unsigned int split = 0; split <= n; ++split) {
        CMD5 md5;
        md5.update(p, split);
        md5.update(p + split, n - split);
        EXPECT_STREQ(md5.hex_digest(), v.digest) << split;
    }
    // One byte at a time.
    CMD5 md5;
    for (unsigned int i = 0; i < n; ++i)
        md5.update(p + i, 1);
    EXPECT_STREQ(md5.hex_digest(), v.digest);
}

TEST(MD5Test, LengthsAroundThePaddingBoundary)
{
    // Runs of 'a': 55 bytes pad within one block, 56 need a second one; the
    // million is the long message usually run beside the suite.
    struct Case { size_t n; const char* digest; };
    const Case cases[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},
        {56, "3b0c8ac703f828b04c6c197006d17218"},
        {64, "014842d480b571495a4a0363793f7367"},
        {1000000, "7707d6ae4e027c70eea2a935c2296f21"},
    };
    for (const Case& c : cases) {
        std::string text(c.n, 'a');
        CMD5 md5;
        md5.update(reinterpret_cast<const unsigned char*>(text.data()), (unsigned int)text.size());
        EXPECT_STREQ(md5.hex_digest(), c.digest) << c.n;
    }
}

TEST(MD5Test, FinaliseIsFinalUntilInit)
{
    CMD5 md5;
    md5.update("abc");
    EXPECT_STREQ(md5.hex_digest(), kSuite[2].digest);   // finalises on demand
    md5.update("more");                                 // ignored
    md5.finalize();
    EXPECT_STREQ(md5.hex_digest(), kSuite[2].digest);
    md5.init();
    md5.update("a");
    EXPECT_STREQ(md5.hex_digest(), kSuite[1].digest);
}

}  // namespace

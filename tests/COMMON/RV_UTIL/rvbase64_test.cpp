#include "rvbase64.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Decoded(const Base64Coder& coder)
{
    return std::string(reinterpret_cast<const char*>(coder.DecodedMessage()), coder.DecodedMessageSize());
}

// RFC 4648 section 10, plus the two-byte case with one "=".
TEST(Base64Test, PublishedVectorsBothWays)
{
    struct Case { const char* plain; const char* encoded; };
    const Case cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"Ma", "TWE="},
        {"user:pass word", "dXNlcjpwYXNzIHdvcmQ="},
    };
    Base64Coder coder;
    for (const Case& c : cases) {
        coder.Encode(c.plain);
        EXPECT_STREQ(coder.EncodedMessage(), c.encoded);
        EXPECT_EQ(coder.EncodedMessageSize(), strlen(c.encoded));
        coder.Decode(c.encoded);
        EXPECT_EQ(Decoded(coder), c.plain) << c.encoded;
        // The decoded bytes are also readable as text.
        EXPECT_STREQ(reinterpret_cast<const char*>(coder.DecodedMessage()), c.plain);
    }
}

TEST(Base64Test, EveryByteValueRoundTrips)
{
    unsigned char all[256];
    for (int i = 0; i < 256; ++i)
        all[i] = (unsigned char)(255 - i);
    Base64Coder coder;
    for (unsigned int n = 0; n <= 256; n += 37) {
        coder.Encode(all, n);
        std::string text = coder.EncodedMessage();
        EXPECT_EQ(text.size(), (n + 2) / 3 * 4);
        EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);
        coder.Decode(text.c_str(), (unsigned int)text.size());
        ASSERT_EQ(coder.DecodedMessageSize(), n);
        EXPECT_EQ(memcmp(coder.DecodedMessage(), all, n), 0) << n;
    }
}

TEST(Base64Test, LenientDecoding)
{
    struct Case { const char* encoded; unsigned int size; std::string plain; };
    const Case cases[] = {
        {"Zm9vYg", 6, "foob"},                          // padding left out
        {"Zm9vYmE", 7, "fooba"},
        {"Zm9vY", 5, "foo"},                            // a lone last character holds no whole byte
        {"Zm9v!!!!", 8, std::string("foo\0\0\0", 6)},   // outside the alphabet counts as 'A'
        {"Zg=A", 4, std::string("f\0\0", 3)},           // '=' that is not trailing is just a bad character
        {"====", 4, ""},
        {"=", 1, ""},
        {"Zm\0v", 4, "f`/"},                             // an embedded zero counts as 'A' as well
    };
    Base64Coder coder;
    for (const Case& c : cases) {
        coder.Decode(c.encoded, c.size);
        EXPECT_EQ(Decoded(coder), c.plain) << c.encoded;
    }
}

TEST(Base64Test, NullInputGivesEmptyResults)
{
    Base64Coder coder;
    EXPECT_STREQ(coder.EncodedMessage(), "");
    EXPECT_EQ(coder.DecodedMessageSize(), 0u);
    coder.Encode(nullptr, 10);
    EXPECT_STREQ(coder.EncodedMessage(), "");
    coder.Decode(nullptr, 10);
    EXPECT_EQ(coder.DecodedMessageSize(), 0u);
    ASSERT_NE(coder.DecodedMessage(), nullptr);
    EXPECT_EQ(coder.DecodedMessage()[0], 0);
}

}  // namespace

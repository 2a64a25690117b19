#include "rvcode.h"
#include "rvstring.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes Hex(const std::string& hex)
{
    Bytes b;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        b.push_back((unsigned char)std::stoi(hex.substr(i, 2), nullptr, 16));
    return b;
}

// Key bytes 00 01 02 ... and data bytes 00 11 22 ... (wrapping), as in the
// FIPS-197 appendix C examples.
Bytes Sequence(int n, int step)
{
    Bytes b(n);
    for (int i = 0; i < n; ++i)
        b[i] = (unsigned char)(i * step);
    return b;
}

// FIPS-197 appendix C for 16-byte blocks. The wider blocks (not part of AES)
// come from an independent Rijndael implementation on the same inputs.
struct BlockVector { int keyLength, blockSize; const char* cipher; };
const BlockVector kBlockVectors[] = {
    {16, 16, "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {24, 16, "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {32, 16, "8ea2b7ca516745bfeafc49904b496089"},
    {16, 24, "e64018d211d8349b350f38893d7d23899fece7a9aca7c6ba"},
    {24, 24, "78be2d48f76d71da6966f3a175fb71ad66b70b2076c3cf1d"},
    {32, 24, "65d851df8d04b5cbb510935fdd1eb17b33efb8cb255ee712"},
    {16, 32, "98c6f98ba9631b91c34f431e0887c561b6ac44c985cecd38dbc4cb30b9170d2f"},
    {24, 32, "3c386395e910345a59a7dd165dcbda604bf072f0a03a6b0055a79b734e668868"},
    {32, 32, "288fa9d23d00d9dc0a39b33fa92867c6488b5e0f18a6f74c072078ec815462e6"},
};

TEST(CodeTest, BlockVectorsEveryKeyAndBlockSize)
{
    for (const BlockVector& v : kBlockVectors) {
        SCOPED_TRACE(testing::Message() << "key " << v.keyLength << " block " << v.blockSize);
        Bytes key = Sequence(v.keyLength, 1), plain = Sequence(v.blockSize, 0x11);
        CRVCode code;
        ASSERT_EQ(code.MakeKey(key.data(), CRVCode::sm_chain0, v.keyLength, v.blockSize), 1);
        EXPECT_EQ(code.GetRounds(), (v.keyLength > v.blockSize ? v.keyLength : v.blockSize) / 4 + 6);
        Bytes out(v.blockSize), back(v.blockSize);
        ASSERT_EQ(code.EncryptBlock(plain.data(), out.data()), 1);
        EXPECT_EQ(out, Hex(v.cipher));
        ASSERT_EQ(code.DecryptBlock(out.data(), back.data()), 1);
        EXPECT_EQ(back, plain);
    }
}

TEST(CodeTest, Fips197AppendixBAndTheLoginUse)
{
    // Appendix B: the cipher example worked through round by round.
    CRVCode code;
    Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c");
    ASSERT_EQ(code.MakeKey(key.data()), 1);     // defaults: zero chain, 16-byte key and block
    Bytes in = Hex("3243f6a8885a308d313198a2e0370734"), out(16);
    code.EncryptBlock(in.data(), out.data());
    EXPECT_EQ(out, Hex("3925841d02dc09fbdc118597196a0b32"));

    // The login: key and challenge blocks from text, fill 0, one ECB block.
    int keyLength = 0, dataLength = 0;
    unsigned char* keyBlock = CRVCode::MakeBlock("secret", 6, &keyLength, 0);
    unsigned char* data = CRVCode::MakeBlock("challenge-text", 14, &dataLength, 0);
    ASSERT_TRUE(keyBlock && data);
    CRVCode login;
    ASSERT_EQ(login.MakeKey(keyBlock, CRVCode::sm_chain0, 16, 16), 1);
    unsigned char response[16], viaEcb[16];
    login.EncryptBlock(data, response);
    login.Encrypt(data, viaEcb, 16, CRVCode::ECB);
    EXPECT_EQ(memcmp(response, viaEcb, 16), 0);
    // Independent check of that response (AES-128 of the zero-padded blocks).
    EXPECT_EQ(Bytes(response, response + 16), Hex("b1b836d8f0937d8e77618addd5d6bcac"));
    delete[] keyBlock;
    delete[] data;
}

// NIST SP 800-38A, appendix F: AES-128 with four blocks in ECB, CBC and CFB128.
TEST(CodeTest, Sp800_38aModes)
{
    const Bytes key = Hex("2b7e151628aed2a6abf7158809cf4f3c");
    const Bytes iv = Hex("000102030405060708090a0b0c0d0e0f");
    const Bytes plain = Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
                            "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
    struct Case { int mode; const char* cipher; };
    const Case cases[] = {
        {CRVCode::ECB, "3ad77bb40d7a3660a89ecaf32466ef97f5d3d58503b9699de785895a96fdbaaf"
                       "43b1cd7f598ece23881b00e3ed0306887b0c785e27e8ad3f8223207104725dd4"},
        {CRVCode::CBC, "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
                       "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7"},
        {CRVCode::CFB, "3b3fd92eb72dad20333449f8e83cfb4ac8a64537a0b3a93fcde3cdad9f1ce58b"
                       "26751f67a3cbb140b1808cf187a4f4dfc04b05357c5d1c0eeac4c66f9ff7f2e6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const Bytes expected = Hex(c.cipher);
        CRVCode code;
        ASSERT_EQ(code.MakeKey(key.data(), iv.data(), 16, 16), 1);

        // All four blocks in one call.
        Bytes out(64);
        ASSERT_EQ(code.Encrypt(plain.data(), out.data(), 64, c.mode), 1);
        EXPECT_EQ(out, expected);

        // Block by block: the chain carries over between calls.
        code.ResetChain();
        Bytes pieces(64);
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(code.Encrypt(plain.data() + 16 * i, pieces.data() + 16 * i, 16, c.mode), 1);
        EXPECT_EQ(pieces, expected);

        // In place, back again.
        code.ResetChain();
        Bytes buffer = expected;
        ASSERT_EQ(code.Decrypt(buffer.data(), buffer.data(), 64, c.mode), 1);
        EXPECT_EQ(buffer, plain);
    }
}

TEST(CodeTest, ModesRoundTripForWideBlocks)
{
    for (int blockSize = 16; blockSize <= 32; blockSize += 8) {
        for (int mode = CRVCode::ECB; mode <= CRVCode::CFB; ++mode) {
            SCOPED_TRACE(testing::Message() << "block " << blockSize << " mode " << mode);
            Bytes key = Sequence(32, 7), chain = Sequence(blockSize, 3), plain = Sequence(blockSize * 3, 5);
            CRVCode code;
            ASSERT_EQ(code.MakeKey(key.data(), chain.data(), 24, blockSize), 1);
            Bytes cipher(plain.size()), back(plain.size());
            ASSERT_EQ(code.Encrypt(plain.data(), cipher.data(), (unsigned int)plain.size(), mode), 1);
            EXPECT_NE(cipher, plain);
            code.ResetChain();
            ASSERT_EQ(code.Decrypt(cipher.data(), back.data(), (unsigned int)cipher.size(), mode), 1);
            EXPECT_EQ(back, plain);
        }
    }
}

TEST(CodeTest, RefusesBadKeysLengthsAndModes)
{
    Bytes key = Sequence(32, 1), data(64, 0xAB), out(64, 0x5A);
    const Bytes untouched = out;
    CRVCode code;
    EXPECT_EQ(code.Encrypt(data.data(), out.data(), 16), 0);   // no key yet
    EXPECT_EQ(code.EncryptBlock(data.data(), out.data()), 0);

    struct Case { int keyLength, blockSize; };
    const Case bad[] = {{20, 16}, {0, 16}, {16, 20}, {33, 32}, {16, 0}};
    for (const Case& c : bad) {
        EXPECT_EQ(code.MakeKey(key.data(), nullptr, c.keyLength, c.blockSize), 0);
        EXPECT_EQ(code.Encrypt(data.data(), out.data(), 16, CRVCode::ECB), 0);
        EXPECT_EQ(code.Decrypt(data.data(), out.data(), 16, CRVCode::ECB), 0);
        EXPECT_EQ(code.DecryptBlock(data.data(), out.data()), 0);
    }
    // A failed MakeKey also drops an earlier good key.
    ASSERT_EQ(code.MakeKey(key.data(), nullptr, 16, 16), 1);
    EXPECT_EQ(code.MakeKey(key.data(), nullptr, 20, 16), 0);
    EXPECT_EQ(code.Encrypt(data.data(), out.data(), 16), 0);

    ASSERT_EQ(code.MakeKey(key.data(), nullptr, 16, 24), 1);
    for (unsigned int n : {0u, 1u, 16u, 25u, 47u})
        EXPECT_EQ(code.Encrypt(data.data(), out.data(), n), 0) << n;
    EXPECT_EQ(code.Encrypt(data.data(), out.data(), 48, 3), 0);
    EXPECT_EQ(code.Decrypt(data.data(), out.data(), 48, -1), 0);
    EXPECT_EQ(out, untouched);
    EXPECT_EQ(code.Encrypt(data.data(), out.data(), 48), 1);
}

TEST(CodeTest, MakeBlockPadsToWholeBlocks)
{
    struct Case { int n; int size; };
    const Case cases[] = {{0, 16}, {1, 16}, {15, 16}, {16, 16}, {17, 32}, {32, 32}, {33, 48}};
    const std::string text(40, 'x');
    for (const Case& c : cases) {
        int length = -1;
        unsigned char* block = CRVCode::MakeBlock(text.data(), c.n, &length, 0xEE);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(length, c.size) << c.n;
        for (int i = 0; i < length; ++i)
            EXPECT_EQ(block[i], i < c.n ? 'x' : 0xEE) << c.n << " at " << i;
        delete[] block;
    }
}

TEST(CodeTest, MakeBlockTakesStringsAsEightBitText)
{
    int length = -1;
    unsigned char* block = CRVCode::MakeBlock(CRVString(L"0123456789abcdef"), &length, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 16);
    EXPECT_EQ(memcmp(block, "0123456789abcdef", 16), 0);
    delete[] block;

    block = CRVCode::MakeBlock(CRVString(L"0123456789abcdefg"), &length, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 32);
    delete[] block;

    // Latin-1 characters become single bytes.
    block = CRVCode::MakeBlock(CRVString(L"caf\u00e9"), &length, 0);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(length, 16);
    EXPECT_EQ(memcmp(block, "caf\xe9\0", 5), 0);
    delete[] block;

    // A character beyond 8 bits has no block form.
    length = -1;
    EXPECT_EQ(CRVCode::MakeBlock(CRVString(L"\u20ac"), &length, 0), nullptr);
    EXPECT_EQ(length, 0);
}

TEST(CodeTest, AsciiToBinStopsAtBadDigitsAndAtTheOutputSize)
{
    struct Case { const char* text; int outSize; const char* bytes; int n; };
    const Case cases[] = {
        {"00ff7A", 8, "\x00\xff\x7a", 3},
        {"0aBc", 8, "\x0a\xbc", 2},
        {"123", 8, "\x12", 1},          // odd digit left over
        {"12zz34", 8, "\x12", 1},       // stops at the first bad pair
        {"1g", 8, "", 0},
        {"", 8, "", 0},
        {"a1b2c3d4", 2, "\xa1\xb2", 2}, // never past the output
        {"a1", 0, "", 0},
    };
    for (const Case& c : cases) {
        unsigned char out[8];
        memset(out, 0xCC, sizeof out);
        EXPECT_EQ(CRVCode::ASCIIToBIN(c.text, out, c.outSize), c.n) << c.text;
        EXPECT_EQ(memcmp(out, c.bytes, c.n), 0) << c.text;
        for (int i = c.n; i < 8; ++i)
            EXPECT_EQ(out[i], 0xCC) << c.text;
    }
    unsigned char out[4];
    EXPECT_EQ(CRVCode::ASCIIToBIN(nullptr, out, 4), 0);
    EXPECT_EQ(CRVCode::ASCIIToBIN("00", nullptr, 4), 0);
}

}  // namespace

#include "rvmd5.h"

#include "rvdebug.h"

#include <string.h>

namespace {

// floor(|sin(i + 1)| * 2^32), RFC 1321 section 3.4.
const uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

// Left-rotation amounts, four per round.
const int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline uint32_t RotateLeft(uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

}  // namespace

CMD5::CMD5()
{
    init();
}

void CMD5::init()
{
    m_state[0] = 0x67452301;
    m_state[1] = 0xefcdab89;
    m_state[2] = 0x98badcfe;
    m_state[3] = 0x10325476;
    m_nBits = 0;
    memset(m_buffer, 0, sizeof m_buffer);
    memset(m_digest, 0, sizeof m_digest);
    m_hex[0] = 0;
    m_bFinalized = 0;
}

void CMD5::Transform(const unsigned char* pBlock)
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = (uint32_t)pBlock[4 * i] | (uint32_t)pBlock[4 * i + 1] << 8 |
               (uint32_t)pBlock[4 * i + 2] << 16 | (uint32_t)pBlock[4 * i + 3] << 24;

    uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        int round = i / 16;
        uint32_t f;
        int k;
        switch (round) {
        case 0: f = (b & c) | (~b & d); k = i; break;
        case 1: f = (b & d) | (c & ~d); k = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d;          k = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d);      k = (7 * i) % 16; break;
        }
        uint32_t next = b + RotateLeft(a + f + kSine[i] + x[k], kShift[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMD5::update(const unsigned char* pData, unsigned int n)
{
    if (m_bFinalized) {
        RV_ASSERT(!m_bFinalized);
        return;
    }
    if (!pData || !n)
        return;
    unsigned int used = (unsigned int)((m_nBits / 8) % 64);
    m_nBits += (uint64_t)n * 8;
    unsigned int room = 64 - used;
    if (n < room) {
        memcpy(m_buffer + used, pData, n);
        return;
    }
    memcpy(m_buffer + used, pData, room);
    Transform(m_buffer);
    unsigned int i = room;
    for (; i + 64 <= n; i += 64)
        Transform(pData + i);
    memcpy(m_buffer, pData + i, n - i);
}

void CMD5::update(const char* pszText)
{
    if (pszText)
        update(reinterpret_cast<const unsigned char*>(pszText), (unsigned int)strlen(pszText));
}

void CMD5::finalize()
{
    if (m_bFinalized)
        return;
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = (unsigned char)(m_nBits >> (8 * i));
    // A 1 bit, zeros up to 56 bytes modulo 64, then the 64-bit length.
    static const unsigned char kPadding[64] = {0x80};
    unsigned int used = (unsigned int)((m_nBits / 8) % 64);
    unsigned int padLength = used < 56 ? 56 - used : 120 - used;
    update(kPadding, padLength);
    update(length, 8);

    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            m_digest[4 * i + j] = (unsigned char)(m_state[i] >> (8 * j));
    static const char kHex[] = "0123456789abcdef";
    for (int i = 0; i < 16; ++i) {
        m_hex[2 * i] = kHex[m_digest[i] >> 4];
        m_hex[2 * i + 1] = kHex[m_digest[i] & 15];
    }
    m_hex[32] = 0;
    memset(m_buffer, 0, sizeof m_buffer);
    m_bFinalized = 1;
}

const unsigned char* CMD5::raw_digest()
{
    finalize();
    return m_digest;
}

const char* CMD5::hex_digest()
{
    finalize();
    return m_hex;
}

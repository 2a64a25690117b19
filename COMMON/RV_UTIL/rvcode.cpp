#include "rvcode.h"

#include "rvdebug.h"
#include "rvstring.h"

#include <string.h>

#include <new>

namespace {

// ---- Tables --------------------------------------------------------------
// Everything derives from GF(2^8) arithmetic modulo x^8 + x^4 + x^3 + x + 1.

constexpr uint8_t XTime(uint8_t a)
{
    return (uint8_t)((a << 1) ^ ((a & 0x80) ? 0x1B : 0));
}

struct Tables
{
    uint8_t alog[256];      // powers of the generator 3
    uint8_t log[256];
    uint8_t S[256];
    uint8_t Si[256];
    uint32_t T[8][256];     // T1..T4 cipher rounds, T5..T8 inverse rounds
    uint32_t U[4][256];     // InvMixColumns of a round key word
    uint8_t rcon[30];
    int shifts[3][4];       // ShiftRows offsets for 4, 6 and 8 columns
};

constexpr uint8_t Mul(const Tables& t, uint8_t a, uint8_t b)
{
    return (a && b) ? t.alog[(t.log[a] + t.log[b]) % 255] : 0;
}

constexpr uint32_t Word(uint8_t b0, uint8_t b1, uint8_t b2, uint8_t b3)
{
    return (uint32_t)b0 << 24 | (uint32_t)b1 << 16 | (uint32_t)b2 << 8 | b3;
}

constexpr uint32_t RotateRight(uint32_t w, int n)
{
    return (w >> n) | (w << (32 - n));
}

constexpr Tables MakeTables()
{
    Tables t{};
    uint8_t x = 1;
    for (int i = 0; i < 256; ++i) {
        t.alog[i] = x;
        x = (uint8_t)(x ^ XTime(x));    // times 3
    }
    for (int i = 0; i < 255; ++i)
        t.log[t.alog[i]] = (uint8_t)i;

    for (int i = 0; i < 256; ++i) {
        // Multiplicative inverse (0 for 0), then the affine map.
        uint8_t inv = i ? t.alog[(255 - t.log[i]) % 255] : 0;
        uint8_t s = inv;
        for (int r = 1; r <= 4; ++r)
            s ^= (uint8_t)((inv << r) | (inv >> (8 - r)));
        s ^= 0x63;
        t.S[i] = s;
        t.Si[s] = (uint8_t)i;
    }

    for (int i = 0; i < 256; ++i) {
        uint8_t s = t.S[i], si = t.Si[i], v = (uint8_t)i;
        // MixColumns weights (2 1 1 3) applied to one input byte, and InvMixColumns (e 9 d b).
        uint32_t enc = Word(Mul(t, 2, s), s, s, Mul(t, 3, s));
        uint32_t dec = Word(Mul(t, 14, si), Mul(t, 9, si), Mul(t, 13, si), Mul(t, 11, si));
        uint32_t key = Word(Mul(t, 14, v), Mul(t, 9, v), Mul(t, 13, v), Mul(t, 11, v));
        for (int r = 0; r < 4; ++r) {
            t.T[r][i] = r ? RotateRight(enc, 8 * r) : enc;
            t.T[4 + r][i] = r ? RotateRight(dec, 8 * r) : dec;
            t.U[r][i] = r ? RotateRight(key, 8 * r) : key;
        }
    }

    uint8_t r = 1;
    for (int i = 0; i < 30; ++i) {
        t.rcon[i] = r;
        r = XTime(r);
    }

    const int shifts[3][4] = {{0, 1, 2, 3}, {0, 1, 2, 3}, {0, 1, 3, 4}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            t.shifts[i][j] = shifts[i][j];
    return t;
}

constexpr Tables kTables = MakeTables();

static_assert(kTables.S[0x00] == 0x63 && kTables.S[0x53] == 0xED, "S-box");
static_assert(kTables.Si[0x63] == 0x00, "inverse S-box");
static_assert(kTables.rcon[9] == 0x36, "round constants");

inline uint32_t Load(const unsigned char* p)
{
    return Word(p[0], p[1], p[2], p[3]);
}

inline int IsValidSize(int n)
{
    return n == 16 || n == 24 || n == 32;
}

// The general rounds keep the state as bytes, a[row][column], where input
// byte 4 * column + row lands; nb is the number of columns.
typedef uint8_t ByteState[4][CRVCode::MAX_BLOCK_SIZE / 4];

inline void ToState(const unsigned char* p, int nb, ByteState a)
{
    for (int c = 0; c < nb; ++c)
        for (int i = 0; i < 4; ++i)
            a[i][c] = p[4 * c + i];
}

inline void FromState(const ByteState a, int nb, unsigned char* p)
{
    for (int c = 0; c < nb; ++c)
        for (int i = 0; i < 4; ++i)
            p[4 * c + i] = a[i][c];
}

// k: one round's key, a word per column with row 0 in the top byte. The rows
// are written out: GCC compiles the loop form some 15% slower.
inline void AddRoundKey(ByteState a, const uint32_t* k, int nb)
{
    for (int c = 0; c < nb; ++c) {
        a[0][c] ^= (uint8_t)(k[c] >> 24);
        a[1][c] ^= (uint8_t)(k[c] >> 16);
        a[2][c] ^= (uint8_t)(k[c] >> 8);
        a[3][c] ^= (uint8_t)k[c];
    }
}

// x times the constant w in GF(2^8); times 1 costs nothing.
template <uint8_t w>
inline uint8_t Times(uint8_t x)
{
    return w == 1 ? x : Mul(kTables, w, x);
}

// Each column times the circulant matrix whose first row is (w0 w1 w2 w3):
// (2 3 1 1) is MixColumns, (e b d 9) InvMixColumns.
template <uint8_t w0, uint8_t w1, uint8_t w2, uint8_t w3>
inline void MixColumns(ByteState a, int nb)
{
    for (int c = 0; c < nb; ++c) {
        uint8_t col[4] = {a[0][c], a[1][c], a[2][c], a[3][c]};
        for (int i = 0; i < 4; ++i)
            a[i][c] = (uint8_t)(Times<w0>(col[i]) ^ Times<w1>(col[(i + 1) & 3]) ^ Times<w2>(col[(i + 2) & 3]) ^
                                Times<w3>(col[(i + 3) & 3]));
    }
}

typedef uint32_t Table[256];

// One 16-byte block through the table-driven rounds, for either direction:
// the round keys K, the four round tables T1..T4 and the last round's S-box.
// Row i of a column is taken from the column i * kStep places on: kStep 1
// shifts the rows as the cipher does, kStep 3 (one back) as its inverse does.
template <int kStep>
inline void TableRounds(const uint32_t (*K)[CRVCode::MAX_BLOCK_SIZE / 4], int iRounds, const Table& T1,
                        const Table& T2, const Table& T3, const Table& T4, const uint8_t* S,
                        const unsigned char* pIn, unsigned char* pOut)
{
    uint32_t s[4], t[4];
    for (int c = 0; c < 4; ++c)
        s[c] = Load(pIn + 4 * c) ^ K[0][c];
    for (int r = 1; r < iRounds; ++r) {
        // SubBytes, ShiftRows and MixColumns (or their inverses) in four lookups.
        for (int c = 0; c < 4; ++c)
            t[c] = T1[s[c] >> 24] ^ T2[(s[(c + kStep) & 3] >> 16) & 0xFF] ^
                   T3[(s[(c + 2 * kStep) & 3] >> 8) & 0xFF] ^ T4[s[(c + 3 * kStep) & 3] & 0xFF] ^ K[r][c];
        memcpy(s, t, sizeof s);
    }
    for (int c = 0; c < 4; ++c) {
        uint32_t k = K[iRounds][c];
        pOut[4 * c] = (unsigned char)(S[s[c] >> 24] ^ (k >> 24));
        pOut[4 * c + 1] = (unsigned char)(S[(s[(c + kStep) & 3] >> 16) & 0xFF] ^ (k >> 16));
        pOut[4 * c + 2] = (unsigned char)(S[(s[(c + 2 * kStep) & 3] >> 8) & 0xFF] ^ (k >> 8));
        pOut[4 * c + 3] = (unsigned char)(S[s[(c + 3 * kStep) & 3] & 0xFF] ^ k);
    }
}

}  // namespace

const uint8_t (&CRVCode::sm_alog)[256] = kTables.alog;
const uint8_t (&CRVCode::sm_log)[256] = kTables.log;
const uint8_t (&CRVCode::sm_S)[256] = kTables.S;
const uint8_t (&CRVCode::sm_Si)[256] = kTables.Si;
const uint32_t (&CRVCode::sm_T1)[256] = kTables.T[0];
const uint32_t (&CRVCode::sm_T2)[256] = kTables.T[1];
const uint32_t (&CRVCode::sm_T3)[256] = kTables.T[2];
const uint32_t (&CRVCode::sm_T4)[256] = kTables.T[3];
const uint32_t (&CRVCode::sm_T5)[256] = kTables.T[4];
const uint32_t (&CRVCode::sm_T6)[256] = kTables.T[5];
const uint32_t (&CRVCode::sm_T7)[256] = kTables.T[6];
const uint32_t (&CRVCode::sm_T8)[256] = kTables.T[7];
const uint32_t (&CRVCode::sm_U1)[256] = kTables.U[0];
const uint32_t (&CRVCode::sm_U2)[256] = kTables.U[1];
const uint32_t (&CRVCode::sm_U3)[256] = kTables.U[2];
const uint32_t (&CRVCode::sm_U4)[256] = kTables.U[3];
const uint8_t (&CRVCode::sm_rcon)[30] = kTables.rcon;
const int (&CRVCode::sm_shifts)[3][4] = kTables.shifts;
const unsigned char CRVCode::sm_chain0[MAX_BLOCK_SIZE] = {};

CRVCode::CRVCode()
    : m_bKeySet(0), m_iKeyLength(0), m_iBlockSize(0), m_iRounds(0)
{
    memset(m_Ke, 0, sizeof m_Ke);
    memset(m_Kd, 0, sizeof m_Kd);
    memset(m_chain0, 0, sizeof m_chain0);
    memset(m_chain, 0, sizeof m_chain);
}

CRVCode::~CRVCode()
{
    // Do not leave key material behind in freed memory.
    volatile unsigned char* p = reinterpret_cast<volatile unsigned char*>(m_Ke);
    for (size_t i = 0; i < sizeof m_Ke; ++i)
        p[i] = 0;
    p = reinterpret_cast<volatile unsigned char*>(m_Kd);
    for (size_t i = 0; i < sizeof m_Kd; ++i)
        p[i] = 0;
}

// ---- Key schedule --------------------------------------------------------

int CRVCode::MakeKey(const unsigned char* pKey, const unsigned char* pChain, int iKeyLength, int iBlockSize)
{
    m_bKeySet = 0;
    if (!pKey || !IsValidSize(iKeyLength) || !IsValidSize(iBlockSize)) {
        AssertDlg(__FILE__, __LINE__, iKeyLength);
        return 0;
    }
    m_iKeyLength = iKeyLength;
    m_iBlockSize = iBlockSize;
    const int nk = iKeyLength / 4, nb = iBlockSize / 4;
    m_iRounds = (nk > nb ? nk : nb) + 6;
    memcpy(m_chain0, pChain ? pChain : sm_chain0, iBlockSize);
    memcpy(m_chain, m_chain0, iBlockSize);

    // The expanded key as one run of words, FIPS-197 section 5.2; Rijndael
    // uses the same rule for every block size.
    const int total = nb * (m_iRounds + 1);
    uint32_t w[(MAX_ROUNDS + 1) * (MAX_BLOCK_SIZE / 4)];
    for (int i = 0; i < nk; ++i)
        w[i] = Load(pKey + 4 * i);
    for (int i = nk; i < total; ++i) {
        uint32_t t = w[i - 1];
        if (i % nk == 0) {
            t = Word(sm_S[(t >> 16) & 0xFF], sm_S[(t >> 8) & 0xFF], sm_S[t & 0xFF], sm_S[t >> 24]) ^
                (uint32_t)sm_rcon[i / nk - 1] << 24;
        } else if (nk > 6 && i % nk == 4) {
            t = Word(sm_S[t >> 24], sm_S[(t >> 16) & 0xFF], sm_S[(t >> 8) & 0xFF], sm_S[t & 0xFF]);
        }
        w[i] = w[i - nk] ^ t;
    }
    for (int r = 0; r <= m_iRounds; ++r)
        for (int c = 0; c < nb; ++c)
            m_Ke[r][c] = w[r * nb + c];

    // Decryption keys for the equivalent inverse cipher: reversed order, with
    // InvMixColumns applied to the inner rounds.
    for (int r = 0; r <= m_iRounds; ++r) {
        for (int c = 0; c < nb; ++c) {
            uint32_t k = m_Ke[m_iRounds - r][c];
            if (r > 0 && r < m_iRounds)
                k = sm_U1[k >> 24] ^ sm_U2[(k >> 16) & 0xFF] ^ sm_U3[(k >> 8) & 0xFF] ^ sm_U4[k & 0xFF];
            m_Kd[r][c] = k;
        }
    }
    m_bKeySet = 1;
    return 1;
}

void CRVCode::ResetChain()
{
    memcpy(m_chain, m_chain0, sizeof m_chain);
}

// ---- One block -----------------------------------------------------------

int CRVCode::EncryptBlock(const unsigned char* pIn, unsigned char* pOut)
{
    if (!m_bKeySet || !pIn || !pOut)
        return 0;
    if (m_iBlockSize == 16)
        AesEncryptBlock(pIn, pOut);
    else
        DefEncryptBlock(pIn, pOut);
    return 1;
}

int CRVCode::DecryptBlock(const unsigned char* pIn, unsigned char* pOut)
{
    if (!m_bKeySet || !pIn || !pOut)
        return 0;
    if (m_iBlockSize == 16)
        AesDecryptBlock(pIn, pOut);
    else
        DefDecryptBlock(pIn, pOut);
    return 1;
}

void CRVCode::AesEncryptBlock(const unsigned char* pIn, unsigned char* pOut)
{
    TableRounds<1>(m_Ke, m_iRounds, sm_T1, sm_T2, sm_T3, sm_T4, sm_S, pIn, pOut);
}

void CRVCode::AesDecryptBlock(const unsigned char* pIn, unsigned char* pOut)
{
    TableRounds<3>(m_Kd, m_iRounds, sm_T5, sm_T6, sm_T7, sm_T8, sm_Si, pIn, pOut);
}

void CRVCode::DefEncryptBlock(const unsigned char* pIn, unsigned char* pOut)
{
    const int nb = m_iBlockSize / 4;
    const int* shift = sm_shifts[(nb - 4) / 2];
    ByteState a, b;
    auto subShift = [&]() {
        for (int i = 0; i < 4; ++i)
            for (int c = 0; c < nb; ++c)
                b[i][c] = sm_S[a[i][(c + shift[i]) % nb]];
        memcpy(a, b, sizeof a);
    };

    ToState(pIn, nb, a);
    AddRoundKey(a, m_Ke[0], nb);
    for (int r = 1; r < m_iRounds; ++r) {
        subShift();
        MixColumns<2, 3, 1, 1>(a, nb);
        AddRoundKey(a, m_Ke[r], nb);
    }
    subShift();
    AddRoundKey(a, m_Ke[m_iRounds], nb);
    FromState(a, nb, pOut);
}

// The plain inverse cipher, using the encryption round keys backwards.
void CRVCode::DefDecryptBlock(const unsigned char* pIn, unsigned char* pOut)
{
    const int nb = m_iBlockSize / 4;
    const int* shift = sm_shifts[(nb - 4) / 2];
    ByteState a, b;
    auto invShiftSub = [&]() {
        for (int i = 0; i < 4; ++i)
            for (int c = 0; c < nb; ++c)
                b[i][(c + shift[i]) % nb] = sm_Si[a[i][c]];
        memcpy(a, b, sizeof a);
    };

    ToState(pIn, nb, a);
    AddRoundKey(a, m_Ke[m_iRounds], nb);
    for (int r = m_iRounds - 1; r >= 1; --r) {
        invShiftSub();
        AddRoundKey(a, m_Ke[r], nb);
        MixColumns<14, 11, 13, 9>(a, nb);
    }
    invShiftSub();
    AddRoundKey(a, m_Ke[0], nb);
    FromState(a, nb, pOut);
}

// ---- Modes ---------------------------------------------------------------

int CRVCode::Encrypt(const unsigned char* pIn, unsigned char* pOut, unsigned int n, int iMode)
{
    return Run(pIn, pOut, n, iMode, 1);
}

int CRVCode::Decrypt(const unsigned char* pIn, unsigned char* pOut, unsigned int n, int iMode)
{
    return Run(pIn, pOut, n, iMode, 0);
}

int CRVCode::Run(const unsigned char* pIn, unsigned char* pOut, unsigned int n, int iMode, int bEncrypt)
{
    if (!m_bKeySet || !pIn || !pOut || n == 0 || n % (unsigned int)m_iBlockSize != 0 ||
        (iMode != ECB && iMode != CBC && iMode != CFB)) {
        RV_ASSERT(m_bKeySet);
        return 0;
    }
    const unsigned int bs = (unsigned int)m_iBlockSize;
    unsigned char in[MAX_BLOCK_SIZE], tmp[MAX_BLOCK_SIZE];
    for (unsigned int off = 0; off < n; off += bs) {
        // Copy the input first: pIn and pOut may be one buffer.
        memcpy(in, pIn + off, bs);
        unsigned char* out = pOut + off;
        if (iMode == ECB) {
            if (bEncrypt)
                EncryptBlock(in, out);
            else
                DecryptBlock(in, out);
        } else if (iMode == CBC) {
            if (bEncrypt) {
                for (unsigned int i = 0; i < bs; ++i)
                    tmp[i] = in[i] ^ m_chain[i];
                EncryptBlock(tmp, out);
                memcpy(m_chain, out, bs);
            } else {
                DecryptBlock(in, tmp);
                for (unsigned int i = 0; i < bs; ++i)
                    out[i] = tmp[i] ^ m_chain[i];
                memcpy(m_chain, in, bs);
            }
        } else {
            // CFB over whole blocks: the cipher only ever runs forwards.
            EncryptBlock(m_chain, tmp);
            for (unsigned int i = 0; i < bs; ++i)
                out[i] = in[i] ^ tmp[i];
            memcpy(m_chain, bEncrypt ? out : in, bs);
        }
    }
    return 1;
}

// ---- Text helpers --------------------------------------------------------

unsigned char* CRVCode::MakeBlock(CRVString text, int* piLength, unsigned char bFill)
{
    if (!text.ConvertTo8Bit()) {
        if (piLength)
            *piLength = 0;
        return nullptr;
    }
    return MakeBlock(static_cast<const char*>(text.GetData()), text.GetLength(), piLength, bFill);
}

unsigned char* CRVCode::MakeBlock(const char* pText, int n, int* piLength, unsigned char bFill)
{
    if (!pText || n < 0)
        n = 0;
    if (n > 0x7FFFFFF0) {    // the rounded size would not fit an int
        if (piLength)
            *piLength = 0;
        return nullptr;
    }
    int size = n <= 16 ? 16 : (n + 15) / 16 * 16;
    unsigned char* pBlock = new (std::nothrow) unsigned char[size];
    if (!pBlock) {
        if (piLength)
            *piLength = 0;
        return nullptr;
    }
    if (n)
        memcpy(pBlock, pText, n);
    memset(pBlock + n, bFill, size - n);
    if (piLength)
        *piLength = size;
    return pBlock;
}

int CRVCode::ASCIIToBIN(const char* pszText, unsigned char* pOut, int nOutSize)
{
    if (!pszText || !pOut)
        return 0;
    int n = 0;
    while (n < nOutSize) {
        int hi = HexDigit(pszText[2 * n]);
        if (hi < 0)
            break;
        int lo = HexDigit(pszText[2 * n + 1]);     // the terminator is not a digit
        if (lo < 0)
            break;
        pOut[n++] = (unsigned char)(hi << 4 | lo);
    }
    return n;
}

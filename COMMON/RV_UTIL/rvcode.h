// CRVCode: the Rijndael block cipher (for 16-byte blocks, AES of FIPS-197),
// used for the login's challenge and response; plus the small helpers that
// turn text into key and data blocks.
//
// Key and block sizes are 16, 24 or 32 bytes each. Encrypt and Decrypt run
// ECB, CBC or CFB (full-block feedback) over whole blocks, carrying the chain
// block from call to call; ResetChain goes back to the chain given to MakeKey.
//
// This header also brings in the other codecs of the engine, Base64Coder and
// CMD5.
#pragma once

#include "rvbase64.h"
#include "rvmd5.h"

#include <stdint.h>

class CRVString;

class CRVCode
{
public:
    enum { ECB = 0, CBC = 1, CFB = 2 };
    enum { MAX_BLOCK_SIZE = 32, MAX_ROUNDS = 14 };

    CRVCode();
    ~CRVCode();

    // Expands the key. iKeyLength and iBlockSize must each be 16, 24 or 32;
    // anything else fails (0) and leaves the object without a key. pChain
    // holds iBlockSize bytes (null: all zero). 1 on success.
    int MakeKey(const unsigned char* pKey, const unsigned char* pChain = sm_chain0,
                int iKeyLength = 16, int iBlockSize = 16);
    // Back to the chain block given to MakeKey.
    void ResetChain();

    // One block of the block size; 0 without a key.
    int EncryptBlock(const unsigned char* pIn, unsigned char* pOut);
    int DecryptBlock(const unsigned char* pIn, unsigned char* pOut);

    // n bytes, a non-zero multiple of the block size, in mode ECB, CBC or CFB.
    // pIn and pOut may be the same buffer. 1 on success; 0 (nothing written)
    // without a key, for a bad length or an unknown mode.
    int Encrypt(const unsigned char* pIn, unsigned char* pOut, unsigned int n, int iMode = ECB);
    int Decrypt(const unsigned char* pIn, unsigned char* pOut, unsigned int n, int iMode = ECB);

    int GetKeyLength() const { return m_bKeySet ? m_iKeyLength : 0; }
    int GetBlockSize() const { return m_bKeySet ? m_iBlockSize : 0; }
    int GetRounds() const { return m_bKeySet ? m_iRounds : 0; }

    // A new block holding the text's 8-bit characters, padded with bFill up to
    // the next multiple of 16 bytes (at least 16). Stores the length in
    // *piLength and returns the block, which the caller frees with delete[].
    // Null (length 0) if the text has characters above 255.
    static unsigned char* MakeBlock(CRVString text, int* piLength, unsigned char bFill);
    // The same for n raw bytes.
    static unsigned char* MakeBlock(const char* pText, int n, int* piLength, unsigned char bFill);

    // Converts pairs of hexadecimal digits ("0a1B...") to bytes, stopping at
    // the end of the text, at the first pair that is not two hex digits, or
    // when nOutSize bytes are written. Returns the number of bytes written.
    static int ASCIIToBIN(const char* pszText, unsigned char* pOut, int nOutSize);

    // An all-zero chain for any block size.
    static const unsigned char sm_chain0[MAX_BLOCK_SIZE];

private:
    // The general Rijndael rounds, for any block size.
    void DefEncryptBlock(const unsigned char* pIn, unsigned char* pOut);
    void DefDecryptBlock(const unsigned char* pIn, unsigned char* pOut);
    // The table-driven AES rounds, for 16-byte blocks.
    void AesEncryptBlock(const unsigned char* pIn, unsigned char* pOut);
    void AesDecryptBlock(const unsigned char* pIn, unsigned char* pOut);
    int Run(const unsigned char* pIn, unsigned char* pOut, unsigned int n, int iMode, int bEncrypt);

    // The standard Rijndael tables, computed at compile time (rvcode.cpp).
    static const uint8_t (&sm_alog)[256];
    static const uint8_t (&sm_log)[256];
    static const uint8_t (&sm_S)[256];
    static const uint8_t (&sm_Si)[256];
    static const uint32_t (&sm_T1)[256], (&sm_T2)[256], (&sm_T3)[256], (&sm_T4)[256];
    static const uint32_t (&sm_T5)[256], (&sm_T6)[256], (&sm_T7)[256], (&sm_T8)[256];
    static const uint32_t (&sm_U1)[256], (&sm_U2)[256], (&sm_U3)[256], (&sm_U4)[256];
    static const uint8_t (&sm_rcon)[30];
    static const int (&sm_shifts)[3][4];

    int m_bKeySet;
    int m_iKeyLength;
    int m_iBlockSize;
    int m_iRounds;
    // Round keys as big-endian words, MAX_BLOCK_SIZE / 4 per round.
    uint32_t m_Ke[MAX_ROUNDS + 1][MAX_BLOCK_SIZE / 4];
    uint32_t m_Kd[MAX_ROUNDS + 1][MAX_BLOCK_SIZE / 4];
    unsigned char m_chain0[MAX_BLOCK_SIZE];
    unsigned char m_chain[MAX_BLOCK_SIZE];
};

#include "rvbase64.h"

#include <string.h>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

struct DecodeTable
{
    unsigned char value[256];
};

// Built at compile time, so concurrent first uses cannot race.
constexpr DecodeTable MakeDecodeTable()
{
    DecodeTable t{};
    for (int i = 0; i < 64; ++i)
        t.value[(unsigned char)kAlphabet[i]] = (unsigned char)i;
    return t;   // everything else stays 0
}

constexpr DecodeTable kDecode = MakeDecodeTable();

}  // namespace

Base64Coder::Base64Coder()
    : m_decoded(1, 0)
{
}

Base64Coder::~Base64Coder() = default;

void Base64Coder::Encode(const unsigned char* pData, unsigned int nSize)
{
    m_encoded.clear();
    if (!pData)
        nSize = 0;
    m_encoded.reserve((nSize + 2) / 3 * 4);
    unsigned int i = 0;
    for (; i + 3 <= nSize; i += 3) {
        unsigned int v = pData[i] << 16 | pData[i + 1] << 8 | pData[i + 2];
        m_encoded += kAlphabet[v >> 18];
        m_encoded += kAlphabet[(v >> 12) & 63];
        m_encoded += kAlphabet[(v >> 6) & 63];
        m_encoded += kAlphabet[v & 63];
    }
    unsigned int rest = nSize - i;
    if (rest) {
        unsigned int v = pData[i] << 16 | (rest == 2 ? pData[i + 1] << 8 : 0);
        m_encoded += kAlphabet[v >> 18];
        m_encoded += kAlphabet[(v >> 12) & 63];
        m_encoded += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        m_encoded += '=';
    }
}

void Base64Coder::Encode(const char* pszText)
{
    Encode(reinterpret_cast<const unsigned char*>(pszText), pszText ? (unsigned int)strlen(pszText) : 0);
}

const char* Base64Coder::EncodedMessage() const
{
    return m_encoded.c_str();
}

unsigned int Base64Coder::EncodedMessageSize() const
{
    return (unsigned int)m_encoded.size();
}

void Base64Coder::Decode(const char* pszText, unsigned int nSize)
{
    if (!pszText)
        nSize = 0;
    // Trailing padding ends the data; "=" anywhere else is just outside the alphabet.
    while (nSize > 0 && pszText[nSize - 1] == '=')
        --nSize;
    // Four characters give three bytes; a final 2 or 3 give 1 or 2; a lone one
    // holds only 6 bits and gives none.
    static const unsigned int kTail[4] = {0, 0, 1, 2};
    unsigned int size = nSize / 4 * 3 + kTail[nSize % 4];
    m_decoded.assign(size + 1, 0);

    unsigned int out = 0;
    unsigned int bits = 0;
    int nBits = 0;
    for (unsigned int i = 0; i < nSize; ++i) {
        bits = (bits << 6 | kDecode.value[(unsigned char)pszText[i]]) & 0xFFFFFF;
        nBits += 6;
        if (nBits >= 8) {
            nBits -= 8;
            if (out < size)     // always true: size counts every whole byte
                m_decoded[out++] = (unsigned char)(bits >> nBits);
        }
    }
}

void Base64Coder::Decode(const char* pszText)
{
    Decode(pszText, pszText ? (unsigned int)strlen(pszText) : 0);
}

const unsigned char* Base64Coder::DecodedMessage() const
{
    return m_decoded.data();
}

unsigned int Base64Coder::DecodedMessageSize() const
{
    return (unsigned int)m_decoded.size() - 1;
}

// Base64Coder: Base64 of RFC 4648 (standard alphabet, "=" padding, no line
// breaks), used for RTSP basic authentication.
//
// The coder keeps the result of its last Encode or Decode. Decoding is
// lenient, as peers' headers demand: characters outside the alphabet count as
// 0 ('A'), trailing "=" end the data, and a final group of fewer than four
// characters is decoded as far as it goes. The output is sized from the input
// before anything is written, so no input can overrun it.
#pragma once

#include <string>
#include <vector>

class Base64Coder
{
public:
    Base64Coder();
    virtual ~Base64Coder();

    void Encode(const unsigned char* pData, unsigned int nSize);
    void Encode(const char* pszText);   // zero-terminated, terminator not encoded
    // The text of the last Encode, zero terminated; never null.
    const char* EncodedMessage() const;
    unsigned int EncodedMessageSize() const;

    void Decode(const char* pszText, unsigned int nSize);
    void Decode(const char* pszText);   // zero-terminated
    // The bytes of the last Decode, followed by a zero byte that is not counted
    // in DecodedMessageSize (so decoded text can be read as a C string); never null.
    const unsigned char* DecodedMessage() const;
    unsigned int DecodedMessageSize() const;

private:
    std::vector<unsigned char> m_decoded;   // bytes plus a terminating zero
    std::string m_encoded;
};

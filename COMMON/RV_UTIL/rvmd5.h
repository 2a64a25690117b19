// CMD5: the MD5 message digest of RFC 1321 (RTSP digest authentication).
//
//     CMD5 md5;                 // ready: the constructor calls init
//     md5.update(data, n);      // as often as needed
//     md5.finalize();
//     md5.hex_digest();         // "d41d8cd98f00b204e9800998ecf8427e" for no input
#pragma once

#include <stdint.h>

class CMD5
{
public:
    CMD5();

    // Starts a new digest.
    void init();
    // Adds n bytes; ignored (and reported) once the digest is finalised.
    void update(const unsigned char* pData, unsigned int n);
    void update(const char* pszText);   // zero-terminated text, without the terminator
    // Pads, appends the length and fixes the digest; later calls do nothing.
    void finalize();

    // The 16 digest bytes and their 32 lowercase hexadecimal digits (zero
    // terminated). Both finalise the digest first if that was not done; the
    // buffers belong to the object and stay valid until init.
    const unsigned char* raw_digest();
    const char* hex_digest();

private:
    void Transform(const unsigned char* pBlock);

    uint32_t m_state[4];
    uint64_t m_nBits;           // message length so far, in bits
    unsigned char m_buffer[64]; // the partly filled input block
    unsigned char m_digest[16];
    char m_hex[33];
    int m_bFinalized;
};

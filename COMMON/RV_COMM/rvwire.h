// The frame header of the controller link and the little-endian value access
// shared by the message record and the raw packing helpers.
//
// A frame is an 8-byte header followed by exactly `length` data bytes; frames
// follow each other on the stream with nothing in between. Every multi-byte
// value is little-endian. Frames sit at any offset of a receive buffer, so all
// access goes through memcpy and never through a cast pointer.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <string.h>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "the wire is little-endian and values are stored without swapping");

// The header as it lies on the wire (and at the start of every message block).
struct RVT_HEADER
{
    short sSenderID;        // sink that asked; 0 nobody in particular; 0x7FFF every sink
    short sMessageID;       // what the message is
    unsigned int uLength;   // data bytes after the header, the header not counted
};
static_assert(sizeof(RVT_HEADER) == 8, "RVT_HEADER is the 8-byte wire header");

#define RV_HEADER_SIZE 8
// No message carries more data bytes than this.
#define RV_MAX_MSG_DATA 1000000u
// String count word: bit 31 marks UTF-16 characters, bits 0-30 the byte count.
#define RV_STRING_WIDE 0x80000000u

inline unsigned short RVLoad16(const unsigned char* p)
{
    unsigned short v;
    memcpy(&v, p, 2);
    return v;
}

inline unsigned int RVLoad32(const unsigned char* p)
{
    unsigned int v;
    memcpy(&v, p, 4);
    return v;
}

inline unsigned long long RVLoad64(const unsigned char* p)
{
    unsigned long long v;
    memcpy(&v, p, 8);
    return v;
}

inline void RVStore16(unsigned char* p, unsigned short v) { memcpy(p, &v, 2); }
inline void RVStore32(unsigned char* p, unsigned int v) { memcpy(p, &v, 4); }

// n rounded up to a multiple of 4, computed without wrapping.
inline size_t RVAlign4(size_t n) { return (n + 3) & ~(size_t)3; }

// The header of a frame held at any address.
inline RVT_HEADER RVLoadHeader(const void* pFrame)
{
    RVT_HEADER h;
    memcpy(&h, pFrame, sizeof h);
    return h;
}

inline void RVStoreHeader(void* pFrame, const RVT_HEADER& h) { memcpy(pFrame, &h, sizeof h); }

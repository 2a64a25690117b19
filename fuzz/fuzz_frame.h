// A controller frame in a heap block of exactly its size, so that a read past
// its data is seen by the address sanitizer. Free it with free().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "fuzz_reader.h"
#include "rvmsg.h"

inline unsigned char* NewExactFrame(short sSender, short sID, const uint8_t* pData, size_t n)
{
    unsigned char* pFrame = static_cast<unsigned char*>(malloc(RV_HEADER_SIZE + n));
    RVT_HEADER h = { sSender, sID, (unsigned int)n };
    RVStoreHeader(pFrame, h);
    if (n)
        memcpy(pFrame + RV_HEADER_SIZE, pData, n);
    return pFrame;
}

// The next frame of a fuzz input: a 16-bit data length, then that many bytes
// (fewer at the end of the input).
inline unsigned char* NextExactFrame(FuzzReader& in, short sSender, short sID)
{
    size_t n = 0;
    const uint8_t* pData = in.Take(in.Word(), &n);
    return NewExactFrame(sSender, sID, pData, n);
}

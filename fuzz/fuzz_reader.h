// Reads a fuzz input as a stream of little values; past the end every read
// gives 0, so a target never needs to check what is left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

struct FuzzReader {
    FuzzReader(const uint8_t* d, size_t n) : data(d), size(n) {}

    const uint8_t* data;
    size_t size;

    uint32_t U32()
    {
        uint32_t v = 0;
        size_t n = size < 4 ? size : 4;
        memcpy(&v, data, n);
        data += n;
        size -= n;
        return v;
    }
    int Int() { return static_cast<int>(U32()); }
    uint8_t Byte()
    {
        if (!size)
            return 0;
        size--;
        return *data++;
    }
    uint16_t Word()
    {
        const uint16_t lo = Byte();
        return static_cast<uint16_t>(lo | Byte() << 8);
    }
    size_t Left() const { return size; }
    bool Done() const { return size == 0; }
    // Up to n bytes; how many were there in *pGot.
    const uint8_t* Take(size_t n, size_t* pGot)
    {
        *pGot = n < size ? n : size;
        const uint8_t* p = data;
        data += *pGot;
        size -= *pGot;
        return p;
    }
};

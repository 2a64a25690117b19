// Integer square root, for the raster code's distances (halo corners, the
// drawing pad's strokes), which are integer and truncating throughout.
#pragma once

#include <stdint.h>

namespace rvisqrt
{
// The digit-by-digit method on any unsigned type.
template <class T> inline T Root(T v, T bit)
{
    T r = 0;
    while (bit > v)
        bit >>= 2;
    while (bit) {
        if (v >= r + bit) {
            v -= r + bit;
            r = (r >> 1) + bit;
        } else {
            r >>= 1;
        }
        bit >>= 2;
    }
    return r;
}
}  // namespace rvisqrt

// floor(sqrt(v)) for any value up to 2^128 - 1: a sum of two squared int
// differences can pass 64 bits. Values that fit 64 bits take the faster path.
inline uint64_t RVISqrt(unsigned __int128 v)
{
    if ((v >> 64) == 0)
        return rvisqrt::Root<uint64_t>(static_cast<uint64_t>(v), 1ULL << 62);
    return static_cast<uint64_t>(rvisqrt::Root<unsigned __int128>(v, static_cast<unsigned __int128>(1) << 126));
}

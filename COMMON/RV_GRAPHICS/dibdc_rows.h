// Row kernels of the raster canvas: the inner loops of fills and blends.
//
// They are written with the compiler's generic vector types so that they run
// four pixels per instruction at every optimisation level (the default -O2 of
// GCC does not vectorise loops of unknown length), with a scalar tail that
// computes exactly the same bytes. Loads and stores go through memcpy, so rows
// need no particular alignment.
#pragma once

#include <stdint.h>
#include <string.h>

namespace dibrows
{
typedef uint32_t V4U32 __attribute__((vector_size(16)));
typedef uint16_t V8U16 __attribute__((vector_size(16)));

inline V4U32 Load(const uint32_t* p)
{
    V4U32 v;
    memcpy(&v, p, sizeof(v));
    return v;
}

inline void Store(uint32_t* p, V4U32 v) { memcpy(p, &v, sizeof(v)); }

// n pixels of one colour.
inline void FillRow(uint32_t* p, long n, uint32_t uColor)
{
    const V4U32 c = {uColor, uColor, uColor, uColor};
    long i = 0;
    for (; i + 8 <= n; i += 8) {
        Store(p + i, c);
        Store(p + i + 4, c);
    }
    for (; i < n; i++)
        p[i] = uColor;
}

// The blend of FillRectAlpha with r = alpha * 32 / 255 and g = alpha * 64 / 255
// (both truncated; alpha below 255). Per pixel p and colour c:
//   red, blue = c * r / 32 + p * (32 - r) / 32
//   green     = c * g / 64 + p * (64 - g) / 64
//   alpha     = 0
// each quotient truncated. The colour's share is the same for every pixel, so
// it is computed once; each channel sum stays within 8 bits.
struct AlphaBlend
{
    uint32_t uKeepRB;   // 32 - r
    uint32_t uKeepG;    // 64 - g
    uint32_t uAddRB;    // colour's red and blue share, in place
    uint32_t uAddG;     // colour's green share, shifted down to bits 0..7

    AlphaBlend(uint32_t uColor, int iAlpha)
    {
        uint32_t r = static_cast<uint32_t>(iAlpha) * 32 / 255;
        uint32_t g = static_cast<uint32_t>(iAlpha) * 64 / 255;
        uKeepRB = 32 - r;
        uKeepG = 64 - g;
        uAddRB = ((uColor & 0xFF) * r / 32) | ((((uColor >> 16) & 0xFF) * r / 32) << 16);
        uAddG = ((uColor >> 8) & 0xFF) * g / 64;
    }

    uint32_t Pixel(uint32_t p) const
    {
        uint32_t rb = (((p & 0xFF00FF) * uKeepRB) >> 5) & 0xFF00FF;
        uint32_t g = (((p >> 8) & 0xFF) * uKeepG) >> 6;
        return (rb + uAddRB) | ((g + uAddG) << 8);
    }

    // Red and blue sit in the low 16-bit halves of the 32-bit lanes, green and
    // alpha in the high halves after a shift by 8: every product fits 16 bits
    // (255 * 64), so the whole pixel takes 16-bit multiplies; alpha's
    // multiplier is 0.
    void Row(uint32_t* p, long n) const
    {
        const V8U16 keepRB = {(uint16_t)uKeepRB, (uint16_t)uKeepRB, (uint16_t)uKeepRB, (uint16_t)uKeepRB,
                              (uint16_t)uKeepRB, (uint16_t)uKeepRB, (uint16_t)uKeepRB, (uint16_t)uKeepRB};
        const V8U16 keepG = {(uint16_t)uKeepG, 0, (uint16_t)uKeepG, 0, (uint16_t)uKeepG, 0, (uint16_t)uKeepG, 0};
        const V4U32 addRB = {uAddRB, uAddRB, uAddRB, uAddRB};
        const V4U32 addG = {uAddG, uAddG, uAddG, uAddG};
        long i = 0;
        for (; i + 4 <= n; i += 4) {
            V4U32 v = Load(p + i);
            V8U16 rb = (V8U16)(v & 0x00FF00FF);
            V8U16 ga = (V8U16)((v >> 8) & 0x00FF00FF);
            rb = (rb * keepRB) >> 5;
            ga = (ga * keepG) >> 6;
            Store(p + i, ((V4U32)rb + addRB) | (((V4U32)ga + addG) << 8));
        }
        for (; i < n; i++)
            p[i] = Pixel(p[i]);
    }
};
}  // namespace dibrows

// Small helpers for the canvas tests: building pixels from their bytes and
// reading back what a drawing operation touched.
#pragma once

#include "dibdc.h"

#include <stdint.h>

#include <utility>
#include <vector>

// A pixel from its bytes in memory order: red, green, blue, alpha.
inline uint32_t Px(uint32_t r, uint32_t g, uint32_t b, uint32_t a) { return r | (g << 8) | (b << 16) | (a << 24); }

// Columns of row y holding colour c, as (first, last); (-1, -1) when none.
// Fails the calling test (through the returned flag) when they are not one run.
inline std::pair<int, int> RowSpan(CRVDibDC& dc, int y, uint32_t c, bool* contiguous)
{
    int first = -1, last = -1;
    *contiguous = true;
    for (int x = 0; x < dc.DX(); x++) {
        if (*dc.Pixel(x, y) != c)
            continue;
        if (first < 0)
            first = x;
        else if (last != x - 1)
            *contiguous = false;
        last = x;
    }
    return {first, last};
}

// Every pixel of the allocation, row by row.
inline std::vector<uint32_t> AllPixels(CRVDibDC& dc)
{
    return std::vector<uint32_t>(dc.Bits(), dc.Bits() + static_cast<long>(dc.DX()) * dc.DY());
}

// Pixel values 1, 2, 3 ... in reading order over the logical width.
inline void Number(CRVDibDC& dc)
{
    uint32_t n = 1;
    for (int y = 0; y < dc.DY(); y++)
        for (int x = 0; x < dc.Width(); x++)
            *dc.Pixel(x, y) = n++;
}

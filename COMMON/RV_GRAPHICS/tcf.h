// The compressed image format in which the controller sends every bitmap:
// button faces, icons, backgrounds and the shade maps of shaded primitives.
//
// Layout (little-endian header):
//   0  2      width, 1 to 4096
//   2  2      height, 1 to 4096
//   4  2      reserved (written as 1, never read)
//   6  2      palette entry count P
//   8  4 x P  palette: 32-bit pixels in canvas byte order (R, G, B, A)
//   8 + 4P    code stream of 4-bit units (see tcf_bitstream.h)
//
// Codes: an operation nibble, then its operands. Pixels are produced in raster
// order; runs and literal groups carry on across row ends.
//   op  operands                      effect
//   0   count 4, index 4              run
//   1   count 4, index 8              run
//   2   count 4, index 12             run
//   3   count 8, index 4              run
//   4   count 8, index 12             run
//   5   delta 4                       1 literal
//   6   delta 4, delta 4              2 literals
//   7   delta 8                       1 literal
//   8   delta 8, delta 8              2 literals
//   9   n 4, then n deltas of 4       n literals
//   10  n 4, then n deltas of 8       n literals
//   11  n 8, then n deltas of 8       n literals
//   12  -                             base := 0
//   13  value 8                       base := value
//   14  value 12                      base := value
//   15  -                             end of image
// A run index is absolute; a literal is the palette entry at (base + delta)
// taken as 16 bits. The base starts at 0 for every image.
//
// Reach of the codes: a run names an index up to 4095, a literal one up to
// 4095 + 255. An image with more distinct pixel values than TCF_MAX_COLOURS
// cannot be coded without loss; the encoder refuses it (or, on request,
// reduces the colour depth first, see CompressRGBA).
#pragma once

#include "rvtypes.h"

#include <stdint.h>

#include <vector>

enum
{
    TCF_HEADER_SIZE = 8,
    TCF_MAX_SIDE = 4096,
    TCF_MAX_RUN_INDEX = 4095,                      // widest run index: 12 bits
    TCF_MAX_BASE = 4095,                           // widest base: 12 bits
    TCF_MAX_COLOURS = TCF_MAX_BASE + 255 + 1,      // highest reachable index + 1
    TCF_MAX_RUN = 255,                             // widest run count: 8 bits
};

// An encoded image: bytes and their count. For the decoder the bytes usually
// point into a received message; an encoder result is owned by the caller and
// released with CTAVOImageFormat::FreeImage.
struct RVT_COMPRESSED_IMAGE
{
    const uint8_t* data;
    uint32_t size;
};

class CTAVOImageFormat
{
public:
    // Width and height from the header, for the caller to size the canvas.
    // (0, 0) when the decoder would refuse the header anyway: fewer than 8
    // bytes, a side of 0 or above 4096, or a palette that runs past the data.
    // Checking here keeps a lying header from costing a large canvas.
    static SIZE ExtractImageSize(const RVT_COMPRESSED_IMAGE* pImage);

    // Decodes into pixel (0, 0) at pBits with rows iPitch pixels apart; only
    // columns below the image width are written. 1 on success, 0 on failure:
    // a bad header, a pitch below the width, an index outside the palette,
    // output past the last row, or a code that runs past the data. Pixels
    // written before a failure stay written. The end code ends the image, even
    // when fewer than width x height pixels were written: the rest keep their
    // previous contents, so callers clear the canvas first if that matters.
    // A run or literal group that would pass the last row fails before any of
    // its pixels is written.
    static int DecompressImage(uint32_t* pBits, int iPitch, const RVT_COMPRESSED_IMAGE* pImage);

    // Encodes width x height pixels read at pBits with rows iPitch pixels
    // apart. With bClearTransparent, every pixel whose alpha byte is 0 is coded
    // as 0. On success (1) pResult holds a new buffer of exactly the image's
    // length. 0 for a side outside 1 to 4096, a pitch below the width, or more
    // than TCF_MAX_COLOURS distinct values.
    static int CompressImage(const uint32_t* pBits, int iWidth, int iHeight, int iPitch, int bClearTransparent,
                             RVT_COMPRESSED_IMAGE* pResult);
    // Releases a buffer made by CompressImage and empties the descriptor.
    static void FreeImage(RVT_COMPRESSED_IMAGE* pImage);

    // qsort comparator of palette candidates (TCF_PALETTE_ENTRY): most runs
    // first, so the commonest values get the shortest indexes; equal counts in
    // ascending value order, so the output does not depend on hashing.
    static int PaletteSort(const void* a, const void* b);
};

// A palette candidate: a pixel value and the number of runs that carry it.
struct TCF_PALETTE_ENTRY
{
    uint32_t value;
    uint32_t runs;
};

// Flags of CompressRGBA.
enum
{
    TCF_CLEAR_TRANSPARENT = 1,  // pixels with alpha 0 become 0 (better runs)
    TCF_REDUCE_COLOURS = 2,     // drop low bits of every channel until the colours fit
};

// The encoder as a plain function, for senders of images (the simulated
// controller): iWidth x iHeight pixels of 4 bytes R, G, B, A, rows without
// padding, to the encoded bytes in *pOut. With TCF_REDUCE_COLOURS an image of
// too many colours (a photo) keeps the fewest bits per channel that make it
// fit, each channel's top bits repeated into the dropped ones so that 0 and
// 255 stay as they are; without it such an image fails. 1 on success, 0 on
// failure (*pOut is then empty).
int CompressRGBA(const uint8_t* pRGBA, int iWidth, int iHeight, int iFlags, std::vector<uint8_t>* pOut);

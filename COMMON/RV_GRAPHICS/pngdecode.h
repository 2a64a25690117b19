// CPNGDecoder: PNG files held in memory (graphic-store images, image-surface
// updates) decoded through libpng into an alpha canvas.
//
// Every PNG colour layout comes out as canvas pixels R, G, B, A: palettes and
// grey levels are expanded, 16-bit samples keep their high byte, and grey
// becomes R = G = B. An image with an alpha channel or a transparency chunk
// is premultiplied (alpha flags ALPHA_PREMULTIPLIED); any other image is
// opaque (alpha 255, alpha flags 0). Gamma and colour-space chunks are not
// applied: the controller's images are drawn with the values they carry.
//
// The input comes from the network, so nothing in it is trusted: sides must
// lie within 1 to MAX_SIDE, a read past the end of the bytes fails the
// decode instead of handing libpng stale bytes, and a damaged file (bad CRC,
// bad compressed data, missing end chunk) yields nothing. Failures log one
// line at warn level and leave nothing allocated.
#pragma once

class CAlphaDIB;

// Where libpng reads from: the bytes, their count and the read position.
struct RVT_PNG_SOURCE
{
    const unsigned char* pData;
    int iSize;
    int iPos;
};

class CPNGDecoder
{
public:
    enum { MAX_SIDE = 8000 };

    // The decoded image in a new alpha canvas owned by the caller, or null.
    static CAlphaDIB* CreateDIB(const unsigned char* pData, int iLength);

    // Copies up to iWanted bytes from the source into pOut and advances it;
    // the number copied (less than iWanted only at the end of the bytes).
    // libpng's read callback is built on it.
    static int PNGRead(RVT_PNG_SOURCE* pSource, unsigned char* pOut, int iWanted);
};

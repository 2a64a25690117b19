// H.264 decoding: the picture record a video decoder fills for the YUV
// render object.
#pragma once

#include "rvrect.h"

// One decoded 4:2:0 picture. Callers zero the whole record first. The planes
// belong to the decoder and stay valid until its next decode, so a render
// object copies them before the decoder runs again. The chroma planes are
// (width + 1) / 2 samples wide and (height + 1) / 2 rows high.
struct RVT_YUV_DATA
{
    RVT_INSETS crop;            // pixels to hide at each edge: left, right, top, bottom
    unsigned char* pY;
    unsigned char* pCb;
    unsigned char* pCr;
    int iUnused[3];
    int iStrideY;               // bytes from one row to the next
    int iStrideCb;
    int iStrideCr;
    int iWidth;                 // pixels
    int iHeight;
};

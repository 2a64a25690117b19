// Decoded-picture records with arbitrary sizes, strides and insets handed to
// the YUV render object, and its texture window and quad computed from
// arbitrary view values. No GL is needed: this is the stream thread's side.
//
// Input: records of 14 little-endian ints: width, height, Y, Cb and Cr
// strides, four crop insets, zoom centre x and y, zoom, orientation and a
// destination size. Each record's planes are heap blocks of exactly the bytes
// the record describes (one byte when that is absurd), so the address
// sanitizer sees any copy that reads more than a record it accepted allows.
#include "yuv.h"

#include <stdint.h>
#include <string.h>

#include <vector>

namespace {

const int FIELDS = 14;
// Largest plane the harness allocates for a record it will see refused anyway.
const long long CAP = 1 << 24;

// Bytes of rows rows of stride bytes whose last holds width bytes; 1 if absurd.
size_t Span(int rows, int stride, int width)
{
    if (rows < 1 || stride < 1 || width < 1)
        return 1;
    long long n = (long long)(rows - 1) * stride + width;
    return n > CAP ? 1 : (size_t)n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CYUVDIB* yuv = new CYUVDIB;
    for (size_t at = 0; at + FIELDS * 4 <= size; at += FIELDS * 4) {
        int v[FIELDS];
        memcpy(v, data + at, sizeof v);
        const int w = v[0], h = v[1];
        const int cw = w > 0 ? (int)(((long long)w + 1) / 2) : 0, ch = h > 0 ? (int)(((long long)h + 1) / 2) : 0;
        std::vector<unsigned char> y(Span(h, v[2], w), 7), cb(Span(ch, v[3], cw), 8), cr(Span(ch, v[4], cw), 9);

        RVT_YUV_DATA pic = RVT_YUV_DATA();
        pic.iWidth = w;
        pic.iHeight = h;
        pic.iStrideY = v[2];
        pic.iStrideCb = v[3];
        pic.iStrideCr = v[4];
        pic.crop = RVT_INSETS{v[5], v[6], v[7], v[8]};
        pic.pY = y.data();
        pic.pCb = cb.data();
        pic.pCr = cr.data();
        yuv->Update(&pic);

        SIZE s = yuv->SourceSize();
        if (s.cx < 0 || s.cx > CYUVDIB::MAX_SIDE || s.cy < 0 || s.cy > CYUVDIB::MAX_SIDE)
            __builtin_trap();

        float window[4], quad[CYUVDIB::QUAD_FLOATS];
        CYUVDIB::TextureWindow(w, h, v[2], pic.crop, v[9], v[10], v[11], window);
        CYUVDIB::BuildQuad(CRVRect(v[9], v[10], v[13], v[13]), v[12], window, quad);
    }
    yuv->Release();
    return 0;
}

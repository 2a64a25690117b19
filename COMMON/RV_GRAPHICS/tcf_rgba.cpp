// The encoder for senders that hold plain RGBA bytes, with an optional colour
// reduction for images (photos) that have more values than the format reaches.
#include "tcf.h"

#include <string.h>

#include <algorithm>

namespace
{
bool FitsPalette(std::vector<uint32_t> pixels)
{
    std::sort(pixels.begin(), pixels.end());
    return std::unique(pixels.begin(), pixels.end()) - pixels.begin() <= TCF_MAX_COLOURS;
}

// Keeps the top iBits of every channel and repeats them into the low bits, so
// that 0 and 255 survive and the levels spread over the whole range.
void KeepTopBits(const std::vector<uint32_t>& from, std::vector<uint32_t>* pTo, int iBits)
{
    uint8_t table[256];
    for (int c = 0; c < 256; c++) {
        unsigned top = static_cast<unsigned>(c) >> (8 - iBits);
        unsigned v = 0;
        for (int pos = 8 - iBits; pos > -iBits; pos -= iBits)
            v |= pos >= 0 ? top << pos : top >> -pos;
        table[c] = static_cast<uint8_t>(v);
    }
    pTo->resize(from.size());
    for (size_t i = 0; i < from.size(); i++) {
        uint8_t b[4];
        memcpy(b, &from[i], 4);
        for (uint8_t& x : b)
            x = table[x];
        memcpy(&(*pTo)[i], b, 4);
    }
}
}  // namespace

int CompressRGBA(const uint8_t* pRGBA, int iWidth, int iHeight, int iFlags, std::vector<uint8_t>* pOut)
{
    if (!pOut)
        return 0;
    pOut->clear();
    if (!pRGBA || iWidth < 1 || iWidth > TCF_MAX_SIDE || iHeight < 1 || iHeight > TCF_MAX_SIDE)
        return 0;

    std::vector<uint32_t> pixels(static_cast<size_t>(iWidth) * iHeight);
    memcpy(pixels.data(), pRGBA, pixels.size() * 4);
    if (iFlags & TCF_CLEAR_TRANSPARENT) {
        for (uint32_t& v : pixels) {
            uint8_t b[4];
            memcpy(b, &v, 4);
            if (b[3] == 0)
                v = 0;
        }
    }
    if ((iFlags & TCF_REDUCE_COLOURS) && !FitsPalette(pixels)) {
        // One bit a channel gives 16 values, so the loop always ends fitting.
        std::vector<uint32_t> reduced;
        for (int iBits = 7; iBits >= 1; iBits--) {
            KeepTopBits(pixels, &reduced, iBits);
            if (FitsPalette(reduced))
                break;
        }
        pixels.swap(reduced);
    }

    RVT_COMPRESSED_IMAGE image;
    if (!CTAVOImageFormat::CompressImage(pixels.data(), iWidth, iHeight, iWidth, 0, &image))
        return 0;
    pOut->assign(image.data, image.data + image.size);
    CTAVOImageFormat::FreeImage(&image);
    return 1;
}

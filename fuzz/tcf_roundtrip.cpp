// Random images through the encoder and back through the decoder. The input
// picks the size, the kind of picture (few colours, hundreds, thousands,
// beyond the format's reach) and the pixels. An image that encodes must
// decode to exactly its pixels (with transparent ones cleared when asked);
// only an image of more than TCF_MAX_COLOURS values may fail to encode, and
// with colour reduction every image encodes.
#include "fuzz_reader.h"
#include "tcf.h"

#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <vector>

namespace
{
const uint32_t kUntouched = 0x5A5A5A5A;

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

uint32_t Hash(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352d;
    x ^= x >> 15;
    x *= 0x846ca68b;
    return x ^ (x >> 16);
}

std::vector<uint32_t> Decode(const std::vector<uint8_t>& bytes, int w, int h)
{
    RVT_COMPRESSED_IMAGE image{bytes.data(), static_cast<uint32_t>(bytes.size())};
    SIZE s = CTAVOImageFormat::ExtractImageSize(&image);
    Check(s.cx == w && s.cy == h);
    const int pitch = (w + 3) / 4 * 4;
    std::vector<uint32_t> buf(static_cast<size_t>(pitch) * h, kUntouched);
    Check(CTAVOImageFormat::DecompressImage(buf.data(), pitch, &image) == 1);
    std::vector<uint32_t> px;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < pitch; x++) {
            uint32_t v = buf[static_cast<size_t>(y) * pitch + x];
            if (x < w)
                px.push_back(v);
            else
                Check(v == kUntouched);
        }
    return px;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzReader in(data, size);
    const int kind = in.Byte() % 4;
    const bool clear = in.Byte() & 1;
    // Kind 2 makes images big enough for more values than the format reaches.
    const int maxSide = kind == 2 ? 128 : 64;
    const int w = 1 + in.Byte() % maxSide, h = 1 + in.Byte() % maxSide;

    std::vector<uint32_t> palette;
    const int colours = kind == 0 ? 1 + in.Byte() % 16 : 1 + (in.Byte() << 8 | in.Byte()) % 600;
    for (int i = 0; i < colours; i++)
        palette.push_back(in.Done() ? Hash(i) : in.U32());
    const uint32_t seed = in.U32(), mask = kind == 2 ? (in.U32() | 0x0F0F0F0F) : 0;

    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < px.size(); i++) {
        switch (kind) {
        case 2: px[i] = Hash(seed + static_cast<uint32_t>(i)) & mask; break;
        case 3: px[i] = in.Done() ? px[i / 2] : in.U32(); break;
        default: {
            // Runs of random length from the palette, some of them long.
            uint8_t b = in.Byte();
            size_t run = b & 0x80 ? (b & 0x7F) * 3 + 1 : 1;
            uint32_t v = palette[(in.Byte() + seed) % palette.size()];
            for (size_t k = 0; k < run && i < px.size(); k++)
                px[i++] = v;
            i--;
        }
        }
    }

    std::vector<uint32_t> expected = px;
    if (clear)
        for (uint32_t& v : expected)
            if ((v >> 24) == 0)
                v = 0;
    std::vector<uint32_t> sorted = expected;
    std::sort(sorted.begin(), sorted.end());
    const size_t distinct = std::unique(sorted.begin(), sorted.end()) - sorted.begin();

    RVT_COMPRESSED_IMAGE image;
    if (CTAVOImageFormat::CompressImage(px.data(), w, h, w, clear, &image)) {
        std::vector<uint8_t> bytes(image.data, image.data + image.size);
        CTAVOImageFormat::FreeImage(&image);
        Check(bytes[6] + (bytes[7] << 8) == static_cast<int>(distinct));
        Check(Decode(bytes, w, h) == expected);
    } else {
        Check(image.data == nullptr);
        Check(distinct > TCF_MAX_COLOURS);
    }

    // Colour reduction: always encodes, and what it encodes is a fixed point.
    std::vector<uint8_t> reduced;
    const int flags = TCF_REDUCE_COLOURS | (clear ? TCF_CLEAR_TRANSPARENT : 0);
    Check(CompressRGBA(reinterpret_cast<const uint8_t*>(px.data()), w, h, flags, &reduced) == 1);
    std::vector<uint32_t> back = Decode(reduced, w, h);
    if (distinct <= TCF_MAX_COLOURS)
        Check(back == expected);
    std::vector<uint8_t> again;
    Check(CompressRGBA(reinterpret_cast<const uint8_t*>(back.data()), w, h, 0, &again) == 1);
    Check(again == reduced);
    return 0;
}

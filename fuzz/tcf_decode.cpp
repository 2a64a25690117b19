// Compressed images as they arrive from the network: arbitrary bytes. Besides
// ASan watching every write, the result (success or failure, and every pixel
// of the destination, pitch columns included) is compared with a plain
// nibble-at-a-time decoder written from the code table alone.
#include "tcf.h"

#include <stdint.h>
#include <string.h>

#include <vector>

namespace
{
const uint32_t kUntouched = 0x5A5A5A5A;
// Larger destinations only slow the run down; the code paths are the same.
const long kMaxPixels = 1 << 20;

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

struct Reference
{
    std::vector<uint8_t> nib;
    size_t pos = 0;

    bool Take(int n, unsigned* v)
    {
        if (pos + n > nib.size())
            return false;
        *v = 0;
        while (n--)
            *v = *v << 4 | nib[pos++];
        return true;
    }
};

// The decoder's contract, spelt out: a code whose operands run past the data,
// whose index is outside the palette or whose pixels would pass the last row
// fails before writing any of its pixels (a literal group stops at its first
// bad index).
int ReferenceDecode(const uint8_t* d, size_t size, uint32_t* px, int pitch)
{
    if (size < 8)
        return 0;
    const long w = d[0] | d[1] << 8, h = d[2] | d[3] << 8, colours = d[6] | d[7] << 8;
    if (w < 1 || w > 4096 || h < 1 || h > 4096 || w > pitch || 8 + 4 * static_cast<size_t>(colours) > size)
        return 0;
    Reference r;
    for (size_t i = 8 + 4 * colours; i < size; i++)
        r.nib.push_back(d[i] >> 4), r.nib.push_back(d[i] & 15);
    const long total = w * h;
    long written = 0;
    unsigned base = 0;
    auto put = [&](unsigned idx) {
        memcpy(&px[(written / w) * pitch + written % w], d + 8 + 4 * idx, 4);
        written++;
    };
    static const int kRunBits[5][2] = {{4, 4}, {4, 8}, {4, 12}, {8, 4}, {8, 12}};
    for (;;) {
        unsigned op, count, idx, n, v;
        int bits;
        if (!r.Take(1, &op))
            return 0;
        if (op <= 4) {
            if (!r.Take(kRunBits[op][0] / 4, &count) || !r.Take(kRunBits[op][1] / 4, &idx))
                return 0;
            if (idx >= colours || written + count > total)
                return 0;
            while (count--)
                put(idx);
            continue;
        }
        switch (op) {
        case 5: n = 1, bits = 4; break;
        case 6: n = 2, bits = 4; break;
        case 7: n = 1, bits = 8; break;
        case 8: n = 2, bits = 8; break;
        case 9: if (!r.Take(1, &n)) return 0; bits = 4; break;
        case 10: if (!r.Take(1, &n)) return 0; bits = 8; break;
        case 11: if (!r.Take(2, &n)) return 0; bits = 8; break;
        case 12: base = 0; continue;
        case 13: if (!r.Take(2, &base)) return 0; continue;
        case 14: if (!r.Take(3, &base)) return 0; continue;
        default: return 1;
        }
        if (r.pos + n * (bits / 4) > r.nib.size() || written + n > total)
            return 0;
        while (n--) {
            r.Take(bits / 4, &v);
            if (((base + v) & 0xFFFF) >= colours)
                return 0;
            put((base + v) & 0xFFFF);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    RVT_COMPRESSED_IMAGE image{data, static_cast<uint32_t>(size)};
    SIZE s = CTAVOImageFormat::ExtractImageSize(&image);
    if (s.cx == 0) {
        // A refused header is refused by the decoder too, before any write.
        uint32_t one = kUntouched;
        Check(CTAVOImageFormat::DecompressImage(&one, 4096, &image) == 0);
        Check(one == kUntouched);
        return 0;
    }
    const int pitch = (s.cx + 3) / 4 * 4;
    if (static_cast<long>(pitch) * s.cy > kMaxPixels)
        return 0;
    const size_t n = static_cast<size_t>(pitch) * s.cy;
    std::vector<uint32_t> got(n, kUntouched), want(n, kUntouched);
    int ok = CTAVOImageFormat::DecompressImage(got.data(), pitch, &image);
    Check(ok == ReferenceDecode(data, size, want.data(), pitch));
    Check(got == want);
    if (s.cx > 1) {
        std::vector<uint32_t> narrow(n, kUntouched);
        Check(CTAVOImageFormat::DecompressImage(narrow.data(), s.cx - 1, &image) == 0);
        Check(narrow == std::vector<uint32_t>(n, kUntouched));
    }
    return 0;
}

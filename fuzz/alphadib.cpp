// The alpha canvas and the drawing pad's map fed with arbitrary sizes, halo
// widths, alphas, rectangles and stroke ends, as the controller's cursor and
// surface messages can make them. ASan catches any write outside the memory;
// the checks trap when an operation leaves its bounds or breaks an invariant.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "dibdc.h"
#include "surf_draw.h"

#include "fuzz_reader.h"

namespace {

struct Reader : FuzzReader {
    using FuzzReader::FuzzReader;

    // Sizes of new canvases and maps stay small so the run stays fast.
    int Small() { return static_cast<int>(Byte() % 70) - 3; }
    // Mostly small values, now and then any int.
    int Param() { return (Byte() & 7) ? static_cast<int>(Byte()) - 20 : Int(); }
};

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

const uint32_t kBack = 0x5A5A5A5A;

// Nothing beyond the logical width (the pitch columns) was written.
void CheckPitch(CAlphaDIB& dc)
{
    for (int y = 0; y < dc.DY(); y++)
        for (int x = dc.Width(); x < dc.DX(); x++)
            Check(*dc.Pixel(x, y) == kBack);
}

void Canvas(Reader& in)
{
    CAlphaDIB dc(in.Small(), in.Small(), in.Int(), in.Int(), 0, in.Byte() & 2);
    if (!dc.IsValid())
        return;
    for (int step = 0; step < 16 && in.size; step++) {
        dc.Fill(kBack);
        switch (in.Byte() % 6) {
        case 0: {
            const int g = in.Param(), x = in.Param(), flags = in.Int(), ai = in.Param(), ao = in.Param();
            const uint32_t c1 = in.U32(), c2 = in.U32();
            const int bFill = in.Byte() & 1;
            dc.CreateHalo(g, x, c1, c2, flags, ai, ao, bFill);
            // The fill covers the whole allocation; rings and corners keep
            // to the image.
            if (!bFill)
                CheckPitch(dc);
            break;
        }
        case 1: {
            for (int y = 0; y < dc.DY(); y++)
                for (int x = 0; x < dc.Width(); x++)
                    *dc.Pixel(x, y) = in.U32();
            dc.SetAlphaFlags(0);
            dc.MakePreMult();
            // A premultiplied channel never exceeds its alpha.
            for (int y = 0; y < dc.Height(); y++)
                for (int x = 0; x < dc.Width(); x++) {
                    const uint32_t p = *dc.Pixel(x, y), a = p >> 24;
                    Check((p & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && ((p >> 16) & 0xFF) <= a);
                }
            CheckPitch(dc);
            break;
        }
        case 2: {
            dc.SetOrigin(in.Int(), in.Int());
            CRVRect r(in.Int(), in.Int(), in.Int(), in.Int());
            dc.FillRectAlpha(r, in.U32(), in.Int());
            CheckPitch(dc);
            break;
        }
        case 3: {
            std::unique_ptr<CRVDibDC> a(dc.CreateSmoothScaledCopy(in.Small(), in.Small(), -1));
            std::unique_ptr<CRVDibDC> b(dc.CreateScaledCopy(in.Small(), in.Small(), 0, 0));
            Check(!a || a->AlphaDIB() == a.get());
            Check(!b || b->AlphaDIB() == b.get());
            break;
        }
        case 4: {
            std::unique_ptr<CRVDibDC> a(dc.CreateFlip(in.Byte() & 1, in.Byte() & 1));
            std::unique_ptr<CRVDibDC> b(dc.CreateScaleDIV(in.Small()));
            std::unique_ptr<CRVDibDC> c(dc.CreateCopy(in.Byte() & 1 ? -1 : static_cast<int>(CRVDibDC::ATTR_GUARD)));
            break;
        }
        default:
            dc.FillRect(in.U32(), in.Int(), in.Int(), in.Int(), in.Int());
            CheckPitch(dc);
            break;
        }
    }
}

void Map(Reader& in)
{
    CAlphaMAP map(in.Small(), in.Small());
    if (!map.IsValid())
        return;
    map.Clear();
    for (int step = 0; step < 16 && in.size; step++) {
        POINT a{in.Param(), in.Param()}, b{in.Param(), in.Param()};
        map.DrawSegment(a, b, in.Param());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in{data, size};
    if (in.Byte() & 1)
        Canvas(in);
    else
        Map(in);
    return 0;
}

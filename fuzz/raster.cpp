// Canvas drawing fed with arbitrary coordinates, sizes, radii and origins, as
// they arrive from the controller's drawing requests. ASan catches any write
// outside the pixels; the checks below trap when an operation touches a pixel
// outside the rectangle it was clipped to.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "dibdc.h"
#include "shadepoly.h"

#include "fuzz_reader.h"

namespace {

struct Reader : FuzzReader {
    using FuzzReader::FuzzReader;

    // Sizes of new canvases stay small so the run stays fast.
    int Small() { return static_cast<int>(Byte() % 70) - 3; }
};

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

const uint32_t kBack = 0x5A5A5A5A;

// Every pixel outside the clip rectangle still holds the background.
void CheckOutside(CRVDibDC& dc, const CRVRect& clip)
{
    for (int y = 0; y < dc.DY(); y++)
        for (int x = 0; x < dc.Width(); x++)
            if (!clip.IsPointInside(x, y))
                Check(*dc.Pixel(x, y) == kBack);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in{data, size};
    std::unique_ptr<CRVDibDC> dc(new CRVDibDC(in.Small(), in.Small(), in.Int(), in.Int(), 0, in.Int()));
    if (!dc->IsValid())
        return 0;
    std::unique_ptr<CRVDibDC> other(new CRVDibDC(in.Small(), in.Small()));
    for (int step = 0; step < 32 && in.size; step++) {
        dc->Fill(kBack);
        const uint8_t op = in.Byte() % 12;
        switch (op) {
        case 0:
            dc->SetOrigin(in.Int(), in.Int());
            break;
        case 1: {
            CRVRect r(in.Int(), in.Int(), in.Int(), in.Int());
            dc->PushClip(in.Byte() & 1 ? &r : nullptr);
            break;
        }
        case 2:
            dc->PopClip();
            break;
        case 3: {
            CRVRect clip = dc->LocalClipRect();
            dc->FillRect(0x11111111, in.Int(), in.Int(), in.Int(), in.Int());
            CheckOutside(*dc, clip);
            break;
        }
        case 4: {
            CRVRect clip = dc->LocalClipRect();
            int x = in.Int(), y = in.Int(), w = in.Int(), h = in.Int();
            int r = in.Int() % 5000;
            dc->FillRoundRect(0x22222222, x, y, w, h, r, in.Byte());
            CheckOutside(*dc, clip);
            break;
        }
        case 5: {
            CRVRect clip = dc->LocalClipRect();
            CRVRect r(in.Int(), in.Int(), in.Int(), in.Int());
            dc->FillRectAlpha(r, in.U32(), in.Int());
            CheckOutside(*dc, clip);
            break;
        }
        case 6:
            dc->FillHZ(0x33333333, in.Int(), in.Int(), in.Int());
            break;
        case 7: {
            CRVRect clip = dc->LocalClipRect();
            int x = in.Int(), y = in.Int(), sx = in.Int(), sy = in.Int(), w = in.Int(), h = in.Int();
            // From the other canvas (background kept outside the clip is
            // checked) or overlapping within this one (bounds only).
            CRVDibDC* src = (in.Byte() & 1) ? dc.get() : other.get();
            if (src == other.get())
                other->Fill(0x44444444);
            dc->BltFromDibDC(x, y, src, sx, sy, w, h, 0);
            if (src != dc.get())
                CheckOutside(*dc, clip);
            break;
        }
        case 8: {
            std::unique_ptr<CRVDibDC> copy(dc->CreateScaledCopy(in.Small(), in.Small(), 0, 0));
            std::unique_ptr<CRVDibDC> smooth(dc->CreateSmoothScaledCopy(in.Small(), in.Small(), -1));
            break;
        }
        case 9: {
            std::unique_ptr<CRVDibDC> flip(dc->CreateFlip(in.Byte() & 1, in.Byte() & 1));
            std::unique_ptr<CRVDibDC> div(dc->CreateScaleDIV(in.Small()));
            break;
        }
        case 10: {
            CPointList arc;
            int r = in.Int() % 3000;
            if (CRVDibDC::CalcArcPoints(&arc, r, in.Byte() & 1)) {
                // The walk never moves left or up.
                for (int i = 1; i < arc.NPoints(); i++)
                    Check(arc.X(i) >= arc.X(i - 1) && arc.Y(i) <= arc.Y(i - 1));
                Check(arc.Y(arc.NPoints() - 1) == 0);
                CRVDibDC::InsetArcPoints(&arc);
            }
            break;
        }
        default: {
            int x = in.Int(), y = in.Int(), w = in.Int(), h = in.Int(), sx = in.Int(), sy = in.Int();
            if (dc->GetSafeDims(x, y, w, h, sx, sy, other.get())) {
                Check(x >= 0 && y >= 0 && w >= 1 && h >= 1 && sx >= 0 && sy >= 0);
                Check((long long)x + w <= dc->Width() && (long long)y + h <= dc->DY());
                Check((long long)sx + w <= other->Width() && (long long)sy + h <= other->DY());
            }
            break;
        }
        }
    }
    return 0;
}

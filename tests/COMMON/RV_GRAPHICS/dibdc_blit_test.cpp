// Copy blits: clipping both ends with GetSafeDims, copies within one canvas in
// both directions, the local clip, the update list and copying by rectangle list.
#include "canvas_probe.h"
#include "dibdc.h"

#include <gtest/gtest.h>

#include <climits>

namespace
{
struct SafeDimsCase
{
    const char* what;
    int x, y, dx, dy, sx, sy;      // in
    int ok;
    int ox, oy, odx, ody, osx, osy;  // out when ok
};

TEST(DibDCBlit, GetSafeDimsTable)
{
    // Destination 10 x 8 (pitch 12), source 6 x 5 (pitch 8): logical widths count.
    const SafeDimsCase cases[] = {
        {"inside both", 1, 2, 3, 2, 0, 1, 1, 1, 2, 3, 2, 0, 1},
        {"destination left of 0 moves the source", -2, -1, 5, 4, 0, 0, 1, 0, 0, 3, 3, 2, 1},
        {"destination past the right edge", 8, 6, 5, 5, 0, 0, 1, 8, 6, 2, 2, 0, 0},
        {"source left of 0 moves the destination", 0, 0, 5, 5, -3, -2, 1, 3, 2, 2, 3, 0, 0},
        {"source past its logical width", 0, 0, 10, 10, 4, 3, 1, 0, 0, 2, 2, 4, 3},
        {"both cut", -1, 0, 20, 20, -1, -1, 1, 0, 1, 6, 5, 0, 0},
        {"nothing left", 0, 0, 5, 5, 6, 0, 0, 0, 0, 0, 0, 0, 0},
        {"zero size", 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {"negative size", 0, 0, -3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {"huge offsets", INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        {"huge negative source", 0, 0, INT_MAX, INT_MAX, INT_MIN, INT_MIN, 0, 0, 0, 0, 0, 0, 0},
        {"huge size from below", INT_MIN, INT_MIN, INT_MAX, INT_MAX, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    CRVDibDC dst(10, 8, 0, 0, 0, 0);
    CRVDibDC src(6, 5, 0, 0, 0, 0);
    for (const SafeDimsCase& c : cases) {
        SCOPED_TRACE(c.what);
        int x = c.x, y = c.y, dx = c.dx, dy = c.dy, sx = c.sx, sy = c.sy;
        ASSERT_EQ(dst.GetSafeDims(x, y, dx, dy, sx, sy, &src), c.ok);
        if (!c.ok)
            continue;
        EXPECT_EQ(x, c.ox);
        EXPECT_EQ(y, c.oy);
        EXPECT_EQ(dx, c.odx);
        EXPECT_EQ(dy, c.ody);
        EXPECT_EQ(sx, c.osx);
        EXPECT_EQ(sy, c.osy);
    }
    int x = 0, y = 0, dx = 1, dy = 1, sx = 0, sy = 0;
    EXPECT_EQ(dst.GetSafeDims(x, y, dx, dy, sx, sy, nullptr), 0);
}

TEST(DibDCBlit, CopyIsVerbatimAndClipped)
{
    CRVDibDC src(4, 3, 0, 0, 0, 0);
    Number(src);
    *src.Pixel(0, 0) = 0x80FFFFFF;   // a half-transparent pixel is copied, not blended
    CRVDibDC dst(6, 4, 0, 0, 0, 0);
    dst.Fill(0);
    dst.BltFromDibDC(3, 2, &src, 0, 0, 4, 3, 0x7FFF);   // flags have no effect
    // Only 3 x 2 fit; logical width 6, so pitch columns 6 and 7 stay 0.
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 8; x++) {
            uint32_t want = (x >= 3 && x < 6 && y >= 2) ? *src.Pixel(x - 3, y - 2) : 0;
            EXPECT_EQ(*dst.Pixel(x, y), want) << x << "," << y;
        }
}

TEST(DibDCBlit, WholeSourceFormUsesTheOrigin)
{
    CRVDibDC src(2, 2);
    Number(src);
    CRVDibDC dst(6, 6, 10, 10, 0, 0);
    dst.Fill(0);
    dst.SetOrigin(13, 12);     // canvas (3, 2)
    dst.BltFromDibDC(&src, 0, 0);
    EXPECT_EQ(*dst.Pixel(3, 2), 1u);
    EXPECT_EQ(*dst.Pixel(4, 2), 2u);
    EXPECT_EQ(*dst.Pixel(3, 3), 3u);
    EXPECT_EQ(*dst.Pixel(4, 3), 4u);
    EXPECT_EQ(*dst.Pixel(2, 2), 0u);
}

TEST(DibDCBlit, OverlappingCopiesWithinOneCanvas)
{
    // Rows 0..9 to rows 5..14 (downward) and back up, then a shift within rows.
    CRVDibDC dc(3, 15, 0, 0, 0, 0);
    Number(dc);
    CRVDibDC original(3, 15);
    original.BltFromDibDC(&dc, 0, 0);

    dc.BltFromDibDC(0, 5, &dc, 0, 0, 3, 10, 0);
    for (int y = 5; y < 15; y++)
        for (int x = 0; x < 3; x++)
            ASSERT_EQ(*dc.Pixel(x, y), *original.Pixel(x, y - 5)) << x << "," << y;

    Number(dc);
    dc.BltFromDibDC(0, 0, &dc, 0, 5, 3, 10, 0);
    for (int y = 0; y < 10; y++)
        for (int x = 0; x < 3; x++)
            ASSERT_EQ(*dc.Pixel(x, y), *original.Pixel(x, y + 5)) << x << "," << y;

    Number(dc);
    dc.BltFromDibDC(1, 0, &dc, 0, 0, 2, 1, 0);     // within one row, to the right
    EXPECT_EQ(*dc.Pixel(1, 0), 1u);
    EXPECT_EQ(*dc.Pixel(2, 0), 2u);
}

TEST(DibDCBlit, LocalClipMovesTheSource)
{
    CRVDibDC src(4, 4);
    Number(src);
    CRVDibDC dst(4, 4, 0, 0, 0, 0);
    dst.Fill(0);
    CRVRect clip(2, 1, 2, 2);
    dst.PushClip(&clip);
    dst.BltFromDibDC(0, 0, &src, 0, 0, 4, 4, 0);
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++) {
            bool inside = x >= 2 && y >= 1 && y < 3;
            EXPECT_EQ(*dst.Pixel(x, y), inside ? *src.Pixel(x, y) : 0u) << x << "," << y;
        }
}

TEST(DibDCBlit, RecordsUpdatesBeforeTheLocalClip)
{
    CRVDibDC src(4, 4);
    Number(src);
    CRVDibDC dst(8, 8, 0, 0, 0, CRVDibDC::ATTR_RECORD_UPDATES);
    EXPECT_EQ(dst.UpdateList(), nullptr);
    CRVRect clip(0, 0, 1, 1);
    dst.PushClip(&clip);
    dst.BltFromDibDC(6, -1, &src, 0, 0, 4, 4, 0);   // 2 x 3 after GetSafeDims
    dst.BltFromDibDC(20, 20, &src, 0, 0, 4, 4, 0);  // nothing: not recorded
    ASSERT_NE(dst.UpdateList(), nullptr);
    ASSERT_EQ(dst.UpdateList()->Count(), 1);
    EXPECT_EQ(dst.UpdateList()->RectAtIndex(0), CRVRect(6, 0, 2, 3));

    CRVDibDC quiet(8, 8, 0, 0, 0, 0);
    quiet.BltFromDibDC(&src, 0, 0);
    EXPECT_EQ(quiet.UpdateList(), nullptr);
}

TEST(DibDCBlit, CopyByRectangleList)
{
    CRVDibDC src(4, 4);
    Number(src);
    CRVDibDC dst(8, 8, 0, 0, 0, 0);
    dst.Fill(0);
    CRectList list;
    list.AddRectDirectDXDY(0, 0, 1, 1);
    list.AddRectDirectDXDY(2, 3, 2, 1);
    dst.BltFromDibDC(&src, 4, 2, &list);
    int n = 0;
    for (uint32_t p : AllPixels(dst))
        n += p != 0;
    EXPECT_EQ(n, 3);
    EXPECT_EQ(*dst.Pixel(4, 2), *src.Pixel(0, 0));
    EXPECT_EQ(*dst.Pixel(6, 5), *src.Pixel(2, 3));
    EXPECT_EQ(*dst.Pixel(7, 5), *src.Pixel(3, 3));
    dst.BltFromDibDC(&src, 0, 0, static_cast<const CRectList*>(nullptr));
    dst.BltFromDibDC(nullptr, 0, 0);
}
}  // namespace

#include "rvrect.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>

#include "rvrect_print.h"

namespace {

struct MutateCase {
    const char* name;
    CRVRect start;
    std::function<void(CRVRect&)> op;
    CRVRect expected;
};

TEST(RVRect, OperationsThatChangeTheRectangle)
{
    const RVT_INSETS insets = {1, 2, 3, 4};  // left, right, top, bottom
    const MutateCase cases[] = {
        {"inset", {10, 10, 20, 20}, [](CRVRect& r) { r.Inset(2, 3); }, {12, 13, 16, 14}},
        {"negative inset grows", {10, 10, 20, 20}, [](CRVRect& r) { r.Inset(-2, -2); }, {8, 8, 24, 24}},
        {"inset by insets", {0, 0, 10, 10}, [&](CRVRect& r) { r.Inset(insets); }, {1, 3, 7, 3}},
        {"offset undoes inset", {12, 13, 16, 14}, [](CRVRect& r) { r.Offset(2, 3); }, {10, 10, 20, 20}},
        {"offset by insets", {1, 3, 7, 3}, [&](CRVRect& r) { r.Offset(insets); }, {0, 0, 10, 10}},
        {"translate", {1, 2, 3, 4}, [](CRVRect& r) { r.Translate(-5, 7); }, {-4, 9, 3, 4}},
        {"center down, width only", {0, 0, 21, 20}, [](CRVRect& r) { r.CenterDownTo(10, 30); }, {5, 0, 10, 20}},
        {"center down, both", {0, 0, 20, 20}, [](CRVRect& r) { r.CenterDownTo(10, 5); }, {5, 8, 10, 5}},
        {"center up, width only", {10, 10, 20, 20}, [](CRVRect& r) { r.CenterUpTo(30, 10); }, {5, 10, 30, 20}},
        {"blend half way", {0, 0, 10, 10}, [](CRVRect& r) { r.BlendWith({100, 100, 20, 20}, 500); }, {50, 50, 15, 15}},
        {"blend at 0", {1, 2, 3, 4}, [](CRVRect& r) { r.BlendWith({100, 100, 20, 20}, 0); }, {1, 2, 3, 4}},
        {"blend at 1000", {1, 2, 3, 4}, [](CRVRect& r) { r.BlendWith({100, 100, 20, 20}, 1000); }, {100, 100, 20, 20}},
        // Integer division truncates toward zero on both sides of the origin.
        {"blend truncates", {-10, 0, 0, 0}, [](CRVRect& r) { r.BlendWith({0, 10, 10, 10}, 333); }, {-6, 3, 3, 3}},
        {"blend overshoots", {0, 0, 10, 10}, [](CRVRect& r) { r.BlendWith({100, 0, 10, 10}, 1100); }, {110, 0, 10, 10}},
        {"flip", {1, 2, 3, 4}, [](CRVRect& r) { r.Flip(); }, {2, 1, 4, 3}},
        {"combine", {0, 0, 10, 10}, [](CRVRect& r) { r.CombineWith({20, 5, 5, 20}); }, {0, 0, 25, 25}},
        {"combine with empty", {0, 0, 10, 10}, [](CRVRect& r) { r.CombineWith({50, 50, 0, 5}); }, {0, 0, 10, 10}},
        {"combine into empty", {-40, -40, 0, 0}, [](CRVRect& r) { r.CombineWith({5, 6, 7, 8}); }, {5, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        CRVRect r = c.start;
        c.op(r);
        EXPECT_EQ(r, c.expected) << c.name;
    }
}

struct BreakOffCase {
    const char* name;
    CRVRect start;
    CRVRect (CRVRect::*op)(int, int);
    CRVRect* (CRVRect::*create)(int, int);
    CRVRect piece;
    CRVRect rest;
};

TEST(RVRect, BreakOffReturnsThePieceAndShrinks)
{
    const BreakOffCase cases[] = {
        {"left", {0, 0, 100, 20}, &CRVRect::BreakOffLeft, &CRVRect::CreateBreakOffLeft, {0, 0, 28, 20}, {30, 0, 70, 20}},
        {"right", {0, 0, 100, 20}, &CRVRect::BreakOffRight, &CRVRect::CreateBreakOffRight, {72, 0, 28, 20}, {0, 0, 70, 20}},
        {"top", {0, 0, 20, 100}, &CRVRect::BreakOffTop, &CRVRect::CreateBreakOffTop, {0, 0, 20, 28}, {0, 30, 20, 70}},
        {"bottom", {0, 0, 20, 100}, &CRVRect::BreakOffBottom, &CRVRect::CreateBreakOffBottom, {0, 72, 20, 28}, {0, 0, 20, 70}},
    };
    for (const auto& c : cases) {
        CRVRect r = c.start;
        EXPECT_EQ((r.*c.op)(30, 2), c.piece) << c.name;
        EXPECT_EQ(r, c.rest) << c.name;

        CRVRect h = c.start;
        std::unique_ptr<CRVRect> piece((h.*c.create)(30, 2));
        ASSERT_TRUE(piece) << c.name;
        EXPECT_EQ(*piece, c.piece) << c.name;
        EXPECT_EQ(h, c.rest) << c.name;

        // Nothing to break off: no piece and no change.
        CRVRect z = c.start;
        EXPECT_EQ((z.*c.create)(0, 0), nullptr) << c.name;
        EXPECT_EQ(z, c.start) << c.name;
    }
}

TEST(RVRect, SplitsSectionsAndAspect)
{
    const CRVRect r(10, 0, 100, 20);
    const CRVRect tall(0, 10, 20, 100);
    const int weights[] = {1, 2, 1};
    const struct {
        const char* name;
        CRVRect got;
        CRVRect expected;
    } cases[] = {
        {"split left", r.CreateSplitLeft(30), {10, 0, 30, 20}},
        {"split left clamps high", r.CreateSplitLeft(200), {10, 0, 100, 20}},
        {"split left clamps low", r.CreateSplitLeft(-5), {10, 0, 0, 20}},
        {"split right", r.CreateSplitRight(30), {80, 0, 30, 20}},
        {"split right clamps", r.CreateSplitRight(500), {10, 0, 100, 20}},
        {"split top", tall.CreateSplitTop(30), {0, 10, 20, 30}},
        {"split bottom", tall.CreateSplitBottom(30), {0, 80, 20, 30}},
        {"x section 0", CRVRect(0, 0, 110, 20).CreateXSection(0, 3, 10), {0, 0, 30, 20}},
        {"x section 1", CRVRect(0, 0, 110, 20).CreateXSection(1, 3, 10), {40, 0, 30, 20}},
        {"x section 2 ends at the edge", CRVRect(0, 0, 110, 20).CreateXSection(2, 3, 10), {80, 0, 30, 20}},
        {"x section of 0 columns", CRVRect(0, 0, 110, 20).CreateXSection(0, 0, 10), {0, 0, 0, 20}},
        {"y section 1", CRVRect(0, 0, 20, 110).CreateYSection(1, 3, 10), {0, 40, 20, 30}},
        {"y section of 0 rows", CRVRect(0, 0, 20, 110).CreateYSection(0, 0, 10), {0, 0, 20, 0}},
        {"weighted 0", CRVRect(0, 0, 110, 20).CreateXSectionWeighted(0, weights, 3, 10), {0, 0, 20, 20}},
        {"weighted 1", CRVRect(0, 0, 110, 20).CreateXSectionWeighted(1, weights, 3, 10), {30, 0, 50, 20}},
        {"weighted 2", CRVRect(0, 0, 110, 20).CreateXSectionWeighted(2, weights, 3, 10), {90, 0, 20, 20}},
        {"weighted out of range", CRVRect(0, 0, 110, 20).CreateXSectionWeighted(3, weights, 3, 10), {0, 0, 0, 20}},
        {"aspect wider", CRVRect(0, 0, 100, 100).ConfineToAspect(16, 9), {0, 22, 100, 56}},
        {"aspect narrower", CRVRect(0, 0, 100, 100).ConfineToAspect(9, 16), {22, 0, 56, 100}},
        {"aspect already right", CRVRect(10, 10, 50, 50).ConfineToAspect(1, 1), {10, 10, 50, 50}},
        {"aspect height 0", CRVRect(10, 10, 50, 0).ConfineToAspect(1, 1), {0, 0, 0, 0}},
        {"aspect ah 0", CRVRect(10, 10, 50, 50).ConfineToAspect(1, 0), {0, 0, 0, 0}},
        // aw = 0 on a zero-width rectangle would divide by zero.
        {"aspect aw 0", CRVRect(10, 10, 0, 50).ConfineToAspect(0, 1), {0, 0, 0, 0}},
        {"intersect", CRVRect(0, 0, 10, 10).IntersectWith({5, 5, 10, 10}), {5, 5, 5, 5}},
        {"intersect inside", CRVRect(0, 0, 10, 10).IntersectWith({2, 3, 4, 5}), {2, 3, 4, 5}},
        {"inset copy", CRVRect(0, 0, 10, 10).CreateInset(1, 2), {1, 2, 8, 6}},
        {"two corners", CX12Rect(2, 3, 11, 7), {2, 3, 10, 5}},
        {"one cell from corners", CX12Rect(4, 4, 4, 4), {4, 4, 1, 1}},
        {"x, y, width, height", CDXYRect(1, 2, 3, 4), {1, 2, 3, 4}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;

    EXPECT_LE(CRVRect(0, 0, 10, 10).IntersectWith({20, 0, 5, 5}).width, 0);
    EXPECT_LE(CRVRect(0, 0, 10, 10).IntersectWith({0, 10, 5, 5}).height, 0);
    RECT e = CRVRect(10, 20, 30, 40).GetRECT();
    EXPECT_EQ(e.left, 10);
    EXPECT_EQ(e.top, 20);
    EXPECT_EQ(e.right, 40);
    EXPECT_EQ(e.bottom, 60);
}

TEST(RVRect, Predicates)
{
    const CRVRect r(10, 10, 5, 5);
    const struct {
        const char* name;
        int got;
        int expected;
    } cases[] = {
        {"point at last cell", r.IsPointInside(POINT{14, 14}), 1},
        {"point past the right", r.IsPointInside(POINT{15, 10}), 0},
        {"point at first cell", r.IsPointInside(10, 10), 1},
        {"point left of it", r.IsPointInside(9, 12), 0},
        {"point in an empty rectangle", CRVRect(10, 10, 0, 5).IsPointInside(10, 10), 0},
        {"contains column", r.ContainsX(14), 1},
        {"column past it", r.ContainsX(15), 0},
        {"contains row", r.ContainsY(10), 1},
        {"overlap of one cell", r.IntersectsWith({14, 14, 10, 10}), 1},
        {"touching edges", r.IntersectsWith({15, 10, 5, 5}), 0},
        {"touching below", r.IntersectsWith({10, 15, 5, 5}), 0},
        {"empty other", r.IntersectsWith({11, 11, 0, 2}), 0},
        {"empty self", CRVRect(11, 11, 2, 0).IntersectsWith(r), 0},
        {"contains itself", r.Contains(r), 1},
        {"contains inner", r.Contains({11, 11, 3, 3}), 1},
        {"does not contain larger", r.Contains({10, 10, 6, 5}), 0},
        {"is inside", CRVRect(11, 11, 3, 3).IsInside(r), 1},
        {"within columns", CRVRect(11, 0, 4, 100).IsWithinXBoundsOf(r), 1},
        {"beyond columns", CRVRect(11, 0, 5, 1).IsWithinXBoundsOf(r), 0},
        {"within rows", CRVRect(0, 10, 100, 5).IsWithinYBoundsOf(r), 1},
        {"same top and bottom", r.SameTopBottom({0, 10, 1, 5}), 1},
        {"different height", r.SameTopBottom({0, 10, 1, 6}), 0},
        {"same left and right", r.SameLeftRight({10, 0, 5, 1}), 1},
        {"equal", r.IsEqualTo({10, 10, 5, 5}), 1},
        {"not equal", r.IsEqualTo({10, 10, 5, 6}), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;
}

// Rectangles come from the controller unchecked. Edges past INT_MAX must not
// wrap: an intersection with a canvas has to stay inside the canvas, so the
// raster code can trust it as a bound for its loops.
TEST(RVRect, ExtremeValuesDoNotWrap)
{
    const CRVRect canvas(0, 0, 640, 480);
    const struct {
        CRVRect hostile;
        CRVRect expected;  // its intersection with the canvas
    } cases[] = {
        {{100, 100, INT_MAX, INT_MAX}, {100, 100, 540, 380}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {0, 0, -1, -1}},
        {{INT_MIN, -5, -1, INT_MAX}, {0, 0, INT_MIN, 480}},
        {{INT_MAX, INT_MAX, INT_MAX, INT_MAX}, {INT_MAX, INT_MAX, 640 - INT_MAX, 480 - INT_MAX}},
        {{-10, -10, INT_MAX, 20}, {0, 0, 640, 10}},
    };
    for (const auto& c : cases) {
        CRVRect i = c.hostile.IntersectWith(canvas);
        EXPECT_EQ(i, c.expected);
        if (!i.IsEmpty()) {
            EXPECT_TRUE(i.IsInside(canvas));
        }
        EXPECT_EQ(c.hostile.IntersectsWith(canvas), !i.IsEmpty());
    }

    // Arithmetic that leaves the int range clamps.
    CRVRect r(INT_MAX - 1, INT_MIN + 1, INT_MAX, INT_MAX);
    r.Translate(10, -10);
    EXPECT_EQ(r.x, INT_MAX);
    EXPECT_EQ(r.y, INT_MIN);
    r.Inset(INT_MIN, INT_MIN);
    EXPECT_EQ(r.width, INT_MAX);
    CRVRect b(INT_MAX, INT_MIN, INT_MAX, 0);
    b.BlendWith(CRVRect(INT_MIN, INT_MAX, 0, INT_MAX), INT_MAX);
    EXPECT_EQ(b, CRVRect(INT_MIN, INT_MAX, INT_MIN, INT_MAX));
    EXPECT_EQ(CX12Rect(INT_MIN, 0, INT_MAX, 0).width, INT_MAX);
    EXPECT_EQ(CRVRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX).GetRECT().right, INT_MAX);
    EXPECT_EQ(CRVRect(0, 0, INT_MIN, 10).CreateXSection(INT_MIN, 1, INT_MIN).x, INT_MAX);
    EXPECT_TRUE(CRVRect(INT_MAX - 1, 0, INT_MAX, 1).ContainsX(INT_MAX));
}

TEST(ClipStack, PushIntersectsPopKeepsTheBase)
{
    CClipStack stack(CRVRect(0, 0, 100, 100));
    EXPECT_EQ(stack.Depth(), 1);
    EXPECT_EQ(stack.Clip(), CRVRect(0, 0, 100, 100));

    EXPECT_EQ(stack.PushClip({50, 50, 100, 100}), 1);
    EXPECT_EQ(stack.Clip(), CRVRect(50, 50, 50, 50));
    EXPECT_EQ(stack.PushClip({0, 0, 60, 60}), 1);
    EXPECT_EQ(stack.Clip(), CRVRect(50, 50, 10, 10));
    EXPECT_EQ(stack.PushClip({200, 200, 10, 10}), 1);
    EXPECT_TRUE(stack.Clip().IsEmpty());
    EXPECT_EQ(stack.PushClip({0, 0, 100, 100}), 1);  // nothing reappears under an empty clip
    EXPECT_TRUE(stack.Clip().IsEmpty());
    EXPECT_EQ(stack.Depth(), 5);

    stack.PopClip();
    stack.PopClip();
    EXPECT_EQ(stack.Clip(), CRVRect(50, 50, 10, 10));
    stack.PopClip();
    stack.PopClip();
    EXPECT_EQ(stack.Depth(), 1);
    stack.PopClip();
    EXPECT_EQ(stack.Depth(), 1);
    EXPECT_EQ(stack.Clip(), CRVRect(0, 0, 100, 100));
}

TEST(ClipStack, DepthLimits)
{
    CClipStack stack(CRVRect(0, 0, 1000, 1000));
    for (int i = 1; i < CClipStack::MAX_DEPTH; ++i)
        ASSERT_EQ(stack.PushClip({i, 0, 1000, 1000}), 1) << i;
    EXPECT_EQ(stack.Depth(), 256);
    EXPECT_EQ(stack.Clip(), CRVRect(255, 0, 745, 1000));
    // The 256th push (depth 257) and any after it are refused and change nothing.
    EXPECT_EQ(stack.PushClip({500, 0, 10, 10}), 0);
    EXPECT_EQ(stack.PushClip({500, 0, 10, 10}), 0);
    EXPECT_EQ(stack.Depth(), 256);
    EXPECT_EQ(stack.Clip(), CRVRect(255, 0, 745, 1000));

    for (int i = 0; i < 300; ++i)
        stack.PopClip();
    EXPECT_EQ(stack.Depth(), 1);
    EXPECT_EQ(stack.Clip(), CRVRect(0, 0, 1000, 1000));
    EXPECT_EQ(stack.PushClip({1, 1, 2, 2}), 1);  // usable again
    EXPECT_EQ(stack.Clip(), CRVRect(1, 1, 2, 2));
}

TEST(ClipStack, OffsetStackMirrorAndScreenClip)
{
    CClipStack stack(CRVRect(0, 0, 100, 100));
    EXPECT_EQ(stack.GLClipDepth(), 0);
    EXPECT_TRUE(stack.GLClip().IsEmpty());
    stack.PopGLClip();  // below empty: nothing happens
    EXPECT_EQ(stack.GLClipDepth(), 0);
    stack.PushClip({10, 10, 20, 20});
    EXPECT_EQ(stack.PushGLClip(5, -5), 1);
    EXPECT_EQ(stack.GLClip(), CRVRect(15, 5, 20, 20));
    for (int i = 1; i < CClipStack::MAX_DEPTH; ++i)
        ASSERT_EQ(stack.PushGLClip(0, 0), 1);
    EXPECT_EQ(stack.PushGLClip(0, 0), 0);
    EXPECT_EQ(stack.GLClipDepth(), 256);
    for (int i = 0; i < 300; ++i)
        stack.PopGLClip();
    EXPECT_EQ(stack.GLClipDepth(), 0);
    EXPECT_EQ(stack.Depth(), 2);  // the two stacks are independent

    EXPECT_EQ(stack.MirrorAlpha(), 0);
    stack.SetMirrorAlpha(128, 300);
    EXPECT_EQ(stack.MirrorAlpha(), 128);
    EXPECT_EQ(stack.MirrorLine(), 300);

    CClipStack::g_iScreenClipX0 = 1;
    CClipStack::g_iScreenClipX1 = 2;
    CClipStack::g_iScreenClipY0 = 3;
    CClipStack::g_iScreenClipY1 = 4;
    CClipStack::ResetClipPlanes();
    EXPECT_EQ(CClipStack::g_iScreenClipX0, -1);
    EXPECT_EQ(CClipStack::g_iScreenClipX1, -1);
    EXPECT_EQ(CClipStack::g_iScreenClipY0, -1);
    EXPECT_EQ(CClipStack::g_iScreenClipY1, -1);
}

TEST(ClipStack, ClipPlanes)
{
    auto side = [](const double p[4], double x, double y, double z) { return p[0] * x + p[1] * y + p[2] * z + p[3]; };
    double plane[4];
    const double a[3] = {0, 0, 5}, b[3] = {1, 0, 5}, c[3] = {0, 1, 5};
    CClipStack::CreateClipPlane(a, b, c, plane);
    EXPECT_DOUBLE_EQ(plane[0], 0);
    EXPECT_DOUBLE_EQ(plane[1], 0);
    EXPECT_DOUBLE_EQ(plane[2], 1);
    EXPECT_DOUBLE_EQ(plane[3], -5);

    CClipStack::CreateClipPlaneVT(10, 1, plane);
    EXPECT_DOUBLE_EQ(side(plane, 10, 37, 0), 0);
    EXPECT_GT(side(plane, 11, 0, 0), 0);
    EXPECT_EQ(plane[1], 0);
    CClipStack::CreateClipPlaneVT(10, 0, plane);
    EXPECT_LT(side(plane, 11, 0, 0), 0);

    CClipStack::CreateClipPlaneHZ(20, 1, plane);
    EXPECT_DOUBLE_EQ(side(plane, 55, 20, 0), 0);
    EXPECT_GT(side(plane, 0, 21, 0), 0);
    EXPECT_EQ(plane[0], 0);
    CClipStack::CreateClipPlaneHZ(20, 0, plane);
    EXPECT_LT(side(plane, 0, 21, 0), 0);
}

}  // namespace

#include "rvrect.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <vector>

#include "rvrect_print.h"

namespace {

using Rects = std::vector<CRVRect>;

CRectList Direct(const Rects& rects)
{
    CRectList list;
    for (const auto& r : rects)
        list.AddRectDirectRef(r);
    return list;
}

// A full list: `first` followed by 1x1 rectangles far away from it.
CRectList FullListAfter(const CRVRect& first, int count = CRectList::MAX_RECTS)
{
    CRectList list;
    list.AddRectDirectRef(first);
    for (int k = 0; list.Count() < count; ++k)
        list.AddRectDirectDXDY(1000 + 2 * k, 1000, 1, 1);
    return list;
}

// Cells of a small window, counted once per entry that covers them.
constexpr int kLo = -8;
constexpr int kHi = 40;
using Grid = std::vector<int>;

Grid Cover(const CRectList& list)
{
    Grid g((kHi - kLo) * (kHi - kLo), 0);
    for (int i = 0; i < list.Count(); ++i) {
        CRVRect r = list.RectAtIndex(i).IntersectWith({kLo, kLo, kHi - kLo, kHi - kLo});
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x)
                ++g[(y - kLo) * (kHi - kLo) + (x - kLo)];
    }
    return g;
}

void Paint(Grid& g, const CRVRect& rect, int value)
{
    CRVRect r = rect.IntersectWith({kLo, kLo, kHi - kLo, kHi - kLo});
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            g[(y - kLo) * (kHi - kLo) + (x - kLo)] = value;
}

TEST(RectList, AppendIndexAndDelete)
{
    CRectList list;
    list.AddRectDirectDXDY(0, 0, 1, 1);
    list.AddRectDirectRef({5, 5, 2, 2});
    list.AddRectDirectDXDY(3, 3, 0, 4);  // empty: ignored
    list.AddRectDirectRef({3, 3, 4, -1});
    list.AddRectDirectDXDY(0, 0, 1, 1);  // overlap is allowed here
    list.AddRectDirectDXDY(9, 9, 1, 1);
    EXPECT_EQ(Entries(list), (Rects{{0, 0, 1, 1}, {5, 5, 2, 2}, {0, 0, 1, 1}, {9, 9, 1, 1}}));
    EXPECT_EQ(list.RectAtIndex(-1), CRVRect());
    EXPECT_EQ(list.RectAtIndex(4), CRVRect());

    list.DeleteRect(1);
    EXPECT_EQ(Entries(list), (Rects{{0, 0, 1, 1}, {0, 0, 1, 1}, {9, 9, 1, 1}}));
    list.DeleteRect(3);  // out of range: nothing happens
    list.DeleteRect(-1);
    list.DeleteRect(2);
    list.DeleteRect(0);
    EXPECT_EQ(Entries(list), (Rects{{0, 0, 1, 1}}));
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

TEST(RectList, CapacityIs256)
{
    for (bool overlapFree : {false, true}) {
        CRectList list;
        for (int i = 0; i < CRectList::MAX_RECTS; ++i) {
            CRVRect r(2 * i, 0, 1, 1);
            overlapFree ? list.AddRectRef(r) : list.AddRectDirectRef(r);
        }
        ASSERT_EQ(list.Count(), 256);
        const Rects before = Entries(list);
        // The 257th rectangle is ignored.
        overlapFree ? list.AddRectRef({600, 0, 1, 1}) : list.AddRectDirectDXDY(600, 0, 1, 1);
        EXPECT_EQ(Entries(list), before);
        // So are empty ones, full list or not.
        list.AddRectRef({600, 0, 0, 1});
        list.DeleteRect(0);
        list.AddRectRef({600, 0, 1, 0});
        list.AddRectDirectDXDY(600, 0, -1, 1);
        EXPECT_EQ(list.Count(), 255);
    }
}

struct SubtractCase {
    const char* name;
    Rects list;
    CRVRect s;
    Rects expected;  // in order
};

TEST(RectList, SubtractPiecesAndOrder)
{
    const SubtractCase cases[] = {
        {"inner hole", {{0, 0, 6, 6}}, {2, 2, 2, 2}, {{0, 2, 2, 2}, {0, 0, 6, 2}, {0, 4, 6, 2}, {4, 2, 2, 2}}},
        {"hole at the left edge", {{0, 0, 6, 6}}, {0, 2, 2, 2}, {{0, 0, 6, 2}, {0, 4, 6, 2}, {2, 2, 4, 2}}},
        {"hole at the top left", {{0, 0, 6, 6}}, {0, 0, 2, 2}, {{0, 2, 6, 4}, {2, 0, 4, 2}}},
        {"hole at the bottom right", {{0, 0, 6, 6}}, {4, 4, 2, 2}, {{0, 4, 4, 2}, {0, 0, 6, 4}}},
        {"exactly one entry", {{20, 20, 1, 1}, {0, 0, 6, 6}}, {0, 0, 6, 6}, {{20, 20, 1, 1}}},
        {"entries inside go", {{0, 0, 2, 2}, {10, 10, 2, 2}, {3, 3, 1, 1}}, {0, 0, 5, 5}, {{10, 10, 2, 2}}},
        {"band across", {{0, 0, 10, 10}}, {-5, 4, 20, 2}, {{0, 0, 10, 4}, {0, 6, 10, 4}}},
        {"band across the bottom", {{0, 0, 10, 10}}, {-5, 6, 20, 10}, {{0, 0, 10, 6}}},
        {"band across the top", {{0, 0, 10, 10}}, {-5, -5, 20, 8}, {{0, 3, 10, 7}}},
        {"band down", {{0, 0, 10, 10}}, {4, -5, 2, 20}, {{0, 0, 4, 10}, {6, 0, 4, 10}}},
        {"band down the left", {{0, 0, 10, 10}}, {-3, -1, 5, 20}, {{2, 0, 8, 10}}},
        {"over the left edge", {{0, 0, 10, 10}}, {-5, 3, 8, 4}, {{3, 3, 7, 4}, {0, 0, 10, 3}, {0, 7, 10, 3}}},
        {"over the right edge", {{0, 0, 10, 10}}, {7, 3, 10, 4}, {{0, 3, 7, 4}, {0, 0, 10, 3}, {0, 7, 10, 3}}},
        {"over the top edge", {{0, 0, 10, 10}}, {3, -5, 4, 8}, {{3, 3, 4, 7}, {0, 0, 3, 10}, {7, 0, 3, 10}}},
        {"over the bottom edge", {{0, 0, 10, 10}}, {3, 7, 4, 10}, {{3, 0, 4, 7}, {0, 0, 3, 10}, {7, 0, 3, 10}}},
        {"over a corner", {{0, 0, 10, 10}}, {6, 6, 10, 10}, {{0, 6, 6, 4}, {0, 0, 10, 6}}},
        {"across two entries",
         {{0, 0, 4, 4}, {4, 0, 4, 4}},
         {2, 1, 4, 2},
         {{0, 1, 2, 2}, {6, 1, 2, 2}, {0, 0, 4, 1}, {0, 3, 4, 1}, {4, 0, 4, 1}, {4, 3, 4, 1}}},
        {"touching only", {{0, 0, 4, 4}}, {4, 0, 4, 4}, {{0, 0, 4, 4}}},
        {"empty", {{0, 0, 4, 4}}, {1, 1, 0, 2}, {{0, 0, 4, 4}}},
    };
    for (const auto& c : cases) {
        CRectList list = Direct(c.list);
        Grid want = Cover(list);
        Paint(want, c.s, 0);
        list.Subtract(c.s);
        EXPECT_EQ(Entries(list), c.expected) << c.name;
        EXPECT_EQ(Cover(list), want) << c.name;
    }
}

struct AddCase {
    const char* name;
    Rects adds;
    Rects expected;  // in order
};

TEST(RectList, AddRectRefMergesAndAvoidsOverlap)
{
    const AddCase cases[] = {
        {"side by side merge", {{0, 0, 10, 10}, {10, 0, 10, 10}}, {{0, 0, 20, 10}}},
        {"merge to the left", {{10, 0, 10, 10}, {0, 0, 10, 10}}, {{0, 0, 20, 10}}},
        {"stacked merge", {{0, 0, 10, 10}, {0, 10, 10, 5}}, {{0, 0, 10, 15}}},
        {"one column apart", {{0, 0, 10, 10}, {11, 0, 10, 10}}, {{0, 0, 10, 10}, {11, 0, 10, 10}}},
        {"different heights", {{0, 0, 10, 10}, {10, 0, 10, 9}}, {{0, 0, 10, 10}, {10, 0, 10, 9}}},
        {"already covered", {{0, 0, 10, 10}, {2, 2, 3, 3}}, {{0, 0, 10, 10}}},
        {"covers the entry", {{2, 2, 3, 3}, {0, 0, 10, 10}}, {{0, 0, 10, 10}}},
        {"covers several", {{2, 2, 3, 3}, {20, 0, 1, 1}, {6, 6, 1, 1}, {0, 0, 10, 10}},
         {{0, 0, 10, 10}, {20, 0, 1, 1}}},
        // The first entry lies inside the new one and a later one overlaps it
        // in part: that one is cut back instead of being left overlapping.
        {"covers one, overlaps the next", {{0, 0, 2, 2}, {5, 0, 10, 2}, {0, 0, 8, 2}}, {{0, 0, 8, 2}, {8, 0, 7, 2}}},
        {"overlap merges after the cut", {{0, 0, 10, 10}, {5, 0, 10, 10}}, {{0, 0, 15, 10}}},
        {"overlap without merge", {{0, 0, 10, 10}, {5, 5, 10, 10}}, {{0, 5, 5, 5}, {0, 0, 10, 5}, {5, 5, 10, 10}}},
        {"empty ignored", {{0, 0, 10, 10}, {3, 3, 0, 0}}, {{0, 0, 10, 10}}},
    };
    for (const auto& c : cases) {
        CRectList list;
        Grid want = Cover(list);
        for (const auto& r : c.adds) {
            list.AddRectRef(r);
            Paint(want, r, 1);
        }
        EXPECT_EQ(Entries(list), c.expected) << c.name;
        EXPECT_EQ(Cover(list), want) << c.name;
    }
}

struct ConsolidateCase {
    const char* name;
    Rects list;
    Rects expected;
};

TEST(RectList, Consolidate)
{
    const ConsolidateCase cases[] = {
        {"neighbours", {{0, 0, 5, 5}, {5, 0, 5, 5}}, {{0, 0, 10, 5}}},
        {"neighbours in reverse", {{5, 0, 5, 5}, {0, 0, 5, 5}}, {{0, 0, 10, 5}}},
        {"one column apart", {{0, 0, 5, 5}, {6, 0, 5, 5}}, {{0, 0, 5, 5}, {6, 0, 5, 5}}},
        {"stacked", {{0, 0, 5, 5}, {0, 5, 5, 5}}, {{0, 0, 5, 10}}},
        {"different heights", {{0, 0, 5, 5}, {5, 0, 5, 6}}, {{0, 0, 5, 5}, {5, 0, 5, 6}}},
        // The grown first entry now meets the one it was compared with before.
        {"rescans after a merge", {{0, 0, 5, 5}, {10, 0, 5, 5}, {5, 0, 5, 5}}, {{0, 0, 15, 5}}},
        {"row then column", {{0, 0, 5, 5}, {5, 0, 5, 5}, {0, 5, 10, 5}}, {{0, 0, 10, 10}}},
        {"others keep their order", {{0, 0, 5, 5}, {20, 20, 1, 1}, {5, 0, 5, 5}, {30, 30, 1, 1}},
         {{0, 0, 10, 5}, {20, 20, 1, 1}, {30, 30, 1, 1}}},
        {"later pair", {{50, 50, 1, 1}, {0, 0, 5, 5}, {0, 5, 5, 5}}, {{50, 50, 1, 1}, {0, 0, 5, 10}}},
    };
    for (const auto& c : cases) {
        CRectList list = Direct(c.list);
        list.Consolidate();
        EXPECT_EQ(Entries(list), c.expected) << c.name;
    }
}

TEST(RectList, SplitBreakOff)
{
    const struct {
        const char* name;
        void (CRectList::*split)(int, int);
        int index;
        int n;
        Rects expected;
    } cases[] = {
        {"top", &CRectList::SplitBreakOffTop, 0, 3, {{0, 3, 10, 7}, {0, 0, 10, 3}}},
        {"bottom", &CRectList::SplitBreakOffBottom, 0, 3, {{0, 0, 10, 7}, {0, 7, 10, 3}}},
        {"left", &CRectList::SplitBreakOffLeft, 0, 3, {{3, 0, 7, 10}, {0, 0, 3, 10}}},
        {"right", &CRectList::SplitBreakOffRight, 0, 3, {{0, 0, 7, 10}, {7, 0, 3, 10}}},
        {"size 0", &CRectList::SplitBreakOffTop, 0, 0, {{0, 0, 10, 10}}},
        {"whole entry", &CRectList::SplitBreakOffLeft, 0, 10, {{0, 0, 10, 10}}},
        {"bad index", &CRectList::SplitBreakOffRight, 1, 3, {{0, 0, 10, 10}}},
    };
    for (const auto& c : cases) {
        CRectList list = Direct({{0, 0, 10, 10}});
        (list.*c.split)(c.index, c.n);
        EXPECT_EQ(Entries(list), c.expected) << c.name;
    }
}

// A full list has no room for the pieces of a cut: the entry stays whole, so
// the list keeps (rather than silently loses) area.
TEST(RectList, FullListNeverLosesArea)
{
    const CRVRect big(0, 0, 10, 10);
    {
        CRectList list = FullListAfter(big);
        const Rects before = Entries(list);
        list.SplitBreakOffTop(0, 3);
        list.Subtract({2, 2, 2, 2});  // needs three pieces
        list.Subtract({5, 5, 10, 10});  // needs one
        EXPECT_EQ(Entries(list), before);
        // Deleting needs no room.
        list.Subtract({1000, 1000, 1, 1});
        EXPECT_EQ(list.Count(), 255);
        EXPECT_EQ(list.RectAtIndex(0), big);
    }
    {
        // One free place: the cut of the big entry takes it, then the new
        // rectangle finds the list full. The list is left as it was.
        CRectList list = FullListAfter(big, CRectList::MAX_RECTS - 1);
        const Rects before = Entries(list);
        list.AddRectRef({5, 5, 10, 10});
        EXPECT_EQ(Entries(list), before);
        EXPECT_EQ(list.Area(), 100 + 254);
    }
    {
        // A full list still takes a rectangle that replaces entries.
        CRectList list;
        for (int i = 0; i < CRectList::MAX_RECTS; ++i)
            list.AddRectDirectDXDY(2 * i, 0, 1, 1);
        list.AddRectRef({0, 0, 3, 1});
        EXPECT_EQ(list.Count(), 255);
        EXPECT_EQ(list.RectAtIndex(0), CRVRect(0, 0, 3, 1));
        EXPECT_EQ(list.RectAtIndex(1), CRVRect(4, 0, 1, 1));
    }
}

TEST(RectList, WholeListOperations)
{
    CRectList list = Direct({{0, 0, 10, 10}, {20, 5, 5, 20}});
    EXPECT_EQ(list.Area(), 200);
    EXPECT_EQ(list.GetBounds(), CRVRect(0, 0, 25, 25));
    EXPECT_EQ(CRectList().GetBounds(), CRVRect());

    std::unique_ptr<CRectList> copy(list.CreateCopy());
    ASSERT_TRUE(copy);
    copy->Translate(-1, 2);
    EXPECT_EQ(Entries(*copy), (Rects{{-1, 2, 10, 10}, {19, 7, 5, 20}}));
    EXPECT_EQ(Entries(list), (Rects{{0, 0, 10, 10}, {20, 5, 5, 20}}));

    CRectList other;
    other.CopyFrom(*copy);
    list.AppendTo(&other);
    EXPECT_EQ(Entries(other), (Rects{{-1, 2, 10, 10}, {19, 7, 5, 20}, {0, 0, 10, 10}, {20, 5, 5, 20}}));
    list.AppendTo(&list);
    EXPECT_EQ(list.Count(), 4);

    CRectList target = Direct({{0, 0, 30, 30}});
    Direct({{0, 0, 30, 10}, {0, 20, 30, 10}}).SubtractFrom(&target);
    EXPECT_EQ(Entries(target), (Rects{{0, 10, 30, 10}}));
    target.SubtractFrom(&target);
    EXPECT_EQ(target.Count(), 0);

    CRectList huge;
    for (int i = 0; i < 4; ++i)
        huge.AddRectDirectDXDY(0, 0, INT_MAX, INT_MAX);
    EXPECT_EQ(huge.Area(), LLONG_MAX);  // saturates
}

TEST(RectList, EntryTests)
{
    const CRectList list = Direct({{10, 10, 5, 5}});
    const struct {
        const char* name;
        int got;
        int expected;
    } cases[] = {
        {"contains", list.RectContains(0, {11, 11, 2, 2}), 1},
        {"does not contain", list.RectContains(0, {11, 11, 9, 2}), 0},
        {"is inside", list.RectIsInside(0, {0, 0, 20, 20}), 1},
        {"intersects", list.RectIntersects(0, {14, 14, 1, 1}), 1},
        {"touches", list.RectIntersects(0, {15, 10, 1, 1}), 0},
        {"contains column", list.RectContainsX(0, 14), 1},
        {"contains row", list.RectContainsY(0, 15), 0},
        {"within columns", list.RectIsWithinXBoundsOf(0, {10, 100, 5, 1}), 1},
        {"within rows", list.RectIsWithinYBoundsOf(0, {100, 11, 1, 5}), 0},
        {"index out of range", list.RectIntersects(1, {0, 0, 100, 100}), 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.got, c.expected) << c.name;
}

// Random adds and subtracts against a bitmap model: the list must cover
// exactly the model's cells, each once, with no empty entries.
TEST(RectList, RandomAgainstBitmap)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> pos(-4, 30);
    std::uniform_int_distribution<int> size(1, 12);
    std::uniform_int_distribution<int> what(0, 9);
    CRectList list;
    Grid model = Cover(list);
    for (int step = 0; step < 4000; ++step) {
        if (list.Count() > 200) {
            list.Clear();
            model = Cover(list);
        }
        CRVRect r(pos(rng), pos(rng), size(rng), size(rng));
        int op = what(rng);
        if (op < 5) {
            list.AddRectRef(r);
            Paint(model, r, 1);
        } else if (op < 9) {
            list.Subtract(r);
            Paint(model, r, 0);
        } else {
            list.Consolidate();
        }
        ASSERT_EQ(Cover(list), model) << "step " << step;
        for (int i = 0; i < list.Count(); ++i)
            ASSERT_FALSE(list.RectAtIndex(i).IsEmpty()) << "step " << step;
    }
}

}  // namespace

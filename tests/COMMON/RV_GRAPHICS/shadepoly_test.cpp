// Point lists and the corner arcs of rounded rectangles. The arcs were traced
// by hand (radii 0 to 5) and with a separate script of the midpoint walk
// (radius 16); radii 3, 4 and 8 are the reference cases of the arc walk.
#include "dibdc.h"
#include "shadepoly.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>
#include <vector>

namespace
{
typedef std::vector<std::pair<int, int>> Points;

Points ToVector(const CPointList& list)
{
    Points out;
    for (int i = 0; i < list.NPoints(); i++)
        out.push_back({list.X(i), list.Y(i)});
    return out;
}

TEST(PointList, GrowsBy128AndKeepsItsPoints)
{
    CPointList list;
    EXPECT_EQ(list.Capacity(), 0);
    for (int i = 0; i < 128; i++)
        ASSERT_TRUE(list.AddPoint(i, -i));
    EXPECT_EQ(list.Capacity(), 128);
    ASSERT_TRUE(list.AddPoint(1000, 1001));
    EXPECT_EQ(list.Capacity(), 256);
    EXPECT_EQ(list.NPoints(), 129);
    for (int i = 0; i < 128; i++) {
        ASSERT_EQ(list.X(i), i);
        ASSERT_EQ(list.Y(i), -i);
    }
    EXPECT_EQ(list.X(128), 1000);
    list.RemoveAll();
    EXPECT_EQ(list.NPoints(), 0);
    EXPECT_EQ(list.Capacity(), 0);
}

TEST(PointList, EditingOperations)
{
    CPointList list;
    // InsertPointY keeps falling y: before the first point with a smaller y.
    list.InsertPointY(0, 5);
    list.InsertPointY(1, 1);
    list.InsertPointY(2, 3);
    list.InsertPointY(3, 3);     // after the existing 3
    list.InsertPointY(4, 9);     // at the front
    list.InsertPointY(5, -2);    // at the end
    EXPECT_EQ(ToVector(list), (Points{{4, 9}, {0, 5}, {2, 3}, {3, 3}, {1, 1}, {5, -2}}));

    list.RemoveAtIndex(1);
    EXPECT_EQ(ToVector(list), (Points{{4, 9}, {2, 3}, {3, 3}, {1, 1}, {5, -2}}));
    list.RemoveLast();
    list.X(0, 7);
    list.Y(3, 8);
    EXPECT_EQ(ToVector(list), (Points{{7, 9}, {2, 3}, {3, 3}, {1, 8}}));

    // Indexes outside the list are refused, not written.
    list.X(4, 1);
    list.Y(-1, 1);
    list.RemoveAtIndex(4);
    list.RemoveAtIndex(INT_MIN);
    EXPECT_EQ(list.X(4), 0);
    EXPECT_EQ(list.Y(-1), 0);
    EXPECT_EQ(list.NPoints(), 4);

    CPointList empty;
    empty.RemoveLast();
    empty.RemoveCommonPoints();
    EXPECT_EQ(empty.NPoints(), 0);
}

TEST(PointList, RemoveCommonPointsDropsOnlyRepeatsOfTheOneBefore)
{
    CPointList list;
    const Points in = {{1, 1}, {1, 1}, {1, 1}, {2, 1}, {1, 1}, {2, 2}, {2, 2}};
    for (auto& p : in)
        list.AddPoint(p.first, p.second);
    list.RemoveCommonPoints();
    EXPECT_EQ(ToVector(list), (Points{{1, 1}, {2, 1}, {1, 1}, {2, 2}}));
}

struct ArcCase
{
    int r;
    Points all;      // every point of the walk
    Points perRow;   // one point per row
    Points inset;    // perRow after InsetArcPoints
};

TEST(CornerArcs, Table)
{
    const ArcCase cases[] = {
        {0, {{0, 0}}, {{0, 0}}, {{-1, 0}}},
        {1, {{0, 1}, {1, 0}}, {{0, 1}, {1, 0}}, {{0, 0}}},
        {2, {{0, 2}, {1, 2}, {2, 1}, {2, 0}}, {{1, 2}, {2, 1}, {2, 0}}, {{1, 1}, {1, 0}}},
        {3, {{0, 3}, {1, 3}, {2, 2}, {3, 1}, {3, 0}}, {{1, 3}, {2, 2}, {3, 1}, {3, 0}}, {{1, 2}, {2, 1}, {2, 0}}},
        {4,
         {{0, 4}, {1, 4}, {2, 3}, {3, 3}, {3, 2}, {4, 1}, {4, 0}},
         {{1, 4}, {3, 3}, {3, 2}, {4, 1}, {4, 0}},
         {{1, 3}, {2, 3}, {2, 2}, {3, 1}, {3, 0}}},
        {5,
         {{0, 5}, {1, 5}, {2, 5}, {3, 4}, {4, 3}, {5, 2}, {5, 1}, {5, 0}},
         {{2, 5}, {3, 4}, {4, 3}, {5, 2}, {5, 1}, {5, 0}},
         {{2, 4}, {3, 3}, {4, 2}, {4, 1}, {4, 0}}},
        {8,
         {{0, 8}, {1, 8}, {2, 8}, {3, 7}, {4, 7}, {5, 6}, {6, 5}, {7, 4}, {7, 3}, {8, 2}, {8, 1}, {8, 0}},
         {{2, 8}, {4, 7}, {5, 6}, {6, 5}, {7, 4}, {7, 3}, {8, 2}, {8, 1}, {8, 0}},
         {{2, 7}, {4, 6}, {5, 5}, {6, 4}, {6, 3}, {7, 2}, {7, 1}, {7, 0}}},
        {16,
         {{0, 16}, {1, 16}, {2, 16}, {3, 16}, {4, 15}, {5, 15}, {6, 15}, {7, 14}, {8, 14}, {9, 13}, {10, 12},
          {11, 12}, {12, 11}, {12, 10}, {13, 9}, {14, 8}, {14, 7}, {15, 6}, {15, 5}, {15, 4}, {16, 3}, {16, 2},
          {16, 1}, {16, 0}},
         {{3, 16}, {6, 15}, {8, 14}, {9, 13}, {11, 12}, {12, 11}, {12, 10}, {13, 9}, {14, 8}, {14, 7}, {15, 6},
          {15, 5}, {15, 4}, {16, 3}, {16, 2}, {16, 1}, {16, 0}},
         {{3, 15}, {6, 14}, {8, 13}, {9, 12}, {11, 11}, {11, 10}, {12, 9}, {13, 8}, {13, 7}, {14, 6}, {14, 5},
          {14, 4}, {15, 3}, {15, 2}, {15, 1}, {15, 0}}},
    };
    for (const ArcCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "radius " << c.r);
        CPointList list;
        list.AddPoint(99, 99);   // cleared by the walk
        ASSERT_TRUE(CRVDibDC::CalcArcPoints(&list, c.r, 0));
        EXPECT_EQ(ToVector(list), c.all);
        ASSERT_TRUE(CRVDibDC::CalcArcPoints(&list, c.r, 1));
        EXPECT_EQ(ToVector(list), c.perRow);
        CRVDibDC::InsetArcPoints(&list);
        EXPECT_EQ(ToVector(list), c.inset);
    }
}

TEST(CornerArcs, LargeRadiusStaysOnTheCircle)
{
    // Each point of the walk lies within a pixel of the true circle, and the
    // one-per-row arc has exactly one point for each row r .. 0.
    const int r = 1000;
    CPointList list;
    ASSERT_TRUE(CRVDibDC::CalcArcPoints(&list, r, 0));
    for (int i = 0; i < list.NPoints(); i++) {
        long long d = 1LL * list.X(i) * list.X(i) + 1LL * list.Y(i) * list.Y(i) - 1LL * r * r;
        ASSERT_LE(d < 0 ? -d : d, 2LL * r) << i;
        if (i) {
            ASSERT_TRUE(list.X(i) >= list.X(i - 1) && list.Y(i) <= list.Y(i - 1));
        }
    }
    ASSERT_TRUE(CRVDibDC::CalcArcPoints(&list, r, 1));
    ASSERT_EQ(list.NPoints(), r + 1);
    for (int i = 0; i <= r; i++)
        ASSERT_EQ(list.Y(i), r - i);
}

TEST(CornerArcs, BadArguments)
{
    CPointList list;
    list.AddPoint(1, 1);
    EXPECT_FALSE(CRVDibDC::CalcArcPoints(&list, -3, 1));
    EXPECT_EQ(list.NPoints(), 0);
    EXPECT_FALSE(CRVDibDC::CalcArcPoints(nullptr, 3, 1));
    CRVDibDC::InsetArcPoints(nullptr);
}
}  // namespace

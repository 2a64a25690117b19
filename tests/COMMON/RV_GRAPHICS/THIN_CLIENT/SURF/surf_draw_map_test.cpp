// The drawing pad's coverage map and its soft-edged strokes. Coverage falls
// from 255 on the line to 0 at 1.5 pixels: a neighbour one pixel off the line
// gets 255 - 1000 * 255 / 1500 = 85, one half a pixel off 170. Expected
// bytes worked out by hand from the line walk.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

#include "surf_draw.h"

namespace {

// The bytes of columns x0.. and rows y0.. as rows of w values.
std::vector<std::vector<int>> Window(const CAlphaMAP& map, int x0, int y0, int w, int h)
{
    std::vector<std::vector<int>> rows;
    for (int y = y0; y < y0 + h; y++) {
        std::vector<int> row;
        for (int x = x0; x < x0 + w; x++)
            row.push_back(*map.Pixel(x, y));
        rows.push_back(row);
    }
    return rows;
}

long Sum(const CAlphaMAP& map)
{
    long n = 0;
    for (int y = 0; y < map.Height(); y++)
        for (int x = 0; x < map.Width(); x++)
            n += *map.Pixel(x, y);
    return n;
}

CAlphaMAP* Blank(int w, int h)
{
    CAlphaMAP* p = new CAlphaMAP(w, h);
    EXPECT_TRUE(p->IsValid());
    p->Clear();
    return p;
}

TEST(AlphaMap, LayoutAndImpossibleSizes)
{
    CAlphaMAP map(7, 3);
    ASSERT_TRUE(map.IsValid());
    EXPECT_EQ(map.Pixel(2, 1) - map.Pixel(0, 0), 9);   // rows exactly width bytes
    map.Clear();
    EXPECT_EQ(Sum(map), 0);

    struct Size { int w, h; } bad[] = { {0, 5}, {5, 0}, {-1, 5}, {40000, 1}, {20000, 20000}, {INT_MAX, INT_MAX} };
    for (const Size& s : bad) {
        CAlphaMAP m(s.w, s.h);
        EXPECT_FALSE(m.IsValid()) << s.w << " x " << s.h;
        EXPECT_EQ(m.Width(), 0);
        m.Clear();
        m.DrawSegment(POINT{ 0, 0 }, POINT{ 10, 10 }, 3);
    }
}

TEST(AlphaMap, HorizontalStrokeMovesUpLeftWithSoftSides)
{
    std::unique_ptr<CAlphaMAP> map(Blank(40, 30));
    map->DrawSegment(POINT{ 10, 10 }, POINT{ 20, 10 }, 3);
    for (int x = 0; x < 40; x++) {
        bool on = x >= 9 && x <= 19;
        EXPECT_EQ(*map->Pixel(x, 9), on ? 255 : 0) << x;
        EXPECT_EQ(*map->Pixel(x, 8), on ? 85 : 0) << x;
        EXPECT_EQ(*map->Pixel(x, 10), on ? 85 : 0) << x;
    }
    EXPECT_EQ(Sum(*map), 11 * (255 + 85 + 85));
}

TEST(AlphaMap, VerticalStrokeHasSoftColumnsBeside)
{
    std::unique_ptr<CAlphaMAP> map(Blank(40, 30));
    map->DrawSegment(POINT{ 10, 20 }, POINT{ 10, 10 }, 3);     // drawn upward
    for (int y = 9; y <= 19; y++) {
        EXPECT_EQ(*map->Pixel(9, y), 255) << y;
        EXPECT_EQ(*map->Pixel(8, y), 85) << y;
        EXPECT_EQ(*map->Pixel(10, y), 85) << y;
    }
    EXPECT_EQ(Sum(*map), 11 * (255 + 85 + 85));
}

TEST(AlphaMap, SlopedStrokeFollowsTheLineWalk)
{
    // (11, 11) to (15, 13) becomes (10, 10) to (14, 12): major extent 4, minor
    // 2, length 4, scale 12500. Steps alternate between the two kinds; after a
    // diagonal step the walk sits half a pixel off: 170 on one side, 0 on the
    // other.
    std::unique_ptr<CAlphaMAP> map(Blank(30, 30));
    map->DrawSegment(POINT{ 11, 11 }, POINT{ 15, 13 }, 3);
    const std::vector<std::vector<int>> want = {
        //  8  9   10   11   12   13   14  15
        { 0, 0, 0, 0, 0, 0, 0, 0 },                 // y 8
        { 0, 0, 85, 0, 0, 0, 0, 0 },                // y 9
        { 0, 0, 255, 170, 85, 0, 0, 0 },            // y 10
        { 0, 0, 85, 255, 255, 170, 85, 0 },         // y 11
        { 0, 0, 0, 0, 85, 255, 255, 0 },            // y 12
        { 0, 0, 0, 0, 0, 0, 85, 0 },                // y 13
        { 0, 0, 0, 0, 0, 0, 0, 0 },                 // y 14
    };
    EXPECT_EQ(Window(*map, 8, 8, 8, 7), want);
    EXPECT_EQ(Sum(*map), 5 * 255 + 2 * 170 + 6 * 85);
}

TEST(AlphaMap, StrokesKeepTheStrongerCoverage)
{
    std::unique_ptr<CAlphaMAP> map(Blank(40, 30));
    map->DrawSegment(POINT{ 10, 10 }, POINT{ 20, 10 }, 3);
    map->DrawSegment(POINT{ 10, 11 }, POINT{ 20, 11 }, 3);     // one row lower
    EXPECT_EQ(*map->Pixel(15, 8), 85);
    EXPECT_EQ(*map->Pixel(15, 9), 255);     // the second stroke's 85 does not lower it
    EXPECT_EQ(*map->Pixel(15, 10), 255);
    EXPECT_EQ(*map->Pixel(15, 11), 85);
}

TEST(AlphaMap, EndsAreHeldInsideTheMargin)
{
    struct Case { POINT p; int m; int x, y; } cases[] = {
        { { 0, 0 }, 3, 3, 3 },                  // up-left, then held at the margin
        { { 1000, 1000 }, 3, 17, 17 },          // held at size - margin
        { { INT_MIN, INT_MAX }, 3, 3, 17 },
        { { 10, 10 }, 0, 9, 9 },
        { { 10, 10 }, -4, 9, 9 },               // a negative margin counts as none
    };
    for (const Case& c : cases) {
        std::unique_ptr<CAlphaMAP> map(Blank(20, 20));
        map->DrawSegment(c.p, c.p, c.m);
        // A point is a dot two pixels long along x with soft rows above and below.
        EXPECT_EQ(*map->Pixel(c.x, c.y), 255) << c.p.x << "," << c.p.y;
        EXPECT_EQ(*map->Pixel(c.x + 1, c.y), 255) << c.p.x << "," << c.p.y;
        EXPECT_EQ(*map->Pixel(c.x, c.y - 1), 85);
        EXPECT_EQ(*map->Pixel(c.x + 1, c.y + 1), 85);
        EXPECT_EQ(Sum(*map), 2 * 255 + 4 * 85);
    }
}

TEST(AlphaMap, WhatFallsOutsideTheMapIsClipped)
{
    // Margin 0 at the far corner: the dot's second pixel and the row below lie
    // outside.
    std::unique_ptr<CAlphaMAP> map(Blank(10, 10));
    map->DrawSegment(POINT{ 10, 10 }, POINT{ 10, 10 }, 0);
    EXPECT_EQ(*map->Pixel(9, 9), 255);
    EXPECT_EQ(*map->Pixel(9, 8), 85);
    EXPECT_EQ(Sum(*map), 255 + 85);

    // A margin wider than half the map puts both ends outside it.
    map->Clear();
    map->DrawSegment(POINT{ 2, 2 }, POINT{ 8, 8 }, 255);
    EXPECT_EQ(Sum(*map), 0);

    // Tiny maps and the farthest ends.
    std::unique_ptr<CAlphaMAP> one(Blank(1, 1));
    one->DrawSegment(POINT{ INT_MIN, INT_MIN }, POINT{ INT_MAX, INT_MAX }, 3);
    std::unique_ptr<CAlphaMAP> wide(Blank(50, 50));
    wide->DrawSegment(POINT{ INT_MIN, INT_MIN }, POINT{ INT_MAX, INT_MAX }, 3);
    EXPECT_EQ(*wide->Pixel(3, 3), 255);
    EXPECT_EQ(*wide->Pixel(47, 47), 255);
}

}  // namespace

// Plain integer records the engine shares with the window system: a point, a
// size and an edge rectangle (left, top, right, bottom). Kept free of any
// platform header so the portable engine can use them everywhere.
#pragma once

struct POINT
{
    int x;
    int y;
};

struct SIZE
{
    int cx;
    int cy;
};

struct RECT
{
    int left;
    int top;
    int right;
    int bottom;
};

// Overflow-free edge arithmetic shared by the rectangle sources. Edges are
// computed in 64 bits; values stored back into a rectangle are clamped to int.
#pragma once

#include <climits>

#include "rvrect.h"

namespace rvrect
{
inline int Clamp32(__int128 v)
{
    return v < INT_MIN ? INT_MIN : (v > INT_MAX ? INT_MAX : static_cast<int>(v));
}

// Last column and last row (inclusive).
inline long long LastX(const CRVRect& r) { return static_cast<long long>(r.x) + r.width - 1; }
inline long long LastY(const CRVRect& r) { return static_cast<long long>(r.y) + r.height - 1; }

// The rectangle covering columns x1..x2 and rows y1..y2.
inline CRVRect FromEdges(long long x1, long long y1, long long x2, long long y2)
{
    return CRVRect(Clamp32(x1), Clamp32(y1), Clamp32(x2 - x1 + 1), Clamp32(y2 - y1 + 1));
}
}  // namespace rvrect

// Lets GoogleTest print rectangles and compare rectangle lists in failures.
#pragma once

#include <ostream>
#include <vector>

#include "rvrect.h"

inline void PrintTo(const CRVRect& r, std::ostream* os)
{
    *os << "(" << r.x << ", " << r.y << ", " << r.width << ", " << r.height << ")";
}

// The entries of a list, in order.
inline std::vector<CRVRect> Entries(const CRectList& list)
{
    std::vector<CRVRect> v;
    for (int i = 0; i < list.Count(); ++i)
        v.push_back(list.RectAtIndex(i));
    return v;
}

// What the geometry tests of the drawers share: the area rectangles cover together.
#pragma once
#include "effect_geometry.h"

#include <vector>

inline long Area(const std::vector<SRect>& rects)
{
    long area = 0;
    for (const SRect& r : rects)
        area += static_cast<long>(r.Width()) * r.Height();
    return area;
}

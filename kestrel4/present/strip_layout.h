// Where a rubber band keeps the screen under its outline: the strips packed into two small
// pictures.
#pragma once
#include "effect_geometry.h"

#include <vector>

// The saved strips lie in two pictures: those wider than high in rows of the first, the
// others in columns of the second. Either picture then grows with the strips it holds, not
// with the box the outline encloses.
struct SStripPlace {
    int sheet = 0; // 0 or 1
    SPoint at;     // the strip's corner in that picture
};
struct SStripLayout {
    std::vector<SStripPlace> places; // one per strip, in the strips' order
    SPoint size[2];                  // each picture's width (x) and height (y)
};
SStripLayout LayOutStrips(const std::vector<SRect>& strips);

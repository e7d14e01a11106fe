#include "strip_layout.h"

#include <algorithm>

namespace {

// Shelf packing: strips go one after the other along a shelf (rows of sheet 0 run across,
// columns of sheet 1 run down) as long as they fit its length, which is the longest strip's;
// then a new shelf starts beside the last.
void PackSheet(const std::vector<SRect>& strips, bool across, int sheet, SStripLayout& layout)
{
    auto along = [across](const SRect& r) { return across ? r.Width() : r.Height(); };
    auto thick = [across](const SRect& r) { return across ? r.Height() : r.Width(); };
    int length = 0;
    for (size_t i = 0; i < strips.size(); ++i)
        if (layout.places[i].sheet == sheet)
            length = std::max(length, along(strips[i]));
    int pos = 0, shelf = 0, shelfThickness = 0;
    for (size_t i = 0; i < strips.size(); ++i) {
        if (layout.places[i].sheet != sheet)
            continue;
        const SRect& r = strips[i];
        if (pos + along(r) > length) {
            shelf += shelfThickness;
            pos = shelfThickness = 0;
        }
        layout.places[i].at = across ? SPoint{pos, shelf} : SPoint{shelf, pos};
        pos += along(r);
        shelfThickness = std::max(shelfThickness, thick(r));
    }
    int used = shelf + shelfThickness;
    layout.size[sheet] = across ? SPoint{length, used} : SPoint{used, length};
}

} // namespace

SStripLayout LayOutStrips(const std::vector<SRect>& strips)
{
    SStripLayout layout;
    layout.places.resize(strips.size());
    for (size_t i = 0; i < strips.size(); ++i)
        layout.places[i].sheet = strips[i].Width() >= strips[i].Height() ? 0 : 1;
    PackSheet(strips, true, 0, layout);
    PackSheet(strips, false, 1, layout);
    return layout;
}

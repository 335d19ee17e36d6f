#include "filelist/listtooltip.h"

#include <cmath>

namespace filelist {

int rowUnderPointer(float y, float rowHeight, int topIndex, int count)
{
    // nearbyint rounds halves to the even neighbour in the default rounding mode.
    const float wholeY = std::nearbyint(y);
    const float wholeHeight = std::nearbyint(rowHeight);
    if (wholeY < 0 || wholeHeight <= 0)
        return -1;
    const long row = long(wholeY / wholeHeight) + topIndex;
    return row < count ? int(row) : -1;
}

} // namespace filelist

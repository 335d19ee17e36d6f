#pragma once

namespace filelist {

// The arithmetic of the file list's tooltip, apart from the widgets it measures.

// The row under a pointer y pixels below the top of the list's items, when each row is
// rowHeight pixels high and the top row shows item topIndex: both values brought to the nearest
// whole number (halves to the even neighbour), y divided by the height, the quotient truncated.
// -1 when the pointer is above the list or below its last item.
int rowUnderPointer(float y, float rowHeight, int topIndex, int count);

// Whether a text textWidth wide can't be shown whole in a list listWidth wide, once margin is
// taken off for the frame and the scroll bar. A text exactly as wide as the room fits.
inline bool textTooWide(float listWidth, float margin, float textWidth)
{
    return listWidth - margin < textWidth;
}

} // namespace filelist

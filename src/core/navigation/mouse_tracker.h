#pragma once

#include <cstdint>

#include "core/navigation/navigator.h"

namespace ramifex
{

// Turns pointer positions into movements. The last position is never reset, so the first move is
// measured from (0, 0) and a drag that leaves the window and comes back is applied, on re-entry, as
// one movement from the last position seen.
struct MouseTracker
{
    int32_t Dx = 0;
    int32_t Dy = 0;
    int32_t LastX = 0;
    int32_t LastY = 0;

    // Positions are signed: while a button is held, a pointer left of or above the window reports
    // negative coordinates.
    void Update(int32_t x, int32_t y);
};

// Button and key state of a mouse move; other bits are ignored.
enum MouseFlags : unsigned
{
    MouseLeftButton = 1,
    MouseRightButton = 2,
    MouseShift = 4,
};

// Applies the tracker's latest movement: left-drag turns the base record, Shift+left-drag the
// record being edited, right-drag moves the view across (100 pixels per unit), Shift+right-drag
// sideways and nearer or farther. The left button wins over the right; no movement does nothing.
void Navigate(const MouseTracker& tracker, unsigned flags, Navigator& navigator);

}  // namespace ramifex

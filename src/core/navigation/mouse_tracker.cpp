#include "core/navigation/mouse_tracker.h"

namespace ramifex
{
namespace
{

// Difference with 32-bit wrap-around, free of signed overflow.
int32_t Difference(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

}  // namespace

void MouseTracker::Update(int32_t x, int32_t y)
{
    Dx = Difference(x, LastX);
    Dy = Difference(y, LastY);
    LastX = x;
    LastY = y;
}

void Navigate(const MouseTracker& tracker, unsigned flags, Navigator& navigator)
{
    const int32_t dx = tracker.Dx;
    const int32_t dy = tracker.Dy;
    if (dx == 0 && dy == 0)
    {
        return;  // a drag of nothing has no rotation axis
    }
    const bool shift = (flags & MouseShift) != 0;
    if ((flags & MouseLeftButton) != 0)
    {
        if (shift)
        {
            navigator.RotateCurrentRecord(dx, dy);
        }
        else
        {
            navigator.RotateBaseRecord(dx, dy);
        }
    }
    else if ((flags & MouseRightButton) != 0)
    {
        if (shift)
        {
            navigator.MoveView(dx * 0.01, 0.0, dy * 0.01);
        }
        else
        {
            navigator.MoveView(dx * 0.01, dy * -0.01, 0.0);
        }
    }
}

}  // namespace ramifex

#pragma once

#include <cstdint>

namespace ramifex
{

// What the viewer asks of the scene editor, which owns the records being edited and the redraw
// flag. Every operation changes scene values and requests a redraw; none draws.
class Navigator
{
public:
    virtual ~Navigator() = default;

    // Turns the record being edited in the panel by a drag of (dx, dy) pixels.
    virtual void RotateCurrentRecord(int32_t dx, int32_t dy) = 0;
    // Turns the base record (the whole object) by a drag of (dx, dy) pixels.
    virtual void RotateBaseRecord(int32_t dx, int32_t dy) = 0;
    // Adds (x, y, z) to the view offset.
    virtual void MoveView(double x, double y, double z) = 0;
    // Brings the object nearer (positive) or farther by this many wheel notches, which may be
    // fractions of one.
    virtual void Zoom(double notches) = 0;
    // The picture must restart, for instance because the viewer changed size.
    virtual void RequestRedraw() = 0;

    // Everything between a first button press and the release of the last button is one user
    // action, undone as one.
    virtual void BeginGesture() = 0;
    virtual void EndGesture() = 0;
};

}  // namespace ramifex

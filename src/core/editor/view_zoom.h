#pragma once

#include "core/scene/branch_params.h"

namespace ramifex
{

// One wheel notch nearer multiplies the depth of the root sphere's centre by this; one farther
// divides by it.
inline constexpr double ZoomRatio = 0.9;

// The view offset after zooming by `notches` (positive: nearer; fractions for smooth scrolling).
// Only the depth changes, as with a Shift+right-drag, and it stays where the unit root sphere lies
// whole between the projection's near and far planes. A depth outside that range, where a drag
// may have left it, only ever moves towards it.
Vec3 ZoomedViewOffset(const Vec3& offset, double notches);

}  // namespace ramifex

#include "core/editor/view_zoom.h"

#include <algorithm>
#include <cmath>

#include "core/render/projection.h"

namespace ramifex
{

Vec3 ZoomedViewOffset(const Vec3& offset, double notches)
{
    // The near plane at 1 and the root sphere's radius of 1: from a depth of 2 on, the sphere is
    // whole in front of the near plane (and whole on screen in the viewer's 4:3 picture, whose
    // half-height there is 1.5). Short of the far plane by the radius, no back is cut off either.
    const Frustum frustum = FrustumFor(1, 1);
    const double nearest = frustum.Near + 1.0;
    const double farthest = frustum.Far - 1.0;
    const double depth = -offset[2];
    const double reached = std::clamp(depth * std::pow(ZoomRatio, notches), nearest, farthest);
    const bool asked = notches > 0.0 ? reached <= depth : notches < 0.0 && reached >= depth;
    if (!asked)
    {
        return offset;
    }
    return {offset[0], offset[1], -reached};
}

}  // namespace ramifex

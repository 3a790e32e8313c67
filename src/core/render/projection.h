#pragma once

#include <cstdint>

#include "core/render/matrix4.h"

namespace ramifex
{

// The viewer's drawing area when it opens, in pixels: also the size of every picture that asks
// for none.
inline constexpr int32_t StartPictureWidth = 640;
inline constexpr int32_t StartPictureHeight = 480;

// A perspective frustum as glFrustum takes it: the extent of the near plane in eye coordinates and
// the distances of the near and far planes from the eye.
struct Frustum
{
    double Left = 0.0;
    double Right = 0.0;
    double Bottom = 0.0;
    double Top = 0.0;
    double Near = 0.0;
    double Far = 0.0;

    bool operator==(const Frustum&) const = default;
};

// The frustum of a picture of width by height pixels (both positive): the near plane at distance 1
// spans -1..1 across, 90 degrees, and its height follows the picture's shape. The half-height is
// height / width rounded to float, and the bottom is exactly the negated top: the exact frustum is
// part of the picture, and any other rounding moves pixels at the edges of spheres.
Frustum FrustumFor(int32_t width, int32_t height);

// Roughly how many pixels a unit sphere at view * node covers on a picture of width by height
// pixels under FrustumFor: the disc of its radius over its depth, scaled from the near plane to
// the picture. The view is a turn and a shift; the node a turn, a uniform scale and a shift. A
// sphere reaching the eye may cover everything, so it counts as the whole picture.
double CoveredPixels(const Matrix4& view, const Matrix4& node, int32_t width, int32_t height);

}  // namespace ramifex

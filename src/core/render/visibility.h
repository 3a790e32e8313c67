#pragma once

#include <array>
#include <cstdint>

#include "core/render/depth_map.h"
#include "core/render/matrix4.h"
#include "core/render/projection.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

// Radii of balls that hold a whole subtree: around a node's origin and in the node's own units,
// Of(k) bounds every sphere of the k levels from the node down, its own unit sphere included. A
// child's origin lies |translation| from its parent's and its units are the branch's scale, so
// R_1 = 1 and R_k = max(1, max over the branches of |translation| + scale * R_(k-1)).
class SubtreeRadii
{
public:
    // From the branch matrices the walk multiplies by.
    void Build(const std::array<Matrix4, 2>& branches);
    // levels: 1..MaxDepth. Infinite when a branch holds a value that is not finite.
    double Of(int levels) const { return radii_[levels]; }
    // The radius of the largest sphere in such a subtree, in the node's units: its own, unless a
    // branch grows.
    double LargestSphere(int levels) const { return largest_[levels]; }

private:
    std::array<double, MaxDepth + 1> radii_{};
    std::array<double, MaxDepth + 1> largest_{};
};

// The largest factor by which a node matrix stretches a length: its scale, for the turned and
// uniformly scaled matrices the walk makes, with the rounding of their products allowed for.
double NodeScale(const Matrix4& node);

// A perspective frustum and the pixels of the drawing area it is shown on.
struct PixelArea
{
    Frustum View;
    int32_t Width = 0;
    int32_t Height = 0;
};

// The area of a picture of width by height pixels, as the program draws it.
inline PixelArea PixelAreaFor(int32_t width, int32_t height)
{
    return {FrustumFor(width, height), width, height};
}

// A ball in eye coordinates, and the radius of the largest sphere it holds.
struct Ball
{
    std::array<double, 3> Centre{};
    double Radius = 0.0;
    double LargestSphere = 0.0;
};

// Whether the spheres in a ball may change the picture. Filled polygons without multisampling
// change a pixel only where they cover its centre, so a ball whose projection covers no pixel
// centre of the area, or that lies wholly nearer than the near plane or beyond the far plane,
// cannot. Nor can one that lies behind the depths the picture already holds (when given, for the
// area's size) at every pixel it covers, by a margin of some of its largest sphere's radii. A ball
// that crosses the near plane, or is not finite, always may.
bool BallMayShow(const Ball& ball, const PixelArea& area, const DepthMap* depths = nullptr);

// The ball of a node's own sphere, under the view.
Ball NodeBall(const Matrix4& view, const Matrix4& node);

// The ball around the same origin that holds `levels` levels of the node's subtree.
Ball SubtreeBall(const Ball& node, const SubtreeRadii& radii, int levels);

}  // namespace ramifex

#include "core/render/visibility.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ramifex
{
namespace
{

// GL rounds vertices and matrices to single precision: a hundredth of a pixel, and a millionth of
// a ball's size and distance, cover that many times over.
constexpr double PixelMargin = 0.01;
constexpr double RelativeSlack = 1e-6;
// The depth buffer holds 24 bits, and GL works out a fragment's depth in single precision: a
// millionth is some sixteen steps of the buffer.
constexpr double DepthMargin = 1e-6;
// A software rasteriser decides which pixels a triangle covers on a sub-pixel grid, but works out
// their depths from the triangle as given: a sliver-thin triangle seen edge on (small spheres are
// made of them) can put a fragment well in front of its corners. So a ball counts as hidden only
// when it lies behind the picture by more than this many radii of its largest sphere: on the
// benchmark's wide tree a dozen was too few to keep every pixel, 32 keeps them all.
constexpr double SliverReach = 32.0;

double ColumnLength(const Matrix4& m, int column)
{
    return std::hypot(m.At(0, column), m.At(1, column), m.At(2, column));
}

double TranslationLength(const Matrix4& m)
{
    return std::hypot(m.M[12], m.M[13], m.M[14]);
}

// The range of x / depth over a disk of radius r centred at (x, depth), bounded by the two lines
// through the eye that touch it. The disk lies wholly in front of the eye.
std::array<double, 2> TangentSlopes(double x, double depth, double r)
{
    const double q = std::sqrt(x * x + depth * depth - r * r);
    const double d2 = depth * depth - r * r;
    return {(x * depth - r * q) / d2, (x * depth + r * q) / d2};
}

// The pixels, of `pixels` in a row, whose centres a slope range covers when the frustum's extent
// lo..hi at distance `near` is mapped onto them: first and last, or none (first > last).
std::array<int32_t, 2> CoveredCentres(std::array<double, 2> slopes, double lo, double hi,
                                      double near, int32_t pixels)
{
    const auto toPixels = [&](double slope) { return (near * slope - lo) / (hi - lo) * pixels; };
    // Pixel i has its centre at i + 0.5.
    const double first = std::ceil(toPixels(slopes[0]) - PixelMargin - 0.5);
    const double last = std::floor(toPixels(slopes[1]) + PixelMargin - 0.5);
    return {static_cast<int32_t>(std::max(first, 0.0)),
            static_cast<int32_t>(std::min(last, pixels - 1.0))};
}

// The depth buffer's value for a point at this distance from the eye.
double WindowDepth(double distance, const Frustum& f)
{
    return 0.5 + 0.5 * (f.Far + f.Near) / (f.Far - f.Near) -
           f.Far * f.Near / ((f.Far - f.Near) * distance);
}

}  // namespace

void SubtreeRadii::Build(const std::array<Matrix4, 2>& branches)
{
    std::array<double, 2> reach{};
    std::array<double, 2> scale{};
    bool finite = true;
    for (int b = 0; b < 2; ++b)
    {
        reach[b] = TranslationLength(branches[b]);
        scale[b] = NodeScale(branches[b]);
        finite = finite && std::isfinite(reach[b]) && std::isfinite(scale[b]);
    }
    radii_[1] = 1.0;
    largest_[1] = 1.0;
    for (int k = 2; k <= MaxDepth; ++k)
    {
        largest_[k] = std::max(1.0, std::max(scale[0], scale[1]) * largest_[k - 1]);
        const double child = radii_[k - 1];
        radii_[k] = finite
                        ? std::max({1.0, reach[0] + scale[0] * child, reach[1] + scale[1] * child})
                        : std::numeric_limits<double>::infinity();
    }
}

double NodeScale(const Matrix4& node)
{
    const double longest =
        std::max({ColumnLength(node, 0), ColumnLength(node, 1), ColumnLength(node, 2)});
    return longest * (1.0 + RelativeSlack);
}

bool BallMayShow(const Ball& ball, const PixelArea& area, const DepthMap* depths)
{
    const auto& centre = ball.Centre;
    const double depth = -centre[2];
    const double r = ball.Radius * (1.0 + RelativeSlack) +
                     RelativeSlack * std::max({std::abs(centre[0]), std::abs(centre[1]), depth});
    if (!std::isfinite(r) || !std::isfinite(centre[0]) || !std::isfinite(centre[1]) ||
        !std::isfinite(depth))
    {
        return true;
    }
    const Frustum& f = area.View;
    if (depth + r < f.Near || depth - r > f.Far)
    {
        return false;  // wholly nearer than the near plane (or behind the eye), or beyond the far
                       // one
    }
    if (depth - r < f.Near)
    {
        return true;  // crosses the near plane, where the projection is unbounded
    }
    const auto columns =
        CoveredCentres(TangentSlopes(centre[0], depth, r), f.Left, f.Right, f.Near, area.Width);
    const auto rows =
        CoveredCentres(TangentSlopes(centre[1], depth, r), f.Bottom, f.Top, f.Near, area.Height);
    if (columns[0] > columns[1] || rows[0] > rows[1])
    {
        return false;
    }
    if (depths == nullptr || depths->Width() != area.Width || depths->Height() != area.Height)
    {
        return true;
    }
    // Behind everything already drawn at every pixel it could reach: the depth test (less than)
    // turns away every fragment of it.
    const double nearest = std::max(f.Near, depth - r - SliverReach * ball.LargestSphere);
    return WindowDepth(nearest, f) - DepthMargin <=
           depths->FarthestIn(columns[0], columns[1], rows[0], rows[1]);
}

Ball NodeBall(const Matrix4& view, const Matrix4& node)
{
    Ball ball;
    for (int i = 0; i < 3; ++i)
    {
        ball.Centre[i] = view.At(i, 0) * node.M[12] + view.At(i, 1) * node.M[13] +
                         view.At(i, 2) * node.M[14] + view.At(i, 3);
    }
    ball.Radius = NodeScale(node);
    ball.LargestSphere = ball.Radius;
    return ball;
}

Ball SubtreeBall(const Ball& node, const SubtreeRadii& radii, int levels)
{
    return {node.Centre, node.Radius * radii.Of(levels), node.Radius * radii.LargestSphere(levels)};
}

}  // namespace ramifex

#include "core/render/tree_framing.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "core/render/branch_matrices.h"
#include "core/render/projection.h"
#include "core/render/visibility.h"

namespace ramifex
{
namespace
{

// 2^13 balls: precise enough to frame closely, and quick.
constexpr int BoundedLevels = 12;
constexpr double Margin = 0.05;

struct BoundsWalk
{
    const Matrix4& Turn;
    const std::array<Matrix4, 2>& Branches;
    const SubtreeRadii& Radii;
    int Depth;
    int Cut;  // the level whose subtrees are bounded whole
    std::vector<Ball> Balls;

    void Visit(const Matrix4& node, int level)
    {
        const Ball own = NodeBall(Turn, node);
        if (level == Cut)
        {
            Balls.push_back(SubtreeBall(own, Radii, Depth - level));
            return;
        }
        Balls.push_back(own);
        for (const Matrix4& branch : Branches)
        {
            Matrix4 child = node;
            Multiply(child, branch);
            Visit(child, level + 1);
        }
    }
};

// Balls that hold every sphere of the tree, in eye coordinates before the view offset.
std::vector<Ball> TreeBounds(SceneState scene)
{
    for (BranchParams& record : scene.Records)
    {
        NormaliseAxis(record.Axis);
    }
    const BranchParams& base = scene.Records[BaseRecord];
    Matrix4 turn = Matrix4::Identity();
    Rotate(turn, base.Angle, base.Axis[0], base.Axis[1], base.Axis[2]);
    const std::array<Matrix4, 2> branches = BranchMatrices(scene);
    SubtreeRadii radii;
    radii.Build(branches);
    const int depth = std::clamp(scene.Iterations, 1, MaxDepth);
    BoundsWalk walk{turn, branches, radii, depth, std::min(depth - 1, BoundedLevels), {}};
    walk.Visit(Matrix4::Identity(), 0);
    return walk.Balls;
}

// The offset along one screen axis and the depth at which every ball fits between the two side
// planes x = ±slope * -z: each plane gives offset ± slope * depth <= bound for every ball.
struct AxisFit
{
    double Offset;
    double Depth;
};

AxisFit FitBetweenSides(const std::vector<Ball>& balls, int axis, double slope)
{
    const double spread = std::sqrt(1.0 + slope * slope);
    double toPositive = std::numeric_limits<double>::infinity();
    double toNegative = std::numeric_limits<double>::infinity();
    for (const Ball& ball : balls)
    {
        const double side = ball.Centre[axis];
        const double along = slope * ball.Centre[2];
        toPositive = std::min(toPositive, -ball.Radius * spread - side - along);
        toNegative = std::min(toNegative, -ball.Radius * spread + side - along);
    }
    return {(toPositive - toNegative) / 2.0, (toPositive + toNegative) / (2.0 * slope)};
}

}  // namespace

std::optional<Vec3> FramingViewOffset(const SceneState& scene, int32_t width, int32_t height)
{
    const std::vector<Ball> balls = TreeBounds(scene);
    const Frustum frustum = FrustumFor(width, height);
    const AxisFit across = FitBetweenSides(balls, 0, (1.0 - Margin) * frustum.Right / frustum.Near);
    const AxisFit up = FitBetweenSides(balls, 1, (1.0 - Margin) * frustum.Top / frustum.Near);
    double nearest = -std::numeric_limits<double>::infinity();
    double farthest = std::numeric_limits<double>::infinity();
    for (const Ball& ball : balls)
    {
        nearest = std::max(nearest, ball.Centre[2] + ball.Radius);
        farthest = std::min(farthest, ball.Centre[2] - ball.Radius);
    }
    const double depth = std::min({across.Depth, up.Depth, -frustum.Near - nearest});
    const Vec3 offset{across.Offset, up.Offset, depth};
    const bool finite =
        std::isfinite(offset[0]) && std::isfinite(offset[1]) && std::isfinite(offset[2]);
    if (!finite || farthest + depth < -frustum.Far)
    {
        return std::nullopt;
    }
    return offset;
}

}  // namespace ramifex

#include <algorithm>
#include <cmath>
#include <optional>

#include <gtest/gtest.h>

#include "core/render/branch_matrices.h"
#include "core/render/projection.h"
#include "core/render/tree_framing.h"
#include "core/render/tree_renderer.h"
#include "core/render/visibility.h"
#include "core/scene/random_generator.h"
#include "support/recording_surface.h"
#include "support/test_clocks.h"

namespace ramifex::test
{
namespace
{

constexpr int Width = 640;
constexpr int Height = 480;

// How far inside the picture a sphere lies, as a share of the half-width or half-height at its
// depth: 0 touches the nearest side, negative reaches out of the picture or nearer than the near
// plane.
double Inside(const Ball& ball)
{
    const Frustum frustum = FrustumFor(Width, Height);
    if (-ball.Centre[2] - ball.Radius < frustum.Near)
    {
        return -1.0;
    }
    double least = 1.0;
    for (const auto& [axis, slope] : {std::pair{0, frustum.Right}, std::pair{1, frustum.Top}})
    {
        const double depth = -ball.Centre[2];
        const double halfSpan = slope * depth;
        const double reach = std::abs(ball.Centre[axis]) + ball.Radius * std::hypot(1.0, slope);
        least = std::min(least, (halfSpan - reach) / halfSpan);
    }
    return least;
}

// How far a sphere lies beyond the near plane.
double BeyondNearPlane(const Ball& ball)
{
    return -ball.Centre[2] - ball.Radius - FrustumFor(Width, Height).Near;
}

SceneState Framed(uint32_t seed, int depth)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(seed);
    RandomizeRecords(scene, rng);
    scene.Iterations = depth;
    const std::optional<Vec3> offset = FramingViewOffset(scene, Width, Height);
    EXPECT_TRUE(offset.has_value()) << "seed " << seed;
    scene.ViewOffset = offset.value_or(scene.ViewOffset);
    return scene;
}

// At depth 8 every sphere is drawn and measured: all lie inside, and the nearest side is about
// 5% away (or a sphere touches the near plane, for a tree that reaches towards the eye), so the
// tree is framed closely rather than merely shrunk.
TEST(TreeFraming, EverySphereOfShallowTreesFitsClosely)
{
    for (uint32_t seed = 1; seed <= 40; ++seed)
    {
        SceneState scene = Framed(seed, 8);
        RecordingSurface surface;
        FrozenClock clock;
        TreeRenderer renderer(scene, surface, clock);
        bool redraw = true;
        renderer.FrameTick(redraw);
        renderer.FrameTick(redraw);
        ASSERT_EQ(surface.Spheres().size(), 2u * 255u);
        double least = 1.0;
        double nearGap = 1.0;
        for (const auto& sphere : surface.Spheres())
        {
            const Ball ball = NodeBall(surface.View(), sphere.Node);
            least = std::min(least, Inside(ball));
            nearGap = std::min(nearGap, BeyondNearPlane(ball));
        }
        EXPECT_GE(least, 0.0) << "seed " << seed;
        EXPECT_TRUE(least <= 0.1 || nearGap <= 1e-9) << "seed " << seed << ": " << least;
    }
}

// At depth 30, a thousand random paths from the root to the deepest level stay inside.
TEST(TreeFraming, DeepTreesStayInside)
{
    for (uint32_t seed = 1; seed <= 40; ++seed)
    {
        SceneState scene = Framed(seed, 30);
        RecordingSurface surface;
        FrozenClock clock;
        TreeRenderer renderer(scene, surface, clock);
        bool redraw = false;
        renderer.FrameTick(redraw);  // normalises the axes
        const BranchParams& base = scene.Records[BaseRecord];
        Matrix4 view = Matrix4::Identity();
        Translate(view, scene.ViewOffset[0], scene.ViewOffset[1], scene.ViewOffset[2]);
        Rotate(view, base.Angle, base.Axis[0], base.Axis[1], base.Axis[2]);
        const std::array<Matrix4, 2> branches = BranchMatrices(scene);
        RandomGenerator paths;
        paths.Seed(seed);
        double least = 1.0;
        for (int path = 0; path < 1000; ++path)
        {
            Matrix4 node = Matrix4::Identity();
            for (int level = 0; level < 30; ++level)
            {
                least = std::min(least, Inside(NodeBall(view, node)));
                Multiply(node, branches[(paths.Draw() >> 7) & 1]);
            }
        }
        EXPECT_GE(least, 0.0) << "seed " << seed;
    }
}

}  // namespace
}  // namespace ramifex::test

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "core/render/branch_matrices.h"
#include "core/render/visibility.h"

namespace ramifex::test
{
namespace
{

constexpr double ViewDepth = 10.0;
constexpr double Tiny = 1e-4;  // two thousandths of a pixel across

struct Node
{
    Matrix4 M;
    int Level = 0;
};

// Every node of a tree of `depth` levels, children right after their parent's subtree is opened.
void Collect(const Matrix4& m, int level, int depth, const std::array<Matrix4, 2>& branches,
             std::vector<Node>& out)
{
    out.push_back({m, level});
    if (level + 1 == depth)
    {
        return;
    }
    for (const Matrix4& branch : branches)
    {
        Matrix4 child = m;
        Multiply(child, branch);
        Collect(child, level + 1, depth, branches, out);
    }
}

double Distance(const Matrix4& a, const Matrix4& b)
{
    return std::hypot(a.M[12] - b.M[12], a.M[13] - b.M[13], a.M[14] - b.M[14]);
}

// A wrong bound would silently drop visible spheres: check that every descendant's unit sphere
// lies in its ancestor's ball, for random scenes with shrinking, growing and mirroring branches.
TEST(SubtreeRadii, HoldEveryDescendantSphere)
{
    constexpr int Depth = 9;
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(2024);
    for (int trial = 0; trial < 12; ++trial)
    {
        RandomizeRecords(scene, rng);
        for (int b : {Branch1Record, Branch2Record})
        {
            // Scales from -1.2 to 1.2, beyond what the sliders give.
            scene.Records[b].Scale = 2.4 * scene.Records[b].Scale - 1.2;
        }
        const std::array<Matrix4, 2> branches = BranchMatrices(scene);
        SubtreeRadii radii;
        radii.Build(branches);
        std::vector<Node> nodes;
        Collect(Matrix4::Identity(), 0, Depth, branches, nodes);
        // In depth-first order a node's descendants are the nodes after it down to the next node
        // at its level or above.
        for (size_t a = 0; a < nodes.size(); ++a)
        {
            const double bound = NodeScale(nodes[a].M) * radii.Of(Depth - nodes[a].Level);
            for (size_t d = a; d < nodes.size() && (d == a || nodes[d].Level > nodes[a].Level); ++d)
            {
                const double reach = Distance(nodes[a].M, nodes[d].M) + NodeScale(nodes[d].M);
                ASSERT_LE(reach, bound)
                    << "trial " << trial << ", node " << a << ", descendant " << d;
            }
        }
    }
}

TEST(SubtreeRadii, AreInfiniteForValuesThatAreNotFinite)
{
    BranchParams record;
    record.Axis = {1, 0, 0};
    record.Scale = std::numeric_limits<double>::quiet_NaN();
    SubtreeRadii radii;
    radii.Build({BranchMatrix(record), Matrix4::Identity()});
    EXPECT_EQ(radii.Of(1), 1.0);
    EXPECT_TRUE(std::isinf(radii.Of(2)));
}

// A 4 x 2 pixel area seen through a frustum 2 wide and 1 high at the near plane: at depth 10 a
// point at x = 5 * (px - 2) lands on pixel column px, one at y = 5 * (py - 1) on row py.
TEST(BallMayShow, OnlyWhereItCoversAPixelCentre)
{
    const PixelArea area{{-1.0, 1.0, -0.5, 0.5, 1.0, 100.0}, 4, 2};
    const auto at = [&](double px, double py, double radius = Tiny, double depth = ViewDepth)
    {
        return BallMayShow({{depth / 2 * (px - 2), depth / 2 * (py - 1), -depth}, radius, radius},
                           area);
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case
    {
        const char* What;
        bool Shows;
        bool Actual;
    };
    const Case cases[] = {
        {"on the first pixel centre", true, at(0.5, 0.5)},
        {"on the last pixel centre", true, at(3.5, 1.5)},
        {"between two centres", false, at(1.0, 0.5)},
        {"between the rows", false, at(0.5, 1.0)},
        {"at the left edge, short of the first centre", false, at(0.0, 0.5)},
        {"at the right edge, past the last centre", false, at(4.0, 1.5)},
        {"beside the area", false, at(-3.0, 0.5)},
        {"within the rounding margin of a centre", true, at(0.495, 0.5)},
        {"just beyond the margin", false, at(0.48, 0.5)},
        {"wide enough to reach a centre", true, at(1.0, 0.5, 3.0)},
        {"covering the whole area", true, at(2.0, 1.0, 50.0)},
        {"behind the eye", false, at(0.5, 0.5, 1.0, -10.0)},
        {"nearer than the near plane", false, at(2.0, 1.0, 0.2, 0.5)},
        {"crossing the near plane beside the area", true,
         BallMayShow({{-30, 0, -1.0}, 0.5, 0.5}, area)},
        {"beyond the far plane", false, at(0.5, 0.5, 1.0, 200.0)},
        {"reaching back across the far plane", true, at(0.5, 0.5, 1.0, 100.5)},
        {"with a radius that is not a number", true, at(1.0, 0.5, nan)},
        {"with an infinite radius", true, at(1.0, 0.5, std::numeric_limits<double>::infinity())},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.Actual, c.Shows) << c.What;
    }
}

// The pyramid may take in neighbouring pixels but never misses the farthest one in the box.
TEST(DepthMap, NeverAnswersNearerThanThePixelsInTheBox)
{
    constexpr int32_t Width = 37;
    constexpr int32_t Height = 23;
    RandomGenerator rng;
    rng.Seed(5);
    std::vector<float> pixels(Width * Height);
    for (float& depth : pixels)
    {
        depth = static_cast<float>(rng.Uniform());
    }
    DepthMap map;
    map.Build(Width, Height, pixels.data());
    for (int trial = 0; trial < 500; ++trial)
    {
        int32_t x[2] = {rng.Draw() % Width, rng.Draw() % Width};
        int32_t y[2] = {rng.Draw() % Height, rng.Draw() % Height};
        std::sort(x, x + 2);
        std::sort(y, y + 2);
        float farthest = 0.0f;
        for (int32_t row = y[0]; row <= y[1]; ++row)
        {
            for (int32_t column = x[0]; column <= x[1]; ++column)
            {
                farthest = std::max(farthest, pixels[row * Width + column]);
            }
        }
        const float found = map.FarthestIn(x[0], x[1], y[0], y[1]);
        ASSERT_GE(found, farthest);
        if (x[0] == x[1] && y[0] == y[1])
        {
            ASSERT_EQ(found, farthest);  // a single pixel is read as it is
        }
    }
}

// Over the same 4 x 2 area, with depths already drawn: the left half holds a surface at distance
// 10 (window depth 0.9009...), the right half nothing (1.0).
TEST(BallMayShow, NotBehindWhatThePictureAlreadyHolds)
{
    const PixelArea area{{-1.0, 1.0, -0.5, 0.5, 1.0, 100.0}, 4, 2};
    const float atTen = static_cast<float>(0.5 + 0.5 * 101.0 / 99.0 - 100.0 / (99.0 * 10.0));
    const std::vector<float> pixels = {atTen, atTen, 1.0f, 1.0f, atTen, atTen, 1.0f, 1.0f};
    DepthMap depths;
    depths.Build(4, 2, pixels.data());
    const auto ball = [&](double px, double depth, double radius, double largestSphere = 0.0)
    {
        const Ball b{{depth / 2 * (px - 2), -depth / 4, -depth}, radius, largestSphere};
        return BallMayShow(b, area, &depths);
    };
    struct Case
    {
        const char* What;
        bool Shows;
        bool Actual;
    };
    const Case cases[] = {
        {"in front of the surface", true, ball(0.5, 9.0, 0.5)},
        {"behind it", false, ball(0.5, 12.0, 1.0)},
        {"touching it from behind", true, ball(0.5, 11.0, 1.0)},
        {"behind it, reaching the empty half", true, ball(2.0, 20.0, 5.0)},
        {"behind it, short of the empty half", false, ball(1.9, 20.0, 5.0)},
        {"where nothing is drawn yet", true, ball(2.5, 50.0, 1.0)},
        {"behind it by less than its spheres' sliver reach", true, ball(0.5, 10.5, 0.1, 0.1)},
        {"behind it by more", false, ball(0.5, 14.5, 0.1, 0.1)},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.Actual, c.Shows) << c.What;
    }
    // A map of another size does not describe this picture.
    DepthMap other;
    other.Build(2, 1, pixels.data());
    const Ball behind{{-9.0, -3.0, -12.0}, 1.0, 0.0};
    EXPECT_FALSE(BallMayShow(behind, area, &depths));
    EXPECT_TRUE(BallMayShow(behind, area, &other));
}

}  // namespace
}  // namespace ramifex::test

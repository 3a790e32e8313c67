#include <array>
#include <cmath>
#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "core/mesh/sphere_mesh.h"

namespace ramifex::test
{
namespace
{

std::array<double, 3> Minus(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}

// What files of triangles rely on: a closed surface of points on the unit sphere, each edge shared
// by exactly two triangles that run along it in opposite directions, every triangle facing out.
void ExpectClosedOutwardSurface(const SphereMesh& mesh)
{
    for (const auto& p : mesh.Points)
    {
        EXPECT_NEAR(std::hypot(p[0], p[1], p[2]), 1.0, 1e-6);
    }

    std::map<std::pair<uint32_t, uint32_t>, int> edges;
    for (size_t t = 0; t < mesh.Indices.size(); t += 3)
    {
        const std::array<uint32_t, 3> corner = {mesh.Indices[t], mesh.Indices[t + 1],
                                                mesh.Indices[t + 2]};
        for (int k = 0; k < 3; ++k)
        {
            ASSERT_LT(corner[k], mesh.Points.size());
            ++edges[{corner[k], corner[(k + 1) % 3]}];
        }
        const auto& a = mesh.Points[corner[0]];
        const auto u = Minus(mesh.Points[corner[1]], a);
        const auto v = Minus(mesh.Points[corner[2]], a);
        const std::array<double, 3> normal = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2],
                                              u[0] * v[1] - u[1] * v[0]};
        EXPECT_GT(normal[0] * a[0] + normal[1] * a[1] + normal[2] * a[2], 0.0)
            << "triangle " << t / 3;
    }
    for (const auto& [edge, count] : edges)
    {
        EXPECT_EQ(count, 1) << edge.first << "-" << edge.second;
        EXPECT_EQ(edges.count({edge.second, edge.first}), 1u) << edge.first << "-" << edge.second;
    }
}

// Every level of the tessellation, the program's own sphere among them.
TEST(SphereLevels, AreClosedOutwardFacingSurfaces)
{
    constexpr int Slices = SphereMesh::Slices;
    constexpr int Stacks = SphereMesh::Stacks;
    ASSERT_EQ(UnitSphere().Points.size(), size_t{Slices * (Stacks - 1) + 2});
    ASSERT_EQ(UnitSphere().Indices.size(), size_t{3 * 2 * Slices * (Stacks - 1)});
    EXPECT_EQ(SphereAtLevel(0).Points.size(), 4u);
    for (int level = 0; level < SphereLevels; ++level)
    {
        SCOPED_TRACE(level);
        ExpectClosedOutwardSurface(SphereAtLevel(level));
    }
    EXPECT_EQ(SphereLevelFor(0.3), 0);
    EXPECT_EQ(SphereLevelFor(6.0), ProgramLevel);
    EXPECT_EQ(SphereLevelFor(1e6), SphereLevels - 1);
}

}  // namespace
}  // namespace ramifex::test

#include "core/mesh/sphere_mesh.h"

#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

namespace ramifex
{
namespace
{

// Rings 1..stacks-1 lie between the poles, `slices` points each; the two poles come last.
uint32_t RingPoint(int slices, int ring, int slice)
{
    return static_cast<uint32_t>((ring - 1) * slices + slice % slices);
}

// The sine and cosine of an angle that is first rounded to float, as GLU computes its sphere.
std::pair<float, float> SinCos(double angle)
{
    const double rounded = static_cast<float>(angle);
    return {static_cast<float>(std::sin(rounded)), static_cast<float>(std::cos(rounded))};
}

// The points are the GLU sphere's to the bit: float sines and cosines, products taken in float, and
// the last slice closing exactly onto the first.
std::vector<std::array<float, 3>> SpherePoints(int slices, int stacks)
{
    std::vector<float> sinAround(slices);
    std::vector<float> cosAround(slices);
    for (int i = 0; i < slices; ++i)
    {
        std::tie(sinAround[i], cosAround[i]) = SinCos(2.0 * std::numbers::pi * i / slices);
    }
    std::vector<std::array<float, 3>> points;
    for (int ring = 1; ring < stacks; ++ring)
    {
        const auto [sinPolar, cosPolar] = SinCos(std::numbers::pi * ring / stacks);
        for (int i = 0; i < slices; ++i)
        {
            points.push_back({sinPolar * sinAround[i], sinPolar * cosAround[i], cosPolar});
        }
    }
    points.push_back({0.0f, 0.0f, 1.0f});
    points.push_back({0.0f, 0.0f, -1.0f});
    return points;
}

// The triangles in the order and winding the GLU sphere emits them: a fan round the top pole, a
// fan round the bottom pole, then a strip of quads per band. Each quad is split along the diagonal,
// and each triangle starts at the corner, that GL uses for a quad strip, so that the shading is
// interpolated exactly as for the GLU sphere.
std::vector<uint32_t> SphereIndices(int slices, int stacks)
{
    const auto point = [slices](int ring, int slice) { return RingPoint(slices, ring, slice); };
    const uint32_t top = point(stacks, 0);
    const uint32_t bottom = top + 1;
    std::vector<uint32_t> indices;
    for (int k = 0; k < slices; ++k)
    {
        indices.insert(indices.end(), {point(1, slices - k), point(1, slices - k - 1), top});
    }
    for (int k = 0; k < slices; ++k)
    {
        indices.insert(indices.end(), {point(stacks - 1, k), point(stacks - 1, k + 1), bottom});
    }
    for (int ring = 1; ring < stacks - 1; ++ring)
    {
        for (int k = 0; k < slices; ++k)
        {
            const uint32_t v0 = point(ring + 1, k);
            const uint32_t v1 = point(ring, k);
            const uint32_t v2 = point(ring + 1, k + 1);
            const uint32_t v3 = point(ring, k + 1);
            indices.insert(indices.end(), {v0, v1, v3, v2, v0, v3});
        }
    }
    return indices;
}

SphereMesh LatitudeSphere(int slices, int stacks)
{
    return {SpherePoints(slices, stacks), SphereIndices(slices, stacks)};
}

// Four corners of a cube, the fewest points that enclose the centre.
SphereMesh Tetrahedron()
{
    const float c = static_cast<float>(1.0 / std::sqrt(3.0));
    return {{{c, c, c}, {c, -c, -c}, {-c, c, -c}, {-c, -c, c}},
            {0, 1, 2, 0, 3, 1, 0, 2, 3, 1, 3, 2}};
}

}  // namespace

const SphereMesh& UnitSphere()
{
    return SphereAtLevel(ProgramLevel);
}

const SphereMesh& SphereAtLevel(int level)
{
    static const std::array<SphereMesh, SphereLevels> levels = {
        Tetrahedron(),          LatitudeSphere(4, 2),
        LatitudeSphere(6, 4),   LatitudeSphere(SphereMesh::Slices, SphereMesh::Stacks),
        LatitudeSphere(20, 20), LatitudeSphere(40, 40)};
    return levels[static_cast<size_t>(level)];
}

// The coarsest level whose surface stays within a pixel of the sphere's: a level's faces
// come as close to the centre as its radius times 1/3 (tetrahedron), 1/sqrt(3) (octahedron) or
// about cos(pi / slices) cos(pi / (2 stacks)).
int SphereLevelFor(double radiusPixels)
{
    static constexpr std::array<double, SphereLevels - 1> largestRadius = {1.5, 2.4, 5.0, 16.0,
                                                                           64.0};
    int level = 0;
    while (level < SphereLevels - 1 && radiusPixels >= largestRadius[level])
    {
        ++level;
    }
    return level;
}

}  // namespace ramifex

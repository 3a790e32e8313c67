#include "mesh/sphere_mesh.h"

#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

namespace ramifex
{
namespace
{

constexpr int Slices = SphereMesh::Slices;
constexpr int Stacks = SphereMesh::Stacks;

// Rings 1..Stacks-1 lie between the poles, Slices points each; the two poles come last.
uint32_t RingPoint(int ring, int slice)
{
    return static_cast<uint32_t>((ring - 1) * Slices + slice % Slices);
}

// The sine and cosine of an angle that is first rounded to float, as GLU computes its sphere.
std::pair<float, float> SinCos(double angle)
{
    const double rounded = static_cast<float>(angle);
    return {static_cast<float>(std::sin(rounded)), static_cast<float>(std::cos(rounded))};
}

// The points are the GLU sphere's to the bit: float sines and cosines, products taken in float, and
// the last slice closing exactly onto the first.
std::vector<std::array<float, 3>> SpherePoints()
{
    std::array<float, Slices> sinAround{};
    std::array<float, Slices> cosAround{};
    for (int i = 0; i < Slices; ++i)
    {
        std::tie(sinAround[i], cosAround[i]) = SinCos(2.0 * std::numbers::pi * i / Slices);
    }
    std::vector<std::array<float, 3>> points;
    for (int ring = 1; ring < Stacks; ++ring)
    {
        const auto [sinPolar, cosPolar] = SinCos(std::numbers::pi * ring / Stacks);
        for (int i = 0; i < Slices; ++i)
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
std::vector<uint32_t> SphereIndices()
{
    const uint32_t top = RingPoint(Stacks, 0);
    const uint32_t bottom = top + 1;
    std::vector<uint32_t> indices;
    for (int k = 0; k < Slices; ++k)
    {
        indices.insert(indices.end(),
                       {RingPoint(1, Slices - k), RingPoint(1, Slices - k - 1), top});
    }
    for (int k = 0; k < Slices; ++k)
    {
        indices.insert(indices.end(),
                       {RingPoint(Stacks - 1, k), RingPoint(Stacks - 1, k + 1), bottom});
    }
    for (int ring = 1; ring < Stacks - 1; ++ring)
    {
        for (int k = 0; k < Slices; ++k)
        {
            const uint32_t v0 = RingPoint(ring + 1, k);
            const uint32_t v1 = RingPoint(ring, k);
            const uint32_t v2 = RingPoint(ring + 1, k + 1);
            const uint32_t v3 = RingPoint(ring, k + 1);
            indices.insert(indices.end(), {v0, v1, v3, v2, v0, v3});
        }
    }
    return indices;
}

}  // namespace

const SphereMesh& UnitSphere()
{
    static const SphereMesh mesh{SpherePoints(), SphereIndices()};
    return mesh;
}

}  // namespace ramifex

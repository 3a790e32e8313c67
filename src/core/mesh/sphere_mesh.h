#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/render/matrix4.h"

namespace ramifex
{

// The unit sphere of 10 slices and 10 stacks as an indexed triangle mesh: the points and the
// triangles of the GLU sphere the program draws, with each point shared by the triangles around it.
struct SphereMesh
{
    static constexpr int Slices = 10;
    static constexpr int Stacks = 10;
    std::vector<std::array<float, 3>> Points;  // on the unit sphere, so also the outward normals
    std::vector<uint32_t> Indices;             // three per triangle
};

const SphereMesh& UnitSphere();

// The unit sphere in coarser and finer versions, for files of triangles that tessellate each sphere
// for its size on screen: a tetrahedron and an octahedron for spheres of about a pixel, 6 slices
// by 4 stacks, then ProgramLevel, UnitSphere() itself, and 20 and 40 slices and stacks. Every level
// is a closed surface of points on the unit sphere with outward-facing triangles.
inline constexpr int SphereLevels = 6;
inline constexpr int ProgramLevel = 3;
const SphereMesh& SphereAtLevel(int level);
// The level for a sphere whose radius on screen is that many pixels.
int SphereLevelFor(double radiusPixels);

// Calls place(position, normal) for each point of UnitSphere() carried through a node matrix, in
// double and rounded once to float: the points every sphere is drawn with. Node matrices are a turn
// times a uniform scale plus a shift, so the upper 3x3 block keeps a normal's direction; its length
// is the node's scale.
template <typename Place>
void PlaceUnitSphere(const Matrix4& node, Place&& place)
{
    const auto& m = node.M;
    for (const auto& p : UnitSphere().Points)
    {
        std::array<float, 3> position;
        std::array<float, 3> normal;
        for (int i = 0; i < 3; ++i)
        {
            const double turned = m[i] * p[0] + m[4 + i] * p[1] + m[8 + i] * p[2];
            position[i] = static_cast<float>(turned + m[12 + i]);
            normal[i] = static_cast<float>(turned);
        }
        place(position, normal);
    }
}

}  // namespace ramifex

#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/matrix4.h"
#include "scene/branch_params.h"

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

// Spheres gathered for one draw call. Each sphere's points and normals are carried through its node
// matrix on the CPU, in double and rounded once to float, and its colour goes with every point, so
// a whole batch draws with the view transform alone and no state change between spheres. Node
// matrices are a turn times a uniform scale plus a shift, so the upper 3x3 block keeps a normal's
// direction, and GL_NORMALIZE restores its length. Fixed size: adding allocates nothing.
class SphereBatch
{
public:
    static constexpr size_t Capacity = 256;
    // Pixels a batch may cover before it is drawn: about one picture's worth, which a software
    // rasteriser fills in a few milliseconds, so that large, close spheres go in small batches.
    static constexpr double PixelBudget = 640.0 * 480.0;
    static constexpr size_t FloatsPerPoint = 9;  // position, normal, colour

    SphereBatch();

    size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    bool Full() const { return size_ == Capacity || pixels_ >= PixelBudget; }
    // pixels: an estimate of the area the sphere covers on screen.
    void Add(const Matrix4& node, const Vec3& colour, double pixels);
    void Clear()
    {
        size_ = 0;
        pixels_ = 0.0;
    }

    const float* Points() const { return points_.data(); }
    size_t PointCount() const { return size_ * UnitSphere().Points.size(); }
    // Indices into Points() for every sphere added; the first IndexCount() are in use.
    const uint32_t* Indices() const { return indices_.data(); }
    size_t IndexCount() const { return size_ * UnitSphere().Indices.size(); }

private:
    std::vector<float> points_;
    std::vector<uint32_t> indices_;
    size_t size_ = 0;
    double pixels_ = 0.0;
};

}  // namespace ramifex

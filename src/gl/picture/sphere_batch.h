#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/mesh/sphere_mesh.h"
#include "core/render/matrix4.h"
#include "core/scene/branch_params.h"

namespace ramifex
{

// Spheres gathered for one draw call. Each sphere's points and normals are placed on the CPU
// (PlaceUnitSphere) and its colour goes with every point, so a whole batch draws with the view
// transform alone and no state change between spheres; GL_NORMALIZE restores the normals' length.
// Fixed size: adding allocates nothing.
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

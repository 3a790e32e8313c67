#include "gl/picture/sphere_batch.h"

#include <algorithm>

namespace ramifex
{

SphereBatch::SphereBatch()
{
    const SphereMesh& mesh = UnitSphere();
    points_.resize(Capacity * mesh.Points.size() * FloatsPerPoint);
    indices_.reserve(Capacity * mesh.Indices.size());
    for (size_t sphere = 0; sphere < Capacity; ++sphere)
    {
        const auto first = static_cast<uint32_t>(sphere * mesh.Points.size());
        for (uint32_t index : mesh.Indices)
        {
            indices_.push_back(first + index);
        }
    }
}

void SphereBatch::Add(const Matrix4& node, const Vec3& colour, double pixels)
{
    pixels_ += pixels;
    const std::array<float, 3> rgb{static_cast<float>(colour[0]), static_cast<float>(colour[1]),
                                   static_cast<float>(colour[2])};
    float* out = points_.data() + PointCount() * FloatsPerPoint;
    PlaceUnitSphere(
        node,
        [&out, &rgb](const std::array<float, 3>& position, const std::array<float, 3>& normal)
        {
            std::copy(position.begin(), position.end(), out);
            std::copy(normal.begin(), normal.end(), out + 3);
            std::copy(rgb.begin(), rgb.end(), out + 6);
            out += FloatsPerPoint;
        });
    ++size_;
}

}  // namespace ramifex

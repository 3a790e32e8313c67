#include "io/geometry/sphere_collector.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/mesh/sphere_mesh.h"
#include "core/render/projection.h"
#include "core/render/visibility.h"

namespace ramifex
{
namespace
{

uint8_t ColourByte(double component)
{
    return static_cast<uint8_t>(std::lround(std::clamp(component, 0.0, 1.0) * 255.0));
}

// The quaternion (x, y, z, w) of a rotation matrix given by rows.
std::array<double, 4> QuaternionOf(const std::array<std::array<double, 3>, 3>& r)
{
    const double trace = r[0][0] + r[1][1] + r[2][2];
    if (trace > 0.0)
    {
        const double s = 2.0 * std::sqrt(1.0 + trace);
        return {(r[2][1] - r[1][2]) / s, (r[0][2] - r[2][0]) / s, (r[1][0] - r[0][1]) / s, s / 4.0};
    }
    // The largest diagonal element keeps the division well away from zero.
    const int i = (r[1][1] > r[0][0]) ? (r[2][2] > r[1][1] ? 2 : 1) : (r[2][2] > r[0][0] ? 2 : 0);
    const int j = (i + 1) % 3;
    const int k = (i + 2) % 3;
    const double s = 2.0 * std::sqrt(1.0 + r[i][i] - r[j][j] - r[k][k]);
    std::array<double, 4> q{};
    q[i] = s / 4.0;
    q[j] = (r[j][i] + r[i][j]) / s;
    q[k] = (r[k][i] + r[i][k]) / s;
    q[3] = (r[k][j] - r[j][k]) / s;
    return q;
}

}  // namespace

// The view is a turn R and a shift t from the object's frame to the eye's; the camera is placed by
// the inverse, the turn R^T about the point -R^T t.
ExportedCamera CameraFor(const Matrix4& view, int32_t width, int32_t height)
{
    std::array<std::array<double, 3>, 3> inverse{};
    ExportedCamera camera;
    for (int row = 0; row < 3; ++row)
    {
        for (int column = 0; column < 3; ++column)
        {
            inverse[row][column] = view.At(column, row);
            camera.Position[row] -= view.At(column, row) * view.At(column, 3);
        }
    }
    camera.Rotation = QuaternionOf(inverse);
    const Frustum frustum = FrustumFor(width, height);
    camera.VerticalFov = 2.0 * std::atan(frustum.Top / frustum.Near);
    camera.Aspect = (frustum.Right - frustum.Left) / (frustum.Top - frustum.Bottom);
    camera.Near = frustum.Near;
    camera.Far = frustum.Far;
    return camera;
}

void SphereCollector::SetViewTransform(const Matrix4& view)
{
    view_ = view;
    geometry_.Camera = CameraFor(view, width_, height_);
}

void SphereCollector::DrawSphere(const Matrix4& node, const Vec3& colour)
{
    const auto& m = node.M;
    const double radiusPixels =
        std::sqrt(CoveredPixels(view_, node, width_, height_) / std::numbers::pi);
    geometry_.Spheres.push_back(
        {{static_cast<float>(m[12]), static_cast<float>(m[13]), static_cast<float>(m[14])},
         static_cast<float>(std::hypot(m[0], m[1], m[2])),
         {ColourByte(colour[0]), ColourByte(colour[1]), ColourByte(colour[2])},
         static_cast<uint8_t>(SphereLevelFor(radiusPixels))});
}

}  // namespace ramifex

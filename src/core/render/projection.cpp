#include "core/render/projection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace ramifex
{

Frustum FrustumFor(int32_t width, int32_t height)
{
    const double top = static_cast<float>(static_cast<double>(height) / width);
    return {-1.0, 1.0, -top, top, 1.0, 1000.0};
}

double CoveredPixels(const Matrix4& view, const Matrix4& node, int32_t width, int32_t height)
{
    const double pictureArea = static_cast<double>(width) * height;
    const auto& n = node.M;
    const double depth =
        -(view.At(2, 0) * n[12] + view.At(2, 1) * n[13] + view.At(2, 2) * n[14] + view.At(2, 3));
    const double radius = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (depth <= radius)
    {
        return pictureArea;
    }
    const Frustum frustum = FrustumFor(width, height);
    const double pixelsPerNearUnit = width / (frustum.Right - frustum.Left) * frustum.Near;
    const double radiusPixels = radius / depth * pixelsPerNearUnit;
    return std::min(pictureArea, std::numbers::pi * radiusPixels * radiusPixels);
}

}  // namespace ramifex

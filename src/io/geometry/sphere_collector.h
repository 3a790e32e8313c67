#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "core/render/draw_surface.h"
#include "io/geometry/exported_geometry.h"

namespace ramifex
{

// The camera whose picture of width by height pixels is the one the view transform gives.
ExportedCamera CameraFor(const Matrix4& view, int32_t width, int32_t height);

// Keeps each sphere the walk draws as an ExportedSphere, tessellated for its size on a picture of
// width by height pixels. Drawn alongside a picture, it gets exactly the spheres the picture draws;
// on its own it judges nothing and gets the whole tree.
class SphereCollector final : public DrawSurface
{
public:
    SphereCollector(int32_t width, int32_t height) : width_(width), height_(height) {}

    const ExportedGeometry& Geometry() const { return geometry_; }
    ExportedGeometry TakeGeometry() { return std::move(geometry_); }

    void Clear() override { geometry_.Spheres.clear(); }
    void SetViewTransform(const Matrix4& view) override;
    void DrawSphere(const Matrix4& node, const Vec3& colour) override;
    void Present() override {}
    bool SkipsRepeatDrawings() const override { return true; }

private:
    int32_t width_;
    int32_t height_;
    Matrix4 view_ = Matrix4::Identity();
    ExportedGeometry geometry_;
};

}  // namespace ramifex

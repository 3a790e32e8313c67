#pragma once

#include "core/render/draw_surface.h"

namespace ramifex
{

// Draws onto a picture and hands every call to a second surface alongside, which so gets exactly
// the spheres the picture draws: the picture alone decides what the walk may leave out.
class TeeSurface final : public DrawSurface
{
public:
    TeeSurface(DrawSurface& picture, DrawSurface& alongside)
        : picture_(picture), alongside_(alongside)
    {
    }

    void Clear() override
    {
        picture_.Clear();
        alongside_.Clear();
    }
    void SetViewTransform(const Matrix4& view) override
    {
        picture_.SetViewTransform(view);
        alongside_.SetViewTransform(view);
    }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        picture_.DrawSphere(node, colour);
        alongside_.DrawSphere(node, colour);
    }
    void Present() override
    {
        picture_.Present();
        alongside_.Present();
    }
    uint32_t PresentMs() const override { return picture_.PresentMs(); }
    bool SkipsRepeatDrawings() const override { return picture_.SkipsRepeatDrawings(); }
    std::optional<PixelArea> VisibleArea() const override { return picture_.VisibleArea(); }
    const DepthMap* ReadDepths() override { return picture_.ReadDepths(); }

private:
    DrawSurface& picture_;
    DrawSurface& alongside_;
};

}  // namespace ramifex

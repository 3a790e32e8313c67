#pragma once

#include <optional>
#include <vector>

#include "core/render/draw_surface.h"

namespace ramifex
{

// The walk's drawing as a stream of spheres kept in memory, with no window and no GL: each sphere
// the walk draws, as its node matrix (under View()) and colour, for whatever wants the spheres
// rather than pixels. Judged at a picture's area, the recorder gets the spheres that the culling
// rules keep for a picture of that size (all that may change a pixel, as far as the walk can tell
// without the picture's depths); judged at none, every sphere of the tree.
class SphereRecorder : public DrawSurface
{
public:
    struct Sphere
    {
        Matrix4 Node;
        Vec3 Colour;
    };

    // Takes effect at the walk's next restart.
    void JudgeAt(std::optional<PixelArea> area) { area_ = area; }
    // By default a node's second drawing, which lands exactly on the first, is not recorded.
    void RecordRepeats(bool repeats) { skipsRepeats_ = !repeats; }

    const std::vector<Sphere>& Spheres() const { return spheres_; }
    const Matrix4& View() const { return view_; }

    // A new picture starts with no spheres.
    void Clear() override { spheres_.clear(); }
    void SetViewTransform(const Matrix4& view) override { view_ = view; }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        spheres_.push_back({node, colour});
    }
    void Present() override {}
    bool SkipsRepeatDrawings() const override { return skipsRepeats_; }
    std::optional<PixelArea> VisibleArea() const override { return area_; }

private:
    std::optional<PixelArea> area_;
    bool skipsRepeats_ = true;
    std::vector<Sphere> spheres_;
    Matrix4 view_ = Matrix4::Identity();
};

}  // namespace ramifex

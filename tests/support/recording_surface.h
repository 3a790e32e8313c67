#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "render/draw_surface.h"

namespace ramifex::test
{

// Records what the frame tick asks of the picture: "clear", "view", "sphere" and "present", in
// order, with every sphere's node and colour.
class RecordingSurface final : public DrawSurface
{
public:
    struct Sphere
    {
        Matrix4 Node;
        Vec3 Colour;
    };

    void Clear() override { events.push_back("clear"); }
    void SetViewTransform(const Matrix4& view) override
    {
        events.push_back("view");
        lastView = view;
    }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        events.push_back("sphere");
        spheres.push_back({node, colour});
    }
    void Present() override { events.push_back("present"); }
    bool SkipsRepeatDrawings() const override { return skipsRepeats; }
    std::optional<PixelArea> VisibleArea() const override { return area; }

    long Count(const std::string& event) const
    {
        return std::count(events.begin(), events.end(), event);
    }

    bool skipsRepeats = false;
    std::optional<PixelArea> area;  // none: nothing is left out and there is no preview
    std::vector<std::string> events;
    std::vector<Sphere> spheres;
    Matrix4 lastView;
};

}  // namespace ramifex::test

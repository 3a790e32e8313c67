#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "core/render/sphere_recorder.h"

namespace ramifex::test
{

// The sphere recorder, every drawing recorded (second drawings too, unless told otherwise), that
// also notes what the frame tick asks of the picture: "clear", "view", "sphere" and "present", in
// order.
class RecordingSurface final : public SphereRecorder
{
public:
    RecordingSurface() { RecordRepeats(true); }

    void Clear() override
    {
        events.push_back("clear");
        SphereRecorder::Clear();
    }
    void SetViewTransform(const Matrix4& view) override
    {
        events.push_back("view");
        SphereRecorder::SetViewTransform(view);
    }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        events.push_back("sphere");
        SphereRecorder::DrawSphere(node, colour);
    }
    void Present() override { events.push_back("present"); }
    uint32_t PresentMs() const override { return presentMs; }

    long Count(const std::string& event) const
    {
        return std::count(events.begin(), events.end(), event);
    }

    std::vector<std::string> events;
    uint32_t presentMs = 0;  // what the surface says a present takes
};

}  // namespace ramifex::test

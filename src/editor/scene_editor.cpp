#include "editor/scene_editor.h"

#include <algorithm>

#include "scene/quaternion.h"

namespace ramifex
{
namespace
{

SceneChange RecordChange(int32_t record)
{
    return SceneChange{.Records = static_cast<uint8_t>(1u << record)};
}

}  // namespace

void SceneEditor::Initialise()
{
    SceneState after = scene_;
    after.Records[BaseRecord].Colour = {1.0, 1.0, 1.0};
    current_ = BaseRecord;
    Commit(after, SceneChange{.Records = 1u << BaseRecord, .Selection = true});
}

void SceneEditor::ApplySliders(const SliderValues& values)
{
    SceneState after = scene_;
    BranchParams& record = after.Records[current_];
    record.Angle = values.Angle;
    record.Axis = values.Axis;
    NormaliseAxis(record.Axis);
    record.Scale = values.Scale;
    record.Offset = values.Offset;
    record.Ratio = values.Ratio;
    Apply(after, RecordChange(current_));
}

void SceneEditor::SetIterations(int32_t count)
{
    SceneState after = scene_;
    after.Iterations = std::clamp(count, int32_t{1}, int32_t{MaxDepth});
    Apply(after, SceneChange{.Iterations = true});
}

void SceneEditor::Randomise()
{
    SceneState after = scene_;
    RandomiseRecords(after, generator_);
    Apply(after, SceneChange{.Records = 0b111});
}

void SceneEditor::SetCurrentColour(const Vec3& colour)
{
    SceneState after = scene_;
    after.Records[current_].Colour = colour;
    Apply(after, RecordChange(current_));
}

void SceneEditor::OpenScene(const SceneState& scene)
{
    Apply(scene, SceneChange{.Records = 0b111, .Iterations = true, .ViewOffset = true});
}

void SceneEditor::RotateCurrentRecord(int32_t dx, int32_t dy)
{
    RotateRecord(current_, dx, dy);
}

void SceneEditor::RotateBaseRecord(int32_t dx, int32_t dy)
{
    RotateRecord(BaseRecord, dx, dy);
}

void SceneEditor::RotateRecord(int32_t record, int32_t dx, int32_t dy)
{
    if (dx == 0 && dy == 0)
    {
        return;  // a drag needs a direction to turn about
    }
    SceneState after = scene_;
    RotateByDrag(dx, dy, after.Records[record]);
    Apply(after, RecordChange(record));
}

void SceneEditor::MoveView(double x, double y, double z)
{
    SceneState after = scene_;
    after.ViewOffset[0] += x;
    after.ViewOffset[1] += y;
    after.ViewOffset[2] += z;
    Apply(after, SceneChange{.ViewOffset = true});
}

void SceneEditor::Select(int32_t record)
{
    if (record < 0 || record >= static_cast<int32_t>(scene_.Records.size()))
    {
        return;
    }
    current_ = record;
    Announce(SceneChange{.Selection = true});
}

SceneEditor::ListenerId SceneEditor::AddListener(Listener listener)
{
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void SceneEditor::RemoveListener(ListenerId id)
{
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void SceneEditor::Apply(const SceneState& after, const SceneChange& change)
{
    Commit(after, change);
}

// Any change of the scene restarts the picture.
void SceneEditor::Commit(const SceneState& after, const SceneChange& change)
{
    scene_ = after;
    redrawRequested_ = true;
    Announce(change);
}

void SceneEditor::Announce(const SceneChange& change) const
{
    for (const auto& entry : listeners_)
    {
        entry.second(change);
    }
}

}  // namespace ramifex

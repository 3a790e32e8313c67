#include "core/editor/scene_editor.h"

#include <algorithm>

#include "core/editor/view_zoom.h"
#include "core/render/tree_framing.h"
#include "core/scene/quaternion.h"

namespace ramifex
{
namespace
{

SceneChange RecordChange(int32_t record)
{
    return SceneChange{.Records = static_cast<uint8_t>(1u << record)};
}

SceneChange ChangeBetween(const SceneState& before, const SceneState& after)
{
    SceneChange change{.Iterations = after.Iterations != before.Iterations,
                       .ViewOffset = after.ViewOffset != before.ViewOffset};
    for (int record = BaseRecord; record <= Branch2Record; ++record)
    {
        if (after.Records[record] != before.Records[record])
        {
            change.Records |= RecordChange(record).Records;
        }
    }
    return change;
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
    Apply(EditAction::Sliders, after, RecordChange(current_));
}

void SceneEditor::SetIterations(int32_t count)
{
    SceneState after = scene_;
    after.Iterations = std::clamp(count, int32_t{1}, int32_t{MaxDepth});
    Apply(EditAction::Iterations, after, SceneChange{.Iterations = true});
}

void SceneEditor::Randomize()
{
    SceneState after = scene_;
    RandomizeRecords(after, generator_);
    SceneChange change{.Records = 0b111};
    if (frameAfterRandomize_)
    {
        const auto [width, height] = frameAfterRandomize_();
        after.ViewOffset = FramingViewOffset(after, width, height).value_or(after.ViewOffset);
        change.ViewOffset = after.ViewOffset != scene_.ViewOffset;
    }
    Apply(EditAction::Randomize, after, change);
}

void SceneEditor::FrameWholeTree(int32_t width, int32_t height)
{
    SceneState after = scene_;
    after.ViewOffset = FramingViewOffset(scene_, width, height).value_or(scene_.ViewOffset);
    if (after == scene_)
    {
        return;
    }
    Apply(EditAction::Frame, after, ChangeBetween(scene_, after));
}

void SceneEditor::SetCurrentColour(const Vec3& colour)
{
    SceneState after = scene_;
    after.Records[current_].Colour = colour;
    Apply(EditAction::Colour, after, RecordChange(current_));
}

void SceneEditor::OpenScene(const SceneState& scene)
{
    Apply(EditAction::Open, scene,
          SceneChange{.Records = 0b111, .Iterations = true, .ViewOffset = true});
}

void SceneEditor::AdoptVariation(const SceneState& variation)
{
    SceneState after = scene_;
    after.Records = variation.Records;
    Apply(EditAction::Variation, after, SceneChange{.Records = 0b111});
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
    Apply(EditAction::Turn, after, RecordChange(record));
}

void SceneEditor::MoveView(double x, double y, double z)
{
    SceneState after = scene_;
    after.ViewOffset[0] += x;
    after.ViewOffset[1] += y;
    after.ViewOffset[2] += z;
    Apply(EditAction::Move, after, SceneChange{.ViewOffset = true});
}

void SceneEditor::Zoom(double notches)
{
    SceneState after = scene_;
    after.ViewOffset = ZoomedViewOffset(scene_.ViewOffset, notches);
    if (after.ViewOffset == scene_.ViewOffset)
    {
        return;
    }
    Apply(EditAction::Zoom, after, SceneChange{.ViewOffset = true});
}

void SceneEditor::ResetView()
{
    SceneState after = scene_;
    after.ViewOffset = SceneState{}.ViewOffset;
    after.Records[BaseRecord].Angle = 0.0;
    if (after == scene_)
    {
        return;
    }
    Apply(EditAction::ResetView, after, ChangeBetween(scene_, after));
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

void SceneEditor::Restore(const SceneState& scene, std::optional<int32_t> current)
{
    SceneChange change = ChangeBetween(scene_, scene);
    if (current && *current != current_)
    {
        current_ = *current;
        change.Selection = true;
    }
    Commit(scene, change);
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

void SceneEditor::Apply(EditAction action, const SceneState& after, const SceneChange& change)
{
    const SceneState before = scene_;
    Commit(after, change);
    if (recorder_)
    {
        recorder_(SceneEdit{action, gesture_, before, scene_, current_});
    }
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

#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "core/navigation/navigator.h"
#include "core/scene/random_generator.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

// What one change touched, so that a view refreshes only what it shows.
struct SceneChange
{
    uint8_t Records = 0;  // bit i set: record i changed
    bool Iterations = false;
    bool ViewOffset = false;
    bool Selection = false;  // another record became the current one

    bool RecordChanged(int index) const { return ((Records >> index) & 1) != 0; }
    bool operator==(const SceneChange&) const = default;
};

// What the user did, as an undo history names it.
enum class EditAction
{
    Sliders,
    Iterations,
    Randomize,
    Colour,
    Turn,
    Move,
    Zoom,
    ResetView,
    Open,
    Frame,
    Variation,
};

// One edit as it reached the scene, for an undo history to record.
struct SceneEdit
{
    EditAction Action;
    int Gesture;  // edits between one BeginGesture and its EndGesture share it; 0: none open
    const SceneState& Before;
    const SceneState& After;
    int32_t Current;  // the record being edited
};

// The fields of a record that the panel's sliders hold: all but the colour.
struct SliderValues
{
    double Angle = 0.0;
    Vec3 Axis{};
    double Scale = 0.0;
    double Offset = 0.0;
    double Ratio = 0.0;
};

// The one place where the scene is edited. Owns the scene, the generator that "Randomize" draws
// from, the current record (the one the panel edits) and the redraw flag. Every edit requests a
// redraw and tells the listeners what changed; the panel and the viewer are views of it.
class SceneEditor final : public Navigator
{
public:
    using Listener = std::function<void(const SceneChange&)>;
    using ListenerId = int;
    using Recorder = std::function<void(const SceneEdit&)>;

    // Start-up steps rather than edits: the base colour becomes white and the base record current,
    // and the first picture is requested. An undo history never sees them.
    void Initialise();
    void Seed(uint32_t seed) { generator_.Seed(seed); }

    // The slider read: every field of the current record but its colour; the axis is normalised.
    void ApplySliders(const SliderValues& values);
    // Kept within 1..MaxDepth.
    void SetIterations(int32_t count);
    // Rewrites all three records from thirty draws of the generator, and frames the new tree in
    // the same edit while framing after it is asked for.
    void Randomize();
    // A picture's width and height in pixels.
    using PictureSize = std::function<std::pair<int32_t, int32_t>()>;
    // While given, Randomize also frames the whole tree for a picture of the size this gives;
    // none: it leaves the view offset as it is.
    void FrameAfterRandomize(PictureSize size) { frameAfterRandomize_ = std::move(size); }
    // Moves the view offset so that the whole tree at its depth fits a picture of this size with a
    // little to spare, the object's turn unchanged; nothing happens when it fits so already or
    // cannot be framed (values that are not finite, a tree too large for the far plane).
    void FrameWholeTree(int32_t width, int32_t height);
    void SetCurrentColour(const Vec3& colour);
    // Replaces the whole scene, as opening a file does: one edit of every record, the iteration
    // count and the view offset. The record being edited stays the same one.
    void OpenScene(const SceneState& scene);
    // Takes a variation's records, which is all a variation changes.
    void AdoptVariation(const SceneState& variation);

    // Navigator: the viewer's gestures. A drag of no movement changes nothing.
    void RotateCurrentRecord(int32_t dx, int32_t dy) override;
    void RotateBaseRecord(int32_t dx, int32_t dy) override;
    void MoveView(double x, double y, double z) override;
    // Changes only the depth of the view offset (ZoomedViewOffset); where it cannot move, nothing
    // happens, as with a drag of no movement.
    void Zoom(double notches) override;
    void RequestRedraw() override { redrawRequested_ = true; }
    void BeginGesture() override { gesture_ = ++lastGesture_; }
    void EndGesture() override { gesture_ = 0; }

    // The view offset back to where it starts and the base record's angle to 0; nothing happens
    // when both are there already.
    void ResetView();

    // Makes another record the one being edited; the picture does not change, so no redraw. An
    // index that names no record is ignored.
    void Select(int32_t record);

    // Puts back a scene, and the record being edited when one is given, from an undo history:
    // views hear of it and the picture restarts as after any edit, but it is no edit of its own.
    void Restore(const SceneState& scene, std::optional<int32_t> current);
    // Hears of every edit, with the scene from before; none by default.
    void SetRecorder(Recorder recorder) { recorder_ = std::move(recorder); }

    const SceneState& Scene() const { return scene_; }
    int32_t Current() const { return current_; }
    const BranchParams& CurrentRecord() const { return scene_.Records[current_]; }
    const RandomGenerator& Generator() const { return generator_; }
    bool RedrawRequested() const { return redrawRequested_; }

    // The frame tick takes the flag by reference and clears it when it restarts the picture.
    bool& RedrawFlag() { return redrawRequested_; }
    // The scene the renderer walks. The walk normalises axes in place, which changes no picture
    // and is no edit; nothing else writes through this.
    SceneState& SceneForWalk() { return scene_; }

    // A listener hears of every change until it is removed, which it must be before it goes. While
    // being told, listeners may read the editor but not add or remove listeners.
    ListenerId AddListener(Listener listener);
    void RemoveListener(ListenerId id);

private:
    void RotateRecord(int32_t record, int32_t dx, int32_t dy);
    // Every edit passes here, which is where an undo history records it.
    void Apply(EditAction action, const SceneState& after, const SceneChange& change);
    void Commit(const SceneState& after, const SceneChange& change);
    void Announce(const SceneChange& change) const;

    SceneState scene_;
    RandomGenerator generator_;
    int32_t current_ = BaseRecord;
    bool redrawRequested_ = false;
    std::vector<std::pair<ListenerId, Listener>> listeners_;
    ListenerId nextListenerId_ = 0;
    Recorder recorder_;
    int gesture_ = 0;
    int lastGesture_ = 0;
    PictureSize frameAfterRandomize_;
};

}  // namespace ramifex

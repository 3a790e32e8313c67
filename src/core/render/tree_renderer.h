#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "core/render/draw_surface.h"
#include "core/render/frame_tick.h"
#include "core/render/matrix4.h"
#include "core/render/millisecond_clock.h"
#include "core/render/visibility.h"
#include "core/render/walk_forecast.h"
#include "core/render/walk_progress.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

// One level of the depth-first walk.
struct DrawFrame
{
    int32_t ChildCounter = 0;  // branch of the next child: 0 = "branch 1", 1 = "branch 2"
    Matrix4 Matrix;            // the node's transform relative to the view transform
    Vec3 Colour{};
    bool Shows = false;  // the node's own sphere may change the picture, so it is drawn
};

// The path from the root to the node being drawn. Level is -1 before the first restart and once
// the walk has finished.
struct FrameStack
{
    std::array<DrawFrame, MaxDepth> Frames{};
    int32_t Level = -1;
    uint32_t TickStart = 0;
};

// How often an output's walk reads the depths of a picture of that many pixels (see
// TreeRenderer::ReadDepthsEvery). A read costs time in proportion to the pixels; this many steps
// between reads keep a walk within about a quarter of the time it takes reading once a tick, and
// leave out as much.
inline uint64_t OutputDepthReadSteps(int64_t pixels)
{
    return std::max<uint64_t>(2000, static_cast<uint64_t>(pixels / 256));
}

// Draws the tree of spheres a slice at a time: every tick continues the walk for at most
// TickBudget milliseconds and presents, so deep trees grow on screen while the program stays
// responsive. The walk allocates nothing. The renderer owns the walk's phase: created over any
// scene, it is idle until the first tick that restarts the picture.
class TreeRenderer
{
public:
    // The walk reads the scene afresh at every step and normalises its axes in place.
    TreeRenderer(SceneState& scene, DrawSurface& surface, MillisecondClock& clock);

    // Runs on every timer tick. Continues an unfinished walk; then, if a redraw was requested,
    // clears, sets the view transform, clears the flag and restarts the walk from the root.
    void FrameTick(bool& redrawRequested);

    // True until the first restart, and again once the walk has drawn every node.
    bool WalkFinished() const { return stack_.Level < 0; }

    const FrameStack& Stack() const { return stack_; }
    const std::array<Matrix4, 2>& BranchMatrices() const { return branchMatrices_; }
    WalkProgress Progress() const;
    // Levels the current walk's preview draws first; 0 when it has none or it is done.
    int32_t PreviewDepth() const { return previewDepth_; }
    // Levels of the tree the picture shows complete: all of them once the walk has finished, the
    // preview's once it is done, none before.
    int32_t CompleteLevels() const;

    // Leaving out what cannot change a pixel is on unless switched off, which only benchmarks and
    // tests do to compare the pictures.
    void SetCulling(bool on) { culling_ = on; }
    // Reads the picture's depths every that many steps of the walk rather than once a tick, so
    // that where ticks end, which the clock decides, changes nothing the walk leaves out: an
    // output then has the same spheres and pixels in every run. 0, the viewer's way, reads them
    // at every tick's start, the freshest a tick allows.
    void ReadDepthsEvery(uint64_t steps) { depthReadSteps_ = steps; }

private:
    void Restart();
    void ResetFrames();
    void BuildBranchMatrices();
    int32_t ChoosePreviewDepth() const;
    void WalkStep();
    void ReadDepthsWhenDue();
    int32_t WalkDepth() const;
    bool Arrive(DrawFrame& node, int level, int depth);
    bool FinishPass(int& level, uint32_t now);
    double FractionDone() const;
    double NodesLeft() const;
    int BranchOf(int level) const;
    void MeasureRate(uint64_t spheres, uint32_t elapsedMs);
    void SetViewTransform();
    void FormChild(int level);
    bool Backtrack(int& level);

    SceneState& scene_;
    DrawSurface& surface_;
    MillisecondClock& clock_;
    FrameStack stack_;
    std::array<Matrix4, 2> branchMatrices_{};
    SubtreeRadii radii_;
    Matrix4 view_ = Matrix4::Identity();
    std::optional<PixelArea> area_;     // read afresh at every restart and walk step
    const DepthMap* depths_ = nullptr;  // read afresh at every walk step, or when due
    bool culling_ = true;
    uint64_t depthReadSteps_ = 0;
    uint64_t stepsToDepthRead_ = 0;
    int32_t previewDepth_ = 0;  // while set, the walk is the preview and goes no deeper
    int32_t drawnDepth_ = 0;    // levels above this were drawn by the preview
    uint64_t nodesDone_ = 0;
    uint64_t spheresDrawn_ = 0;
    uint64_t visited_ = 0;
    bool timed_ = false;  // the walk's first step has read the clock
    uint32_t firstReading_ = 0;
    uint32_t lastReading_ = 0;
    double spheresPerMs_;
    WalkForecast forecast_;
};

}  // namespace ramifex

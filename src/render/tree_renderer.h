#pragma once

#include <array>
#include <cstdint>

#include "render/draw_surface.h"
#include "render/matrix4.h"
#include "render/millisecond_clock.h"
#include "scene/scene_state.h"

namespace ramifex
{

// Longest a tick may spend walking, in milliseconds.
inline constexpr uint32_t TickBudget = 50;

// One level of the depth-first walk.
struct DrawFrame
{
    int32_t ChildCounter = 0;  // branch of the next child: 0 = "branch 1", 1 = "branch 2"
    Matrix4 Matrix;            // the node's transform relative to the view transform
    Vec3 Colour{};
};

// The path from the root to the node being drawn. Level is -1 before the first restart and once
// the walk has finished.
struct FrameStack
{
    std::array<DrawFrame, MaxDepth> Frames{};
    int32_t Level = -1;
    uint32_t TickStart = 0;
};

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

    // The branch matrix R(angle, axis) * S(scale) * T(0, 0, offset) of one record.
    static Matrix4 BranchMatrix(const BranchParams& record);

private:
    void Restart();
    void BuildBranchMatrices();
    void WalkStep();
    void SetViewTransform();
    void FormChild(int level);
    bool Backtrack(int& level);

    SceneState& scene_;
    DrawSurface& surface_;
    MillisecondClock& clock_;
    FrameStack stack_;
    std::array<Matrix4, 2> branchMatrices_{};
};

}  // namespace ramifex

#pragma once

#include <array>
#include <cstdint>

#include "core/render/millisecond_clock.h"
#include "core/scene/scene_state.h"
#include "support/glu_sphere.h"

namespace ramifex
{

class GlViewer;

namespace bench
{

// The tree walk drawn the way it was first described, call for call: every matrix operation runs
// on the GL matrix stack and is read back, every sphere is tessellated anew in immediate mode, its
// colour is read back before it becomes the material, and every node is drawn twice. It draws into
// the viewer's picture and presents through the viewer. The reference the program's own drawing
// is measured against.
class LiteralWalk
{
public:
    LiteralWalk(SceneState& scene, GlViewer& viewer, MillisecondClock& clock);

    void FrameTick(bool& redrawRequested);
    bool WalkFinished() const { return level_ < 0; }

private:
    using Matrix = std::array<double, 16>;
    struct Frame
    {
        int32_t ChildCounter = 0;
        Matrix M{};
        Vec3 Colour{};
    };

    void Restart();
    void BuildBranchMatrices();
    void WalkStep();
    void DrawNode(const Frame& frame);
    void DrawSphere();
    void FormChild(int level);
    bool Backtrack(int& level);

    SceneState& scene_;
    GlViewer& viewer_;
    MillisecondClock& clock_;
    std::array<Frame, MaxDepth> frames_{};
    int32_t level_ = -1;
    std::array<Matrix, 2> branch_{};
    test::GluSphere sphere_;
};

}  // namespace bench
}  // namespace ramifex

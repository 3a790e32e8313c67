#include "render/tree_renderer.h"

#include <algorithm>

namespace ramifex
{

TreeRenderer::TreeRenderer(SceneState& scene, DrawSurface& surface, MillisecondClock& clock)
    : scene_(scene), surface_(surface), clock_(clock)
{
}

void TreeRenderer::FrameTick(bool& redrawRequested)
{
    NormaliseAxis(scene_.Records[Branch1Record].Axis);
    NormaliseAxis(scene_.Records[Branch2Record].Axis);
    if (!WalkFinished())
    {
        WalkStep();
    }
    if (!redrawRequested)
    {
        return;
    }
    // The old walk has had its slice and been presented; the new picture starts next tick.
    surface_.Clear();
    SetViewTransform();
    redrawRequested = false;
    Restart();
}

Matrix4 TreeRenderer::BranchMatrix(const BranchParams& record)
{
    Matrix4 m = Matrix4::Identity();
    Rotate(m, record.Angle, record.Axis[0], record.Axis[1], record.Axis[2]);
    Scale(m, record.Scale, record.Scale, record.Scale);
    Translate(m, 0.0, 0.0, record.Offset);
    return m;
}

void TreeRenderer::SetViewTransform()
{
    BranchParams& base = scene_.Records[BaseRecord];
    Matrix4 view = Matrix4::Identity();
    Translate(view, scene_.ViewOffset[0], scene_.ViewOffset[1], scene_.ViewOffset[2]);
    NormaliseAxis(base.Axis);
    Rotate(view, base.Angle, base.Axis[0], base.Axis[1], base.Axis[2]);
    surface_.SetViewTransform(view);
}

void TreeRenderer::Restart()
{
    const Vec3& baseColour = scene_.Records[BaseRecord].Colour;
    for (DrawFrame& frame : stack_.Frames)
    {
        frame = DrawFrame{0, Matrix4::Identity(), baseColour};
    }
    stack_.Level = 0;
    BuildBranchMatrices();
}

void TreeRenderer::BuildBranchMatrices()
{
    branchMatrices_[0] = BranchMatrix(scene_.Records[Branch1Record]);
    branchMatrices_[1] = BranchMatrix(scene_.Records[Branch2Record]);
}

void TreeRenderer::WalkStep()
{
    stack_.TickStart = clock_.Now();
    const bool skipRepeats = surface_.SkipsRepeatDrawings();
    int level = stack_.Level;
    while (clock_.Now() - stack_.TickStart < TickBudget)
    {
        // A node's counter is 1 exactly when the walk is back for its second drawing.
        const DrawFrame& node = stack_.Frames[level];
        if (node.ChildCounter == 0 || !skipRepeats)
        {
            surface_.DrawSphere(node.Matrix, node.Colour);
        }
        ++level;
        // The depth is read afresh at every step, so an edit takes effect mid-walk; the clamp
        // keeps the stack in bounds whatever the scene holds.
        if (level < std::min(scene_.Iterations, int32_t{MaxDepth}))
        {
            FormChild(level);
        }
        else if (!Backtrack(level))
        {
            stack_.Level = -1;
            surface_.Present();
            return;
        }
    }
    stack_.Level = level;
    surface_.Present();
}

void TreeRenderer::FormChild(int level)
{
    const DrawFrame& parent = stack_.Frames[level - 1];
    DrawFrame& child = stack_.Frames[level];
    const int branch = parent.ChildCounter;
    child.Matrix = parent.Matrix;
    Multiply(child.Matrix, branchMatrices_[branch]);
    // Colours come from the live record, so a colour edit shows before the restart.
    const BranchParams& record = scene_.Records[Branch1Record + branch];
    for (int c = 0; c < 3; ++c)
    {
        child.Colour[c] = parent.Colour[c] + record.Ratio * (record.Colour[c] - parent.Colour[c]);
    }
}

// Climbs to the nearest level whose node still has its second child to come; returns false when
// the walk has climbed past the root.
bool TreeRenderer::Backtrack(int& level)
{
    for (;;)
    {
        --level;
        if (level < 0)
        {
            return false;
        }
        int32_t& counter = stack_.Frames[level].ChildCounter;
        if (++counter < 2)
        {
            return true;
        }
        counter = 0;
    }
}

}  // namespace ramifex

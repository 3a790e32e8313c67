#include "core/render/tree_renderer.h"

#include <algorithm>

#include "core/render/branch_matrices.h"

namespace ramifex
{
namespace
{

// A preview shows at least the first few levels, and as many more as fit in part of a tick at
// the drawing rate measured so far, so that the tick after a restart presents the whole shape.
constexpr int32_t MinPreviewDepth = 4;
constexpr double PreviewBudgetMs = 0.6 * TickBudget;
constexpr double InitialSpheresPerMs = 40.0;  // until a preview has been timed

uint64_t NodesOf(int32_t levels)
{
    return levels <= 0 ? 0 : (uint64_t{1} << levels) - 1;
}

}  // namespace

TreeRenderer::TreeRenderer(SceneState& scene, DrawSurface& surface, MillisecondClock& clock)
    : scene_(scene), surface_(surface), clock_(clock), spheresPerMs_(InitialSpheresPerMs)
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

WalkProgress TreeRenderer::Progress() const
{
    WalkProgress progress;
    progress.Finished = WalkFinished();
    progress.Nodes = NodesOf(std::min(scene_.Iterations, int32_t{MaxDepth}));
    progress.SpheresDrawn = spheresDrawn_;
    progress.Visited = visited_;
    if (!progress.Finished)
    {
        progress.Fraction = FractionDone();
        progress.MsLeft = forecast_.MsLeft(lastReading_);
    }
    progress.ElapsedMs = lastReading_ - firstReading_;
    return progress;
}

double TreeRenderer::FractionDone() const
{
    const uint64_t nodes = NodesOf(std::min(scene_.Iterations, int32_t{MaxDepth}));
    return nodes == 0 ? 0.0
                      : std::min(1.0, static_cast<double>(nodesDone_) / static_cast<double>(nodes));
}

int32_t TreeRenderer::CompleteLevels() const
{
    if (WalkFinished())
    {
        return std::max(0, std::min(scene_.Iterations, int32_t{MaxDepth}));
    }
    return drawnDepth_;
}

void TreeRenderer::SetViewTransform()
{
    BranchParams& base = scene_.Records[BaseRecord];
    view_ = Matrix4::Identity();
    Translate(view_, scene_.ViewOffset[0], scene_.ViewOffset[1], scene_.ViewOffset[2]);
    NormaliseAxis(base.Axis);
    Rotate(view_, base.Angle, base.Axis[0], base.Axis[1], base.Axis[2]);
    surface_.SetViewTransform(view_);
}

void TreeRenderer::Restart()
{
    ResetFrames();
    BuildBranchMatrices();
    area_ = surface_.VisibleArea();
    drawnDepth_ = 0;
    nodesDone_ = 0;
    spheresDrawn_ = 0;
    visited_ = 0;
    timed_ = false;
    stepsToDepthRead_ = 0;
    previewDepth_ = ChoosePreviewDepth();
}

void TreeRenderer::ResetFrames()
{
    const Vec3& baseColour = scene_.Records[BaseRecord].Colour;
    for (DrawFrame& frame : stack_.Frames)
    {
        frame = DrawFrame{0, Matrix4::Identity(), baseColour};
    }
    stack_.Level = 0;
}

void TreeRenderer::BuildBranchMatrices()
{
    branchMatrices_ = ramifex::BranchMatrices(scene_);
    radii_.Build(branchMatrices_);
}

// Only a picture with a depth test can take its levels out of order: the preview draws the upper
// levels first, and the full walk then adds the rest without drawing those again.
int32_t TreeRenderer::ChoosePreviewDepth() const
{
    if (!area_ || !surface_.SkipsRepeatDrawings())
    {
        return 0;
    }
    const int32_t depth = std::min(scene_.Iterations, int32_t{MaxDepth});
    int32_t levels = MinPreviewDepth;
    while (levels < depth &&
           static_cast<double>(NodesOf(levels + 1)) <= spheresPerMs_ * PreviewBudgetMs)
    {
        ++levels;
    }
    return levels < depth ? levels : 0;
}

int32_t TreeRenderer::WalkDepth() const
{
    // The depth is read afresh at every step, so an edit takes effect mid-walk; the clamp keeps
    // the stack in bounds whatever the scene holds.
    const int32_t depth = std::min(scene_.Iterations, int32_t{MaxDepth});
    return previewDepth_ > 0 ? std::min(depth, previewDepth_) : depth;
}

void TreeRenderer::WalkStep()
{
    const uint32_t start = clock_.Now();
    stack_.TickStart = start;
    if (!timed_)
    {
        firstReading_ = start;
        timed_ = true;
        forecast_.Start(start, visited_);
    }
    area_ = surface_.VisibleArea();
    if (depthReadSteps_ == 0)
    {
        depths_ = culling_ && area_ ? surface_.ReadDepths() : nullptr;
    }
    const bool skipRepeats = surface_.SkipsRepeatDrawings();
    const bool previewing = previewDepth_ > 0;
    const uint64_t spheresBefore = spheresDrawn_;
    int level = stack_.Level;
    uint32_t now = start;
    // The present that ends the tick is part of its budget; the walk keeps at least half of it.
    const uint32_t walkMs = TickBudget - std::min(surface_.PresentMs(), TickBudget / 2);
    while ((now = clock_.Now()) - start < walkMs)
    {
        ReadDepthsWhenDue();
        const int depth = WalkDepth();
        DrawFrame& node = stack_.Frames[level];
        // A node's counter is 0 when the walk first reaches it, and 1 when it is back for the
        // second drawing.
        const bool first = node.ChildCounter == 0;
        bool more = true;
        if (first && !Arrive(node, level, depth))
        {
            more = Backtrack(level);  // as if its subtree had been walked
        }
        else
        {
            if (node.Shows && (first || !skipRepeats))
            {
                surface_.DrawSphere(node.Matrix, node.Colour);
                spheresDrawn_ += first ? 1 : 0;
            }
            ++level;
            if (level < depth)
            {
                FormChild(level);
            }
            else
            {
                more = Backtrack(level);
            }
        }
        if (!more)
        {
            if (previewing && previewDepth_ > 0)
            {
                MeasureRate(spheresDrawn_ - spheresBefore, now - start);
            }
            if (!FinishPass(level, now))
            {
                lastReading_ = now;
                stack_.Level = -1;
                surface_.Present();
                return;
            }
        }
    }
    lastReading_ = now;
    if (previewing && previewDepth_ > 0)
    {
        MeasureRate(spheresDrawn_ - spheresBefore, now - start);  // a preview longer than a tick
    }
    stack_.Level = level;
    if (previewDepth_ == 0)
    {
        forecast_.Update(NodesLeft(), visited_, now, FractionDone());
    }
    surface_.Present();
}

void TreeRenderer::ReadDepthsWhenDue()
{
    if (depthReadSteps_ == 0 || stepsToDepthRead_-- > 0)
    {
        return;
    }
    depths_ = culling_ && area_ ? surface_.ReadDepths() : nullptr;
    stepsToDepthRead_ = depthReadSteps_ - 1;
}

// Looks at a node the walk has just reached: false when nothing of its subtree can change the
// picture, so that the walk leaves the subtree out. Otherwise decides whether its own sphere is
// drawn.
bool TreeRenderer::Arrive(DrawFrame& node, int level, int depth)
{
    const int32_t levels = std::max(1, depth - level);
    const bool counted = previewDepth_ == 0;
    const bool culls = culling_ && area_.has_value();
    forecast_.Arrive(level, visited_);
    ++visited_;
    const Ball own = culls ? NodeBall(view_, node.Matrix) : Ball{};
    if (culls && !BallMayShow(SubtreeBall(own, radii_, levels), *area_, depths_))
    {
        nodesDone_ += counted ? NodesOf(levels) : 0;
        forecast_.Finish(level, BranchOf(level), visited_);
        return false;
    }
    nodesDone_ += counted ? 1 : 0;
    node.Shows =
        level >= drawnDepth_ && (!culls || levels == 1 || BallMayShow(own, *area_, depths_));
    return true;
}

// The walk has climbed past the root. After the preview, it starts again from the root for the
// full depth, drawing only the levels the preview left; returns false when the picture is done.
bool TreeRenderer::FinishPass(int& level, uint32_t now)
{
    if (previewDepth_ == 0 || previewDepth_ >= std::min(scene_.Iterations, int32_t{MaxDepth}))
    {
        previewDepth_ = 0;
        return false;
    }
    drawnDepth_ = previewDepth_;
    previewDepth_ = 0;
    forecast_.Start(now, visited_);
    ResetFrames();
    level = 0;
    return true;
}

// Keeps a running estimate of how fast the upper levels draw, from the ticks that drew a preview.
void TreeRenderer::MeasureRate(uint64_t spheres, uint32_t elapsedMs)
{
    if (spheres < 16 || elapsedMs < 5)
    {
        return;  // too little to go by
    }
    const double rate = static_cast<double>(spheres) / elapsedMs;
    spheresPerMs_ = 0.5 * (spheresPerMs_ + rate);
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

double TreeRenderer::NodesLeft() const
{
    std::array<int32_t, MaxDepth> counters{};
    for (int32_t level = 0; level <= stack_.Level; ++level)
    {
        counters[level] = stack_.Frames[level].ChildCounter;
    }
    return forecast_.NodesLeft(std::span(counters.data(), stack_.Level + 1), WalkDepth(), visited_);
}

// Which branch led to the node at this level: its parent's counter says which child is under way.
int TreeRenderer::BranchOf(int level) const
{
    return level == 0 ? 0 : stack_.Frames[level - 1].ChildCounter;
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
        forecast_.Finish(level, BranchOf(level), visited_);
    }
}

}  // namespace ramifex

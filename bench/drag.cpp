#include "drag.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "core/render/tree_renderer.h"
#include "core/scene/quaternion.h"
#include "gl/viewer/gl_viewer.h"
#include "runs.h"
#include "scenes.h"
#include "statistics.h"

namespace ramifex::bench
{
namespace
{

// Shows everything on the viewer and notes, at every present, how many levels of the tree the
// picture shows complete.
class LevelRecorder final : public DrawSurface
{
public:
    explicit LevelRecorder(GlViewer& viewer) : viewer_(viewer) {}

    void Watch(const TreeRenderer& renderer) { renderer_ = &renderer; }
    const std::vector<int32_t>& Levels() const { return levels_; }

    void Clear() override { viewer_.Clear(); }
    void SetViewTransform(const Matrix4& view) override { viewer_.SetViewTransform(view); }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        viewer_.DrawSphere(node, colour);
    }
    void Present() override
    {
        viewer_.Present();
        levels_.push_back(renderer_->CompleteLevels());
    }
    bool SkipsRepeatDrawings() const override { return viewer_.SkipsRepeatDrawings(); }
    std::optional<PixelArea> VisibleArea() const override { return viewer_.VisibleArea(); }

private:
    GlViewer& viewer_;
    const TreeRenderer* renderer_ = nullptr;
    std::vector<int32_t> levels_;
};

}  // namespace

int32_t Drag(GlViewer& viewer, int depth, int ticks)
{
    SceneState scene = WideFlat();
    scene.Iterations = depth;
    LevelRecorder recorder(viewer);
    SteadyMillisecondClock clock;
    TreeRenderer renderer(scene, recorder, clock);
    recorder.Watch(renderer);
    bool redraw = true;
    renderer.FrameTick(redraw);
    Run run;
    TickUntil(
        run,
        [&]
        {
            RotateByDrag(3, 1, scene.Records[BaseRecord]);
            redraw = true;
            renderer.FrameTick(redraw);
        },
        [&] { return run.TickMs.size() >= static_cast<size_t>(ticks); });
    const std::vector<int32_t>& levels = recorder.Levels();
    const auto [fewest, most] = std::minmax_element(levels.begin(), levels.end());
    if (fewest == levels.end())
    {
        return 0;
    }
    std::printf(
        "wide-flat drag depth %d: a restart at each of %d ticks; %zu presents showing %d "
        "to %d complete levels; %s\n",
        depth, ticks, levels.size(), *fewest, *most, TickSummary(run.TickMs).c_str());
    return *fewest;
}

}  // namespace ramifex::bench

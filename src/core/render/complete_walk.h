#pragma once

#include <functional>

#include "core/render/draw_surface.h"
#include "core/render/millisecond_clock.h"
#include "core/render/tree_renderer.h"
#include "core/scene/scene_state.h"

namespace ramifex
{

// The complete picture of a scene of its own, drawn onto a surface of its own a tick at a time:
// what an export or the command line draws, apart from the viewer's walk. The walk normalises
// the axes of its copy, never the caller's scene.
class CompleteWalk
{
public:
    CompleteWalk(const SceneState& scene, DrawSurface& surface, MillisecondClock& clock);
    CompleteWalk(const CompleteWalk&) = delete;
    CompleteWalk& operator=(const CompleteWalk&) = delete;

    // Draws up to one tick's budget more; returns whether the picture is complete. The first tick
    // clears the surface and starts the walk.
    bool Tick();
    // Ticks until the picture is complete. `afterTick`, when given, runs after every tick that
    // drew (the first tick only starts the walk) and stops the run by returning false. Returns
    // whether the picture is complete.
    bool RunToEnd(const std::function<bool()>& afterTick = {});
    bool Complete() const { return !redraw_ && renderer_.WalkFinished(); }
    // Nothing drawn yet counts as nothing done.
    double Fraction() const;

    // Leaving out what cannot change a pixel is on unless switched off before the first tick.
    void SetCulling(bool on) { renderer_.SetCulling(on); }
    void ReadDepthsEvery(uint64_t steps) { renderer_.ReadDepthsEvery(steps); }
    const TreeRenderer& Renderer() const { return renderer_; }

private:
    SceneState scene_;
    TreeRenderer renderer_;
    bool redraw_ = true;
};

}  // namespace ramifex

#pragma once

#include "render/draw_surface.h"
#include "render/millisecond_clock.h"
#include "render/tree_renderer.h"
#include "scene/scene_state.h"

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
    bool Complete() const { return !redraw_ && renderer_.WalkFinished(); }
    // Nothing drawn yet counts as nothing done.
    double Fraction() const;

private:
    SceneState scene_;
    TreeRenderer renderer_;
    bool redraw_ = true;
};

}  // namespace ramifex

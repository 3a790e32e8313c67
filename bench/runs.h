#pragma once

#include <QImage>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "core/scene/scene_state.h"

namespace ramifex
{

class GlViewer;

namespace bench
{

// One drawing of a complete picture on the viewer, tick by tick.
struct Run
{
    std::vector<double> TickMs;  // every drawing tick, present included
    // The time left the status line would show after each tick of the program's own walk.
    std::vector<std::optional<uint32_t>> MsLeft;
    int64_t Spheres = 0;    // spheres handed to GL
    int64_t Visited = 0;    // nodes the walk reached
    double Fraction = 1.0;  // of the tree walked or left out
    QImage Picture;

    double Seconds() const;
};

// Times tick() until done(), letting the window's events through between ticks.
void TickUntil(Run& run, const std::function<void()>& tick, const std::function<bool()>& done);

int64_t NodesOf(int depth);

// One complete walk through the real frame tick as first described, every node drawn twice.
Run DrawLiteral(GlViewer& viewer, SceneState scene);
// The program's own path through the real frame tick, ticks back to back after the restart, until
// the walk completes or `enough` says to stop.
Run DrawOwn(
    GlViewer& viewer, const SceneState& scene, bool culling = true,
    const std::function<bool()>& enough = [] { return false; });
// Every sphere of the complete walk, transformed beforehand, drawn from buffer objects.
Run DrawBound(GlViewer& viewer, const SceneState& scene);

}  // namespace bench
}  // namespace ramifex

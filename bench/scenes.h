#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene/scene_state.h"

namespace ramifex::bench
{

struct NamedScene
{
    std::string Name;
    SceneState State;
};

// The records that Randomize makes from a seed.
SceneState Randomised(uint32_t seed);
// Branches turn about the local y axis, which the base turn makes the viewer's depth axis, so the
// tree spreads across the picture; a slight tilt of the axes lifts it a little off the plane.
SceneState WideFlat();
// Branch 1 curls slowly and barely shrinks, branch 2 throws off small side shoots: a tightly wound
// spiral of heavily overlapping spheres.
SceneState DenseSpiral();
// The seed-1 scene brought close: large spheres that fill the picture, the heaviest case for a
// software rasteriser, as when the user zooms in. They barely shrink and all of them show.
SceneState CloseUp();

// The scenes whose depth-30 walks complete in a benchmark's time.
std::vector<NamedScene> CompletingScenes();
// Scenes with so much to show that a depth-30 walk takes far longer than a benchmark.
std::vector<NamedScene> HeavyScenes();
std::vector<NamedScene> AtDepth(std::vector<NamedScene> scenes, int depth);

}  // namespace ramifex::bench

#pragma once

#include <cstdint>

#include "core/scene/random_generator.h"
#include "core/scene/scene_state.h"

// Scenes that the tests and the benchmarks share.
namespace ramifex::test
{

// The records that Randomize makes from a seed.
inline SceneState Randomized(uint32_t seed)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(seed);
    RandomizeRecords(scene, rng);
    return scene;
}

// Branches turn about the local y axis, which the base turn makes the viewer's depth axis, so the
// tree spreads across the picture; a slight tilt of the axes lifts it a little off the plane.
inline SceneState WideFlat()
{
    SceneState scene;
    scene.ViewOffset = {0.0, -3.5, -10.0};
    scene.Records[BaseRecord] = {-90.0, {1, 0, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {62.0, {0.04, 1, 0}, 0.74, 1.7, {0.2, 0.9, 0.3}, 0.3};
    scene.Records[Branch2Record] = {-62.0, {-0.04, 1, 0}, 0.74, 1.7, {0.9, 0.5, 0.1}, 0.3};
    return scene;
}

// Branch 1 curls slowly and barely shrinks, branch 2 throws off small side shoots: a tightly wound
// spiral of heavily overlapping spheres.
inline SceneState DenseSpiral()
{
    SceneState scene;
    scene.Records[BaseRecord] = {35.0, {1, 1, 0}, 1.0, 0.0, {0.9, 0.9, 1.0}, 0.0};
    scene.Records[Branch1Record] = {28.0, {0.3, 0, 1}, 0.93, 0.45, {0.3, 0.4, 1.0}, 0.15};
    scene.Records[Branch2Record] = {110.0, {0, 1, 0.4}, 0.42, 1.1, {1.0, 0.3, 0.3}, 0.35};
    return scene;
}

// The seed-1 scene brought close: large spheres that fill the picture, the heaviest case for a
// software rasteriser, as when the user zooms in. They barely shrink and all of them show.
inline SceneState CloseUp()
{
    SceneState scene;
    scene.ViewOffset = {0.0, 0.0, -3.0};
    scene.Records[BaseRecord] = {20.0, {1, 1, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {12.0, {0, 0, 1}, 0.999, 0.2, {0.3, 0.5, 1.0}, 0.1};
    scene.Records[Branch2Record] = {-15.0, {1, 0, 0}, 0.999, 0.2, {1.0, 0.6, 0.2}, 0.1};
    return scene;
}

}  // namespace ramifex::test

#pragma once

#include <string>
#include <vector>

#include "core/scene/scene_state.h"
#include "support/sample_scenes.h"

namespace ramifex::bench
{

using test::CloseUp;
using test::DenseSpiral;
using test::Randomized;
using test::WideFlat;

struct NamedScene
{
    std::string Name;
    SceneState State;
};

// The scenes whose depth-30 walks complete in a benchmark's time.
std::vector<NamedScene> CompletingScenes();
// Scenes with so much to show that a depth-30 walk takes far longer than a benchmark.
std::vector<NamedScene> HeavyScenes();
std::vector<NamedScene> AtDepth(std::vector<NamedScene> scenes, int depth);

}  // namespace ramifex::bench

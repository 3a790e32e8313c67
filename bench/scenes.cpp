#include "scenes.h"

namespace ramifex::bench
{

std::vector<NamedScene> CompletingScenes()
{
    return {{"seed-1", Randomized(1)},
            {"wide-flat", WideFlat()},
            {"dense-spiral", DenseSpiral()},
            {"seed-2", Randomized(2)}};
}

std::vector<NamedScene> HeavyScenes()
{
    return {{"seed-3", Randomized(3)}, {"close-up", CloseUp()}};
}

std::vector<NamedScene> AtDepth(std::vector<NamedScene> scenes, int depth)
{
    for (NamedScene& scene : scenes)
    {
        scene.State.Iterations = depth;
    }
    return scenes;
}

}  // namespace ramifex::bench

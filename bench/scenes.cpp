#include "scenes.h"

namespace ramifex::bench
{

SceneState Randomised(uint32_t seed)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(seed);
    RandomiseRecords(scene, rng);
    return scene;
}

SceneState WideFlat()
{
    SceneState scene;
    scene.ViewOffset = {0.0, -3.5, -10.0};
    scene.Records[BaseRecord] = {-90.0, {1, 0, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {62.0, {0.04, 1, 0}, 0.74, 1.7, {0.2, 0.9, 0.3}, 0.3};
    scene.Records[Branch2Record] = {-62.0, {-0.04, 1, 0}, 0.74, 1.7, {0.9, 0.5, 0.1}, 0.3};
    return scene;
}

SceneState DenseSpiral()
{
    SceneState scene;
    scene.Records[BaseRecord] = {35.0, {1, 1, 0}, 1.0, 0.0, {0.9, 0.9, 1.0}, 0.0};
    scene.Records[Branch1Record] = {28.0, {0.3, 0, 1}, 0.93, 0.45, {0.3, 0.4, 1.0}, 0.15};
    scene.Records[Branch2Record] = {110.0, {0, 1, 0.4}, 0.42, 1.1, {1.0, 0.3, 0.3}, 0.35};
    return scene;
}

SceneState CloseUp()
{
    SceneState scene;
    scene.ViewOffset = {0.0, 0.0, -3.0};
    scene.Records[BaseRecord] = {20.0, {1, 1, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {12.0, {0, 0, 1}, 0.999, 0.2, {0.3, 0.5, 1.0}, 0.1};
    scene.Records[Branch2Record] = {-15.0, {1, 0, 0}, 0.999, 0.2, {1.0, 0.6, 0.2}, 0.1};
    return scene;
}

std::vector<NamedScene> CompletingScenes()
{
    return {{"seed-1", Randomised(1)},
            {"wide-flat", WideFlat()},
            {"dense-spiral", DenseSpiral()},
            {"seed-2", Randomised(2)}};
}

std::vector<NamedScene> HeavyScenes()
{
    return {{"seed-3", Randomised(3)}, {"close-up", CloseUp()}};
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

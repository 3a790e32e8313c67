// Nodes per second of the tree walk itself, with a surface that draws nothing; and how long
// framing the whole tree takes at depth 30 (it should take well under 100 ms).
#include <benchmark/benchmark.h>

#include "core/render/complete_walk.h"
#include "core/render/tree_framing.h"
#include "support/sample_scenes.h"
#include "support/test_clocks.h"

namespace ramifex
{
namespace
{

class NullSurface final : public DrawSurface
{
public:
    void Clear() override {}
    void SetViewTransform(const Matrix4&) override {}
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        benchmark::DoNotOptimize(node.M[0] + colour[0]);
    }
    void Present() override {}
};

SceneState Randomized(uint32_t seed, int64_t depth)
{
    SceneState scene = test::Randomized(seed);
    scene.Iterations = static_cast<int32_t>(depth);
    return scene;
}

void WholeWalk(benchmark::State& state)
{
    SceneState scene = Randomized(1, state.range(0));
    NullSurface surface;
    test::FrozenClock clock;
    for (auto _ : state)
    {
        CompleteWalk(scene, surface, clock).RunToEnd();
    }
    const int64_t nodes = (int64_t{1} << state.range(0)) - 1;
    state.SetItemsProcessed(state.iterations() * nodes);
    state.counters["nodes"] = static_cast<double>(nodes);
}
BENCHMARK(WholeWalk)->Arg(10)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond);

void FrameWholeTree(benchmark::State& state)
{
    const SceneState scene = Randomized(static_cast<uint32_t>(state.range(0)), 30);
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(FramingViewOffset(scene, 640, 480));
    }
}
BENCHMARK(FrameWholeTree)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ramifex

BENCHMARK_MAIN();

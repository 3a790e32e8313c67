// Nodes per second of the tree walk itself, with a surface that draws nothing.
#include <benchmark/benchmark.h>

#include "render/complete_walk.h"
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

void WholeWalk(benchmark::State& state)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(1);
    RandomiseRecords(scene, rng);
    scene.Iterations = static_cast<int32_t>(state.range(0));
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

}  // namespace
}  // namespace ramifex

BENCHMARK_MAIN();

#include <cmath>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "render/sphere_recorder.h"
#include "render/tree_renderer.h"
#include "support/sample_scenes.h"
#include "support/test_clocks.h"

namespace ramifex::test
{
namespace
{

struct Sample
{
    uint32_t ElapsedMs;
    std::optional<uint32_t> MsLeft;
};

// Every reading of the clock advances it by a millisecond, so the walk's time is its number of
// steps and the forecast is judged apart from the machine's load.
std::vector<Sample> RecordWalk(SceneState scene)
{
    SphereRecorder surface;
    surface.JudgeAt(PixelAreaFor(640, 480));
    SteppingClock clock;
    TreeRenderer renderer(scene, surface, clock);
    bool redraw = true;
    renderer.FrameTick(redraw);
    std::vector<Sample> samples;
    while (!renderer.WalkFinished())
    {
        renderer.FrameTick(redraw);
        surface.Clear();  // only the walk's progress matters here
        const WalkProgress progress = renderer.Progress();
        samples.push_back({progress.ElapsedMs, progress.Finished ? std::nullopt : progress.MsLeft});
    }
    return samples;
}

// Silent for the first second, and then, at a quarter, half and three quarters of the walk's
// real time, within a factor of two of the time really left. The seed-2 scene's share done
// doubles in jumps, so the naive forecast from it is several times too long there.
TEST(WalkForecast, StaysSilentEarlyThenFollowsTheWalk)
{
    for (const auto& [name, scene] :
         {std::pair{"wide-flat", WideFlat()}, std::pair{"seed-2", Randomised(2)}})
    {
        SceneState deep = scene;
        deep.Iterations = 18;
        const std::vector<Sample> samples = RecordWalk(deep);
        ASSERT_FALSE(samples.empty());
        const double total = samples.back().ElapsedMs;
        ASSERT_GT(total, 4000.0) << name;
        for (const Sample& sample : samples)
        {
            if (sample.ElapsedMs < 1000)
            {
                EXPECT_FALSE(sample.MsLeft.has_value()) << name << " at " << sample.ElapsedMs;
            }
        }
        for (double share : {0.25, 0.5, 0.75})
        {
            const Sample& at =
                *std::find_if(samples.begin(), samples.end(),
                              [&](const Sample& s) { return s.ElapsedMs >= share * total; });
            ASSERT_TRUE(at.MsLeft.has_value()) << name << " at " << share;
            const double real = total - at.ElapsedMs;
            const double ratio = std::max(*at.MsLeft / real, real / *at.MsLeft);
            EXPECT_LE(ratio, 2.0) << name << " at " << share << ": " << *at.MsLeft << " ms shown, "
                                  << real << " ms left";
        }
    }
}

}  // namespace
}  // namespace ramifex::test

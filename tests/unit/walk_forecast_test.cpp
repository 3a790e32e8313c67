#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/render/sphere_recorder.h"
#include "core/render/tree_renderer.h"
#include "core/render/walk_forecast.h"
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

// The time left shown against the time really left, as the larger of shown/real and real/shown;
// none where nothing is shown. Nothing may be shown in the first second.
std::optional<double> Error(const Sample& sample, double totalMs)
{
    EXPECT_TRUE(sample.ElapsedMs >= 1000 || !sample.MsLeft) << "at " << sample.ElapsedMs;
    if (!sample.MsLeft)
    {
        return std::nullopt;
    }
    const double ratio = *sample.MsLeft / (totalMs - sample.ElapsedMs);
    return std::max(ratio, 1.0 / ratio);
}

// The errors at a quarter, half and three quarters of the walk's real time.
std::vector<std::optional<double>> Errors(const std::vector<Sample>& samples)
{
    const double total = samples.back().ElapsedMs;
    std::vector<std::optional<double>> errors;
    for (double share : {0.25, 0.5, 0.75})
    {
        errors.push_back(
            Error(*std::find_if(samples.begin(), samples.end(),
                                [&](const Sample& s) { return s.ElapsedMs >= share * total; }),
                  total));
    }
    return errors;
}

// The worst error from a quarter of the walk's time to nine tenths (at the very end a few
// milliseconds make a large factor), and whether anything was shown by three quarters.
std::pair<double, bool> WorstError(const std::vector<Sample>& samples)
{
    const double total = samples.back().ElapsedMs;
    double worst = 1.0;
    bool shown = false;
    for (const Sample& sample : samples)
    {
        const std::optional<double> error = Error(sample, total);
        const double share = sample.ElapsedMs / total;
        shown = shown || (error && share <= 0.75);
        worst = share >= 0.25 && share <= 0.9 ? std::max(worst, error.value_or(1.0)) : worst;
    }
    return {worst, shown};
}

// Every reading of the clock advances it by a millisecond, so the walk's time is its number of
// steps and the forecast is judged apart from the machine's load.
std::vector<Sample> SteppedWalk(SceneState scene)
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

// A walk on the real viewer at 640x480, recorded by its shape and its ticks, gzipped:
// "RMXWALK1", the depth and the number of ticks (uint32), each tick's nodes visited, its end in
// milliseconds from the walk's start (uint32) and the share of the tree done (float), the number
// of nodes (uint32), and a bit for each node in the order the walk reached them (lowest bit
// first), set where the walk went on into its subtree.
struct RecordedWalk
{
    struct Tick
    {
        uint32_t Visited;
        uint32_t ElapsedMs;
        float Fraction;
    };
    uint32_t Depth = 0;
    std::vector<Tick> Ticks;
    std::vector<uint8_t> Walked;
};

RecordedWalk ReadWalk(const std::string& name)
{
    const std::string path = std::string(RAMIFEX_TEST_DATA) + "/" + name + ".walk.gz";
    gzFile file = gzopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    std::vector<uint8_t> bytes;
    uint8_t buffer[1 << 16];
    for (int n = 0; file != nullptr && (n = gzread(file, buffer, sizeof buffer)) > 0;)
    {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    if (file != nullptr)
    {
        gzclose(file);
    }
    RecordedWalk walk;
    size_t at = 8;
    bool whole = bytes.size() >= at && std::memcmp(bytes.data(), "RMXWALK1", at) == 0;
    const auto take = [&](auto& value)
    {
        whole = whole && at + sizeof value <= bytes.size();
        if (whole)
        {
            std::memcpy(&value, bytes.data() + at, sizeof value);
            at += sizeof value;
        }
    };
    uint32_t ticks = 0;
    take(walk.Depth);
    take(ticks);
    walk.Ticks.resize(whole ? std::min<size_t>(ticks, bytes.size()) : 0);
    for (RecordedWalk::Tick& tick : walk.Ticks)
    {
        take(tick.Visited);
        take(tick.ElapsedMs);
        take(tick.Fraction);
    }
    uint32_t nodes = 0;
    take(nodes);
    if (!whole || bytes.size() - at != (nodes + 7) / 8 || walk.Depth > MaxDepth)
    {
        ADD_FAILURE() << path << " is no whole recorded walk";
        return {};
    }
    walk.Walked.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end());
    return walk;
}

// Feeds the forecast the recorded walk node by node, as the renderer does, and takes its time
// left at the end of every tick; as a pass that starts at startMs with startNodes visited before.
class Replay
{
public:
    explicit Replay(const RecordedWalk& walk, uint32_t startMs = 0, uint64_t startNodes = 0)
        : walk_(walk), startMs_(startMs), startNodes_(startNodes)
    {
        forecast_.Start(startMs, startNodes);
    }

    std::vector<Sample> Run()
    {
        Visit(0, 0);
        TakeTicks(0);
        return samples_;
    }

private:
    void Visit(int level, int branch)
    {
        path_[level] = 0;
        TakeTicks(level);
        forecast_.Arrive(level, startNodes_ + visited_);
        const uint64_t node = visited_++;
        if (node / 8 < walk_.Walked.size() && (walk_.Walked[node / 8] >> (node % 8) & 1) != 0 &&
            level + 1 < static_cast<int>(walk_.Depth))
        {
            Visit(level + 1, 0);
            path_[level] = 1;
            Visit(level + 1, 1);
        }
        forecast_.Finish(level, branch, startNodes_ + visited_);
    }

    // The ticks that ended before the walk reached its next node, which stands on the path at
    // this level, not yet reached.
    void TakeTicks(int standing)
    {
        for (; tick_ < walk_.Ticks.size() && walk_.Ticks[tick_].Visited <= visited_; ++tick_)
        {
            const RecordedWalk::Tick& tick = walk_.Ticks[tick_];
            const bool finished = tick_ + 1 == walk_.Ticks.size();
            const uint64_t visited = startNodes_ + visited_;
            const uint32_t nowMs = startMs_ + tick.ElapsedMs;
            if (!finished)
            {
                const std::span<const int32_t> counters(path_.data(), standing + 1);
                forecast_.Update(
                    forecast_.NodesLeft(counters, static_cast<int>(walk_.Depth), visited), visited,
                    nowMs, tick.Fraction);
            }
            samples_.push_back({tick.ElapsedMs, finished ? std::nullopt : forecast_.MsLeft(nowMs)});
        }
    }

    const RecordedWalk& walk_;
    uint32_t startMs_;
    uint64_t startNodes_;
    WalkForecast forecast_;
    std::array<int32_t, MaxDepth> path_{};
    uint64_t visited_ = 0;
    size_t tick_ = 0;
    std::vector<Sample> samples_;
};

// Silent for the first second, then within a factor of two of the time really left. The
// stepping-clock walks check that the renderer feeds the forecast. The walks recorded on the real
// viewer are judged for as long as a time is shown, which must be by three quarters of their
// time: wide-flat, whose second halves cost more than their first (the view is not symmetric);
// seed 2, whose share done doubles in jumps and whose second subtrees, hidden behind the first,
// cost far less than them; the close-up's large spheres, where the walk slows as the picture
// fills.
TEST(WalkForecast, StaysSilentEarlyThenFollowsTheWalk)
{
    for (const auto& [name, scene] :
         {std::pair{"wide-flat", WideFlat()}, std::pair{"seed-2", Randomized(2)}})
    {
        SceneState deep = scene;
        deep.Iterations = 18;
        const std::vector<Sample> samples = SteppedWalk(deep);
        ASSERT_GT(samples.back().ElapsedMs, 4000U) << name;
        for (const std::optional<double>& error : Errors(samples))
        {
            ASSERT_TRUE(error.has_value()) << name;
            EXPECT_LE(*error, 2.0) << name;
        }
    }
    for (const char* name : {"wide-flat-depth24", "seed-2-depth30", "close-up-depth15"})
    {
        const RecordedWalk walk = ReadWalk(name);
        ASSERT_FALSE(walk.Ticks.empty()) << name;
        const auto [worst, shown] = WorstError(Replay(walk).Run());
        EXPECT_TRUE(shown) << name;
        EXPECT_LE(worst, 2.0) << name;
    }
}

// A pass of the walk that starts later, with nodes of an earlier pass counted, forecasts as one
// that starts at 0: its rate is that of its own nodes in its own time.
TEST(WalkForecast, APassStartedLaterGoesByItsOwnNodesAndTime)
{
    const RecordedWalk walk = ReadWalk("wide-flat-depth24");
    ASSERT_FALSE(walk.Ticks.empty());
    const std::vector<Sample> fromZero = Replay(walk).Run();
    const std::vector<Sample> later = Replay(walk, 90000, 40000000).Run();
    ASSERT_EQ(later.size(), fromZero.size());
    size_t shown = 0;
    for (size_t i = 0; i < later.size(); ++i)
    {
        EXPECT_EQ(later[i].MsLeft, fromZero[i].MsLeft) << "at " << later[i].ElapsedMs << " ms";
        shown += fromZero[i].MsLeft ? 1 : 0;
    }
    EXPECT_GT(shown, later.size() / 2);
}

}  // namespace
}  // namespace ramifex::test

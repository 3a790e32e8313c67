// Drawing speed of the tree walk on the real viewer at 640x480, in one run: the walk drawn call for
// call as first described (literal), the program's own drawing (own), and the same spheres drawn in
// large batches without a walk (bound), at depth 16; then the program's own path at depth 30 (walks
// that complete, and the share of two heavy ones done after 60 s), its final pictures with and
// without leaving out what cannot be seen, and a drag that restarts the walk at every tick. Prints
// tables and, last, the three lines
//   walk-speedup A  bound-fraction B  tick-p99-ms C  image-diff-pixels D
//   deep30-max-s A  culled-diff-pixels B  tick-p99-ms C  drag-levels D
//   eta-worst-ratio A
// where both tick-p99-ms are that of every tick of the depth-30 walks, and the last is how far the
// status line's time left was from the real one at the worst of a quarter, half and three
// quarters of the complete depth-30 walks (shown/real or real/shown).
// Options: --pictures DIR saves the final pictures as PNG files; others are ignored.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QWindow>

#include "drag.h"
#include "gl/viewer/gl_viewer.h"
#include "memory.h"
#include "picture_diff.h"
#include "runs.h"
#include "scenes.h"
#include "statistics.h"
#include "support/recording_navigator.h"

namespace ramifex::bench
{
namespace
{

using Clock = std::chrono::steady_clock;

constexpr int WalkDepth = 16;
constexpr int ComparedDepth = 18;
// All of the close-up's spheres are large and show: at depth 18 its pair of pictures takes over a
// minute.
constexpr int ComparedCloseUpDepth = 14;
constexpr int DeepDepth = 30;
constexpr double PartialSeconds = 60.0;
constexpr int DragTicks = 40;

void PrintRow(const std::string& scene, const std::string& method, int64_t nodes, const Run& run)
{
    const double seconds = run.Seconds();
    std::printf("%-13s %-8s %7lld %8lld %11.0f %10.0f %8.3f %6zu %8.1f %8.1f %8.1f\n",
                scene.c_str(), method.c_str(), static_cast<long long>(nodes),
                static_cast<long long>(run.Spheres), static_cast<double>(run.Spheres) / seconds,
                static_cast<double>(nodes) / seconds, seconds, run.TickMs.size(),
                Percentile(run.TickMs, 0.5), Percentile(run.TickMs, 0.99),
                Percentile(run.TickMs, 1.0));
    std::fflush(stdout);
}

// Depth-30 walks that would take far longer than a benchmark: how much is done after a minute, and
// whether the resident size stays flat meanwhile.
std::vector<double> DrawHeavyScenes(GlViewer& viewer, const std::string& pictures)
{
    std::vector<double> tickMs;
    for (const NamedScene& scene : AtDepth(HeavyScenes(), DeepDepth))
    {
        const auto start = Clock::now();
        long residentFirstSecond = 0;
        long residentMost = 0;
        const Run run = DrawOwn(
            viewer, scene.State, true,
            [&]
            {
                const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
                if (seconds >= 1.0)
                {
                    const long resident = ResidentKiB();
                    residentFirstSecond = residentFirstSecond == 0 ? resident : residentFirstSecond;
                    residentMost = std::max(residentMost, resident);
                }
                return seconds >= PartialSeconds;
            });
        const long residentEnd = ResidentKiB();
        std::printf(
            "%-13s depth %d: %.6f done after %.1f s (%lld nodes visited, %lld spheres "
            "drawn); %s; resident KiB %ld after 1 s, %ld at the end (%+ld), %ld at most\n",
            scene.Name.c_str(), DeepDepth, run.Fraction, run.Seconds(),
            static_cast<long long>(run.Visited), static_cast<long long>(run.Spheres),
            TickSummary(run.TickMs).c_str(), residentFirstSecond, residentEnd,
            residentEnd - residentFirstSecond, residentMost);
        std::fflush(stdout);
        SavePicture(pictures, scene.Name + "-depth30-60s", run.Picture);
        tickMs.insert(tickMs.end(), run.TickMs.begin(), run.TickMs.end());
    }
    return tickMs;
}

struct DeepResult
{
    double MaxSeconds = 0.0;
    std::vector<double> TickMs;
    double WorstTimeLeft = 1.0;  // the largest of shown/real and real/shown
};

// How far the time left the status line shows is from the time really left, at a quarter, half
// and three quarters of the walk's real time, as the larger of shown/real and real/shown; none
// where nothing is shown yet.
std::vector<std::optional<double>> TimeLeftErrors(const Run& run)
{
    std::vector<std::optional<double>> errors;
    const double total = run.Seconds() * 1000.0;
    for (double share : {0.25, 0.5, 0.75})
    {
        double elapsed = 0.0;
        size_t tick = 0;
        while (tick + 1 < run.TickMs.size() && elapsed + run.TickMs[tick] < share * total)
        {
            elapsed += run.TickMs[tick++];
        }
        elapsed += run.TickMs[tick];
        const std::optional<uint32_t> shown = run.MsLeft[tick];
        const double real = total - elapsed;
        errors.push_back(shown && *shown > 0 && real > 0.0
                             ? std::optional(std::max(*shown / real, real / *shown))
                             : std::nullopt);
    }
    return errors;
}

std::string TimeLeftSummary(const std::vector<std::optional<double>>& errors)
{
    std::string text = "time left off by";
    for (const std::optional<double>& error : errors)
    {
        char cell[16];
        std::snprintf(cell, sizeof cell, error ? " %.2f" : " -", error.value_or(0.0));
        text += cell;
    }
    return text + " at 25/50/75%";
}

DeepResult DrawCompletingScenes(GlViewer& viewer, const std::string& pictures)
{
    DeepResult result;
    for (const NamedScene& scene : AtDepth(CompletingScenes(), DeepDepth))
    {
        const Run run = DrawOwn(viewer, scene.State);
        const std::vector<std::optional<double>> errors = TimeLeftErrors(run);
        std::printf(
            "%-13s depth %d: complete in %.2f s, %lld nodes visited, %lld spheres drawn; "
            "%s; %s\n",
            scene.Name.c_str(), DeepDepth, run.Seconds(), static_cast<long long>(run.Visited),
            static_cast<long long>(run.Spheres), TickSummary(run.TickMs).c_str(),
            TimeLeftSummary(errors).c_str());
        for (const std::optional<double>& error : errors)
        {
            result.WorstTimeLeft = std::max(result.WorstTimeLeft, error.value_or(1.0));
        }
        std::fflush(stdout);
        SavePicture(pictures, scene.Name + "-depth30", run.Picture);
        result.MaxSeconds = std::max(result.MaxSeconds, run.Seconds());
        result.TickMs.insert(result.TickMs.end(), run.TickMs.begin(), run.TickMs.end());
    }
    return result;
}

// The final pictures with and without leaving out what cannot be seen; returns the differing
// pixels summed over the scenes.
int64_t CompareCulling(GlViewer& viewer, const std::string& pictures)
{
    std::vector<NamedScene> scenes = CompletingScenes();
    scenes.push_back({"seed-3", Randomized(3)});
    scenes = AtDepth(std::move(scenes), ComparedDepth);
    NamedScene closeUp{"close-up", CloseUp()};
    closeUp.State.Iterations = ComparedCloseUpDepth;
    scenes.push_back(closeUp);
    int64_t pixels = 0;
    for (const NamedScene& scene : scenes)
    {
        const Run culled = DrawOwn(viewer, scene.State, true);
        const Run whole = DrawOwn(viewer, scene.State, false);
        const PictureDiff diff = Compare(culled.Picture, whole.Picture);
        std::printf(
            "%-13s depth %d culled/not: %lld pixels differ (max %d); %lld/%lld nodes "
            "visited, %lld/%lld spheres drawn, %.2f/%.2f s\n",
            scene.Name.c_str(), scene.State.Iterations, static_cast<long long>(diff.Pixels),
            diff.MaxDelta, static_cast<long long>(culled.Visited),
            static_cast<long long>(whole.Visited), static_cast<long long>(culled.Spheres),
            static_cast<long long>(whole.Spheres), culled.Seconds(), whole.Seconds());
        std::fflush(stdout);
        const std::string name = scene.Name + "-depth" + std::to_string(scene.State.Iterations);
        SavePicture(pictures, name + "-culled", culled.Picture);
        SavePicture(pictures, name + "-whole", whole.Picture);
        pixels += diff.Pixels;
    }
    return pixels;
}

struct ShallowResult
{
    double WalkSpeedup = 0.0;
    double BoundFraction = 0.0;
    int64_t DiffPixels = 0;
};

// The three ways of drawing at depth 16, and the pixels in which literal and own pictures differ.
ShallowResult DrawThreeWays(GlViewer& viewer, const std::string& pictures)
{
    std::printf("%-13s %-8s %7s %8s %11s %10s %8s %6s %8s %8s %8s\n", "scene", "method", "nodes",
                "spheres", "spheres/s", "nodes/s", "walk-s", "ticks", "med-ms", "p99-ms", "max-ms");
    double literalSeconds = 0.0;
    double ownSeconds = 0.0;
    double boundSeconds = 0.0;
    ShallowResult result;
    std::vector<std::string> diffLines;
    for (const NamedScene& scene : AtDepth({{"seed-1", Randomized(1)},
                                            {"wide-flat", WideFlat()},
                                            {"dense-spiral", DenseSpiral()}},
                                           WalkDepth))
    {
        const int64_t nodes = NodesOf(scene.State.Iterations);
        const Run literal = DrawLiteral(viewer, scene.State);
        PrintRow(scene.Name, "literal", nodes, literal);
        const Run own = DrawOwn(viewer, scene.State);
        PrintRow(scene.Name, "own", nodes, own);
        const Run bound = DrawBound(viewer, scene.State);
        PrintRow(scene.Name, "bound", nodes, bound);
        literalSeconds += literal.Seconds();
        ownSeconds += own.Seconds();
        boundSeconds += bound.Seconds();

        const PictureDiff diff = Compare(literal.Picture, own.Picture);
        const PictureDiff boundDiff = Compare(bound.Picture, own.Picture);
        result.DiffPixels += diff.Pixels;
        char line[200];
        std::snprintf(line, sizeof line,
                      "%-13s literal/own: %lld pixels differ (%lld by more than 8, max %d); "
                      "bound/own: %lld (max %d)",
                      scene.Name.c_str(), static_cast<long long>(diff.Pixels),
                      static_cast<long long>(diff.Large), diff.MaxDelta,
                      static_cast<long long>(boundDiff.Pixels), boundDiff.MaxDelta);
        diffLines.emplace_back(line);
        for (const auto& [method, run] :
             {std::pair{"literal", &literal}, std::pair{"own", &own}, std::pair{"bound", &bound}})
        {
            SavePicture(pictures, scene.Name + "-" + method, run->Picture);
        }
    }
    for (const std::string& line : diffLines)
    {
        std::printf("%s\n", line.c_str());
    }
    result.WalkSpeedup = literalSeconds / ownSeconds;
    result.BoundFraction = boundSeconds / ownSeconds;
    return result;
}

// --pictures DIR; other arguments are ignored.
std::string PicturesFolder(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i)
    {
        if (std::string(argv[i]) == "--pictures")
        {
            return argv[i + 1];
        }
    }
    return {};
}

int Main(int argc, char** argv)
{
    const std::string pictures = PicturesFolder(argc, argv);
    test::RecordingNavigator navigator;
    GlViewer viewer;
    if (!viewer.Open(navigator))
    {
        return 1;
    }
    while (!viewer.Window()->isExposed())
    {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    // First, so that the resident size is the program's own, before the other drawings allocate.
    std::vector<double> deepTicks = DrawHeavyScenes(viewer, pictures);
    const ShallowResult shallow = DrawThreeWays(viewer, pictures);
    const DeepResult deep = DrawCompletingScenes(viewer, pictures);
    deepTicks.insert(deepTicks.end(), deep.TickMs.begin(), deep.TickMs.end());
    const int64_t culledDiff = CompareCulling(viewer, pictures);
    const int32_t dragLevels = Drag(viewer, DeepDepth, DragTicks);

    const double tickP99 = Percentile(deepTicks, 0.99);
    std::printf(
        "walk-speedup %.2f  bound-fraction %.2f  tick-p99-ms %.1f  image-diff-pixels %lld\n",
        shallow.WalkSpeedup, shallow.BoundFraction, tickP99,
        static_cast<long long>(shallow.DiffPixels));
    std::printf("deep30-max-s %.2f  culled-diff-pixels %lld  tick-p99-ms %.1f  drag-levels %d\n",
                deep.MaxSeconds, static_cast<long long>(culledDiff), tickP99, dragLevels);
    std::printf("eta-worst-ratio %.2f\n", deep.WorstTimeLeft);
    return 0;
}

}  // namespace
}  // namespace ramifex::bench

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return ramifex::bench::Main(argc, argv);
}

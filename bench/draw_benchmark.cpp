// Drawing speed of the tree walk on the real viewer at 640x480, in one run: the walk drawn call for
// call as first described (literal), the program's own drawing (own), and the same spheres drawn in
// large batches without a walk (bound), at depth 16; then the program's own path at depth 30 (walks
// that complete, and the share of two heavy ones done after 60 s), its final pictures with and
// without leaving out what cannot be seen, and a drag that restarts the walk at every tick. Prints
// tables and, last, the two lines
//   walk-speedup A  bound-fraction B  tick-p99-ms C  image-diff-pixels D
//   deep30-max-s A  culled-diff-pixels B  tick-p99-ms C  drag-levels D
// where both tick-p99-ms are that of every tick of the depth-30 walks.
// Options: --pictures DIR saves the final pictures as PNG files; others are ignored.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QWindow>

#include "bound_drawing.h"
#include "literal_walk.h"
#include "render/tree_renderer.h"
#include "scene/quaternion.h"
#include "support/recording_navigator.h"
#include "viewer/gl_viewer.h"

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

struct NamedScene
{
    std::string Name;
    SceneState State;
};

SceneState Randomised(uint32_t seed)
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(seed);
    RandomiseRecords(scene, rng);
    return scene;
}

// Branches turn about the local y axis, which the base turn makes the viewer's depth axis, so the
// tree spreads across the picture; a slight tilt of the axes lifts it a little off the plane.
SceneState WideFlat()
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
SceneState DenseSpiral()
{
    SceneState scene;
    scene.Records[BaseRecord] = {35.0, {1, 1, 0}, 1.0, 0.0, {0.9, 0.9, 1.0}, 0.0};
    scene.Records[Branch1Record] = {28.0, {0.3, 0, 1}, 0.93, 0.45, {0.3, 0.4, 1.0}, 0.15};
    scene.Records[Branch2Record] = {110.0, {0, 1, 0.4}, 0.42, 1.1, {1.0, 0.3, 0.3}, 0.35};
    return scene;
}

// The seed-1 scene brought close: large spheres that fill the picture, the heaviest case for a
// software rasteriser, as when the user zooms in. They barely shrink and all of them show.
SceneState CloseUp()
{
    SceneState scene;
    scene.ViewOffset = {0.0, 0.0, -3.0};
    scene.Records[BaseRecord] = {20.0, {1, 1, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {12.0, {0, 0, 1}, 0.999, 0.2, {0.3, 0.5, 1.0}, 0.1};
    scene.Records[Branch2Record] = {-15.0, {1, 0, 0}, 0.999, 0.2, {1.0, 0.6, 0.2}, 0.1};
    return scene;
}

// The scenes whose depth-30 walks complete in a benchmark's time.
std::vector<NamedScene> CompletingScenes()
{
    return {{"seed-1", Randomised(1)},
            {"wide-flat", WideFlat()},
            {"dense-spiral", DenseSpiral()},
            {"seed-2", Randomised(2)}};
}

// Scenes with so much to show that a depth-30 walk takes far longer than a benchmark.
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

struct Run
{
    std::vector<double> TickMs;  // every drawing tick, present included
    int64_t Spheres = 0;         // spheres handed to GL
    int64_t Visited = 0;         // nodes the walk reached
    double Fraction = 1.0;       // of the tree walked or left out
    QImage Picture;

    double Seconds() const
    {
        double sum = 0.0;
        for (double ms : TickMs)
        {
            sum += ms;
        }
        return sum / 1000.0;
    }
};

double Percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
    {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

template <typename Tick, typename Done>
void TickUntil(Run& run, Tick tick, Done done)
{
    while (!done())
    {
        const auto start = Clock::now();
        tick();
        run.TickMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        QCoreApplication::processEvents();
    }
}

int64_t NodesOf(int depth)
{
    return (int64_t{1} << depth) - 1;
}

// One complete walk through the real frame tick as first described, every node drawn twice.
Run DrawLiteral(GlViewer& viewer, SceneState scene)
{
    SteadyMillisecondClock clock;
    LiteralWalk walk(scene, viewer, clock);
    bool redraw = true;
    walk.FrameTick(redraw);
    Run run;
    TickUntil(
        run, [&] { walk.FrameTick(redraw); }, [&] { return walk.WalkFinished(); });
    run.Spheres = 2 * NodesOf(scene.Iterations);
    run.Visited = NodesOf(scene.Iterations);
    run.Picture = viewer.GrabPicture();
    return run;
}

// The program's renderer drawing on a surface, its walk started.
struct OwnWalk
{
    OwnWalk(const SceneState& start, DrawSurface& surface, bool culling = true)
        : Scene(start), Renderer(Scene, surface, Millis)
    {
        Renderer.SetCulling(culling);
    }
    void Tick() { Renderer.FrameTick(Redraw); }

    SceneState Scene;
    SteadyMillisecondClock Millis;
    TreeRenderer Renderer;
    bool Redraw = true;
};

// The program's own path through the real frame tick, ticks back to back after the restart, until
// the walk completes or `enough` says to stop.
template <typename Enough>
Run DrawOwn(GlViewer& viewer, const SceneState& scene, bool culling, Enough enough)
{
    OwnWalk walk(scene, viewer, culling);
    walk.Tick();
    Run run;
    TickUntil(
        run, [&] { walk.Tick(); }, [&] { return walk.Renderer.WalkFinished() || enough(); });
    const WalkProgress progress = walk.Renderer.Progress();
    run.Spheres = static_cast<int64_t>(progress.SpheresDrawn);
    run.Visited = static_cast<int64_t>(progress.Visited);
    run.Fraction = progress.Fraction;
    run.Picture = viewer.GrabPicture();
    return run;
}

Run DrawOwn(GlViewer& viewer, const SceneState& scene, bool culling = true)
{
    return DrawOwn(viewer, scene, culling, [] { return false; });
}

Run DrawBound(GlViewer& viewer, const SceneState& scene)
{
    BoundDrawing bound(scene);
    bound.Upload();
    viewer.Clear();
    Run run;
    TickUntil(
        run,
        [&]
        {
            bound.DrawFor(TickBudget);
            viewer.Present();
        },
        [&] { return bound.Finished(); });
    run.Spheres = static_cast<int64_t>(bound.Spheres());
    run.Picture = viewer.GrabPicture();
    return run;
}

struct PictureDiff
{
    int64_t Pixels = 0;
    int MaxDelta = 0;
    int64_t Large = 0;  // pixels where some channel differs by more than 8
};

PictureDiff Compare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    PictureDiff diff;
    for (int row = 0; row < std::min(x.height(), y.height()); ++row)
    {
        for (int column = 0; column < std::min(x.width(), y.width()); ++column)
        {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            const int delta =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
            if (delta > 0)
            {
                ++diff.Pixels;
                diff.Large += delta > 8 ? 1 : 0;
                diff.MaxDelta = std::max(diff.MaxDelta, delta);
            }
        }
    }
    return diff;
}

void SavePicture(const std::string& folder, const std::string& name, const Run& run)
{
    if (!folder.empty())
    {
        run.Picture.save(QString::fromStdString(folder + "/" + name + ".png"));
    }
}

std::string TickSummary(const std::vector<double>& tickMs)
{
    char text[100];
    std::snprintf(text, sizeof text, "%zu ticks, median %.1f ms, p99 %.1f ms, max %.1f ms",
                  tickMs.size(), Percentile(tickMs, 0.5), Percentile(tickMs, 0.99),
                  Percentile(tickMs, 1.0));
    return text;
}

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

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.rfind("VmRSS:", 0) == 0)
        {
            return std::stol(line.substr(6));
        }
    }
    return -1;
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
        SavePicture(pictures, scene.Name + "-depth30-60s", run);
        tickMs.insert(tickMs.end(), run.TickMs.begin(), run.TickMs.end());
    }
    return tickMs;
}

struct DeepResult
{
    double MaxSeconds = 0.0;
    std::vector<double> TickMs;
};

DeepResult DrawCompletingScenes(GlViewer& viewer, const std::string& pictures)
{
    DeepResult result;
    for (const NamedScene& scene : AtDepth(CompletingScenes(), DeepDepth))
    {
        const Run run = DrawOwn(viewer, scene.State);
        std::printf(
            "%-13s depth %d: complete in %.2f s, %lld nodes visited, %lld spheres drawn; "
            "%s\n",
            scene.Name.c_str(), DeepDepth, run.Seconds(), static_cast<long long>(run.Visited),
            static_cast<long long>(run.Spheres), TickSummary(run.TickMs).c_str());
        std::fflush(stdout);
        SavePicture(pictures, scene.Name + "-depth30", run);
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
    scenes.push_back({"seed-3", Randomised(3)});
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
        SavePicture(pictures, name + "-culled", culled);
        SavePicture(pictures, name + "-whole", whole);
        pixels += diff.Pixels;
    }
    return pixels;
}

// Shows everything on the viewer and notes, at every present, how many levels of the tree the
// picture shows complete.
class LevelRecorder final : public DrawSurface
{
public:
    explicit LevelRecorder(GlViewer& viewer) : viewer_(viewer) {}

    void Watch(const TreeRenderer& renderer) { renderer_ = &renderer; }
    const std::vector<int32_t>& Levels() const { return levels_; }

    void Clear() override { viewer_.Clear(); }
    void SetViewTransform(const Matrix4& view) override { viewer_.SetViewTransform(view); }
    void DrawSphere(const Matrix4& node, const Vec3& colour) override
    {
        viewer_.DrawSphere(node, colour);
    }
    void Present() override
    {
        viewer_.Present();
        levels_.push_back(renderer_->CompleteLevels());
    }
    bool SkipsRepeatDrawings() const override { return viewer_.SkipsRepeatDrawings(); }
    std::optional<PixelArea> VisibleArea() const override { return viewer_.VisibleArea(); }

private:
    GlViewer& viewer_;
    const TreeRenderer* renderer_ = nullptr;
    std::vector<int32_t> levels_;
};

// The wide flat tree turned by the mouse: the base record turns and the walk restarts at every
// tick. Returns the fewest complete levels any tick presented.
int32_t Drag(GlViewer& viewer)
{
    SceneState scene = WideFlat();
    scene.Iterations = DeepDepth;
    LevelRecorder recorder(viewer);
    OwnWalk walk(scene, recorder);
    recorder.Watch(walk.Renderer);
    walk.Tick();
    Run run;
    TickUntil(
        run,
        [&]
        {
            RotateByDrag(3, 1, walk.Scene.Records[BaseRecord]);
            walk.Redraw = true;
            walk.Tick();
        },
        [&] { return run.TickMs.size() >= DragTicks; });
    const std::vector<int32_t>& levels = recorder.Levels();
    const auto [fewest, most] = std::minmax_element(levels.begin(), levels.end());
    if (fewest == levels.end())
    {
        return 0;
    }
    std::printf(
        "wide-flat drag depth %d: a restart at each of %d ticks; %zu presents showing %d "
        "to %d complete levels; %s\n",
        DeepDepth, DragTicks, levels.size(), *fewest, *most, TickSummary(run.TickMs).c_str());
    return *fewest;
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
    for (const NamedScene& scene : AtDepth({{"seed-1", Randomised(1)},
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
            SavePicture(pictures, scene.Name + "-" + method, *run);
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
    const int32_t dragLevels = Drag(viewer);

    const double tickP99 = Percentile(deepTicks, 0.99);
    std::printf(
        "walk-speedup %.2f  bound-fraction %.2f  tick-p99-ms %.1f  image-diff-pixels %lld\n",
        shallow.WalkSpeedup, shallow.BoundFraction, tickP99,
        static_cast<long long>(shallow.DiffPixels));
    std::printf("deep30-max-s %.2f  culled-diff-pixels %lld  tick-p99-ms %.1f  drag-levels %d\n",
                deep.MaxSeconds, static_cast<long long>(culledDiff), tickP99, dragLevels);
    return 0;
}

}  // namespace
}  // namespace ramifex::bench

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return ramifex::bench::Main(argc, argv);
}

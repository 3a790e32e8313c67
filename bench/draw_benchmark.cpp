// Drawing speed of the tree walk on the real viewer at 640x480, in one run: the walk drawn call for
// call as first described (literal), the program's own drawing (own), and the same spheres drawn in
// large batches without a walk (bound). Prints a table and, last, the summary line
//   walk-speedup A  bound-fraction B  tick-p99-ms C  image-diff-pixels D
// Options: --memory also reports the resident size after 60 s of a depth-30 walk (slow);
// --pictures DIR saves the final pictures as PNG files.
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
#include "viewer/gl_viewer.h"

namespace ramifex::bench
{
namespace
{

using Clock = std::chrono::steady_clock;

constexpr int WalkDepth = 16;
constexpr int DeepDepth = 30;
constexpr size_t DeepTicks = 200;

class IdleNavigator final : public Navigator
{
public:
    void RotateCurrentRecord(int32_t, int32_t) override {}
    void RotateBaseRecord(int32_t, int32_t) override {}
    void MoveView(double, double, double) override {}
    void Zoom(double) override {}
    void RequestRedraw() override {}
    void BeginGesture() override {}
    void EndGesture() override {}
};

struct NamedScene
{
    std::string Name;
    SceneState State;
};

SceneState SeedOne()
{
    SceneState scene;
    RandomGenerator rng;
    rng.Seed(1);
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

std::vector<NamedScene> Scenes()
{
    std::vector<NamedScene> scenes{
        {"seed-1", SeedOne()}, {"wide-flat", WideFlat()}, {"dense-spiral", DenseSpiral()}};
    for (NamedScene& scene : scenes)
    {
        scene.State.Iterations = WalkDepth;
    }
    return scenes;
}

struct Run
{
    std::vector<double> TickMs;  // every drawing tick, present included
    int64_t Spheres = 0;         // spheres handed to GL
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

// One complete walk through the real frame tick, drawn by the literal walk or the program's own
// renderer; both drive the viewer with the steady clock.
template <typename Walk>
Run DrawWalk(GlViewer& viewer, SceneState scene, int64_t drawingsPerNode)
{
    SteadyMillisecondClock clock;
    Walk walk(scene, viewer, clock);
    bool redraw = true;
    walk.FrameTick(redraw);
    Run run;
    TickUntil(
        run, [&] { walk.FrameTick(redraw); }, [&] { return walk.WalkFinished(); });
    run.Spheres = drawingsPerNode * NodesOf(scene.Iterations);
    run.Picture = viewer.GrabPicture();
    return run;
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

struct DeepResult
{
    std::vector<double> TickMs;
    long RssFirstSecond = 0;
    long RssEnd = 0;
    double Seconds = 0.0;
};

// The seed-1 scene brought close: large spheres that fill the picture, the heaviest case for a
// software rasteriser, as when the user zooms in.
SceneState CloseUp()
{
    SceneState scene;
    scene.ViewOffset = {0.0, 0.0, -3.0};
    scene.Records[BaseRecord] = {20.0, {1, 1, 0}, 1.0, 0.0, {1.0, 1.0, 1.0}, 0.0};
    scene.Records[Branch1Record] = {12.0, {0, 0, 1}, 0.999, 0.2, {0.3, 0.5, 1.0}, 0.1};
    scene.Records[Branch2Record] = {-15.0, {1, 0, 0}, 0.999, 0.2, {1.0, 0.6, 0.2}, 0.1};
    return scene;
}

// A depth-30 walk never finishes in a benchmark's time; ticks are measured as the program's timer
// would run them, back to back.
DeepResult DrawDeep(GlViewer& viewer, SceneState scene, double seconds)
{
    scene.Iterations = DeepDepth;
    SteadyMillisecondClock clock;
    TreeRenderer renderer(scene, viewer, clock);
    bool redraw = true;
    renderer.FrameTick(redraw);
    DeepResult result;
    const auto start = Clock::now();
    auto elapsed = [&] { return std::chrono::duration<double>(Clock::now() - start).count(); };
    while (result.TickMs.size() < DeepTicks || elapsed() < seconds)
    {
        const auto tickStart = Clock::now();
        renderer.FrameTick(redraw);
        result.TickMs.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - tickStart).count());
        QCoreApplication::processEvents();
        if (result.RssFirstSecond == 0 && elapsed() >= 1.0)
        {
            result.RssFirstSecond = ResidentKiB();
        }
    }
    result.RssEnd = ResidentKiB();
    result.Seconds = elapsed();
    return result;
}

struct Options
{
    bool Memory = false;
    std::string Pictures;
};

Options ParseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i)
    {
        const std::string arg = argv[i];
        if (arg == "--memory")
        {
            options.Memory = true;
        }
        else if (arg == "--pictures" && i + 1 < argc)
        {
            options.Pictures = argv[++i];
        }
    }
    return options;
}

int Main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    IdleNavigator navigator;
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
    const DeepResult deep = DrawDeep(viewer, SeedOne(), options.Memory ? 60.0 : 0.0);
    std::printf("%-13s %-8s %7s %8s %11s %10s %8s %6s %8s %8s %8s\n", "scene", "method", "nodes",
                "spheres", "spheres/s", "nodes/s", "walk-s", "ticks", "med-ms", "p99-ms", "max-ms");
    double literalSeconds = 0.0;
    double ownSeconds = 0.0;
    double boundSeconds = 0.0;
    int64_t diffPixels = 0;
    std::vector<std::string> diffLines;
    for (const NamedScene& scene : Scenes())
    {
        const int64_t nodes = NodesOf(scene.State.Iterations);
        const Run literal = DrawWalk<LiteralWalk>(viewer, scene.State, 2);
        PrintRow(scene.Name, "literal", nodes, literal);
        const Run own =
            DrawWalk<TreeRenderer>(viewer, scene.State, viewer.SkipsRepeatDrawings() ? 1 : 2);
        PrintRow(scene.Name, "own", nodes, own);
        const Run bound = DrawBound(viewer, scene.State);
        PrintRow(scene.Name, "bound", nodes, bound);
        literalSeconds += literal.Seconds();
        ownSeconds += own.Seconds();
        boundSeconds += bound.Seconds();

        const PictureDiff diff = Compare(literal.Picture, own.Picture);
        const PictureDiff boundDiff = Compare(bound.Picture, own.Picture);
        diffPixels += diff.Pixels;
        char line[200];
        std::snprintf(line, sizeof line,
                      "%-13s literal/own: %lld pixels differ (%lld by more than 8, max %d); "
                      "bound/own: %lld (max %d)",
                      scene.Name.c_str(), static_cast<long long>(diff.Pixels),
                      static_cast<long long>(diff.Large), diff.MaxDelta,
                      static_cast<long long>(boundDiff.Pixels), boundDiff.MaxDelta);
        diffLines.emplace_back(line);
        if (!options.Pictures.empty())
        {
            for (const auto& [method, run] : {std::pair{"literal", &literal},
                                              std::pair{"own", &own}, std::pair{"bound", &bound}})
            {
                run->Picture.save(QString::fromStdString(options.Pictures + "/" + scene.Name + "-" +
                                                         method + ".png"));
            }
        }
    }
    for (const std::string& line : diffLines)
    {
        std::printf("%s\n", line.c_str());
    }

    std::printf(
        "seed-1 depth %d own: %zu ticks in %.1f s, tick median %.1f ms, p99 %.1f ms, "
        "max %.1f ms\n",
        DeepDepth, deep.TickMs.size(), deep.Seconds, Percentile(deep.TickMs, 0.5),
        Percentile(deep.TickMs, 0.99), Percentile(deep.TickMs, 1.0));
    const DeepResult close = DrawDeep(viewer, CloseUp(), 0.0);
    std::printf("close-up depth %d own: tick median %.1f ms, p99 %.1f ms, max %.1f ms\n", DeepDepth,
                Percentile(close.TickMs, 0.5), Percentile(close.TickMs, 0.99),
                Percentile(close.TickMs, 1.0));
    std::printf("resident KiB: %ld after 1 s, %ld after %.0f s (%+ld)%s\n", deep.RssFirstSecond,
                deep.RssEnd, deep.Seconds, deep.RssEnd - deep.RssFirstSecond,
                options.Memory ? "" : "; --memory runs 60 s");

    std::printf(
        "walk-speedup %.2f  bound-fraction %.2f  tick-p99-ms %.1f  image-diff-pixels %lld\n",
        literalSeconds / ownSeconds, boundSeconds / ownSeconds, Percentile(deep.TickMs, 0.99),
        static_cast<long long>(diffPixels));
    return 0;
}

}  // namespace
}  // namespace ramifex::bench

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    return ramifex::bench::Main(argc, argv);
}

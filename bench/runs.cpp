#include "runs.h"

#include <QCoreApplication>

#include "bound_drawing.h"
#include "core/render/complete_walk.h"
#include "gl/viewer/gl_viewer.h"
#include "literal_walk.h"

namespace ramifex::bench
{
namespace
{

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

double Run::Seconds() const
{
    double sum = 0.0;
    for (double ms : TickMs)
    {
        sum += ms;
    }
    return sum / 1000.0;
}

void TickUntil(Run& run, const std::function<void()>& tick, const std::function<bool()>& done)
{
    while (!done())
    {
        const auto start = Clock::now();
        tick();
        run.TickMs.push_back(MillisecondsSince(start));
        QCoreApplication::processEvents();
    }
}

int64_t NodesOf(int depth)
{
    return (int64_t{1} << depth) - 1;
}

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

// The restart's tick, which only clears and sets the view, counts with the first drawing tick.
Run DrawOwn(GlViewer& viewer, const SceneState& scene, bool culling,
            const std::function<bool()>& enough)
{
    SteadyMillisecondClock clock;
    CompleteWalk walk(scene, viewer, clock);
    walk.SetCulling(culling);
    Run run;
    auto start = Clock::now();
    walk.RunToEnd(
        [&]
        {
            run.TickMs.push_back(MillisecondsSince(start));
            run.MsLeft.push_back(walk.Renderer().Progress().MsLeft);
            QCoreApplication::processEvents();
            start = Clock::now();
            return !enough();
        });
    const WalkProgress progress = walk.Renderer().Progress();
    run.Spheres = static_cast<int64_t>(progress.SpheresDrawn);
    run.Visited = static_cast<int64_t>(progress.Visited);
    run.Fraction = progress.Fraction;
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

}  // namespace ramifex::bench

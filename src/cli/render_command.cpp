#include "cli/render_command.h"

#include <cstdlib>

#include "cli/command_line_job.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/jobs/render_job.h"
#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

int Render(const RenderRequest& request, const SceneState& scene, CommandLineJob& run)
{
    QString error;
    const QSize largest = LargestOffscreenPicture(&error);
    if (largest.isEmpty())
    {
        return ReportFailure(QStringLiteral("cannot draw without a display: %1").arg(error));
    }
    const QString problem = SampledSizeProblem(request.Size, request.Samples, largest);
    if (!problem.isEmpty())
    {
        return ReportFailure(QStringLiteral("--size %1").arg(problem));
    }
    RenderSettings settings;
    settings.Size = request.Size;
    settings.Depth = request.Depth;
    settings.Samples = request.Samples;
    RenderJob job({scene}, settings);
    if (!job.Start())
    {
        return ReportFailure(job.Error());
    }
    std::optional<RenderedFrame> frame;
    const bool ran = run.Run(
        [&]
        {
            frame = job.Tick();
            return !job.Finished();
        },
        [&] { return job.Fraction(); });
    if (!ran)
    {
        return run.StoppedStatus();
    }
    if (!frame)
    {
        return ReportFailure(job.Error());
    }
    if (!WritePictureWithScene(request.Output, frame->Picture, frame->Scene, &error))
    {
        return ReportFailure(error);
    }
    return EXIT_SUCCESS;
}

}  // namespace

int RenderWithoutDisplay(const RenderRequest& request, char** argv)
{
    return RunWithoutDisplay(request.Scene, argv,
                             [&](const SceneState& scene, CommandLineJob& run)
                             { return Render(request, scene, run); });
}

}  // namespace ramifex

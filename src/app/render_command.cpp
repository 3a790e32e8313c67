#include "app/render_command.h"

#include <QGuiApplication>
#include <cstdlib>

#include "app/command_line_job.h"
#include "app/display_check.h"
#include "renderjob/offscreen_gl.h"
#include "renderjob/render_job.h"
#include "scenefile/scene_file.h"

namespace ramifex
{
int RenderWithoutDisplay(const RenderRequest& request, char** argv)
{
    QString error;
    const std::optional<SceneState> scene = ReadSceneFile(request.Scene, &error);
    if (!scene)
    {
        return ReportFailure(error);
    }

    UseHeadlessPlatform();
    // The toolkit's own remarks are held back for good: a failure is told in one line.
    BeginDisplayGuard();
    int toolkitArgc = 1;
    const QGuiApplication application(toolkitArgc, argv);
    CommandLineJob run;
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
    RenderJob job({*scene}, settings);
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

}  // namespace ramifex

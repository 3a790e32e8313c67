#include "app/render_command.h"

#include <cstdlib>

#include "app/command_line_job.h"
#include "renderjob/offscreen_gl.h"
#include "renderjob/render_job.h"
#include "scenefile/scene_file.h"

namespace ramifex
{
namespace
{

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

int Render(const RenderRequest& request, const SceneState& scene, CommandLineJob& run)
{
    QString error;
    const QSize largest = LargestOffscreenPicture(&error);
    if (largest.isEmpty())
    {
        return ReportFailure(QStringLiteral("cannot draw without a display: %1").arg(error));
    }
    if (request.Size.boundedTo(largest) != request.Size)
    {
        return ReportFailure(QStringLiteral("--size %1 is larger than the largest picture, %2")
                                 .arg(SizeText(request.Size), SizeText(largest)));
    }
    RenderSettings settings;
    settings.Size = request.Size;
    settings.Depth = request.Depth;
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

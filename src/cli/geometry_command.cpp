#include "cli/geometry_command.h"

#include <cstdlib>

#include "cli/command_line_job.h"

namespace ramifex
{
namespace
{

int Export(const GeometryRequest& request, const SceneState& scene, CommandLineJob& run)
{
    GeometryJob job(scene, request.Settings);
    if (!job.Start())
    {
        return ReportFailure(job.Error());
    }
    const bool ran = run.Run(
        [&]
        {
            job.Tick();
            return !job.Finished();
        },
        [&] { return job.Fraction(); });
    if (!ran)
    {
        return run.StoppedStatus();
    }
    if (job.Failed())
    {
        return ReportFailure(job.Error());
    }
    QString error;
    if (!WriteGeometry(request.Output, job.TakeGeometry(), {request.Format}, &error))
    {
        return ReportFailure(error);
    }
    return EXIT_SUCCESS;
}

}  // namespace

int ExportGeometryWithoutDisplay(const GeometryRequest& request, char** argv)
{
    return RunWithoutDisplay(request.Scene, argv,
                             [&](const SceneState& scene, CommandLineJob& run)
                             { return Export(request, scene, run); });
}

}  // namespace ramifex

#include "cli/command_line_jobs.h"

#include "core/animation/animation.h"
#include "gl/jobs/geometry_job.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/jobs/picture_job.h"
#include "gl/jobs/video_job.h"
#include "io/animationfile/animation_file.h"
#include "io/scenefile/scene_file.h"

namespace ramifex
{
namespace
{

// Whether pictures of these settings can be drawn here; says why not in *error, naming --size.
bool CanDraw(const RenderSettings& settings, QString* error)
{
    QString why;
    const QSize largest = LargestOffscreenPicture(&why);
    if (largest.isEmpty())
    {
        *error = QStringLiteral("cannot draw without a display: %1").arg(why);
        return false;
    }
    const QString problem = SampledSizeProblem(settings.Size, settings.Samples, largest);
    if (!problem.isEmpty())
    {
        *error = QStringLiteral("--size %1").arg(problem);
        return false;
    }
    return true;
}

std::optional<Animation> RequestedAnimation(const AnimateRequest& request, QString* error)
{
    if (!request.TurntableSeconds)
    {
        return ReadAnimationFile(request.Source, error);
    }
    const std::optional<SceneState> scene = ReadSceneFile(request.Source, error);
    return scene ? std::optional(Turntable(*scene, *request.TurntableSeconds)) : std::nullopt;
}

std::unique_ptr<Job> Make(const RenderRequest& request, QString* error)
{
    const std::optional<SceneState> scene = ReadSceneFile(request.Scene, error);
    if (!scene || !CanDraw(request.Settings, error))
    {
        return nullptr;
    }
    return std::make_unique<PictureJob>(*scene, request.Settings, request.Output);
}

std::unique_ptr<Job> Make(const AnimateRequest& request, QString* error)
{
    const std::optional<Animation> animation = RequestedAnimation(request, error);
    if (!animation)
    {
        return nullptr;
    }
    const int64_t count = FrameCount(*animation, request.Fps);
    if (request.Frames)
    {
        const QString problem = FrameRangeProblem(*request.Frames, count, request.Fps);
        if (!problem.isEmpty())
        {
            *error = QStringLiteral("--frames %1-%2: %3")
                         .arg(request.Frames->First)
                         .arg(request.Frames->Last)
                         .arg(problem);
            return nullptr;
        }
    }
    if (!CanDraw(request.Settings, error))
    {
        return nullptr;
    }
    auto job = std::make_unique<VideoJob>(
        *animation, VideoSettings{request.Settings, request.Fps, request.Format}, request.Output,
        request.Frames);
    job->KeepSource(request.Source);
    return job;
}

std::unique_ptr<Job> Make(const EncodeRequest& request, QString*)
{
    return std::make_unique<EncodeJob>(request.Pictures, request.Output, request.Format,
                                       request.Fps, request.Frames);
}

std::unique_ptr<Job> Make(const GeometryRequest& request, QString* error)
{
    const std::optional<SceneState> scene = ReadSceneFile(request.Scene, error);
    if (!scene)
    {
        return nullptr;
    }
    return std::make_unique<GeometryJob>(*scene, request.Settings, request.Options, request.Output);
}

}  // namespace

std::unique_ptr<Job> JobFor(const JobRequest& request, QString* error)
{
    return std::visit([error](const auto& asked) { return Make(asked, error); }, request);
}

}  // namespace ramifex

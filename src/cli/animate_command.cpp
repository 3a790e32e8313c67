#include "cli/animate_command.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "cli/command_line_job.h"
#include "cli/display_check.h"
#include "gl/jobs/offscreen_gl.h"
#include "gl/jobs/render_job.h"
#include "io/animationfile/animation_file.h"
#include "io/scenefile/scene_file.h"
#include "io/video/video_writer.h"

namespace ramifex
{
namespace
{

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
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

// The size a video in this format is written at, with a note on standard error when it differs;
// empty when no video can be that small.
QSize VideoSize(VideoFormat format, const QSize& size)
{
    if (format == VideoFormat::PngSequence || EvenSize(size) == size)
    {
        return size;
    }
    const QSize even = EvenSize(size);
    if (!even.isEmpty())
    {
        std::fprintf(stderr,
                     "ramifex: note: a video's sides are even (yuv420p), so it is %s, not %s\n",
                     qPrintable(SizeText(even)), qPrintable(SizeText(size)));
    }
    return even;
}

// Runs the job, writing each frame as it is done; returns the exit status.
int RunAndWrite(RenderJob& job, FrameWriter& writer, int64_t first)
{
    CommandLineJob run;
    QString error;
    const bool ran = run.Run(
        [&]
        {
            const std::optional<RenderedFrame> frame = job.Tick();
            if (frame && !writer.Write(first + static_cast<int64_t>(frame->Index), frame->Picture,
                                       frame->Scene, &error))
            {
                return false;
            }
            return !job.Finished();
        },
        [&] { return job.Fraction(); });
    if (!ran)
    {
        return run.StoppedStatus();
    }
    if (!error.isEmpty() || job.Failed())
    {
        return ReportFailure(error.isEmpty() ? job.Error() : error);
    }
    if (!writer.Finish(&error))
    {
        return ReportFailure(error);
    }
    return EXIT_SUCCESS;
}

}  // namespace

int AnimateWithoutDisplay(const AnimateRequest& request, char** argv)
{
    QString error;
    const std::optional<Animation> animation = RequestedAnimation(request, &error);
    if (!animation)
    {
        return ReportFailure(error);
    }
    const int64_t count = FrameCount(*animation, request.Fps);
    const FrameRange range = request.Frames.value_or(FrameRange{0, count - 1});
    if (range.Last >= count)
    {
        return ReportFailure(
            QStringLiteral("--frames %1-%2: the animation has %3 frames at %4 per second, 0-%5")
                .arg(range.First)
                .arg(range.Last)
                .arg(count)
                .arg(request.Fps)
                .arg(count - 1));
    }
    const QSize size = VideoSize(request.Format, request.Size);
    if (size.isEmpty() || !VideoEncoderAvailable(request.Format, &error))
    {
        return ReportFailure(size.isEmpty() ? QStringLiteral("a video is at least 2x2 pixels")
                                            : error);
    }

    UseHeadlessPlatform();
    // The toolkit's own remarks are held back for good: a failure is told in one line.
    BeginDisplayGuard();
    int toolkitArgc = 1;
    const QGuiApplication application(toolkitArgc, argv);
    const QSize largest = LargestOffscreenPicture(&error);
    if (largest.isEmpty())
    {
        return ReportFailure(QStringLiteral("cannot draw without a display: %1").arg(error));
    }
    const QString problem = SampledSizeProblem(size, request.Samples, largest);
    if (!problem.isEmpty())
    {
        return ReportFailure(QStringLiteral("--size %1").arg(problem));
    }
    std::vector<SceneState> scenes;
    for (int64_t frame = range.First; frame <= range.Last; ++frame)
    {
        scenes.push_back(FrameScene(*animation, request.Fps, frame));
    }
    RenderJob job(std::move(scenes), {size, request.Depth, request.Samples});
    if (!job.Start())
    {
        return ReportFailure(job.Error());
    }
    const std::unique_ptr<FrameWriter> writer =
        FrameWriter::Open(request.Output, request.Format, size, request.Fps, &error);
    if (!writer)
    {
        return ReportFailure(error);
    }
    return RunAndWrite(job, *writer, range.First);
}

int EncodeFrames(const EncodeRequest& request)
{
    QString error;
    const QString first = SequenceFrameName(request.Frames, 0);
    const QSize size = QImageReader(first).size();
    if (!size.isValid())
    {
        return ReportFailure(QStringLiteral("no picture \"%1\" to begin with").arg(first));
    }
    const QSize even = VideoSize(request.Format, size);
    if (even.isEmpty())
    {
        return ReportFailure(QStringLiteral("a video is at least 2x2 pixels"));
    }
    if (!VideoEncoderAvailable(request.Format, &error))
    {
        return ReportFailure(error);
    }
    const std::unique_ptr<FrameWriter> writer =
        FrameWriter::Open(request.Output, request.Format, even, request.Fps, &error);
    if (!writer)
    {
        return ReportFailure(error);
    }
    int64_t count = 1;
    while (QFileInfo::exists(SequenceFrameName(request.Frames, count)))
    {
        ++count;
    }
    CommandLineJob run;
    int64_t frame = 0;
    const bool ran = run.Run(
        [&]
        {
            const QString name = SequenceFrameName(request.Frames, frame);
            const QImage picture(name);
            if (picture.size() != size)
            {
                error = QStringLiteral("\"%1\" is not a %2 picture").arg(name, SizeText(size));
                return false;
            }
            if (!writer->Write(frame, picture.copy(QRect({0, 0}, even)), {}, &error))
            {
                return false;
            }
            return ++frame < count;
        },
        [&] { return static_cast<double>(frame) / static_cast<double>(count); });
    if (!ran)
    {
        return run.StoppedStatus();
    }
    if (!error.isEmpty() || !writer->Finish(&error))
    {
        return ReportFailure(error);
    }
    return EXIT_SUCCESS;
}

}  // namespace ramifex

#include "app/render_command.h"

#include <unistd.h>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/display_check.h"
#include "app/headless_gl.h"
#include "picture/sphere_picture.h"
#include "render/complete_walk.h"
#include "scenefile/scene_file.h"

namespace ramifex
{
namespace
{

// A bar on standard error that grows with the walk, drawn only where someone watches it.
class TerminalProgress
{
public:
    TerminalProgress() : shown_(isatty(STDERR_FILENO) != 0) {}
    ~TerminalProgress()
    {
        if (percent_ >= 0)
        {
            std::fputc('\n', stderr);
        }
    }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show(double fraction)
    {
        constexpr int width = 40;
        const int percent = static_cast<int>(fraction * 100.0);
        if (!shown_ || percent == percent_)
        {
            return;
        }
        percent_ = percent;
        const int filled = percent * width / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(width - filled, '-').c_str(), percent);
        std::fflush(stderr);
    }

private:
    bool shown_;
    int percent_ = -1;
};

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// The complete picture, opaque; empty when the context cannot keep a picture of that size.
QImage DrawPicture(const SceneState& scene, const QSize& size, QOpenGLContext& context)
{
    SpherePicture picture(context, size.width(), size.height());
    if (picture.Framebuffer() == nullptr)
    {
        return {};
    }
    SteadyMillisecondClock clock;
    CompleteWalk walk(scene, picture, clock);
    TerminalProgress progress;
    while (!walk.Tick())
    {
        progress.Show(walk.Fraction());
    }
    progress.Show(1.0);
    return picture.Grab().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

int RenderWithoutDisplay(const RenderRequest& request, char** argv)
{
    QString error;
    std::optional<SceneState> scene = ReadSceneFile(request.Scene, &error);
    if (!scene)
    {
        return ReportFailure(error);
    }
    scene->Iterations = request.Depth.value_or(scene->Iterations);

    UseHeadlessPlatform();
    // The toolkit's own remarks are held back for good: a failure is told in one line.
    BeginDisplayGuard();
    int toolkitArgc = 1;
    const QGuiApplication application(toolkitArgc, argv);
    const HeadlessGl gl;
    if (gl.Context() == nullptr)
    {
        return ReportFailure(QStringLiteral("cannot draw without a display: %1").arg(gl.Error()));
    }
    const QSize largest = SpherePicture::LargestSize();
    if (request.Size.boundedTo(largest) != request.Size)
    {
        return ReportFailure(QStringLiteral("--size %1 is larger than the largest picture, %2")
                                 .arg(SizeText(request.Size), SizeText(largest)));
    }
    const QImage picture = DrawPicture(*scene, request.Size, *gl.Context());
    if (picture.isNull())
    {
        return ReportFailure(
            QStringLiteral("cannot keep a picture of %1 pixels").arg(SizeText(request.Size)));
    }
    if (!WritePictureWithScene(request.Output, picture, *scene, &error))
    {
        return ReportFailure(error);
    }
    return EXIT_SUCCESS;
}

}  // namespace ramifex

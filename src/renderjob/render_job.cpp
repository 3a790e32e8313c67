#include "renderjob/render_job.h"

#include <utility>

#include "picture/sphere_picture.h"
#include "render/complete_walk.h"
#include "render/tee_surface.h"
#include "renderjob/offscreen_gl.h"

namespace ramifex
{
namespace
{

// 96 dots per inch, the usual resolution of pictures with no physical size, so that a scene gives
// the same file on every display and with none.
constexpr int DotsPerMeter = 3780;

QString SizeText(const QSize& size)
{
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

}  // namespace

RenderJob::RenderJob(std::vector<SceneState> scenes, const RenderSettings& settings)
    : scenes_(std::move(scenes)), settings_(settings)
{
    if (settings_.Depth)
    {
        for (SceneState& scene : scenes_)
        {
            scene.Iterations = *settings_.Depth;
        }
    }
}

RenderJob::~RenderJob()
{
    Release();
}

bool RenderJob::Start()
{
    if (settings_.Samples != 1)
    {
        return Fail(
            QStringLiteral("%1x%1 samples per pixel cannot be drawn").arg(settings_.Samples));
    }
    QString why;
    gl_ = OffscreenGl::Create(&why);
    if (!gl_)
    {
        return Fail(QStringLiteral("cannot draw off-screen: %1").arg(why));
    }
    const QSize size = settings_.Size * settings_.Samples;
    const QSize largest = SpherePicture::LargestSize();
    if (size.boundedTo(largest) != size)
    {
        return Fail(QStringLiteral("%1 is larger than the largest picture, %2")
                        .arg(SizeText(size), SizeText(largest)));
    }
    picture_ = std::make_unique<SpherePicture>(gl_->Context(), size.width(), size.height());
    if (picture_->Framebuffer() == nullptr)
    {
        return Fail(QStringLiteral("the OpenGL driver cannot keep a picture of %1 pixels")
                        .arg(SizeText(size)));
    }
    return true;
}

std::optional<RenderedFrame> RenderJob::Tick()
{
    if (Finished() || !picture_)
    {
        return std::nullopt;
    }
    if (!gl_->MakeCurrent())
    {
        Fail(QStringLiteral("the OpenGL context cannot be made current"));
        return std::nullopt;
    }
    if (!walk_)
    {
        walk_ = std::make_unique<CompleteWalk>(scenes_[next_], Surface(), clock_);
    }
    if (!walk_->Tick())
    {
        return std::nullopt;
    }
    RenderedFrame frame{next_, scenes_[next_],
                        picture_->Grab().convertToFormat(QImage::Format_RGB32)};
    frame.Picture.setDotsPerMeterX(DotsPerMeter);
    frame.Picture.setDotsPerMeterY(DotsPerMeter);
    walk_.reset();
    if (++next_ == scenes_.size())
    {
        Release();  // a large picture holds much memory
    }
    return frame;
}

double RenderJob::Fraction() const
{
    if (scenes_.empty())
    {
        return 1.0;
    }
    const double current = walk_ ? walk_->Fraction() : 0.0;
    return (static_cast<double>(next_) + current) / static_cast<double>(scenes_.size());
}

DrawSurface& RenderJob::Surface()
{
    if (alongside_ && !tee_)
    {
        tee_ = std::make_unique<TeeSurface>(*picture_, *alongside_);
    }
    return tee_ ? static_cast<DrawSurface&>(*tee_) : *picture_;
}

bool RenderJob::Fail(const QString& why)
{
    error_ = why;
    Release();
    return false;
}

// The picture's GL objects are deleted in the job's context, which then goes.
void RenderJob::Release()
{
    walk_.reset();
    tee_.reset();
    if (gl_)
    {
        gl_->MakeCurrent();
    }
    picture_.reset();
    gl_.reset();
}

}  // namespace ramifex
